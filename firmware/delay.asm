; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; Busy-wait delays counted in instruction cycles: at 20 MHz one cycle is 200 ns, so 5 cycles
; make a microsecond. An interrupt taken during a delay only makes it longer, which every
; caller here allows (they wait for a part to become ready, never for a deadline).

        list    r=dec

; delay_10us: about 10 us (52 cycles with the call), the time a KS0108 controller is given to
; finish an instruction before the next one (its busy time is a few clock periods).
delay_10us:
        movlw   15                      ; 2 + 15 * 3 + 2 ~ 50 cycles
        movwf   d_in
delay_10us_loop:
        decfsz  d_in, F
        bra     delay_10us_loop
        return

; delay_ms: waits W milliseconds (0 returns at once). Used for the EEPROM's write cycle (the
; header's PIC Delay) and the LCD's reset time.
delay_ms:
        movwf   d_ms
        movf    d_ms, F
        bz      delay_ms_done
delay_ms_loop:
        movlw   5                       ; 5 x 1000 cycles = 1 ms
        movwf   d_out
delay_ms_outer:
        movlw   249                     ; 249 x 4 cycles + 4 ~ 1000 cycles
        movwf   d_in
delay_ms_inner:
        nop
        decfsz  d_in, F
        bra     delay_ms_inner
        decfsz  d_out, F
        bra     delay_ms_outer
        decfsz  d_ms, F
        bra     delay_ms_loop
delay_ms_done:
        return
