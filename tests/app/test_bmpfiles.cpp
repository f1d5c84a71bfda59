// "Save" and "Load" of the canvas and "&Open" of formatted text, driven through the window with
// its shared file dialog answered the way a user would.
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "support/TestFiles.h"
#include "support/TestGroup.h"

#include "support/BmpFixtures.h"
#include "support/FileConditions.h"
#include "support/Modals.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/stat.h>

namespace {
// The group as well as the others: a test that acts as "nobody" keeps root's groups.
constexpr auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
constexpr auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr auto readOnlyFolder = readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QStringList enabledSizeOptions(const Main* w) {
    QStringList enabled;
    for (int i = 0; i < 8; ++i) {
        const auto* option = findControl<QRadioButton>(w, QStringLiteral("optgrf(%1)").arg(i));
        if (option->isEnabled())
            enabled << option->objectName();
    }
    return enabled;
}

// The bytes of the horizontal matrix over a panel, row by row.
QByteArray capturedRows(const HorzMatrix& matrix, int width, int height) {
    QByteArray bytes;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width / 8; ++column)
            bytes += matrix.isEmpty(row, column) ? QByteArray()
                                                 : QByteArray(1, char(matrix.byte(row, column)));
    }
    return bytes;
}
} // namespace

class TestBmpFiles : public WindowTest {
    Q_OBJECT
public:
    TestBmpFiles() : WindowTest(true) {}

private slots:
    void init();
    void cleanup();
    void dialogShowsItsStartValues();
    void qtFilters_data();
    void qtFilters();
    void saveWritesTheCanvas_data();
    void saveWritesTheCanvas();
    void saveCancelledOrFailed();
    void loadCapturesWhatSaveWrote_data();
    void loadCapturesWhatSaveWrote();
    void loadFileFromAnotherProgram();
    void convertSameBeforeSaveAndAfterLoad_data();
    void convertSameBeforeSaveAndAfterLoad();
    void loadFailures_data();
    void loadFailures();
    void clearGivesThePanelItsBoxBack();
    void loadCancelled();
    void openPutsFileIntoTransmitWindow_data();
    void openPutsFileIntoTransmitWindow();
    void namesWithAndWithoutDot_data();
    void namesWithAndWithoutDot();
    void filesThatAreNoPlainFile_data();
    void filesThatAreNoPlainFile();
    void saveFailures_data();
    void saveFailures();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void save(const QString& answer) {
        modals->fileAnswers = {answer};
        click("Command8");
    }
    void load(const QString& answer) {
        modals->fileAnswers = {answer};
        click("Command10");
    }
    // Ticks or clears "Inverted" with a click, as the user does.
    void setInverted(bool inverted) {
        if (control<QCheckBox>("chkinvert")->isChecked() != inverted)
            click("chkinvert");
        QCOMPARE(control<QCheckBox>("chkinvert")->isChecked(), inverted);
    }
    TextBox* output() const { return control<TextBox>("Text3"); }
    CanvasView* canvasBox() const { return control<CanvasView>("Picture1"); }
    // The output window holding `text` after a Convert, which enables its Save.
    void showOutput(const QString& text) {
        click("Command9");
        QVERIFY(control<QPushButton>("Command12")->isEnabled());
        output()->setText(text);
    }

    QTemporaryDir* m_dir = nullptr;
};

void TestBmpFiles::init() {
    m_dir = new QTemporaryDir;
    // Open to the ordinary user that some tests act as.
    QFile::setPermissions(m_dir->path(), everyone);
    openWindow();
}

void TestBmpFiles::cleanup() {
    closeWindow();
    delete m_dir;
}

void TestBmpFiles::dialogShowsItsStartValues() {
    save(QString());
    QCOMPARE(modals->dialogs.size(), 1);
    const Modals::Shown shown = modals->dialogs.first();
    QCOMPARE(shown.title, QStringLiteral("LCD File to Open"));
    QCOMPARE(shown.filters, QStringList{QStringLiteral("Image (*.bmp)")});
    QCOMPARE(shown.directory, QDir::currentPath());
    QCOMPARE(shown.suffix, QStringLiteral("bmp"));
    QCOMPARE(shown.fileNameBox, QString()); // the "*.bmp" pattern is no name to offer
}

