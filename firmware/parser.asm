; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; The stream parser. A transfer is a header
;     '*', mode digit, buffer size (2 hex), EEPROM address (4 hex), '0', delay (1 or 2 hex)
; ended by the first character that is not a hex digit (or by the second delay digit), then
; wait text and chunk of hex digits, again and again. Any run of characters that are neither
; hex digits nor '*' separates chunks; the first such run of a transfer is taken as its wait
; text, and later runs that differ from it are counted as bad characters. A byte's two digits
; may lie on either side of a wait text (the buffer size may be odd). A '*' starts a new header
; wherever it comes; 400 ms without a character also ends a transfer.
;
; Modes 0, 3 and 4 put a picture on the LCD, one byte as soon as its two digits are in; mode 1
; loads bytes into the EEPROM from the header's address; mode 2 shows the EEPROM's 1024 bytes
; from the header's address on the LCD.

        list    r=dec

; hex_value: W = character. Carry set and W = 0-15 for a hex digit (either case), carry clear
; for anything else.
hex_value:
        movwf   hv_ch
        movlw   '0'
        subwf   hv_ch, W                ; carry: character >= '0'
        bnc     hex_value_no
        movwf   hv_t
        movlw   10
        cpfslt  hv_t                    ; skip when a decimal digit
        bra     hex_value_letter
        movf    hv_t, W
        bsf     STATUS, C
        return
hex_value_letter:
        movf    hv_ch, W
        iorlw   0x20                    ; 'A'-'F' to 'a'-'f'
        addlw   256 - 'a'               ; carry: at least 'a'
        bnc     hex_value_no
        movwf   hv_t
        movlw   6
        cpfslt  hv_t
        bra     hex_value_no
        movf    hv_t, W
        addlw   10
        bsf     STATUS, C
        return
hex_value_no:
        bcf     STATUS, C
        return

; parse_char: W = the next character from the line. A '*' ends the open transfer and starts a
; header; anything else goes to the reader of the current state.
parse_char:
        movwf   ch
        movlw   '*'
        cpfseq  ch
        bra     parse_by_state
        call    end_transfer
        bra     start_header
parse_by_state:
        movf    state, W
        xorlw   ST_HEADER
        bz      header_char
        movf    state, W
        xorlw   ST_DATA
        btfsc   STATUS, Z
        goto    data_char
        movf    state, W
        xorlw   ST_SKIP
        bz      parse_done
        infsnz  noh_lo, F               ; outside any transfer
        incf    noh_hi, F
parse_done:
        return

; start_header: a '*' came; the header's fields are read from the next character on.
start_header:
        movlw   ST_HEADER
        movwf   state
        clrf    hdr_pos
        movlw   '*'
        movwf   hdr_text
        movlw   1
        movwf   hdr_len
        clrf    mode
        clrf    addr_lo
        clrf    addr_hi
        clrf    pic_delay
        return

; header_char: one header character (in ch), by its position after the '*'.
header_char:
        movlw   HDR_MAX                 ; keep it for an error line
        cpfslt  hdr_len
        bra     header_by_position
        lfsr    FSR1, hdr_text
        movf    hdr_len, W
        addwf   FSR1L, F
        movf    ch, W
        movwf   INDF1
        incf    hdr_len, F
header_by_position:
        movf    hdr_pos, W
        incf    hdr_pos, F
        addlw   0                       ; position 0: mode
        bz      header_mode
        addlw   256 - 3                 ; positions 1-2: buffer size
        bnc     header_buffer
        addlw   256 - 4                 ; positions 3-6: address
        bnc     header_address
        bz      header_zero             ; position 7: the '0' before the delay
        addlw   256 - 1
        bz      header_delay            ; position 8: first delay digit
        bra     header_delay_more       ; position 9: second delay digit or the end

; header_mode: the mode digit, 0-4.
header_mode:
        movf    ch, W
        call    hex_value
        bnc     header_error
        movwf   mode
        movlw   5
        cpfslt  mode
        bra     mode_error
        return

; header_buffer: a digit of the buffer size.
header_buffer:
        movf    ch, W                   ; the buffer size only paces the sender
        call    hex_value
        bnc     header_error
        return

