; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; The 24LC256 (32 KiB, 64-byte pages) on the MSSP in I2C master mode: RC3 SCL, RC4 SDA, both
; with pull-ups to 5 V, A0-A2 tied low so the control byte is 0xA0 (write) / 0xA1 (read).
;
; A load collects bytes in a page buffer and writes them in one page write whenever the next
; address starts a new 64-byte page (or the load ends), so that no write wraps around inside
; the chip's page. Each page write is followed by the write cycle: the header's PIC Delay in
; milliseconds, and where that is under the chip's 5 ms, acknowledge polling until the chip
; answers again. Every wait on the MSSP is bounded: a missing or stuck chip sets EE_FAULT and
; the load or show is reported as failed instead of hanging.

        list    r=dec

EE_WRITE        equ     0xA0
EE_READ         equ     0xA1
EE_END_HI       equ     0x80            ; first address past the chip (0x8000)

; ee_flags bits
EE_FAULT        equ     0               ; the chip did not answer or the bus stuck
EE_FULL         equ     1               ; the load reached 0x8000; further bytes are lost

; i2c_init: MSSP as I2C master at Fosc / (4 * (12 + 1)) = 385 kHz (the 24LC256 takes 400 kHz
; at 5 V), slew-rate control on as that speed requires. RC3 and RC4 stay inputs; the MSSP
; drives them open-drain.
i2c_init:
        bsf     TRISC, 3
        bsf     TRISC, 4
        movlw   12
        movwf   SSPADD
        clrf    SSPSTAT
        movlw   (1 << SSPEN) | 0x08     ; I2C master, clock = Fosc / (4 * (SSPADD + 1))
        movwf   SSPCON1
        clrf    SSPCON2
        bcf     PIR1, SSPIF
        return

; i2c_reset: switches the MSSP off and on after a fault so that the next transfer starts from
; an idle module.
i2c_reset:
        bcf     SSPCON1, SSPEN
        bcf     PIR2, BCLIF
        bsf     SSPCON1, SSPEN
        bcf     PIR1, SSPIF
        return

; i2c_wait: waits until the MSSP reports the step it was given as done (SSPIF), at most about
; 40 ms; on timeout sets EE_FAULT. Clears SSPIF for the next step.
i2c_wait:
        clrf    i2c_to_lo
        clrf    i2c_to_hi
i2c_wait_loop:
        btfsc   PIR1, SSPIF
        bra     i2c_wait_done
        incfsz  i2c_to_lo, F
        bra     i2c_wait_loop
        incfsz  i2c_to_hi, F
        bra     i2c_wait_loop
        bsf     ee_flags, EE_FAULT
        return
i2c_wait_done:
        bcf     PIR1, SSPIF
        return

; i2c_start / i2c_restart / i2c_stop: a start, repeated start or stop condition on the bus.
i2c_start:
        bcf     PIR1, SSPIF
        bsf     SSPCON2, SEN
        bra     i2c_wait
i2c_restart:
        bcf     PIR1, SSPIF
        bsf     SSPCON2, RSEN
        bra     i2c_wait
i2c_stop:
        bcf     PIR1, SSPIF
        bsf     SSPCON2, PEN
        bra     i2c_wait

; i2c_send: clocks W out and reads the chip's acknowledge; no acknowledge sets EE_FAULT.
i2c_send:
        bcf     PIR1, SSPIF
        movwf   SSPBUF
        rcall   i2c_wait
        btfsc   SSPCON2, ACKSTAT
        bsf     ee_flags, EE_FAULT
        return

; i2c_receive: clocks one byte in and answers it: acknowledge when carry is clear (more to
; come), no acknowledge when carry is set (the last byte). Returns the byte in W.
i2c_receive:
        bcf     SSPCON2, ACKDT
        btfsc   STATUS, C
        bsf     SSPCON2, ACKDT
        bcf     PIR1, SSPIF
        bsf     SSPCON2, RCEN
        rcall   i2c_wait
        movf    SSPBUF, W
        movwf   i2c_byte
        bcf     PIR1, SSPIF
        bsf     SSPCON2, ACKEN
        rcall   i2c_wait
        movf    i2c_byte, W
        return

; ee_begin_load: a load starts at the header's address with an empty page buffer.
ee_begin_load:
        movf    addr_lo, W
        movwf   ee_next_lo
        movwf   ee_page_lo
        movf    addr_hi, W
        movwf   ee_next_hi
        movwf   ee_page_hi
        clrf    page_len
        clrf    ee_lost_lo
        clrf    ee_lost_hi
        clrf    ee_flags
        return