void TestBmpFiles::qtFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("BMP") << "Image (*.bmp)|*.bmp" << QStringList{"Image (*.bmp)"};
    QTest::newRow("open, trailing bar") << "Open ASCII (*.txt)|*.txt|All Files (*.*)|*.*|"
                                        << QStringList{"Open ASCII (*.txt)", "All Files (*)"};
    QTest::newRow("two patterns") << "Text|*.txt;*.bas" << QStringList{"Text (*.txt *.bas)"};
    QTest::newRow("no pattern") << "Anything|" << QStringList{"Anything (*)"};
}

void TestBmpFiles::qtFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(CommonDialog::qtNameFilters(filter), expected);
}

void TestBmpFiles::saveWritesTheCanvas_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("fileSize");
    QTest::newRow("240x64") << 0 << 2110;
    QTest::newRow("128x64") << 1 << 1086;
    QTest::newRow("256x128") << 3 << 4158;
    QTest::newRow("320x200") << 7 << 8062;
}

void TestBmpFiles::saveWritesTheCanvas() {
    QFETCH(int, option);
    QFETCH(int, fileSize);
    click(QStringLiteral("optgrf(%1)").arg(option));
    const QSize panel(state().panelWidth(), state().panelHeight());
    QVERIFY(importOntoCanvas(w, modals, patternImage(panel.width(), panel.height(), option)));
    save(path("out.bmp"));
    const QByteArray file = readAll(path("out.bmp"));
    QCOMPARE(file.size(), fileSize);
    QVERIFY(samePixels(QImage::fromData(file, "BMP"), state().canvas.image()));
    QVERIFY(modals->messages.isEmpty());
    QVERIFY(canvasBox()->measuresDisplayPixels());
    QCOMPARE(canvasBox()->size(), panel);
}

void TestBmpFiles::saveCancelledOrFailed() {
    save(QString());
    QVERIFY(QDir(m_dir->path()).isEmpty());
    save(QStringLiteral("!") + path("no such folder/out.bmp"));
    QCOMPARE(modals->messages.size(), 1);
    QVERIFY2(modals->messages.first().startsWith("Quorvel|File Save Error - "),
             qPrintable(modals->messages.first()));
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestBmpFiles::loadCapturesWhatSaveWrote_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("inverted");
    for (int option : {0, 1, 7}) {
        for (bool inverted : {false, true})
            QTest::addRow("option %d, %s", option, inverted ? "inverted" : "as stored")
                << option << inverted;
    }
}

void TestBmpFiles::loadCapturesWhatSaveWrote() {
    QFETCH(int, option);
    QFETCH(bool, inverted);
    click(QStringLiteral("optgrf(%1)").arg(option));
    const int width = state().panelWidth();
    const int height = state().panelHeight();
    const QImage picture = patternImage(width, height, 2);
    QVERIFY(importOntoCanvas(w, modals, picture));
    save(path("round.bmp"));
    click("Command5");
    setInverted(inverted);
    load(path("round.bmp"));

    const QByteArray file = readAll(path("round.bmp"));
    const int rowLength = bmpRowLength(width);
    QString hex;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width / 8; ++column) {
            auto byte = quint8(file[62 + (height - 1 - row) * rowLength + column]);
            if (inverted)
                byte = 255 - byte;
            QCOMPARE(state().horzMatrix.byte(row, column), byte);
            hex += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
        }
    }
    QCOMPARE(output()->text(), hex); // 240 wide: the two pad bytes of every row never appear
    QVERIFY(state().horzMatrix.isEmpty(0, width / 8));
    QVERIFY(!control("chkinvert")->isEnabled());
    QCOMPARE(enabledSizeOptions(w), QStringList{"optgrf(7)"});
    QVERIFY(samePixels(state().canvas.image(), picture));
    QCOMPARE(canvasBox()->size(), QSize(width, height));
    QVERIFY(modals->messages.isEmpty());
}