; header_address: a digit of the EEPROM address, most significant first; the last one is checked
; against the end of the 24LC256 in the modes that use it.
header_address:
        movf    ch, W
        call    hex_value
        bnc     header_error
        movwf   val
        swapf   addr_hi, W              ; address = address * 16 + digit
        andlw   0xF0
        movwf   addr_hi
        swapf   addr_lo, W
        andlw   0x0F
        iorwf   addr_hi, F
        swapf   addr_lo, W
        andlw   0xF0
        iorwf   val, W
        movwf   addr_lo
        movlw   7
        cpfseq  hdr_pos
        return
        movf    mode, W                 ; the last digit: the EEPROM modes need a real address
        xorlw   1
        bz      header_check_address
        movf    mode, W
        xorlw   2
        bz      header_check_address
        return
header_check_address:
        btfsc   addr_hi, 7
        bra     address_error
        return

; header_zero: the '0' that opens the delay field.
header_zero:
        movlw   '0'
        cpfseq  ch
        bra     header_error
        return

; header_delay: the first digit of the PIC Delay.
header_delay:
        movf    ch, W
        call    hex_value
        bnc     header_error
        movwf   pic_delay
        return

; header_delay_more: a second delay digit completes the header; any other character ends it and
; is read as data.
header_delay_more:
        movf    ch, W
        call    hex_value
        bnc     header_delay_ended
        movwf   val
        swapf   pic_delay, W
        iorwf   val, W
        movwf   pic_delay
        bra     begin_data
header_delay_ended:
        call    begin_data              ; this character is the first of the wait text
        bra     data_char

; header_error / mode_error / address_error: the header cannot be used; says so and skips
; everything up to the next '*'.
header_error:
        SAY     txt_err_hdr
        lfsr    FSR1, hdr_text
header_error_char:
        movf    POSTINC1, W
        call    tx_safe_char
        decfsz  hdr_len, F
        bra     header_error_char
        bra     reply_end_skip
mode_error:
        SAY     txt_err_mode
        movf    ch, W
        call    tx_safe_char
        bra     reply_end_skip
address_error:
        SAY     txt_err_addr
        call    tx_addr
        SAY     txt_past_end
reply_end_skip:
        call    tx_crlf
        movlw   ST_SKIP
        movwf   state
        return

; begin_data: the header is complete. Clears the transfer's counts; a load opens its page
; buffer at the header's address; a show (mode 2) runs at once and answers.
begin_data:
        movlw   ST_DATA
        movwf   state
        clrf    count_lo
        clrf    count_hi
        clrf    pflags
        clrf    bad_lo
        clrf    bad_hi
        clrf    run_len
        clrf    extra_lo
        clrf    extra_hi
        movf    mode, W
        xorlw   1
        btfsc   STATUS, Z
        goto    ee_begin_load
        movf    mode, W
        xorlw   2
        bz      show_eeprom
        return
show_eeprom:
        call    ee_show
        btfsc   ee_flags, EE_FAULT
        bra     reply_ee_fault
        SAY     txt_lcd_ee
        call    tx_addr
        goto    tx_crlf
reply_ee_fault:
        SAY     txt_err_ee
        goto    tx_crlf

; data_char: one character (in ch) after the header: a hex digit completes or opens a byte,
; anything else belongs to a wait text.
data_char:
        movf    ch, W
        call    hex_value
        bnc     data_separator
        movwf   val
        movf    run_len, W              ; a wait text just ended
        btfss   STATUS, Z
        call    finish_run
        movf    mode, W
        xorlw   2
        bz      data_after_show
        btfsc   pflags, PF_NIBBLE
        bra     data_low_digit
        ifdef MUT_NIBBLE_SWAP
        movf    val, W                  ; fault variant: the first digit kept as the low nibble
        else
        swapf   val, W                  ; the high digit, kept in the high nibble
        endif
        movwf   nib_hi
        bsf     pflags, PF_NIBBLE
        movf    mode, W                 ; a picture byte: the LCD gets ready for it now
        xorlw   1
        bz      data_done
        movlw   4
        cpfslt  count_hi
        bra     data_done
        movf    count_lo, W
        movwf   idx_lo
        movf    count_hi, W
        movwf   idx_hi
        call    lcd_position
        bsf     pflags, PF_PARK
        return
data_low_digit:
        movf    val, W
        call    byte_of_digits
        movwf   val                     ; the byte
        movf    mode, W
        xorlw   1
        bnz     data_to_lcd
        movf    val, W
        call    ee_put_byte
        bra     data_count
data_to_lcd:
        movlw   4                       ; bytes past 1024 are counted, not shown
        cpfslt  count_hi
        bra     data_count
        movf    val, W
        call    lcd_data
data_lcd_written:
        call    lcd_byte_written
