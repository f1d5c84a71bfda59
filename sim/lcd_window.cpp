#include "lcd_window.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

class LcdWindow::Glass : public QWidget {
public:
    Glass(int scale, QWidget* parent) : QWidget(parent), scale_(scale) {}

    void setImage(const QImage& image) {
        image_ = image;
        setFixedSize(image.width() * scale_, image.height() * scale_);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x9c, 0xb8, 0x5a));
        const QColor dark(0x1f, 0x2b, 0x14);
        // Leave a hairline between dots at larger scales, like the real glass.
        const int dot = scale_ > 2 ? scale_ - 1 : scale_;
        for (int y = 0; y < image_.height(); ++y) {
            for (int x = 0; x < image_.width(); ++x) {
                if (image_.pixelIndex(x, y) == 1)
                    painter.fillRect(x * scale_, y * scale_, dot, dot, dark);
            }
        }
    }

private:
    int scale_;
    QImage image_;
};

LcdWindow::LcdWindow(int scale, const QString& devicePath, QWidget* parent)
    : QWidget(parent), glass_(new Glass(scale, this)), hint_(new QLabel(this)),
      status_(new QLabel(this)), title_(QStringLiteral("quorvel-picsim %1").arg(devicePath)) {
    setWindowTitle(title_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(glass_);
    layout->addWidget(hint_);
    layout->addWidget(status_);
    hint_->setObjectName(QStringLiteral("lblLayoutHint"));
    hint_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    hint_->hide();
    layout->setSizeConstraint(QLayout::SetFixedSize);
    status_->setText(QStringLiteral("waiting on %1").arg(devicePath));
}

void LcdWindow::showLcd(const QImage& image) {
    glass_->setImage(image);
}

void LcdWindow::showStatus(const QString& line) {
    status_->setText(line);
}

void LcdWindow::showHint(const QString& hint) {
    hint_->setText(hint.isEmpty() ? QString() : QStringLiteral("Wrong Byte Matrix: %1").arg(hint));
    hint_->setVisible(!hint.isEmpty());
    setWindowTitle(hint.isEmpty() ? title_ : QStringLiteral("%1 - %2").arg(title_, hint));
}