void TestBmpFiles::loadFileFromAnotherProgram() {
    // A 128x64 file with a larger information header, so its pixels start past byte 62.
    const QImage picture = patternImage(128, 64, 4);
    QString failure;
    const QByteArray file = imageMagickBilevel(picture, m_dir->path(), "BMP", &failure);
    if (file.isEmpty())
        QSKIP(qPrintable(failure));
    QVERIFY(writeFile(path("other.bmp"), file));
    click("optgrf(1)");
    setInverted(false);
    load(path("other.bmp"));
    QVERIFY(modals->messages.isEmpty());
    const QByteArray expected = expectedRows(picture, 1); // whichever palette order it wrote
    QCOMPARE(output()->text(), QString::fromLatin1(expected.toHex()));
}

void TestBmpFiles::convertSameBeforeSaveAndAfterLoad_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("inverted");
    for (int option = 0; option < 8; ++option) {
        for (bool inverted : {true, false})
            QTest::addRow("option %d%s", option, inverted ? ", inverted" : "")
                << option << inverted;
    }
}

void TestBmpFiles::convertSameBeforeSaveAndAfterLoad() {
    // Horizontal Convert of a drawn canvas, then of the same canvas saved, cleared and loaded
    // back: the PIC must get the same bytes either way.
    QFETCH(int, option);
    QFETCH(bool, inverted);
    click(QStringLiteral("optgrf(%1)").arg(option));
    setInverted(inverted);
    const int width = state().panelWidth();
    const int height = state().panelHeight();
    QList<QPoint> dots;
    for (int i = 0; i < 40; ++i)
        dots << QPoint((i * 7) % width, (i * 5) % height);
    clickPixels(canvasBox(), dots);
    for (const QPoint& dot : dots)
        QVERIFY(state().canvas.isSet(dot.x(), dot.y()));
    click("Command9");
    const QString drawn = output()->text();
    QCOMPARE(drawn.size(), width / 8 * height * 2 + 2);
    save(path("drawn.bmp"));
    click("Command5");
    setInverted(inverted);
    load(path("drawn.bmp"));
    click("Command9");
    QVERIFY2(modals->messages.isEmpty(), qPrintable(modals->messages.join('|')));
    QCOMPARE(output()->text(), drawn);
}

void TestBmpFiles::loadFailures_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    const QString expected =
        QStringLiteral("Quorvel|Error: expected a 1-bit BMP of 240x64 pixels, found ");
    QTest::newRow("not a picture")
        << QByteArray("ff00ff\r\n") << expected + "a file that is not a BMP";
    QTest::newRow("a picture, not a BMP")
        << encoded(patternImage(240, 64, 1), "PNG") << expected + "a file that is not a BMP";
    QTest::newRow("wrong size") << writeMonochromeBmp(whiteImage(128, 64))
                                << expected + "1-bit 128x64";
    QTest::newRow("24-bit") << encoded(whiteImage(240, 64), "BMP") << expected + "24-bit 240x64";
    QTest::newRow("truncated") << writeMonochromeBmp(whiteImage(240, 64)).left(1500)
                               << expected + "1-bit 240x64 cut short: 1500 bytes, its pixel rows "
                                             "end at byte 2110";
}

void TestBmpFiles::loadFailures() {
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    QVERIFY(writeFile(path("bad.bmp"), file));
    // What the refused file must leave as it was: the bytes an earlier Load captured, and a
    // picture imported after Clear.
    QVERIFY(writeFile(path("earlier.bmp"), writeMonochromeBmp(patternImage(240, 64, 5))));
    load(path("earlier.bmp"));
    const QByteArray captured = capturedRows(state().horzMatrix, 240, 64);
    QCOMPARE(captured.size(), 30 * 64);
    click("Command5");
    const QImage before = patternImage(240, 64, 6);
    QVERIFY(importOntoCanvas(w, modals, before));
    output()->setText(QStringLiteral("before"));
    QVERIFY(modals->messages.isEmpty());

    load(path("bad.bmp"));
    QCOMPARE(modals->messages, QStringList{message});
    QCOMPARE(output()->text(), QString());
    QVERIFY(control("chkinvert")->isEnabled());
    QVERIFY(control<QCheckBox>("chkinvert")->isChecked());
    QCOMPARE(enabledSizeOptions(w), QStringList{"optgrf(7)"});
    // The file was refused whole: no picture changed, pixel for pixel and in size.
    QVERIFY(samePixels(state().canvas.image(), before));
    QCOMPARE(capturedRows(state().horzMatrix, 240, 64), captured);
    QVERIFY(state().horzMatrix.isEmpty(0, 30));
}

