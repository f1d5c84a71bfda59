// Import and Export as a user meets them: the file dialog, frmImport's controls and preview, OK
// and Cancel on the canvas, frmExport's preview, Copy and Save.
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/ExportDialog.h"
#include "app/ImportDialog.h"
#include "app/Main.h"
#include "canvas/Bmp.h"
#include "convert/ByteMatrix.h"
#include "support/TestFiles.h"
#include "support/TestGroup.h"

#include "support/Modals.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

namespace {
// Colour gradients with a dark disc and a light bar: every dither and threshold gives another
// picture.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) * 127 / width));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 20, 60));
    painter.drawEllipse(QRect(width / 4, height / 4, width / 3, height / 2));
    painter.fillRect(QRect(width * 2 / 3, 0, width / 10, height), QColor(230, 230, 210));
    return image;
}

} // namespace

class TestImportExportDialogs : public WindowTest {
    Q_OBJECT
public:
    TestImportExportDialogs() : WindowTest(true) {}

private slots:
    void init();
    void cleanup();
    void importControlsDriveTheResultAndPreview_data();
    void importControlsDriveTheResultAndPreview();
    void importOkPutsTheResultOnTheCanvas();
    void importCancelledChangesNothing();
    void unreadablePictureIsRefused();
    void pipeOrDeviceIsRefusedAtOnce_data();
    void pipeOrDeviceIsRefusedAtOnce();
    void importLeavesTheSharedDialogAsItWas();
    void exportOpensWithTheByteMatrixChoice();
    void exportTypeChoiceAndLayoutNote_data();
    void exportTypeChoiceAndLayoutNote();
    void exportCopyAndSave_data();
    void exportCopyAndSave();
    void exportSaveFailureSaysWhy();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // Answers the file dialog with `file`, then frmImport with `answer`.
    void importFile(const QString& file, std::function<void(ImportDialog*)> answer);
    CanvasView* canvasBox() const { return control<CanvasView>("Picture1"); }

    QTemporaryDir* m_dir = nullptr;
};

void TestImportExportDialogs::init() {
    m_dir = new QTemporaryDir;
    openWindow();
}

void TestImportExportDialogs::cleanup() {
    closeWindow();
    delete m_dir;
}

void TestImportExportDialogs::importFile(const QString& file,
                                         std::function<void(ImportDialog*)> answer) {
    modals->fileAnswers = {file};
    modals->whenShown<ImportDialog>(answer);
    click("cmdImport");
}

void TestImportExportDialogs::importControlsDriveTheResultAndPreview_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("dither");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<QSize>("panel");
    QTest::newRow("defaults") << 0 << 0 << 128 << false << QSize(240, 64);
    QTest::newRow("Fill, Floyd-Steinberg, 90") << 1 << 1 << 90 << false << QSize(128, 64);
    QTest::newRow("Stretch, ordered, 200, inverted") << 2 << 2 << 200 << true << QSize(128, 32);
    QTest::newRow("None, Atkinson, 128") << 3 << 3 << 128 << false << QSize(320, 200);
    QTest::newRow("Fit, threshold 0") << 0 << 0 << 0 << false << QSize(256, 128);
}

void TestImportExportDialogs::importControlsDriveTheResultAndPreview() {
    QFETCH(int, scale);
    QFETCH(int, dither);
    QFETCH(int, threshold);
    QFETCH(bool, invert);
    QFETCH(QSize, panel);
    const QImage picture = photo(400, 300);
    ImportDialog dialog(picture, panel.width(), panel.height());
    QCOMPARE(dialog.objectName(), QStringLiteral("frmImport"));
    QCOMPARE(dialog.cboScale->currentText(), QStringLiteral("Fit"));
    QCOMPARE(dialog.cboDither->currentText(), QStringLiteral("Threshold"));
    QCOMPARE(dialog.sldThreshold->value(), 128);
    dialog.cboScale->setCurrentIndex(scale);
    dialog.cboDither->setCurrentIndex(dither);
    dialog.sldThreshold->setValue(threshold);
    dialog.chkImportInvert->setChecked(invert);

    ImportOptions expected;
    expected.scale = static_cast<ImportScale>(scale);
    expected.dither = static_cast<ImportDither>(dither);
    expected.threshold = threshold;
    expected.invert = invert;
    const QImage result = importPicture(picture, panel.width(), panel.height(), expected);
    QCOMPARE(dialog.result(), result);
    // The preview is the result, each panel pixel a square of whole screen pixels.
    QVERIFY(dialog.zoom() >= 1);
    const QImage shown =
        dialog.lblImportPreview->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), panel * dialog.zoom());
    QCOMPARE(shown.scaled(panel, Qt::IgnoreAspectRatio, Qt::FastTransformation), result);
}

