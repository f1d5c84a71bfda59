// The names an exported table may take: what a C or C++ compiler, gpasm or a BASIC already uses.
#include "convert/Export.h"

#include <QRegularExpression>
#include <QSet>

namespace {
// A set of the words in a text separated by spaces.
QSet<QString> wordSet(const char* text) {
    QSet<QString> words;
    for (const QString& word :
         QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.insert(word);
    return words;
}

// Every keyword of C up to C23 and of C++ up to C++20 (alternative operator names and the
// transactional-memory words included), GNU C's asm and typeof, the C++ words that mean something
// in some places (final, override, import, module), the standard C header macros that read as
// keywords (complex, imaginary, noreturn), and the names any program already has: main, std.
// C's _Bool, _Atomic and the like need no entry: a leading '_' before a letter is taken off.
const QSet<QString>& cWords() {
    static const QSet<QString> words = wordSet(
        "alignas alignof and and_eq asm atomic_cancel atomic_commit atomic_noexcept auto bitand "
        "bitor bool break case catch char char8_t char16_t char32_t class co_await co_return "
        "co_yield compl complex concept const const_cast consteval constexpr constinit continue "
        "decltype default defined delete do double dynamic_cast else enum explicit export "
        "extern false final float for friend goto if imaginary import inline int long main "
        "module mutable namespace new noexcept noreturn not not_eq nullptr operator or or_eq "
        "override private protected public reflexpr register reinterpret_cast requires restrict "
        "return short signed sizeof static static_assert static_cast std struct switch "
        "synchronized template this thread_local throw true try typedef typeid typename typeof "
        "typeof_unqual union unsigned using virtual void volatile wchar_t while xor xor_eq");
    return words;
}

// Macros gcc defines in its GNU modes (-std=gnu11, its default) without a leading underscore, on
// the targets where it does: linux and unix on every Linux, i386 on 32-bit x86, AVR for avr-gcc.
const QSet<QString>& gccMacros() {
    static const QSet<QString> words = wordSet(
        "AMIGA AVR BSD_NET2 GO32 MIPSEB MIPSEL MSDOS PPC PWB R3000 R4000 VMS WIN32 WIN64 WINNT "
        "aegis alpha amiga apollo bsd4_2 bsd4_3 bsd4_4 gould host_mips hp800 hp9000s200 "
        "hp9000s300 hp9000s500 hp9000s700 hp9000s800 hppa hpux i386 i486 i586 i686 ibm032 "
        "interix linux m68k m88000 m88k mc68000 mc68010 mc68020 mc68030 mc68040 mc68881 mips "
        "ns32000 osf pdp11 powerpc pyr sequent sgi sony sony_news sparc sun tahoe u370 u3b "
        "u3b15 u3b2 u3b5 ultrix unix unos uts vax vms");
    return words;
}

// What <stddef.h>, <stdint.h> and <avr/pgmspace.h> (which the exports include) declare.
bool fromExportHeaders(const QString& id) {
    static const QRegularExpression names(
        QStringLiteral("^(u?int(8|16|32|64|ptr|max)_t|u?int_(least|fast)(8|16|32|64)_t"
                       "|(size|ptrdiff|wchar|wint|sig_atomic|max_align|nullptr)_t|NULL|offsetof"
                       "|U?INT(8|16|32|64|PTR|MAX)_(MIN|MAX|C|WIDTH)|U?INT_(LEAST|FAST)(8|16|32|64)"
                       "_(MIN|MAX|WIDTH)"
                       "|(SIZE|PTRDIFF|SIG_ATOMIC|WCHAR|WINT)_(MIN|MAX|WIDTH)"
                       "|PROGMEM|PGM_P|PGM_VOID_P|PSTR|pgm_\\w*[^_]|(mem|str)\\w*_PF?|strtok_rP"
                       "|prog_(void|char|uchar|u?int(8|16|32|64)_t))$"));
    return names.match(id).hasMatch();
}

// The NAME_WIDTH macros of C23's <stdint.h> and <limits.h>: a table called "size" would
// define SIZE_WIDTH a second time.
bool widthMacroTaken(const QString& id) {
    static const QRegularExpression taken(QStringLiteral(
        "^(U?INT(8|16|32|64|PTR|MAX)?|U?INT_(LEAST|FAST)(8|16|32|64)|SIZE|PTRDIFF|SIG_ATOMIC"
        "|WCHAR|WINT|S?CHAR|UCHAR|U?SHRT|U?LONG|U?LLONG|BOOL)$"));
    return taken.match(id.toUpper()).hasMatch();
}

// What <avr/pgmspace.h> brings in besides: <avr/io.h>, whose registers, bits and the like are
// macros in capitals on every AVR part (PORTB, SREG, SP, ...), its interrupt vector names, the
// bit test macros, and the printf and scanf format macros of <inttypes.h>.
bool fromAvrHeaders(const QString& id) {
    static const QRegularExpression names(
        QStringLiteral("^([A-Z0-9_]+|\\w+_vect(_num)?|(PRI|SCN)[diouxX]\\w+|u?int_farptr_t"
                       "|bit_is_(set|clear)|loop_until_bit_is_(set|clear))$"));
    return names.match(id).hasMatch();
}

// gpasm's PIC12/14/16 and PIC18 instructions (with the extended sets), its pseudo-instructions,
// directives and operators, the operand words, the STATUS flags, and the registers the processor
// include files of the mid-range and PIC18 parts define (those of the 16F877A and the 18F4520).
// Compared in lower case: mnemonics and directives are read in any case, and a program may be
// assembled with case-insensitive symbols.
const QSet<QString>& assemblerWords() {
    static const QSet<QString> words = wordSet(
        "addfsr addlw addulnk addwf addwfc andlw andwf asrf bc bcf bn bnc bnn bnov bnz bov bra "
        "brw bsf btfsc btfss btg bz call callw clrf clrw clrwdt comf cpfseq cpfsgt cpfslt daw "
        "dcfsnz decf decfsz goto incf incfsz infsnz iorlw iorwf lfsr lslf lsrf movf movff movfw "
        "moviw movlb movlp movlw movsf movss movwf movwi mullw mulwf negf nop option pop push "
        "pushl rcall reset retfie retlw return rlcf rlf rlncf rrcf rrf rrncf setf sleep subfsr "
        "subfwb sublw subulnk subwf subwfb swapf tblrd tblwt tris tstfsz xorlw xorwf addcf "
        "adddcf b bdc bndc clrc clrdc clrz lcall lgoto mode setc setdc setz skpc skpdc skpnc "
        "skpndc skpnz skpz subcf subdcf tstf access_ovr bankisel banksel cblock code code_pack "
        "config constant da data db de def define dt dtm dw elif else end endc endif endm endw "
        "equ error errorlevel exitm expand extern fill global idata idata_acs idlocs if ifdef "
        "ifndef include list local macro messg noexpand nolist org page pagesel pageselw "
        "processor radix res set space subtitle title udata udata_acs udata_ovr udata_shr "
        "undefine variable while high low upper a access banked w f c dc z n ov pd to not_pd "
        "not_to irp rp0 rp1 adcon0 adcon1 adcon2 adres adresh adresl baudcon baudctl bsr "
        "ccp1con ccp2con ccpr1 ccpr1h ccpr1l ccpr2 ccpr2h ccpr2l cmcon cvrcon ddra ddrb ddrc "
        "ddrd ddre eccp1as eccp1del eccpas eeadr eeadrh eecon1 eecon2 eedata eedath fsr fsr0h "
        "fsr0l fsr1h fsr1l fsr2h fsr2l hlvdcon indf indf0 indf1 indf2 intcon intcon2 intcon3 "
        "ipr1 ipr2 lata latb latc latd late lvdcon option_reg osccon osctune pc pcl pclath "
        "pclatu pcon pie1 pie2 pir1 pir2 plusw0 plusw1 plusw2 porta portb portc portd porte "
        "postdec0 postdec1 postdec2 postinc0 postinc1 postinc2 pr2 preinc0 preinc1 preinc2 prod "
        "prodh prodl pwm1con rcon rcreg rcsta spbrg spbrgh sspadd sspbuf sspcon sspcon1 sspcon2 "
        "sspstat status stkptr t0con t1con t2con t3con tablat tblptr tblptrh tblptrl tblptru "
        "tmr0 tmr0h tmr0l tmr1 tmr1h tmr1l tmr2 tmr3 tmr3h tmr3l tos tosh tosl tosu trisa trisb "
        "trisc trisd trise txreg txsta wdtcon wreg");
    return words;
}

// Statements and functions of the common BASICs (Microsoft-style, bwbasic, the PIC BASICs).
// Compared in upper case.
const QSet<QString>& basicWords() {
    static const QSet<QString> words = wordSet(
        "ABS AND AS ASC ATN BIT BYE BYTE CALL CASE CHAIN CHDIR CHR CINT CLEAR CLOSE CLS COMMON "
        "CON CONT COS CSNG DATA DATE DECLARE DEF DEFDBL DEFINT DEFSNG DEFSTR DELETE DIM DO EDIT "
        "ELSE ELSEIF END EOF EQV ERASE ERL ERR ERROR EXIT EXP FIELD FILES FIX FN FOR FUNCTION "
        "GET GOSUB GOTO HEX HIGH IF IMP INKEY INPUT INSTR INT KILL LEFT LEN LET LINE LIST LOAD "
        "LOC LOCATE LOF LOG LOOKUP LOOP LOW LSET MERGE MID MKD MKI MKS MOD NAME NEW NEXT NOT "
        "OCT ON OPEN OPTION OR OUT PAUSE PEEK POKE POS PRINT PUT RANDOMIZE READ REM RENUM "
        "RESTORE RESUME RETURN RIGHT RND RSET RUN SAVE SELECT SERIN SEROUT SGN SIN SPACE SPC "
        "SQR STEP STOP STR STRING SUB SWAP SYMBOL SYSTEM TAB TAN THEN TIME TIMER TO TOGGLE "
        "TROFF TRON UNTIL USING VAL VAR WEND WHILE WIDTH WORD WRITE XOR");
    return words;
}

bool isAssemblerFormat(ExportFormat format) {
    return format == ExportFormat::Pic18Assembler || format == ExportFormat::Pic16Assembler;
}
} // namespace

QString cIdentifier(const QString& name) {
    QString id;
    id.reserve(name.size() + 2);
    for (const QChar c : name) {
        const bool plain = c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
        const QChar kept = plain ? c : QLatin1Char('_');
        // Two underscores in a row belong to the compiler in C++, anywhere in a name.
        if (kept == QLatin1Char('_') && id.endsWith(QLatin1Char('_')))
            continue;
        id += kept;
    }
    // A leading '_' and a letter: the compiler's at file scope, and its NAME_WIDTH macro (an
    // underscore and a capital) the compiler's anywhere.
    if (id.size() >= 2 && id[0] == QLatin1Char('_') && id[1].isLetter())
        id.remove(0, 1);
    if (id.isEmpty() || id == QLatin1String("_"))
        return QStringLiteral("image");
    if (id.front().isDigit())
        id.prepend(QLatin1Char('_'));
    // No word or pattern below ends in '_', so the '_' behind makes a name free, and a name
    // made once stays as it is when made again.
    if (cWords().contains(id) || gccMacros().contains(id) || fromExportHeaders(id) ||
        widthMacroTaken(id))
        id += QLatin1Char('_');
    return id;
}

QString exportName(const QString& name, ExportFormat format) {
    QString id = cIdentifier(name);
    if (id.endsWith(QLatin1Char('_')))
        return id;
    if ((format == ExportFormat::Progmem && fromAvrHeaders(id)) ||
        (isAssemblerFormat(format) && assemblerWords().contains(id.toLower())) ||
        (format == ExportFormat::Basic && basicWords().contains(id.toUpper())))
        id += QLatin1Char('_');
    return id;
}