void TestBmpFiles::clearGivesThePanelItsBoxBack() {
    // A 128x64 picture loaded at 128x64, then the 320x200 size, then Load of that file again
    // (refused): Clear must give back the 320x200 box, in panel units, so clicks reach every pixel.
    click("optgrf(1)");
    QVERIFY(writeFile(path("small.bmp"), writeMonochromeBmp(whiteImage(128, 64))));
    load(path("small.bmp"));
    QCOMPARE(canvasBox()->size(), QSize(128, 64));
    click("optgrf(7)");
    load(path("small.bmp"));
    QCOMPARE(modals->messages.size(), 1);
    click("Command5");
    QCOMPARE(state().canvas.width(), 320);
    QCOMPARE(canvasBox()->size(), QSize(320, 200));
    QVERIFY(!canvasBox()->measuresDisplayPixels());
    QTest::mouseClick(canvasBox(), Qt::LeftButton, Qt::NoModifier, QPoint(318, 198));
    QVERIFY(state().canvas.isSet(318, 198));
}

void TestBmpFiles::loadCancelled() {
    output()->setText(QStringLiteral("before"));
    load(QString());
    QCOMPARE(output()->text(), QString());
    QVERIFY(!control("chkinvert")->isEnabled());
    QCOMPARE(enabledSizeOptions(w), QStringList{"optgrf(7)"});
    QVERIFY(state().horzMatrix.isEmpty(0, 0));
    QVERIFY(modals->messages.isEmpty());
    click("Command5");
    QCOMPARE(enabledSizeOptions(w).size(), 8);
    QVERIFY(control("chkinvert")->isEnabled());
}

void TestBmpFiles::openPutsFileIntoTransmitWindow_data() {
    QTest::addColumn<QString>("answer"); // file name in the temporary folder, "" cancels
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text2");
    const QString kept = QStringLiteral("typed before");
    QTest::newRow("lines as the file has them")
        << "table.txt" << QByteArray("*2200\r\nff,00\nlast\r\n") << "*2200\r\nff,00\nlast\r\n";
    QTest::newRow("one character per byte")
        << "bytes.bas" << QByteArray("caf\xe9 \xff\r") << QString::fromLatin1("caf\xe9 \xff\r");
    QTest::newRow("empty file") << "empty.txt" << QByteArray("") << QString();
    QTest::newRow("cancelled") << "" << QByteArray() << kept;
    QTest::newRow("missing file") << "!gone.txt" << QByteArray() << kept;
}

void TestBmpFiles::openPutsFileIntoTransmitWindow() {
    QFETCH(QString, answer);
    QFETCH(QByteArray, content);
    QFETCH(QString, text2);
    if (!content.isNull())
        QVERIFY(writeFile(path(answer), content));
    control<TextBox>("Text2")->setText(QStringLiteral("typed before"));
    const QString chosen = answer.isEmpty()         ? QString()
                           : answer.startsWith('!') ? "!" + path(answer.mid(1))
                                                    : path(answer);
    modals->fileAnswers = {chosen};
    click("mnuOpen");
    QCOMPARE(control<TextBox>("Text2")->text(), text2);
    QVERIFY(modals->messages.isEmpty());
    QCOMPARE(modals->dialogs.size(), 1);
    QCOMPARE(modals->dialogs.first().filters, (QStringList{"Open ASCII (*.txt)", "All Files (*)"}));
    QCOMPARE(modals->dialogs.first().fileNameBox, QString());
    const auto* dialog = control<CommonDialog>("commdlg");
    QCOMPARE(dialog->Filter, QStringLiteral("Open ASCII (*.txt)|*.txt|All Files (*.*)|*.*|"));
    QCOMPARE(dialog->FileName, chosen.startsWith('!') ? chosen.mid(1) : chosen);
}

