#include "support/WindowTest.h"

#include "app/CanvasView.h"
#include "app/ImportDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

void WindowTest::openWindow(SerialPort* port) {
    delete w;
    w = new Main(port);
    modals = m_answerBoxes ? new Modals(w) : nullptr;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void WindowTest::closeWindow() {
    delete w;
    w = nullptr;
    modals = nullptr;
}

QPoint pointOfPixel(const CanvasView* box, const QPoint& pixel) {
    // toUnits is linear through the box's top-left corner.
    const QPointF far(1000, 1000);
    const QPointF perPoint = box->toUnits(far) / 1000.0;
    return QPoint(int(std::floor((pixel.x() + 0.5) / perPoint.x())),
                  int(std::floor((pixel.y() + 0.5) / perPoint.y())));
}

void clickPixels(const CanvasView* box, const QList<QPoint>& pixels) {
    // Sent as events, not through QTest::mousePress, which takes QPoint(0, 0) for "the middle".
    auto* target = const_cast<CanvasView*>(box);
    for (const QPoint& pixel : pixels) {
        const QPointF at = pointOfPixel(box, pixel);
        const QPointF global = target->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

bool importOntoCanvas(Main* window, Modals* modals, const QImage& picture) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("picture.png"));
    if (!modals || !folder.isValid() || !picture.save(file))
        return false;
    const auto dialogs = modals->dialogs.size();
    const auto messages = modals->messages.size();
    modals->fileAnswers = {file};
    modals->whenShown<ImportDialog>([](ImportDialog* dialog) {
        dialog->cboScale->setCurrentIndex(int(ImportScale::Fit));
        dialog->cboDither->setCurrentIndex(int(ImportDither::Threshold));
        dialog->sldThreshold->setValue(128);
        dialog->chkImportInvert->setChecked(false);
        dialog->accept();
    });
    clickControl(window, QStringLiteral("cmdImport"));
    const bool quiet = modals->messages.size() == messages;
    modals->dialogs.resize(dialogs);
    return quiet && window->state().canvas.image().convertToFormat(QImage::Format_RGB32) ==
                        picture.convertToFormat(QImage::Format_RGB32);
}