void TestImportExportDialogs::importOkPutsTheResultOnTheCanvas() {
    click("optgrf(1)"); // 128x64
    const QImage picture = photo(640, 480);
    QVERIFY(picture.save(path("photo.png")));
    // Bytes captured by a Load, then Clear, which gives back the sizes and Inverted.
    QVERIFY(writeFile(path("loaded.bmp"),
                      writeMonochromeBmp(photo(128, 64).convertToFormat(QImage::Format_Mono))));
    modals->fileAnswers = {path("loaded.bmp")};
    click("Command10");
    click("Command5");
    QVERIFY(!state().horzMatrix.isEmpty(0, 0));
    const quint8 capturedBefore = state().horzMatrix.byte(0, 0);
    QImage expected;
    importFile(path("photo.png"), [&expected](ImportDialog* dialog) {
        dialog->cboDither->setCurrentIndex(3);
        dialog->sldThreshold->setValue(110);
        expected = dialog->result();
        dialog->accept();
    });
    QCOMPARE(modals->dialogs.size(), 2);
    QCOMPARE(modals->dialogs[1].title, QStringLiteral("Picture to Import"));
    const QString filters = modals->dialogs[1].filters.join(QLatin1Char(' '));
    for (const char* pattern : {"*.png", "*.jpg", "*.bmp", "*.gif", "*.pbm", "*.xbm"})
        QVERIFY2(filters.contains(QLatin1String(pattern)), qPrintable(filters));
    QVERIFY(modals->messages.isEmpty());

    QCOMPARE(expected.size(), QSize(128, 64));
    QCOMPARE(state().canvas.image(), expected);
    // Not a Load: sizes, Inverted and the captured bytes stay.
    QVERIFY(option("optgrf", 0)->isEnabled());
    QVERIFY(control("chkinvert")->isEnabled());
    QCOMPARE(state().horzMatrix.byte(0, 0), capturedBefore);
    QCOMPARE(state().panelWidth(), 128);

    // The next Import opens with the choices of this one.
    importFile(path("photo.png"), [](ImportDialog* dialog) {
        QCOMPARE(dialog->cboDither->currentIndex(), 3);
        QCOMPARE(dialog->sldThreshold->value(), 110);
        dialog->reject();
    });
}

void TestImportExportDialogs::importCancelledChangesNothing() {
    clickPixels(canvasBox(), {{5, 5}});
    QVERIFY(state().canvas.isSet(5, 5));
    const QImage before = state().canvas.image();
    QVERIFY(photo(100, 100).save(path("photo.png")));
    bool shown = false;
    importFile(path("photo.png"), [&shown](ImportDialog* dialog) {
        shown = true;
        dialog->sldThreshold->setValue(250);
        dialog->reject();
    });
    QVERIFY(shown);
    QCOMPARE(state().canvas.image(), before);

    // No file chosen: no dialog at all.
    modals->fileAnswers = {QString()};
    click("cmdImport");
    QCOMPARE(state().canvas.image(), before);
}

void TestImportExportDialogs::importLeavesTheSharedDialogAsItWas() {
    QVERIFY(photo(100, 100).save(path("photo.png")));
    importFile(path("photo.png"), [](ImportDialog* dialog) { dialog->accept(); });
    modals->fileAnswers = {QString()};
    click("Command8"); // the picture's Save, cancelled
    QCOMPARE(modals->dialogs.size(), 2);
    QCOMPARE(modals->dialogs[0].title, QStringLiteral("Picture to Import"));
    const Modals::Shown& save = modals->dialogs[1];
    QCOMPARE(save.title, QStringLiteral("LCD File to Open"));
    QCOMPARE(save.filters, QStringList{QStringLiteral("Image (*.bmp)")});
    QCOMPARE(save.suffix, QStringLiteral("bmp"));
}

