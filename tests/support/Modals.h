#pragma once

// Answers the modal dialogs and message boxes that a handler opens inside its own event loop.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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

    // Answers for the next file dialogs, in order: a path is chosen, "" cancels, and a path
    // after "!" is taken without the dialog's own check that it exists.
    QStringList fileAnswers;
    QList<Shown> dialogs;
    // "title|text" of every message box, each answered with OK (or Yes).
    QStringList messages;

    Modals() {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &Modals::answer);
        m_timer.start();
    }

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->windowTitle() + QLatin1Char('|') + box->text();
            QAbstractButton* button = box->button(QMessageBox::Ok);
            button = button ? button : box->button(QMessageBox::Yes);
            button ? button->click() : box->reject();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            dialogs << Shown{dialog->windowTitle(), dialog->nameFilters(),
                             dialog->directory().absolutePath(), dialog->defaultSuffix(),
                             name ? name->text() : QString()};
            const QString path = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
            if (path.isEmpty()) {
                static_cast<QDialog*>(dialog)->reject();
            } else if (path.startsWith(QLatin1Char('!'))) {
                dialog->selectFile(path.mid(1));
                static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
            } else {
                dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept(); // the dialog's own checks run
            }
        }
    }

    QTimer m_timer;
};
