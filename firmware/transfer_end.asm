; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; The end of a transfer: 400 ms of quiet on the line or a '*' closes it. Here the parser's counts
; become reply lines: lost characters first, then what was wrong with the transfer, then its
; result (a picture answered already when its 1024th byte reached the LCD). Afterwards the
; parser waits for the next header.

        list    r=dec

; on_idle: the line has been quiet for 400 ms and every character is parsed: ends the open
; transfer, or reports characters that came outside any transfer or were lost.
on_idle:
        movf    state, W
        bnz     end_transfer
        movf    noh_lo, W
        iorwf   noh_hi, W
        iorwf   lost_lo, W
        iorwf   lost_hi, W
        bnz     end_transfer
        return

; end_transfer: the transfer is over (a '*' or 400 ms of quiet). Reports lost characters, then
; what was wrong with the transfer, then its result line (a picture answered already at its
; 1024th byte). Afterwards the parser waits for the next header.
end_transfer:
        call    report_lost
        movf    state, W
        bz      end_outside
        xorlw   ST_SKIP
        bz      end_clear
        movf    state, W
        xorlw   ST_HEADER
        bnz     end_data
        movlw   9                       ; a header with its first delay digit is complete
        cpfslt  hdr_pos
        bra     end_header_complete
        call    header_error
        bra     end_clear
end_header_complete:
        call    begin_data
end_data:
        movf    run_len, W
        btfss   STATUS, Z
        call    finish_run
        btfss   pflags, PF_NIBBLE
        bra     end_nibbles_ok
        SAY     txt_err_odd
        call    tx_crlf
end_nibbles_ok:
        movf    bad_lo, W
        iorwf   bad_hi, W
        bz      end_chars_ok
        SAY     txt_err
        movf    bad_lo, W
        movwf   num_lo
        movf    bad_hi, W
        movwf   num_hi
        call    tx_dec16
        SAY     txt_bad_chars
        call    tx_crlf
end_chars_ok:
        movf    mode, W
        xorlw   1
        bz      end_load
        movf    mode, W
        xorlw   2
        bz      end_show
        call    end_picture
        bra     end_clear
end_show:
        movf    extra_lo, W
        iorwf   extra_hi, W
        bz      end_clear
        SAY     txt_err_after
        call    tx_crlf
        bra     end_clear
end_load:
        call    end_of_load
end_clear:
        movlw   ST_IDLE
        movwf   state
        bcf     pflags, PF_PARK
        return
end_outside:
        movf    noh_lo, W
        iorwf   noh_hi, W
        bz      end_outside_done
        SAY     txt_err_noh
        movf    noh_lo, W
        movwf   num_lo
        movf    noh_hi, W
        movwf   num_hi
        call    tx_dec16
        SAY     txt_chars
        call    tx_crlf
        clrf    noh_lo
        clrf    noh_hi
end_outside_done:
        return

; end_picture: a picture that did not reach 1024 bytes was cut off; one longer than 1024 is
; not a vertical 128x64 picture (a horizontal one has 1025 bytes).
end_picture:
        call    lcd_select_none
        movf    count_lo, W
        movwf   num_lo
        movf    count_hi, W
        movwf   num_hi
        movlw   4
        cpfslt  count_hi
        bra     end_picture_long
        SAY     txt_err_cut
        call    tx_dec16
        SAY     txt_of_1024
        goto    tx_crlf
end_picture_long:
        cpfseq  count_hi                ; W is still 4: exactly 1024 was answered already
        bra     end_picture_size
        movf    count_lo, F
        bnz     end_picture_size
        return
end_picture_size:
        SAY     txt_err_size
        call    tx_dec16
        SAY     txt_size_hint
        goto    tx_crlf

; end_of_load: writes the last, partly filled page and answers with the count and address.
end_of_load:
        call    ee_write_page
        movf    ee_lost_lo, W
        iorwf   ee_lost_hi, W
        bz      end_of_load_room
        SAY     txt_err_full
        movf    ee_lost_lo, W
        movwf   num_lo
        movf    ee_lost_hi, W
        movwf   num_hi
        call    tx_dec16
        SAY     txt_lost
        call    tx_crlf
end_of_load_room:
        btfss   ee_flags, EE_FAULT
        bra     end_of_load_reply
        SAY     txt_err_ee
        goto    tx_crlf
end_of_load_reply:
        SAY     txt_eeprom
        movf    ee_lost_lo, W           ; bytes stored = bytes taken - bytes lost
        subwf   count_lo, W
        movwf   num_lo
        movf    ee_lost_hi, W
        subwfb  count_hi, W
        movwf   num_hi
        call    tx_dec16
        SAY     txt_bytes_at
        call    tx_addr
        goto    tx_crlf

; report_lost: one OVERRUN line when characters were lost since the last report.
report_lost:
        call    take_lost
        movf    num_lo, W
        iorwf   num_hi, W
        bz      report_lost_none
        SAY     txt_overrun
        call    tx_dec16
        SAY     txt_lost_chars
        goto    tx_crlf
report_lost_none:
        return