void TestImportExportDialogs::unreadablePictureIsRefused() {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    photo(64, 64).save(&buffer, "PNG");
    QVERIFY(writeFile(path("broken.png"), png.left(png.size() / 2)));
    clickPixels(canvasBox(), {{1, 1}});
    const QImage before = state().canvas.image();
    bool shown = false;
    importFile(path("broken.png"), [&shown](ImportDialog* dialog) {
        shown = true;
        dialog->reject();
    });
    QVERIFY(!shown);
    QCOMPARE(modals->messages.size(), 1);
    QVERIFY2(modals->messages[0].startsWith(quorvelBox("Error: " + path("broken.png") + ": ")),
             qPrintable(modals->messages[0]));
    QVERIFY(modals->messages[0].size() > quorvelBox("Error: " + path("broken.png") + ": ").size());
    QCOMPARE(state().canvas.image(), before);
}

void TestImportExportDialogs::pipeOrDeviceIsRefusedAtOnce_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    // A FIFO with no writer held the window in open() until one came.
    QTest::newRow("FIFO") << "fifo"
                          << "not a file but a pipe";
    QTest::newRow("device") << "device"
                            << "not a file but a device";
}

void TestImportExportDialogs::pipeOrDeviceIsRefusedAtOnce() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString file = QStringLiteral("/dev/zero");
    if (kind == QLatin1String("fifo")) {
        file = path("waiting.png");
        QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
    }
    const QImage before = state().canvas.image();
    bool shown = false;
    importFile(file, [&shown](ImportDialog* dialog) {
        shown = true;
        dialog->reject();
    });
    QVERIFY(!shown);
    QCOMPARE(modals->messages.size(), 1);
    QCOMPARE(modals->messages[0], quorvelBox("Error: " + file + ": " + reason));
    QCOMPARE(state().canvas.image(), before);
}

void TestImportExportDialogs::exportOpensWithTheByteMatrixChoice() {
    click("optgrf(2)"); // 128x32
    clickPixels(canvasBox(), {{0, 0}, {3, 9}});
    QVERIFY(state().canvas.isSet(0, 0) && state().canvas.isSet(3, 9));
    click("Option2(0)"); // vertical
    QByteArray shownTable;
    modals->whenShown<ExportDialog>([&shownTable](ExportDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmExport"));
        dialog->txtExportName->setText(QStringLiteral("logo"));
        dialog->spnBytesPerLine->setValue(8);
        dialog->chkExportStdint->setChecked(true);
        shownTable = dialog->txtExportPreview->toPlainText().toLatin1();
        dialog->cmdExportClose->click();
    });
    click("cmdExport");
    const QByteArray bytes = verticalBytes(verticalMatrix(state().canvas.image(), 128, 32));
    QCOMPARE(bytes.size(), 512);
    ExportOptions options;
    options.name = QStringLiteral("logo");
    options.bytesPerLine = 8;
    options.uint8Type = true;
    QCOMPARE(shownTable, exportTable(bytes, 128, 32, false, ExportFormat::C, options));

    // Opened again: the same name, line length and element type.
    modals->whenShown<ExportDialog>([](ExportDialog* dialog) {
        QCOMPARE(dialog->txtExportName->text(), QStringLiteral("logo"));
        QCOMPARE(dialog->spnBytesPerLine->value(), 8);
        QVERIFY(dialog->chkExportStdint->isChecked());
        dialog->cmdExportClose->click();
    });
    click("cmdExport");
    QVERIFY(modals->messages.isEmpty());
}

void TestImportExportDialogs::exportTypeChoiceAndLayoutNote_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("typeChoice");
    QTest::newRow("C array, vertical") << 0 << false << true;
    QTest::newRow("PROGMEM, horizontal") << 1 << true << true;
    QTest::newRow("PIC18 assembler, vertical") << 2 << false << false;
    QTest::newRow("PIC16 assembler, horizontal") << 3 << true << false;
    QTest::newRow("BASIC, vertical") << 4 << false << false;
    QTest::newRow("binary, horizontal") << 5 << true << false;
}