void TestBmpFiles::namesWithAndWithoutDot_data() {
    QTest::addColumn<QString>("operation"); // open, load, picture save, table save
    QTest::addColumn<QString>("chosen");    // the name typed in the dialog
    QTest::addColumn<QString>("filter");    // the filter chosen; empty: the one shown first
    QTest::addColumn<QString>("file");      // the file read or written
    QTest::newRow("Open, no dot") << "open"
                                  << "tablefile"
                                  << ""
                                  << "tablefile";
    QTest::newRow("Open, dotted") << "open"
                                  << "table.dat"
                                  << ""
                                  << "table.dat";
    QTest::newRow("Load, no dot") << "load"
                                  << "picture"
                                  << ""
                                  << "picture";
    QTest::newRow("Load, dotted") << "load"
                                  << "picture.bmp"
                                  << ""
                                  << "picture.bmp";
    QTest::newRow("picture Save, no dot") << "picture save"
                                          << "picture"
                                          << ""
                                          << "picture.bmp";
    QTest::newRow("picture Save, dotted") << "picture save"
                                          << "pic.bmp"
                                          << ""
                                          << "pic.bmp";
    QTest::newRow("table Save, no dot") << "table save"
                                        << "table"
                                        << ""
                                        << "table.txt";
    QTest::newRow("table Save, Basic chosen") << "table save"
                                              << "table"
                                              << "Basic (*.bas)"
                                              << "table.bas";
    QTest::newRow("table Save, Text chosen again") << "table save"
                                                   << "table"
                                                   << "Text (*.txt)"
                                                   << "table.txt";
    QTest::newRow("table Save, own extension") << "table save"
                                               << "table.dat"
                                               << "Basic (*.bas)"
                                               << "table.dat";
}

void TestBmpFiles::namesWithAndWithoutDot() {
    QFETCH(QString, operation);
    QFETCH(QString, chosen);
    QFETCH(QString, filter);
    QFETCH(QString, file);
    const QByteArray picture = writeMonochromeBmp(patternImage(240, 64, 3));
    if (operation == QLatin1String("open"))
        QVERIFY(writeFile(path(file), "ff,00\r\n"));
    if (operation == QLatin1String("load"))
        QVERIFY(writeFile(path(file), picture));
    if (operation == QLatin1String("open") || operation == QLatin1String("load")) {
        // An earlier table Save left its filter and extension in the shared dialog.
        showOutput(QStringLiteral("ff"));
        modals->fileAnswers = {QString()};
        click("Command12");
    }
    if (operation == QLatin1String("table save"))
        showOutput(QStringLiteral("0xff,0x00"));

    modals->whenShown<QFileDialog>([this, chosen, filter](QFileDialog* dialog) {
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path(chosen));
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    if (operation == QLatin1String("open")) {
        click("mnuOpen");
        QCOMPARE(control<TextBox>("Text2")->text(), QStringLiteral("ff,00\r\n"));
    } else if (operation == QLatin1String("load")) {
        setInverted(false);
        click("Command10");
        QCOMPARE(output()->text().size(), 30 * 64 * 2);
    } else if (operation == QLatin1String("picture save")) {
        click("Command8");
        QCOMPARE(readAll(path(file)).size(), 2110);
    } else {
        click("Command12");
        QCOMPARE(readAll(path(file)), QByteArray("0xff,0x00"));
    }
    QVERIFY2(modals->messages.isEmpty(), qPrintable(modals->messages.join('\n')));
    QCOMPARE(control<CommonDialog>("commdlg")->FileName, path(file));
    QDir folder(m_dir->path());
    QCOMPARE(folder.entryList(QDir::Files), QStringList{file}); // and nothing else written
}

void TestBmpFiles::filesThatAreNoPlainFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // what Load says after the file's name
    QTest::newRow("FIFO without a writer") << "fifo"
                                           << "is not a file but a pipe";
    QTest::newRow("larger than 16 MiB")
        << "large"
        << "holds 16777217 bytes, more than the 16777216 read at most";
    QTest::newRow("unreadable") << "unreadable"
                                << "cannot be read: Permission denied";
}

