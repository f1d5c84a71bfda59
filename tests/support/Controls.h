#pragma once

// Finding and working a window's controls the way a user does: by the name each control carries
// (its objectName; an option array member as "optgrf(3)"), by mouse clicks and key presses.
// Shared by the window tests and the benchmarks.
#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWidget>

// The window a control belongs to; a non-widget (an action, a timer, the port) belongs to the
// window of the widget it hangs from.
inline const QWidget* owningWindow(const QObject* object) {
    for (; object; object = object->parent())
        if (object->isWidgetType())
            return static_cast<const QWidget*>(object)->window();
    return nullptr;
}

// The control of `window` named `name`. A control of another window opened from it (About,
// Help, a dialog) is never taken for one of its own. A name that is not there is a fault of the
// test itself, so it stops the run with the name.
template <class T = QWidget> T* findControl(const QWidget* window, const QString& name) {
    for (T* found : window->findChildren<T*>(name))
        if (owningWindow(found) == window)
            return found;
    qFatal("no control named %s of the wanted kind in %s", qPrintable(name),
           qPrintable(window->objectName()));
    return nullptr;
}

// A left click in the middle of a button, an option or a check box, or the menu item or action
// triggered. A disabled or hidden control takes no click, as for the user.
inline void clickControl(const QWidget* window, const QString& name) {
    if (auto* action = window->findChild<QAction*>(name)) {
        action->trigger();
        return;
    }
    auto* button = findControl<QAbstractButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

// A click on entry `row` of a list box, scrolled into view first as the user would.
inline void clickRow(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (!item)
        qFatal("%s has no row %d", qPrintable(list->objectName()), row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Replaces what a line box holds by typing: everything selected, then the keys of `text`.
inline void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}
