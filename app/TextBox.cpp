#include "app/TextBox.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace {
// What the text document shows: every CR LF, lone CR and lone LF is one line break.
QString displayForm(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
} // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_settingText)
            takeUserEdit();
    });
}

QString TextBox::limited(const QString& text) const {
    return m_maxLength > 0 && text.size() > m_maxLength ? text.left(m_maxLength) : text;
}

void TextBox::setText(const QString& text) {
    m_text = limited(text);
    m_settingText = true;
    setPlainText(displayForm(m_text));
    m_settingText = false;
    emit changed();
}

void TextBox::appendText(const QString& text) {
    if (text.isEmpty())
        return;
    const QString kept = limited(m_text + text).mid(m_text.size());
    if (kept.isEmpty())
        return;
    // A line feed whose carriage return came in the previous piece is already shown as a break.
    QString shown = kept;
    if (m_text.endsWith(QLatin1Char('\r')) && shown.startsWith(QLatin1Char('\n')))
        shown.remove(0, 1);
    m_text += kept;
    m_settingText = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(displayForm(shown));
    m_settingText = false;
    emit changed();
}

void TextBox::takeUserEdit() {
    QString edited = toPlainText();
    edited.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (m_maxLength > 0 && edited.size() > m_maxLength) {
        setText(edited);
        moveCursor(QTextCursor::End);
        return;
    }
    m_text = edited;
    emit changed();
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (!typed.isEmpty() && !(event->modifiers() & Qt::ControlModifier)) {
        for (const QChar c : typed)
            emit keyPressed(c.unicode());
    }
    QPlainTextEdit::keyPressEvent(event);
}
