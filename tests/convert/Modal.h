#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Modal boxes and dialogs run their own event loop, so the test answers them from a timer that
// watches for the next modal widget of the wanted kind. The timer belongs to `owner` and dies
// with it, so an answer never spills into the next test.
template <typename T> void whenModal(QObject* owner, std::function<void(T*)> answer) {
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, answer] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(widget);
        }
    });
    timer->start();
}

// Records the text of every message box shown while `owner` lives and presses OK (or Yes).
inline void recordMessages(QObject* owner, QStringList* messages) {
    whenModal<QMessageBox>(owner, [owner, messages](QMessageBox* box) {
        *messages << box->text();
        recordMessages(owner, messages);
        QAbstractButton* button = box->button(QMessageBox::Ok);
        if (!button)
            button = box->button(QMessageBox::Yes);
        if (button)
            button->click();
        else
            box->reject();
    });
}
