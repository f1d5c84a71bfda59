; SPDX-License-Identifier: MIT
; Copyright The Quorvel Graphic LCD ToolBox authors
;
; Reference firmware for the PIC that takes the ToolBox's stream: a PIC18F4520 at 20 MHz (HS
; crystal) with a 128x64 KS0108 graphic LCD on ports B and D, a 24LC256 I2C EEPROM on the MSSP
; (RC3 SCL, RC4 SDA) and the host on the EUSART (RC6 TX, RC7 RX) at 19200 baud 8N1.
;
; This file holds the configuration bits, the memory map, the reset and interrupt vectors, the
; start-up sequence and the main loop; every other concern has a file of its own, included at
; the end (absolute mode: one assembly, no linker).
;
; Build: gpasm -p18f4520 -o quorvel-pic.hex quorvel-pic.asm
; Fault variants for the simulator checks are built with -D <switch>=1, see README.md.

        list    r=dec
        errorlevel -302, -1301          ; SFRs sit in the access bank; access is the default
        #include <p18f4520.inc>

; ---------------------------------------------------------------------------------------------
; Configuration bits
; HS: 20 MHz crystal. PBADEN OFF: RB0-RB4 come out of reset as digital pins (they drive the
; LCD). LVP OFF: RB5 is the LCD's /RST, not the low-voltage programming pin. WDT OFF: the code
; never waits without a bound. PWRT OFF so that READY goes out well within 100 ms of reset;
; brown-out reset holds the chip while the supply is low instead.
        CONFIG  OSC = HS, FCMEN = OFF, IESO = OFF
        CONFIG  PWRT = OFF, BOREN = SBORDIS, BORV = 3
        CONFIG  WDT = OFF, WDTPS = 32768
        CONFIG  CCP2MX = PORTC, PBADEN = OFF, LPT1OSC = OFF, MCLRE = ON
        CONFIG  STVREN = ON, LVP = OFF, XINST = OFF, DEBUG = OFF
        CONFIG  CP0 = OFF, CP1 = OFF, CP2 = OFF, CP3 = OFF, CPB = OFF, CPD = OFF
        CONFIG  WRT0 = OFF, WRT1 = OFF, WRT2 = OFF, WRT3 = OFF, WRTC = OFF, WRTB = OFF, WRTD = OFF
        CONFIG  EBTR0 = OFF, EBTR1 = OFF, EBTR2 = OFF, EBTR3 = OFF, EBTRB = OFF

; ---------------------------------------------------------------------------------------------
; Memory map. Every scalar lives in the access bank (0x000-0x07F), so no code needs BSR.
; Arrays are reached through the FSRs: the receive ring fills bank 1 so that its 8-bit
; indices wrap by themselves, the EEPROM page buffer sits in bank 2.

RING            equ     0x100           ; 256-byte receive ring (bank 1)
PAGE_BUF        equ     0x200           ; 64-byte EEPROM page buffer (bank 2)
WAIT_MAX        equ     16              ; characters of the wait text compared
HDR_MAX         equ     11              ; header characters kept for an error line

        cblock  0x000
        ; receive ring and time (written by the interrupt)
        rx_head                         ; next free slot, written by the interrupt only
        rx_tail                         ; next slot to read, written by the main loop only
        lost_lo, lost_hi                ; characters lost (overrun or full ring)
        idle_ticks                      ; 2 ms ticks since the last character, stops at 255
        ; scratch
        ch, val, tmp, tmp2
        d_ms, d_in, d_out
        hv_ch, hv_t
        num_lo, num_hi, dec_digit, dec_lead
        ; stream parser
        state, hdr_pos, hdr_len
        mode, addr_lo, addr_hi, pic_delay
        count_lo, count_hi              ; bytes taken in this transfer
        nib_hi, pflags
        bad_lo, bad_hi                  ; characters neither hex nor the wait text
        noh_lo, noh_hi                  ; characters outside any transfer
        run_len, wait_len               ; separator run being read, wait text learnt
        extra_lo, extra_hi              ; hex digits after a mode 2 header
        ; KS0108
        lcd_byte, idx_lo, idx_hi
        ; EEPROM
        ee_flags, ee_next_lo, ee_next_hi, ee_page_lo, ee_page_hi, page_len
        ee_lost_lo, ee_lost_hi, ee_tries, i2c_to_lo, i2c_to_hi, i2c_byte
        ; texts
        hdr_text:HDR_MAX
        wait_text:WAIT_MAX
        endc

; pflags bits
PF_NIBBLE       equ     0               ; a high nibble waits for its partner
PF_WAIT_KNOWN   equ     1               ; the wait text has been learnt in this transfer
PF_RUN_BAD      equ     2               ; the separator run read now differs from the wait text
PF_LCD_DONE     equ     3               ; the picture's reply went out

; parser states
ST_IDLE         equ     0               ; between transfers
ST_SKIP         equ     1               ; after an unreadable header: wait for the next '*'
ST_HEADER       equ     2               ; reading the header
ST_DATA         equ     3               ; reading wait texts and chunks

; idle time that ends a transfer: 400 ms in 2 ms ticks
IDLE_END_TICKS  equ     200

; SAY label: sends the zero-ended text at label (program memory) on TX.
SAY     macro   label
        movlw   upper(label)
        movwf   TBLPTRU
        movlw   high(label)
        movwf   TBLPTRH
        movlw   low(label)
        movwf   TBLPTRL
        call    tx_text
        endm

; ---------------------------------------------------------------------------------------------
; Vectors. Interrupt priorities stay off (IPEN = 0): every interrupt enters at 0x0008.

        org     0x0000
        goto    start

        org     0x0008
        goto    isr

        org     0x0018
        goto    isr

; ---------------------------------------------------------------------------------------------
; start: the reset path. Makes every pin digital, sets up the UART, the 2 ms tick and the
; MSSP, brings the LCD out of reset and clears it, then says READY and enters the main loop.
start:
        movlw   0x0F                    ; AN0-AN12 digital
        movwf   ADCON1
        movlw   0x07                    ; comparators off
        movwf   CMCON
        clrf    INTCON
        lfsr    FSR0, 0x000             ; clear the access-bank variables
clear_vars:
        clrf    POSTINC0
        movlw   0x80
        cpfseq  FSR0L
        bra     clear_vars
        call    lcd_init
        call    i2c_init
        call    uart_init
        SAY     txt_ready
        call    tx_crlf

; ---------------------------------------------------------------------------------------------
; main_loop: takes one character from the ring at a time and hands it to the parser; when the
; ring is empty and the line has been quiet for 400 ms, ends the transfer that is open.
main_loop:
        call    rx_get
        bc      main_char
        movlw   IDLE_END_TICKS
        cpfslt  idle_ticks
        call    on_idle
        bra     main_loop
main_char:
        call    parse_char
        bra     main_loop

        #include "delay.asm"
        #include "uart.asm"
        #include "replies.asm"
        #include "ks0108.asm"
        #include "eeprom.asm"
        #include "parser.asm"

        end
