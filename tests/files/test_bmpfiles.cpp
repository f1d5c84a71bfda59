// "Save" and "Load" of the canvas and "&Open" of formatted text, driven through the window with
// its shared file dialog answered the way a user would.
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"

#include "support/BmpFixtures.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QStringList enabledSizeOptions(const Main* w) {
    QStringList enabled;
    for (QRadioButton* option : w->optgrf) {
        if (option->isEnabled())
            enabled << option->objectName();
    }
    return enabled;
}
} // namespace

class TestBmpFiles : public QObject {
    Q_OBJECT
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

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void save(const QString& answer) {
        m_modals->fileAnswers = {answer};
        w->Command8->click();
    }
    void load(const QString& answer) {
        m_modals->fileAnswers = {answer};
        w->Command10->click();
    }

    Main* w = nullptr;
    QTemporaryDir* m_dir = nullptr;
    Modals* m_modals = nullptr;
};

void TestBmpFiles::init() {
    m_dir = new QTemporaryDir;
    w = new Main;
    m_modals = new Modals(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestBmpFiles::cleanup() {
    delete w;
    delete m_dir;
}

void TestBmpFiles::dialogShowsItsStartValues() {
    save(QString());
    QCOMPARE(m_modals->dialogs.size(), 1);
    const Modals::Shown shown = m_modals->dialogs.first();
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
    w->optgrf[option]->click();
    w->canvas.image() = patternImage(w->lcdWidth, w->lcdHeight, option);
    save(path("out.bmp"));
    const QByteArray file = readAll(path("out.bmp"));
    QCOMPARE(file.size(), fileSize);
    QVERIFY(samePixels(QImage::fromData(file, "BMP"), w->canvas.image()));
    QVERIFY(m_modals->messages.isEmpty());
    QVERIFY(w->Picture1->measuresDisplayPixels());
    QCOMPARE(w->Picture1->size(), QSize(w->lcdWidth, w->lcdHeight));
}

void TestBmpFiles::saveCancelledOrFailed() {
    save(QString());
    QVERIFY(QDir(m_dir->path()).isEmpty());
    save(QStringLiteral("!") + path("no such folder/out.bmp"));
    QCOMPARE(m_modals->messages.size(), 1);
    QVERIFY2(m_modals->messages.first().startsWith("Quorvel|File Save Error - "),
             qPrintable(m_modals->messages.first()));
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
    w->optgrf[option]->click();
    const int width = w->lcdWidth;
    const int height = w->lcdHeight;
    const QImage picture = patternImage(width, height, 2);
    w->canvas.image() = picture;
    save(path("round.bmp"));
    w->Command5->click();
    w->chkinvert->setChecked(inverted);
    load(path("round.bmp"));

    const QByteArray file = readAll(path("round.bmp"));
    const int rowLength = bmpRowLength(width);
    QString hex;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width / 8; ++column) {
            auto byte = quint8(file[62 + (height - 1 - row) * rowLength + column]);
            if (inverted)
                byte = 255 - byte;
            QCOMPARE(w->horzMatrix.byte(row, column), byte);
            hex += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
        }
    }
    QCOMPARE(w->Text3->text(), hex); // 240 wide: the two pad bytes of every row never appear
    QVERIFY(w->horzMatrix.isEmpty(0, width / 8));
    QVERIFY(!w->chkinvert->isEnabled());
    QCOMPARE(enabledSizeOptions(w), QStringList{"optgrf(7)"});
    QVERIFY(samePixels(w->canvas.image(), picture));
    QCOMPARE(w->Picture1->size(), QSize(width, height));
    QVERIFY(m_modals->messages.isEmpty());
}

