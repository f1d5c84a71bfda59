#pragma once

// Message boxes are modal: a timer answers each one with OK while the handler waits in it.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <functional>

// Runs `action`, answers every message box it shows with OK and returns them as
// "title|text".
inline QStringList answeringBoxes(const std::function<void()>& action) {
    QStringList texts;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    answer.start();
    action();
    answer.stop();
    return texts;
}

inline QString quorvelBox(const QString& text) {
    return QStringLiteral("Quorvel|") + text;
}
