; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; The lines the firmware sends back on TX, each ending CR LF, and the number formatting they
; need. They start with the same words as the ToolBox's virtual PIC (READY, LCD, EEPROM,
; OVERRUN, ERROR), so that the receive window and the tests read one language.

        list    r=dec

; tx_text: sends the zero-ended text that TBLPTR points at (set by the SAY macro).
tx_text:
        tblrd*+
        movf    TABLAT, W
        bz      tx_text_done
        call    tx_byte
        bra     tx_text
tx_text_done:
        return

; tx_crlf: ends a reply line.
tx_crlf:
        movlw   13
        call    tx_byte
        movlw   10
        bra     tx_byte

; tx_hex_digit: sends the low nibble of W as an upper-case hex digit.
tx_hex_digit:
        andlw   0x0F
        addlw   0xF6                    ; carry when the nibble is 10 or more
        btfsc   STATUS, C
        addlw   7
        addlw   0x3A
        bra     tx_byte

; tx_addr: sends the header's EEPROM address (addr_hi:addr_lo) as four upper-case hex digits,
; through tx_hex16 below.
tx_addr:
        movf    addr_lo, W
        movwf   num_lo
        movf    addr_hi, W
        movwf   num_hi
; tx_hex16: sends num_hi:num_lo as four upper-case hex digits (an EEPROM address).
tx_hex16:
        swapf   num_hi, W
        call    tx_hex_digit
        movf    num_hi, W
        call    tx_hex_digit
        swapf   num_lo, W
        call    tx_hex_digit
        movf    num_lo, W
        bra     tx_hex_digit

; tx_dec16: sends num_hi:num_lo in decimal without leading zeros (a count). Subtracts each
; power of ten as often as it goes; num ends at zero.
tx_dec16:
        clrf    dec_lead
        movlw   high(10000)
        movwf   tmp2
        movlw   low(10000)
        call    tx_dec_place
        movlw   high(1000)
        movwf   tmp2
        movlw   low(1000)
        call    tx_dec_place
        movlw   0
        movwf   tmp2
        movlw   100
        call    tx_dec_place
        movlw   0
        movwf   tmp2
        movlw   10
        call    tx_dec_place
        movf    num_lo, W
        addlw   '0'
        bra     tx_byte

; tx_dec_place: one decimal place of tx_dec16; the place value is tmp2:W.
tx_dec_place:
        movwf   tmp
        clrf    dec_digit
tx_dec_sub:
        movf    tmp, W                  ; num -= place, while num >= place
        subwf   num_lo, W
        movwf   hv_t
        movf    tmp2, W
        subwfb  num_hi, W
        bnc     tx_dec_out              ; borrow: num < place
        movwf   num_hi
        movf    hv_t, W
        movwf   num_lo
        incf    dec_digit, F
        bra     tx_dec_sub
tx_dec_out:
        movf    dec_digit, W
        iorwf   dec_lead, F             ; leading zeros stay unsent
        bz      tx_dec_place_done
        addlw   '0'
        bra     tx_byte
tx_dec_place_done:
        return

; tx_safe_char: sends W, or '?' for a control character or one above '~', so that an error
; line that quotes the line's characters stays one readable line.
tx_safe_char:
        movwf   tmp
        movlw   ' '
        cpfslt  tmp                     ; skip when below the space
        bra     tx_safe_high
        bra     tx_safe_question
tx_safe_high:
        movlw   '~'
        cpfsgt  tmp                     ; skip when above the tilde
        bra     tx_safe_plain
tx_safe_question:
        movlw   '?'
        bra     tx_byte
tx_safe_plain:
        movf    tmp, W
        bra     tx_byte

; The texts. db packs two characters per program word; every text ends with a zero.
txt_ready:      db      "READY", 0
txt_lcd_full:   db      "LCD 1024 bytes", 0
txt_lcd_ee:     db      "LCD from EEPROM ", 0
txt_eeprom:     db      "EEPROM ", 0
txt_bytes_at:   db      " bytes at ", 0
txt_overrun:    db      "OVERRUN ", 0
txt_lost_chars: db      " characters lost", 0
txt_err_hdr:    db      "ERROR header ", 0
txt_err_mode:   db      "ERROR mode ", 0
txt_err_addr:   db      "ERROR address ", 0
txt_past_end:   db      " past 7FFF", 0
txt_err_odd:    db      "ERROR odd hex count", 0
txt_err:        db      "ERROR ", 0
txt_bad_chars:  db      " bad chars", 0
txt_err_noh:    db      "ERROR no header: ", 0
txt_chars:      db      " chars", 0
txt_err_cut:    db      "ERROR picture cut off after ", 0
txt_of_1024:    db      " of 1024 bytes", 0
txt_err_size:   db      "ERROR size ", 0
txt_size_hint:  db      " bytes, the 128x64 KS0108 takes 1024 (Byte Matrix Vertical KS0108)", 0
txt_err_full:   db      "ERROR EEPROM full: ", 0
txt_lost:       db      " lost", 0
txt_err_ee:     db      "ERROR EEPROM not answering", 0
txt_err_after:  db      "ERROR data after show", 0
