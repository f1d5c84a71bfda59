; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; The EUSART at 19200 baud 8N1 and the 2 ms tick. Characters are taken from the UART under
; interrupt into a 256-byte ring, so that an LCD write, an EEPROM page write or a reply never
; makes the two-character hardware FIFO overflow. A character that cannot be kept (the UART's
; overrun, or a full ring) is counted in lost_hi:lost_lo and reported by the main loop.

        list    r=dec

; uart_init: 19200 baud from 20 MHz (BRGH = 1, SPBRG = 64: 19231 baud, +0.16 %), receiver and
; transmitter on, receive interrupt on; Timer2 gives an interrupt every 2 ms (prescale 16,
; PR2 124, postscale 5) that measures the quiet time on the line. Both RC6 and RC7 stay inputs
; in TRISC as the EUSART requires; it drives TX itself.
uart_init:
        bsf     TRISC, 6
        bsf     TRISC, 7
        clrf    BAUDCON
        movlw   64
        movwf   SPBRG
        clrf    SPBRGH
        movlw   (1 << TXEN) | (1 << BRGH)
        movwf   TXSTA
        movlw   (1 << SPEN) | (1 << CREN)
        movwf   RCSTA
        movf    RCREG, W                ; drop anything seen while the pins settled
        movf    RCREG, W
        clrf    rx_head
        clrf    rx_tail
        clrf    lost_lo
        clrf    lost_hi
        clrf    idle_ticks
        movlw   124
        movwf   PR2
        clrf    TMR2
        movlw   (4 << 3) | (1 << TMR2ON) | 2 ; postscale 1:5, on, prescale 1:16
        movwf   T2CON
        clrf    PIR1
        movlw   (1 << RCIE) | (1 << TMR2IE)
        movwf   PIE1
        movlw   (1 << GIE) | (1 << PEIE)
        movwf   INTCON
        return

; isr: the only interrupt routine. Moves every character the UART holds into the ring (a full
; ring drops the character and counts it), restarts the receiver after an overrun (the UART
; stops receiving until CREN is cleared; the character that did not fit is counted), and
; counts the 2 ms tick. Uses only W, STATUS, BSR (saved by the fast return stack) and FSR2
; (used nowhere else).
isr:
isr_rx:
        btfss   PIR1, RCIF
        bra     isr_overrun
        movf    rx_head, W
        movwf   FSR2L
        movlw   high(RING)
        movwf   FSR2H
        movf    RCREG, W                ; the character; the slot at rx_head is always free
        movwf   INDF2
        incf    rx_head, W
        cpfseq  rx_tail                 ; rx_tail == rx_head + 1: the ring is full
        bra     isr_keep
        infsnz  lost_lo, F
        incf    lost_hi, F
        bra     isr_heard
isr_keep:
        movwf   rx_head
isr_heard:
        clrf    idle_ticks
        bra     isr_rx
isr_overrun:
        btfss   RCSTA, OERR
        bra     isr_tick
        bcf     RCSTA, CREN
        bsf     RCSTA, CREN
        infsnz  lost_lo, F
        incf    lost_hi, F
isr_tick:
        btfss   PIR1, TMR2IF
        retfie  FAST
        bcf     PIR1, TMR2IF
        incfsz  idle_ticks, W           ; count up, stay at 255
        movwf   idle_ticks
        retfie  FAST

; rx_get: takes the oldest character from the ring. Carry set and W = character when there
; was one; carry clear when the ring is empty. The slot is read before rx_tail moves on, so
; the interrupt cannot overwrite it meanwhile.
rx_get:
        movf    rx_head, W
        xorwf   rx_tail, W
        bz      rx_get_empty
        movf    rx_tail, W
        movwf   FSR0L
        movlw   high(RING)
        movwf   FSR0H
        movf    INDF0, W
        incf    rx_tail, F
        bsf     STATUS, C
        return
rx_get_empty:
        bcf     STATUS, C
        return

; take_lost: copies the count of lost characters to num_hi:num_lo and sets it back to zero,
; with interrupts held off so that no count is lost between the two bytes.
take_lost:
        bcf     INTCON, GIE
        movf    lost_lo, W
        movwf   num_lo
        movf    lost_hi, W
        movwf   num_hi
        clrf    lost_lo
        clrf    lost_hi
        bsf     INTCON, GIE
        return

; tx_byte: sends W on TX, waiting while the transmit register is still full (at most one
; character time, 521 us). Reception goes on under interrupt meanwhile.
tx_byte:
        btfss   PIR1, TXIF
        bra     tx_byte
        movwf   TXREG
        return
