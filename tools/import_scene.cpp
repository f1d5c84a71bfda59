// frmImport with a dithered photo for the README's screenshot (scripts/screenshot.sh). The photo
// is drawn here: a landscape of gradients and shapes, with the tones a real photo has.
#include "app/ImportDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSlider>
#include <QTimer>
#include <cstdio>

namespace {
QImage landscape() {
    QImage img(1600, 1000, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 620);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(235, 220, 200));
    p.fillRect(img.rect(), sky);
    QRadialGradient sun(1150, 260, 160);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(0.5, QColor(255, 220, 120));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPoint(1150, 260), 160, 160);
    QPainterPath far;
    far.moveTo(0, 620);
    far.lineTo(200, 380);
    far.lineTo(420, 520);
    far.lineTo(700, 300);
    far.lineTo(980, 540);
    far.lineTo(1250, 420);
    far.lineTo(1600, 600);
    far.lineTo(1600, 700);
    far.lineTo(0, 700);
    QLinearGradient farG(0, 300, 0, 700);
    farG.setColorAt(0, QColor(110, 110, 140));
    farG.setColorAt(1, QColor(160, 150, 160));
    p.setBrush(farG);
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(0, 760);
    near.cubicTo(300, 560, 600, 700, 900, 640);
    near.cubicTo(1200, 590, 1400, 720, 1600, 680);
    near.lineTo(1600, 1000);
    near.lineTo(0, 1000);
    QLinearGradient nearG(0, 600, 0, 1000);
    nearG.setColorAt(0, QColor(60, 110, 50));
    nearG.setColorAt(1, QColor(20, 40, 20));
    p.setBrush(nearG);
    p.drawPath(near);
    // a house
    p.setBrush(QColor(200, 190, 170));
    p.drawRect(300, 700, 180, 130);
    QPolygon roof;
    roof << QPoint(280, 705) << QPoint(390, 620) << QPoint(500, 705);
    p.setBrush(QColor(120, 40, 30));
    p.drawPolygon(roof);
    p.setBrush(QColor(40, 40, 60));
    p.drawRect(370, 760, 40, 70);
    // a tree
    p.setBrush(QColor(70, 50, 30));
    p.drawRect(1180, 700, 30, 160);
    QRadialGradient crown(1195, 650, 120);
    crown.setColorAt(0, QColor(80, 140, 60));
    crown.setColorAt(1, QColor(20, 60, 20));
    p.setBrush(crown);
    p.drawEllipse(QPoint(1195, 650), 110, 120);
    return img;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ImportDialog dialog(landscape(), 256, 128);
    dialog.cboDither->setCurrentIndex(1); // Floyd-Steinberg
    dialog.sldThreshold->setValue(120);
    dialog.show();
    dialog.move(20, 20);
    QTimer::singleShot(800, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}
