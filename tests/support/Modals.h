#pragma once

// Answers the modal message boxes and dialogs that a handler opens inside its own event loop.
// One timer watches QApplication::activeModalWidget() for as long as the object lives: give it
// the window as parent (or delete it in cleanup()) so that no answer spills into the next test.
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

class Modals : public QObject {
public:
    // What a file dialog looked like when it was answered.
    struct Shown {
        QString title;
        QStringList filters;
        QString directory;
        QString suffix;
        QString fileNameBox;
    };

    // Every message box is answered with this button; one without it gets OK, then Yes, and
    // one with neither is rejected.
    QMessageBox::StandardButton button = QMessageBox::Ok;
    // Every message box shown, as "title|text" and as its text alone.
    QStringList messages;
    QStringList texts;
    // Answers for the next file dialogs, in order: a path is chosen, "" cancels, and a path
    // after "!" is taken without the dialog's own check that it exists.
    QStringList fileAnswers;
    QList<Shown> dialogs;

    explicit Modals(QObject* parent = nullptr) : QObject(parent) {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &Modals::answer);
        m_timer.start();
    }

    // The next modal widget of type T gets `answer` instead, once. It runs inside this timer's
    // callback, where the timer cannot fire again: queue anything that opens a further box.
    template <typename T> void whenShown(std::function<void(T*)> answer) {
        m_special << Special{[](QWidget* modal) { return qobject_cast<T*>(modal) != nullptr; },
                             [answer](QWidget* modal) { answer(static_cast<T*>(modal)); }};
    }

    // Runs `action`, answers every box it shows with OK and returns them as "title|text".
    static QStringList boxesDuring(const std::function<void()>& action) {
        Modals modals;
        action();
        return modals.messages;
    }

private:
    struct Special {
        std::function<bool(QWidget*)> fits;
        std::function<void(QWidget*)> answer;
    };

    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        // A box is active a moment before it is shown; a dialog waiting for its queued accept
        // must not be answered twice.
        if (!modal || !modal->isVisible() || modal == m_accepting)
            return;
        for (qsizetype i = 0; i < m_special.size(); ++i) {
            if (m_special[i].fits(modal)) {
                m_special.takeAt(i).answer(modal);
                return;
            }
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            answerBox(box);
        else if (auto* dialog = qobject_cast<QFileDialog*>(modal))
            answerFileDialog(dialog);
    }

    void answerBox(QMessageBox* box) {
        messages << box->windowTitle() + QLatin1Char('|') + box->text();
        texts << box->text();
        QAbstractButton* chosen = box->button(button);
        chosen = chosen ? chosen : box->button(QMessageBox::Ok);
        chosen = chosen ? chosen : box->button(QMessageBox::Yes);
        chosen ? chosen->click() : box->reject();
    }

    void answerFileDialog(QFileDialog* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        dialogs << Shown{dialog->windowTitle(), dialog->nameFilters(),
                         dialog->directory().absolutePath(), dialog->defaultSuffix(),
                         name ? name->text() : QString()};
        QString path = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        if (path.isEmpty()) {
            static_cast<QDialog*>(dialog)->reject();
            return;
        }
        const bool unchecked = path.startsWith(QLatin1Char('!'));
        if (unchecked)
            path.remove(0, 1);
        // selectFile() leaves the name box alone once it has focus, so fill the box itself. A
        // file the dialog preselected from the file name of its last use is let go first, as
        // typing over it does: the dialog takes a file selected in its list before a typed name.
        if (name) {
            for (auto* view : dialog->findChildren<QAbstractItemView*>())
                view->clearSelection();
            name->setText(path);
        } else
            dialog->selectFile(path);
        // Queued, so that a box the dialog opens (replace an existing file?) runs its loop
        // outside this callback, where the timer can answer it.
        m_accepting = dialog;
        QMetaObject::invokeMethod(
            this,
            [this, dialog = QPointer<QFileDialog>(dialog), unchecked] {
                m_accepting = nullptr;
                if (!dialog)
                    return;
                if (unchecked)
                    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
                else
                    static_cast<QDialog*>(dialog)->accept(); // the dialog's own checks run
            },
            Qt::QueuedConnection);
    }

    QTimer m_timer;
    QList<Special> m_special;
    QWidget* m_accepting = nullptr;
};

// How `messages` holds a box of the program's own.
inline QString quorvelBox(const QString& text) {
    return QStringLiteral("Quorvel|") + text;
}
