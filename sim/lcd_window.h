#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

// The LCD as it would look on the bench: dark pixels on a green glass, magnified, with the
// last status line underneath.
class LcdWindow : public QWidget {
    Q_OBJECT
public:
    LcdWindow(int scale, const QString& devicePath, QWidget* parent = nullptr);

    void showLcd(const QImage& image);
    void showStatus(const QString& line);

private:
    class Glass;
    Glass* glass_;
    QLabel* status_;
};