void TestBmpFiles::loadFileFromAnotherProgram() {
    // A 128x64 file with a larger information header, so its pixels start past byte 62.
    const QImage picture = patternImage(128, 64, 4);
    QString failure;
    const QByteArray file = imageMagickBilevel(picture, m_dir->path(), "BMP", &failure);
    if (file.isEmpty())
        QSKIP(qPrintable(failure));
    writeFile(path("other.bmp"), file);
    w->optgrf[1]->click();
    w->chkinvert->setChecked(false);
    load(path("other.bmp"));
    QVERIFY(m_modals->messages.isEmpty());
    const QByteArray expected = expectedRows(picture, 1); // whichever palette order it wrote
    QCOMPARE(w->Text3->text(), QString::fromLatin1(expected.toHex()));
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
    w->optgrf[option]->click();
    w->chkinvert->setChecked(inverted);
    for (int i = 0; i < 40; ++i)
        w->canvas.setPixel((i * 7) % w->lcdWidth, (i * 5) % w->lcdHeight, Canvas::Black);
    w->Command9->click();
    const QString drawn = w->Text3->text();
    QCOMPARE(drawn.size(), w->lcdWidth / 8 * w->lcdHeight * 2 + 2);
    save(path("drawn.bmp"));
    w->Command5->click();
    w->chkinvert->setChecked(inverted);
    load(path("drawn.bmp"));
    w->Command9->click();
    QVERIFY2(m_modals->messages.isEmpty(), qPrintable(m_modals->messages.join('|')));
    QCOMPARE(w->Text3->text(), drawn);
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
    writeFile(path("bad.bmp"), file);
    const QImage before = patternImage(240, 64, 6);
    w->canvas.image() = before;
    w->Text3->setText(QStringLiteral("before"));
    w->horzMatrix.set(0, 0, 0x5a);
    load(path("bad.bmp"));
    QCOMPARE(m_modals->messages, QStringList{message});
    QCOMPARE(w->Text3->text(), QString());
    QVERIFY(w->chkinvert->isEnabled());
    QVERIFY(w->chkinvert->isChecked());
    QCOMPARE(enabledSizeOptions(w), QStringList{"optgrf(7)"});
    // The file was refused whole: no picture changed, pixel for pixel and in size.
    QCOMPARE(std::as_const(w->canvas).image(), before);
    QCOMPARE(w->horzMatrix.byte(0, 0), quint8(0x5a));
    QVERIFY(w->horzMatrix.isEmpty(0, 1));
}

void TestBmpFiles::clearGivesThePanelItsBoxBack() {
    // A 128x64 picture loaded at 128x64, then the 320x200 size, then Load of that file again
    // (refused): Clear must give back the 320x200 box, in panel units, so clicks reach every pixel.
    w->optgrf[1]->click();
    writeFile(path("small.bmp"), writeMonochromeBmp(whiteImage(128, 64)));
    load(path("small.bmp"));
    QCOMPARE(w->Picture1->size(), QSize(128, 64));
    w->optgrf[7]->click();
    load(path("small.bmp"));
    QCOMPARE(m_modals->messages.size(), 1);
    w->Command5->click();
    QCOMPARE(w->canvas.width(), 320);
    QCOMPARE(w->Picture1->size(), QSize(320, 200));
    QVERIFY(!w->Picture1->measuresDisplayPixels());
    QTest::mouseClick(w->Picture1, Qt::LeftButton, Qt::NoModifier, QPoint(318, 198));
    QVERIFY(w->canvas.isSet(318, 198));
}

void TestBmpFiles::loadCancelled() {
    w->Text3->setText(QStringLiteral("before"));
    load(QString());
    QCOMPARE(w->Text3->text(), QString());
    QVERIFY(!w->chkinvert->isEnabled());
    QCOMPARE(enabledSizeOptions(w), QStringList{"optgrf(7)"});
    QVERIFY(w->horzMatrix.isEmpty(0, 0));
    QVERIFY(m_modals->messages.isEmpty());
    w->Command5->click();
    QCOMPARE(enabledSizeOptions(w).size(), 8);
    QVERIFY(w->chkinvert->isEnabled());
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
        writeFile(path(answer), content);
    w->Text2->setText(QStringLiteral("typed before"));
    const QString chosen = answer.isEmpty()         ? QString()
                           : answer.startsWith('!') ? "!" + path(answer.mid(1))
                                                    : path(answer);
    m_modals->fileAnswers = {chosen};
    w->mnuOpen->trigger();
    QCOMPARE(w->Text2->text(), text2);
    QVERIFY(m_modals->messages.isEmpty());
    QCOMPARE(m_modals->dialogs.size(), 1);
    QCOMPARE(m_modals->dialogs.first().filters,
             (QStringList{"Open ASCII (*.txt)", "All Files (*)"}));
    QCOMPARE(m_modals->dialogs.first().fileNameBox, QString());
    QCOMPARE(w->commdlg->Filter, QStringLiteral("Open ASCII (*.txt)|*.txt|All Files (*.*)|*.*|"));
    QCOMPARE(w->commdlg->FileName, chosen.startsWith('!') ? chosen.mid(1) : chosen);
}

QTEST_MAIN(TestBmpFiles)
#include "test_bmpfiles.moc"