void TestBmpFiles::filesThatAreNoPlainFile() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString name = path(QStringLiteral("input.bmp"));
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(QFile::encodeName(name).constData(), 0666), 0);
    } else {
        QVERIFY(writeFile(name, writeMonochromeBmp(whiteImage(240, 64))));
        if (kind == QLatin1String("large"))
            QVERIFY(QFile::resize(name, 16 * 1024 * 1024 + 1)); // sparse: no disk taken
        else
            QVERIFY(QFile::setPermissions(name, QFile::WriteOwner));
    }
    QElapsedTimer clock;
    clock.start();
    {
        AsOrdinaryUser user;
        load(name);
        QCOMPARE(modals->messages, QStringList{quorvelBox("Error: " + name + ' ' + reason)});
        QCOMPARE(output()->text(), QString());

        // Open passes over the same file without a word and keeps the Transmit Window's text.
        control<TextBox>("Text2")->setText(QStringLiteral("typed before"));
        modals->fileAnswers = {name};
        click("mnuOpen");
    }
    QCOMPARE(control<TextBox>("Text2")->text(), QStringLiteral("typed before"));
    QCOMPARE(modals->messages.size(), 1);
    QVERIFY(clock.elapsed() < 5000); // neither waited for a writer
}

void TestBmpFiles::saveFailures_data() {
    QTest::addColumn<QString>("save");      // picture or table
    QTest::addColumn<QString>("situation"); // full disk, read-only folder, Latin-1, folder gone
    QTest::addColumn<QString>("message");   // "" for none; "path" stands for the file's path
    QTest::newRow("picture onto a full disk") << "picture"
                                              << "full"
                                              << "File Save Error - path: File too large";
    QTest::newRow("table onto a full disk") << "table"
                                            << "full"
                                            << "File Save Error - File too large";
    QTest::newRow("picture, read-only folder, writable file") << "picture"
                                                              << "read-only folder"
                                                              << "";
    QTest::newRow("table, read-only folder, writable file") << "table"
                                                            << "read-only folder"
                                                            << "";
    QTest::newRow("table with characters Latin-1 lacks")
        << "table"
        << "latin-1"
        << "File Save Error - a Latin-1 file cannot hold \u20ac (U+20AC), \u0141 (U+0141), "
           "\u017a (U+017A)";
    QTest::newRow("table into a folder that is gone")
        << "table"
        << "gone"
        << "File Save Error - No such file or directory";
}

void TestBmpFiles::saveFailures() {
    QFETCH(QString, save);
    QFETCH(QString, situation);
    QFETCH(QString, message);
    const QString folder = path(QStringLiteral("folder"));
    QVERIFY(QDir().mkdir(folder));
    const QString name =
        situation == QLatin1String("gone") ? folder + "/gone/table.txt" : folder + "/saved.out";
    const QByteArray old(5000, 'o');
    if (situation != QLatin1String("gone")) {
        QVERIFY(writeFile(name, old));
        QFile::setPermissions(name, everyone);
    }
    QFile::setPermissions(folder, situation == QLatin1String("read-only folder") ? readOnlyFolder
                                                                                 : everyone);
    showOutput(situation == QLatin1String("latin-1")
                   ? QStringLiteral("\u20ac \u0141\u00f3d\u017a 0xff")
                   : QString(3000, QLatin1Char('f')));
    {
        AsOrdinaryUser user;
        std::unique_ptr<FileSizeLimit> limit;
        if (situation == QLatin1String("full"))
            limit = std::make_unique<FileSizeLimit>(1000);
        modals->fileAnswers = {"!" + name};
        click(save == QLatin1String("picture") ? "Command8" : "Command12");
    }
    QFile::setPermissions(folder, everyone);
    if (message.isEmpty()) {
        QVERIFY2(modals->messages.isEmpty(), qPrintable(modals->messages.join('\n')));
        QCOMPARE(readAll(name).size(), save == QLatin1String("picture") ? 2110 : 3000);
    } else {
        QCOMPARE(modals->messages, QStringList{quorvelBox(message.replace("path", name))});
        QCOMPARE(readAll(name), situation == QLatin1String("gone") ? QByteArray() : old);
    }
}

QUORVEL_TEST_MAIN(TestBmpFiles)
#include "test_bmpfiles.moc"