data_count:
        infsnz  count_lo, F
        incf    count_hi, F
        movf    count_lo, W             ; stop at 65535
        iorwf   count_hi, W
        bnz     data_counted
        setf    count_lo
        setf    count_hi
data_counted:
        movf    mode, W
        xorlw   1
        bz      data_done
        movlw   4                       ; the 1024th byte is on the LCD: answer now
        cpfseq  count_hi
        return
        movf    count_lo, F
        bnz     data_done
        call    lcd_select_none
        SAY     txt_lcd_full
        goto    tx_crlf
data_after_show:
        infsnz  extra_lo, F
        incf    extra_hi, F
data_done:
        return

; byte_of_digits: W = the low digit; returns the byte made with the high digit kept (already
; shifted) in nib_hi, and marks the byte complete.
byte_of_digits:
        bcf     pflags, PF_NIBBLE
        bcf     pflags, PF_PARK
        ifdef MUT_NIBBLE_SWAP
; fault variant: the second digit taken as the high nibble
        movwf   tmp
        swapf   tmp, W
        endif
        iorwf   nib_hi, W
        return

; data_separator: a character of a wait text. The first run of the transfer is learnt; later
; runs are compared character by character (the first WAIT_MAX of them).
data_separator:
        movlw   WAIT_MAX
        cpfslt  run_len
        bra     separator_count
        lfsr    FSR1, wait_text
        movf    run_len, W
        addwf   FSR1L, F
        btfsc   pflags, PF_WAIT_KNOWN
        bra     separator_compare
        movf    ch, W
        movwf   INDF1
        bra     separator_count
separator_compare:
        movf    ch, W
        cpfseq  INDF1
        bsf     pflags, PF_RUN_BAD
separator_count:
        incfsz  run_len, W              ; stops at 255
        movwf   run_len
        return

; finish_run: a wait text has ended. The first one becomes the transfer's wait text; a later
; one of another length or with other characters is counted as bad characters.
finish_run:
        btfsc   pflags, PF_WAIT_KNOWN
        bra     finish_run_check
        movf    run_len, W
        movwf   wait_len
        bsf     pflags, PF_WAIT_KNOWN
        bra     finish_run_done
finish_run_check:
        movf    run_len, W
        cpfseq  wait_len
        bsf     pflags, PF_RUN_BAD
        btfss   pflags, PF_RUN_BAD
        bra     finish_run_done
        movf    run_len, W
        addwf   bad_lo, F
        movlw   0
        addwfc  bad_hi, F
finish_run_done:
        clrf    run_len
        bcf     pflags, PF_RUN_BAD
        return

; wait_low_digit: called by the main loop when the ring is empty. When a picture byte's high
; digit is in and the LCD is positioned for it (PF_PARK), waits for the low digit at the UART
; itself, with the receive interrupt held off, and writes the byte the moment it arrives: about
; 7 us after the UART has the character, within its stop bit, so that the last byte of a chunk
; is on the LCD before a wait text sent straight after it begins. Anything but a hex digit goes
; to the parser as usual; 400 ms of quiet hands back to the main loop, which ends the transfer.
wait_low_digit:
        btfss   pflags, PF_PARK
        return
        bcf     PIE1, RCIE
        movf    rx_head, W              ; a character may have come in just before
        xorwf   rx_tail, W
        bnz     wait_low_leave
wait_low_poll:
        btfsc   PIR1, RCIF
        bra     wait_low_char
        movlw   IDLE_END_TICKS
        cpfslt  idle_ticks
        bra     wait_low_leave
        bra     wait_low_poll
wait_low_char:
        btfsc   RCSTA, OERR             ; let the interrupt count and clear an overrun
        bra     wait_low_leave
        movf    RCREG, W
        movwf   ch
        call    hex_value
        bnc     wait_low_other
        ifdef MUT_NIBBLE_SWAP
        movwf   tmp
        swapf   tmp, W
        endif
        iorwf   nib_hi, W               ; byte_of_digits, inline to save its call
        call    lcd_data                ; the byte is on the LCD
        bcf     pflags, PF_NIBBLE
        bcf     pflags, PF_PARK
        bsf     PIE1, RCIE
        clrf    idle_ticks
        movf    run_len, W              ; a wait text inside the byte (odd buffer size) ended
        btfss   STATUS, Z
        call    finish_run
        goto    data_lcd_written
wait_low_other:
        bsf     PIE1, RCIE
        clrf    idle_ticks
        movf    ch, W
        goto    parse_char
wait_low_leave:
        bsf     PIE1, RCIE
        return
