#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

// The LCD as it would look on the bench: dark pixels on a green glass, magnified, with the
// last status line underneath, and above it, while the last picture came in the other layout,
// what the panel takes (also in the title).
class LcdWindow : public QWidget {
    Q_OBJECT
public:
    LcdWindow(int scale, const QString& devicePath, QWidget* parent = nullptr);

    void showLcd(const QImage& image);
    void showStatus(const QString& line);
    void showHint(const QString& hint);

private:
    class Glass;
    Glass* glass_;
    QLabel* hint_;
    QLabel* status_;
    QString title_;
};