; ee_put_byte: adds W to the page buffer; writes the page once the next address begins a new
; 64-byte page or the end of the chip is reached. Past 0x7FFF bytes are counted as lost (the
; chip would wrap to 0x0000 and overwrite the start).
ee_put_byte:
        btfsc   ee_flags, EE_FULL
        bra     ee_put_lost
        movwf   tmp
        movf    page_len, W
        movwf   FSR1L
        movlw   high(PAGE_BUF)
        movwf   FSR1H
        movf    tmp, W
        movwf   INDF1
        incf    page_len, F
        infsnz  ee_next_lo, F
        incf    ee_next_hi, F
        movlw   EE_END_HI
        cpfslt  ee_next_hi
        bra     ee_put_end
        ifdef MUT_PAGE_CROSS
; fault variant: a page write every 64 bytes counted from the start address, whatever the
; page boundaries
        movlw   64
        cpfseq  page_len
        return
        else
        movf    ee_next_lo, W
        andlw   0x3F
        btfss   STATUS, Z
        return
        endif
        bra     ee_write_page
ee_put_end:
        bsf     ee_flags, EE_FULL
        bra     ee_write_page
ee_put_lost:
        infsnz  ee_lost_lo, F
        incf    ee_lost_hi, F
        return

; ee_write_page: writes the page buffer (page_len bytes) at ee_page_hi:ee_page_lo in one page
; write, then waits the write cycle. The next page starts where this one ended. After a fault
; nothing more is sent to the chip in this load.
ee_write_page:
        movf    page_len, W
        bz      ee_write_done
        btfsc   ee_flags, EE_FAULT
        bra     ee_write_next
        rcall   i2c_start
        movlw   EE_WRITE
        rcall   i2c_send
        btfsc   ee_flags, EE_FAULT
        bra     ee_write_abort
        movf    ee_page_hi, W
        rcall   i2c_send
        movf    ee_page_lo, W
        rcall   i2c_send
        lfsr    FSR1, PAGE_BUF
ee_write_byte:
        movf    POSTINC1, W
        rcall   i2c_send
        decfsz  page_len, F
        bra     ee_write_byte
        rcall   i2c_stop
        btfsc   ee_flags, EE_FAULT
        bra     ee_write_abort
        movf    pic_delay, W            ; the write cycle
        call    delay_ms
        movlw   5
        cpfslt  pic_delay               ; under 5 ms: ask the chip until it answers
        bra     ee_write_next
        rcall   ee_poll
        bra     ee_write_next
ee_write_abort:
        rcall   i2c_stop
        rcall   i2c_reset
ee_write_next:
        clrf    page_len
        movf    ee_next_lo, W
        movwf   ee_page_lo
        movf    ee_next_hi, W
        movwf   ee_page_hi
ee_write_done:
        return

; ee_poll: acknowledge polling: sends the control byte until the chip acknowledges, which it
; does once its write cycle is over (at most 200 tries, about 10 ms).
ee_poll:
        movlw   200
        movwf   ee_tries
ee_poll_again:
        bcf     ee_flags, EE_FAULT
        rcall   i2c_start
        movlw   EE_WRITE
        rcall   i2c_send
        rcall   i2c_stop
        btfss   ee_flags, EE_FAULT
        return
        decfsz  ee_tries, F
        bra     ee_poll_again
        return                          ; still busy: EE_FAULT stays set

; ee_show: reads the 1024 bytes from the header's address (the chip's own address counter
; runs on, past 0x7FFF it wraps to 0x0000) and writes them to the LCD as a vertical picture.
; Sets EE_FAULT when the chip does not answer.
ee_show:
        clrf    ee_flags
        rcall   i2c_start
        movlw   EE_WRITE
        rcall   i2c_send
        movf    addr_hi, W
        rcall   i2c_send
        movf    addr_lo, W
        rcall   i2c_send
        rcall   i2c_restart
        movlw   EE_READ
        rcall   i2c_send
        btfsc   ee_flags, EE_FAULT
        bra     ee_show_abort
        clrf    idx_lo
        clrf    idx_hi
ee_show_byte:
        movlw   0x03                    ; the last byte (1023) is not acknowledged
        xorwf   idx_hi, W
        bnz     ee_show_more
        incf    idx_lo, W
        bnz     ee_show_more
        bsf     STATUS, C
        bra     ee_show_read
ee_show_more:
        bcf     STATUS, C
ee_show_read:
        rcall   i2c_receive
        call    lcd_put_byte
        btfsc   ee_flags, EE_FAULT
        bra     ee_show_abort
        infsnz  idx_lo, F
        incf    idx_hi, F
        btfss   idx_hi, 2               ; 1024 = 0x400
        bra     ee_show_byte
        rcall   i2c_stop
        goto    lcd_select_none
ee_show_abort:
        rcall   i2c_stop
        rcall   i2c_reset
        goto    lcd_select_none