void TestImportExportDialogs::exportTypeChoiceAndLayoutNote() {
    QFETCH(int, format);
    QFETCH(bool, horizontal);
    QFETCH(bool, typeChoice);
    const QByteArray bytes = QByteArray::fromHex("ff80808480808080") + QByteArray(1016, '\0');
    ExportDialog dialog(bytes, 128, 64, horizontal, control<CommonDialog>("commdlg"));
    // The controllers this table's layout serves stand out; the other layout is named as well.
    QVERIFY(
        dialog.lblExportLayout->text().contains("<b>" + layoutControllers(horizontal) + "</b>"));
    QVERIFY(dialog.lblExportLayout->text().contains(layoutControllers(!horizontal)));
    dialog.cboExportFormat->setCurrentIndex(format);
    QCOMPARE(dialog.chkExportStdint->isEnabled(), typeChoice);
    dialog.chkExportStdint->setChecked(true);
    const auto chosen = static_cast<ExportFormat>(format);
    QCOMPARE(dialog.table(),
             exportTable(bytes, 128, 64, horizontal, chosen, {QStringLiteral("image"), 16, true}));
    QCOMPARE(dialog.table().contains("const uint8_t image[1024]"), typeChoice);
}

void TestImportExportDialogs::exportCopyAndSave_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("C array") << 0 << "h";
    QTest::newRow("PROGMEM") << 1 << "h";
    QTest::newRow("PIC18 assembler") << 2 << "inc";
    QTest::newRow("PIC16 assembler") << 3 << "inc";
    QTest::newRow("BASIC") << 4 << "bas";
    QTest::newRow("binary") << 5 << "bin";
}

void TestImportExportDialogs::exportCopyAndSave() {
    QFETCH(int, format);
    QFETCH(QString, suffix);
    const QByteArray bytes = QByteArray::fromHex("ff80808480808080") + QByteArray(1016, '\0');
    ExportDialog dialog(bytes, 128, 64, false, control<CommonDialog>("commdlg"));
    dialog.cboExportFormat->setCurrentIndex(format);
    const ExportFormat chosen = static_cast<ExportFormat>(format);
    const QByteArray table = exportTable(bytes, 128, 64, false, chosen, ExportOptions());
    QCOMPARE(dialog.table(), table);
    QCOMPARE(dialog.txtExportPreview->toPlainText(), exportPreview(table, chosen));
    QVERIFY(dialog.txtExportPreview->isReadOnly());

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QCOMPARE(dialog.cmdExportCopy->isEnabled(), chosen != ExportFormat::Binary);
    if (dialog.cmdExportCopy->isEnabled()) {
        dialog.cmdExportCopy->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(table));
    }

    modals->fileAnswers = {path("image." + suffix)};
    dialog.cmdExportSave->click();
    QCOMPARE(modals->dialogs.size(), 1);
    QCOMPARE(modals->dialogs[0].suffix, suffix);
    QCOMPARE(modals->dialogs[0].fileNameBox, "image." + suffix);
    QCOMPARE(readAll(path("image." + suffix)), table);
    QVERIFY(modals->messages.isEmpty());
}

void TestImportExportDialogs::exportSaveFailureSaysWhy() {
    ExportDialog dialog(QByteArray(1024, '\x55'), 128, 64, true, control<CommonDialog>("commdlg"));
    const QString target = path("missing/folder/image.h");
    modals->fileAnswers = {"!" + target};
    dialog.cmdExportSave->click();
    QCOMPARE(modals->messages.size(), 1);
    QVERIFY2(modals->messages[0].startsWith(quorvelBox("File Save Error - " + target + ": ")),
             qPrintable(modals->messages[0]));
    QVERIFY(modals->messages[0].size() > quorvelBox("File Save Error - " + target + ": ").size());
    QVERIFY(!QFile::exists(target));
}

QUORVEL_TEST_MAIN(TestImportExportDialogs)
#include "test_import_export_dialogs.moc"
