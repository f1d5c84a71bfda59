// A huge text opened into the Transmit Window, and keys typed after it; the receive window at its
// limit. Each key must cost what it changes, not the length of the text already there.
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
#include "app/TextBox.h"
#include "support/Controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

namespace {
constexpr int keys = 21;

double millisOf(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

// Median of `keys` key presses at the end of the box, each painted.
double keyMillis(TextBox* box) {
    box->moveCursor(QTextCursor::End);
    std::vector<double> each;
    for (int i = 0; i < keys; ++i) {
        each.push_back(millisOf([box] {
            QTest::keyClick(box, 'a');
            QApplication::processEvents();
        }));
    }
    return median(each);
}

// A one-line table like the ones Open reads: hex digits and commas.
QString tableText(qsizetype characters) {
    QString text(characters, Qt::Uninitialized);
    const char pattern[] = "0xff,0x00,";
    for (qsizetype i = 0; i < characters; ++i)
        text[i] = QLatin1Char(pattern[i % 10]);
    return text;
}
} // namespace

void benchTextBoxes() {
    Main w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return printNote(QStringLiteral("The window was never shown: text boxes not measured."));
    Table table("Text boxes: a huge Open, then keys (offscreen, shown window)",
                {QStringLiteral("box, text"), QStringLiteral("set and painted"),
                 QStringLiteral("one key, painted"), QStringLiteral("goal")});
    auto* transmitWindow = findControl<TextBox>(&w, QStringLiteral("Text2"));
    auto* receiveWindow = findControl<TextBox>(&w, QStringLiteral("Text1"));
    for (const qsizetype size : {qsizetype(1) << 20, qsizetype(16) << 20}) {
        const QString text = tableText(size);
        const double setMs = millisOf([&] {
            transmitWindow->setText(text);
            QApplication::processEvents();
        });
        const double keyMs = keyMillis(transmitWindow);
        const bool whole = transmitWindow->text() == text + QString(keys, QLatin1Char('a'));
        table.row({QStringLiteral("Text2, %1 MB on one line").arg(size >> 20), millis(setMs),
                   whole ? millis(keyMs) : QStringLiteral("text wrong"),
                   QStringLiteral("< 1 s, < 20 ms")});
    }
    transmitWindow->setText(QString());
    const QString lines = QString(QStringLiteral("LCD 128x64 V 1024 bytes\r\n")).repeated(390);
    receiveWindow->setText(lines.left(receiveWindow->maxLength() - keys - 1));
    table.row({QStringLiteral("Text1, %1 characters in lines, at its limit")
                   .arg(receiveWindow->text().size()),
               QString(), millis(keyMillis(receiveWindow)), QStringLiteral("< 20 ms")});
    table.print();
    printNote(QStringLiteral("Each key is QTest::keyClick at the end of the box followed by one "
                             "pass of the event loop; median of %1 keys. \"set and painted\" is "
                             "TextBox::setText (what Open does with the file's text) and the "
                             "painting after it.")
                  .arg(keys));
}
