; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; The 128x64 KS0108 panel: two controllers of 64 columns each, chosen by CS1 (columns 0-63) and
; CS2 (columns 64-127), chip selects active high. Data D0-D7 on RD0-RD7; RB0 D/I, RB1 R/W,
; RB2 E, RB3 CS1, RB4 CS2, RB5 /RST. Only writes are made (R/W stays low, the data port stays
; an output); instead of reading the busy flag, each access is followed by 10 us, longer than
; the controller's busy time.
;
; Bus timing at 20 MHz (one instruction = 200 ns): D/I and data are set at least one
; instruction before E rises, E stays high 3 instructions (600 ns >= 450 ns), and an access
; takes over 10 us, far above the 1 us E cycle.
;
; A picture arrives in the "Vertical KS0108" layout: 8 pages of 128 bytes, page 0 first, each
; byte one column of 8 pixels with bit 0 on top.

        list    r=dec

LCD_DI          equ     0
LCD_RW          equ     1
LCD_E           equ     2
        ifdef MUT_CS_SWAP
; fault variant: the two chip selects exchanged, so the halves of the picture swap places
LCD_CS1         equ     4
LCD_CS2         equ     3
        else
LCD_CS1         equ     3
LCD_CS2         equ     4
        endif
LCD_RST         equ     5

LCD_ON          equ     0x3F            ; display on
LCD_START_LINE  equ     0xC0            ; start line 0
LCD_PAGE        equ     0xB8            ; page (X address) 0; OR the page number in
LCD_COLUMN      equ     0x40            ; column (Y address) 0; OR the column in

; lcd_init: holds /RST low with E and both chip selects low, releases it, waits for the
; controllers' own reset, then for each controller in turn switches the display on, sets start
; line 0 and page 0, column 0, and clears the panel so that no power-up noise stays on it.
lcd_init:
        clrf    LATB                    ; /RST low, E low, CS1 and CS2 off, R/W write
        movlw   0xC0                    ; RB0-RB5 outputs, RB6-RB7 (programming pins) inputs
        movwf   TRISB
        clrf    LATD
        clrf    TRISD                   ; D0-D7 driven
        movlw   2
        call    delay_ms                ; reset pulse, far above the 1 us minimum
        bsf     LATB, LCD_RST
        movlw   5
        call    delay_ms                ; the controllers finish their reset
        call    lcd_select_left
        call    lcd_setup_chip
        call    lcd_select_right
        call    lcd_setup_chip
        ; clear: each controller, each page, 64 zero columns
        call    lcd_select_left
        call    lcd_clear_chip
        call    lcd_select_right
        call    lcd_clear_chip
        goto    lcd_select_none

; lcd_setup_chip: display on, start line 0, page 0, column 0 on the selected controller.
lcd_setup_chip:
        movlw   LCD_ON
        call    lcd_command
        movlw   LCD_START_LINE
        call    lcd_command
        movlw   LCD_PAGE
        call    lcd_command
        movlw   LCD_COLUMN
        goto    lcd_command

; lcd_clear_chip: writes zeros to all 8 pages of the selected controller, setting page and
; column before each page's 64 data writes.
lcd_clear_chip:
        clrf    tmp2                    ; page
lcd_clear_page:
        movf    tmp2, W
        iorlw   LCD_PAGE
        call    lcd_command
        movlw   LCD_COLUMN
        call    lcd_command
        movlw   64
        movwf   tmp
lcd_clear_column:
        movlw   0
        call    lcd_data
        decfsz  tmp, F
        bra     lcd_clear_column
        incf    tmp2, F
        btfss   tmp2, 3                 ; 8 pages
        bra     lcd_clear_page
        return

; lcd_select_left / lcd_select_right / lcd_select_none: raise exactly one chip select (or
; none). The other is lowered first so that two controllers never take the same write.
lcd_select_left:
        bcf     LATB, LCD_CS2
        bsf     LATB, LCD_CS1
        return
lcd_select_right:
        bcf     LATB, LCD_CS1
        bsf     LATB, LCD_CS2
        return
lcd_select_none:
        bcf     LATB, LCD_CS1
        bcf     LATB, LCD_CS2
        return

; lcd_command: writes W as an instruction (D/I low) to the selected controller.
lcd_command:
        bcf     LATB, LCD_DI
        bra     lcd_strobe

; lcd_data: writes W as display data (D/I high) to the selected controller; the controller
; moves its column on by one by itself.
lcd_data:
        bsf     LATB, LCD_DI

; lcd_strobe: puts W on D0-D7 and pulses E; the controller latches on E's falling edge. Then
; gives the controller 10 us before the next access.
lcd_strobe:
        movwf   LATD
        bsf     LATB, LCD_E
        ifndef MUT_SHORT_E
        nop                             ; E high 3 cycles = 600 ns
        nop
        endif
        bcf     LATB, LCD_E
        goto    delay_10us

; lcd_put_byte: writes W as byte number idx_hi:idx_lo (0-1023) of a vertical picture. At
; column 0 and column 64 of a page it selects the controller and sets its page and column 0;
; within a half the controller's own column count places the byte.
lcd_put_byte:
        movwf   lcd_byte
        movf    idx_lo, W
        andlw   0x3F
        bnz     lcd_put_data
        btfsc   idx_lo, 6
        bra     lcd_put_right
        call    lcd_select_left
        bra     lcd_put_position
lcd_put_right:
        call    lcd_select_right
lcd_put_position:
        rlcf    idx_lo, W               ; carry = bit 7 of the index
        rlcf    idx_hi, W               ; W = index / 128 = page
        andlw   7
        iorlw   LCD_PAGE
        call    lcd_command
        movlw   LCD_COLUMN
        call    lcd_command
lcd_put_data:
        movf    lcd_byte, W
        call    lcd_data
        ifdef MUT_SLOW_BYTE
; fault variant: every picture byte takes 2 ms, too slow for the line
        movlw   2
        call    delay_ms
        endif
        return
