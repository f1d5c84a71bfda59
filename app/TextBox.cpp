#include "app/TextBox.h"

#include "link/TerminalKeys.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace {
// What the QTextDocument shows: every CR LF, lone CR and lone LF is one line break.
QString displayForm(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The characters the QTextDocument also takes as the end of a paragraph.
bool breaksParagraph(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// True when, from `from` on, every CR of the text is followed by a LF, every LF follows a CR,
// and no other character ends a paragraph of the QTextDocument.
bool breaksAreWhole(const QString& text, qsizetype from) {
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && (i + 1 >= size || text.at(i + 1) != QLatin1Char('\n')))
            return false;
        if (c == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            return false;
        if (breaksParagraph(c))
            return false;
    }
    return true;
}

// A piece of the QTextDocument as the box stores it: paragraph breaks become CR LF.
QString storedForm(QString documentText) {
    documentText.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return documentText;
}
} // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                if (!m_settingText)
                    takeUserEdit(position, removed, added);
            });
    // Reported once the edit is over, so that cutting the text to the limit does not set the
    // QTextDocument from inside its own report of the change.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (m_settingText)
            return;
        if (m_maxLength > 0 && m_text.size() > m_maxLength) {
            setText(m_text);
            moveCursor(QTextCursor::End);
            return;
        }
        undoOnlyWithoutSoftBreaks();
        emit changed();
    });
}

QString TextBox::limited(const QString& text) const {
    return m_maxLength > 0 && text.size() > m_maxLength ? text.left(m_maxLength) : text;
}

int TextBox::softBreaksBefore(int position) const {
    return int(std::lower_bound(m_softBreaks.begin(), m_softBreaks.end(), position) -
               m_softBreaks.begin());
}

bool TextBox::isSoftBreak(int position) const {
    return std::binary_search(m_softBreaks.begin(), m_softBreaks.end(), position);
}

// An undo that put back a soft break would put it back as a line break the user typed.
void TextBox::undoOnlyWithoutSoftBreaks() {
    const bool wanted = m_softBreaks.empty();
    if (isUndoRedoEnabled() != wanted)
        setUndoRedoEnabled(wanted);
}

QString TextBox::withSoftBreaks(const QString& shown, int position, int column) {
    QString out;
    out.reserve(shown.size() + shown.size() / SoftLine + 1);
    for (const QChar c : shown) {
        if (c == QLatin1Char('\n') || breaksParagraph(c)) {
            column = 0;
        } else {
            if (column == SoftLine) {
                m_softBreaks.push_back(position + int(out.size()));
                out += QLatin1Char('\n');
                column = 0;
            }
            ++column;
        }
        out += c;
    }
    return out;
}

void TextBox::setText(const QString& text) {
    m_text = limited(text);
    m_breaksWhole = breaksAreWhole(m_text, 0);
    m_softBreaks.clear();
    const QString shown = withSoftBreaks(displayForm(m_text), 0, 0);
    m_settingText = true;
    setPlainText(shown);
    m_settingText = false;
    undoOnlyWithoutSoftBreaks();
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
    const qsizetype oldSize = m_text.size();
    m_text += kept;
    // Unknown breaks stay unknown; the next edit then reads the whole text once.
    m_breaksWhole = m_breaksWhole && breaksAreWhole(m_text, oldSize);
    const int end = document()->characterCount() - 1;
    const int column = document()->lastBlock().length() - 1;
    const QString display = withSoftBreaks(displayForm(shown), end, column);
    m_settingText = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(display);
    m_settingText = false;
    undoOnlyWithoutSoftBreaks();
    emit changed();
}

// QTextDocument says which of its characters changed: from `position`, `removed` characters
// of the old text were replaced by `added` characters of the new one. With whole CR LF
// breaks, text-document position p is m_text index p + (breaks before p) - 2 x (soft breaks before
// p), and the replaced part of m_text is found by walking only the removed characters.
void TextBox::takeUserEdit(int position, int removed, int added) {
    const int documentLength = document()->characterCount() - 1; // less the closing break
    const qsizetype oldLength = qsizetype(documentLength) - added + removed;
    // QTextDocument may count its closing paragraph break into both numbers.
    const qsizetype beyond = position + qsizetype(removed) - oldLength;
    if (beyond > 0) {
        removed -= int(beyond);
        added -= int(beyond);
    }
    const bool sane =
        position >= 0 && removed >= 0 && added >= 0 && position + added <= documentLength;

    qsizetype start = 0;
    qsizetype end = 0;
    if (sane && m_breaksWhole) {
        start = position + document()->findBlock(position).blockNumber() -
                2 * qsizetype(softBreaksBefore(position));
        end = start;
        for (int p = position; p < position + removed && end < m_text.size(); ++p) {
            if (!isSoftBreak(p))
                end += m_text.at(end) == QLatin1Char('\r') ? 2 : 1;
        }
    }
    // Soft breaks inside the removed part are gone, the ones behind it move.
    if (sane && !m_softBreaks.empty()) {
        const auto first = std::lower_bound(m_softBreaks.begin(), m_softBreaks.end(), position);
        const auto last = std::lower_bound(first, m_softBreaks.end(), position + removed);
        const auto kept = m_softBreaks.erase(first, last);
        for (auto it = kept; it != m_softBreaks.end(); ++it)
            *it += added - removed;
    }
    if (!sane || !m_breaksWhole || start > m_text.size()) {
        rereadWholeText();
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    m_text.replace(start, end - start, storedForm(cursor.selectedText()));
    // A cheap check that the two still agree: one CR LF per break the box did not add itself.
    const qsizetype breaks = document()->blockCount() - 1;
    if (m_text.size() != documentLength + breaks - 2 * qsizetype(m_softBreaks.size()))
        rereadWholeText();
}

void TextBox::rereadWholeText() {
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    const QString shown = all.selectedText();
    std::vector<int> soft;
    QString text;
    text.reserve(shown.size());
    auto next = m_softBreaks.cbegin();
    for (int p = 0; p < shown.size(); ++p) {
        const QChar c = shown.at(p);
        while (next != m_softBreaks.cend() && *next < p)
            ++next;
        if (c == QChar::ParagraphSeparator && next != m_softBreaks.cend() && *next == p) {
            soft.push_back(p);
            continue;
        }
        text += c == QChar::ParagraphSeparator ? QStringLiteral("\r\n") : QString(c);
    }
    m_text = text;
    m_softBreaks = soft;
    m_breaksWhole = true;
}

// A paste of a huge text would make one paragraph of megabytes, laid out again at every later
// key: it is cut into pieces like a text that is set.
void TextBox::splitLongBlocks(int from, int to) {
    QTextBlock block = document()->findBlock(from);
    while (block.isValid() && block.position() <= to) {
        if (block.length() - 1 > SoftLine) {
            if (isUndoRedoEnabled())
                setUndoRedoEnabled(false);
            const int at = block.position() + SoftLine;
            for (int& soft : m_softBreaks) {
                if (soft >= at)
                    ++soft;
            }
            m_softBreaks.insert(std::upper_bound(m_softBreaks.begin(), m_softBreaks.end(), at), at);
            m_settingText = true;
            QTextCursor cursor(document());
            cursor.setPosition(at);
            cursor.insertBlock();
            m_settingText = false;
            ++to;
        }
        block = block.next();
    }
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    for (const int code : terminalKeyCodes(event->key(), event->modifiers(), event->text()))
        emit keyPressed(code);
    // A soft break is no character: Backspace and Delete next to one take the character beyond.
    QTextCursor cursor = textCursor();
    if (!m_softBreaks.empty() && !cursor.hasSelection() && event->modifiers() == Qt::NoModifier) {
        const int at = cursor.position();
        if (event->key() == Qt::Key_Backspace && isSoftBreak(at - 1))
            cursor.setPosition(at - 1);
        else if (event->key() == Qt::Key_Delete && isSoftBreak(at))
            cursor.setPosition(at + 1);
        if (cursor.position() != at)
            setTextCursor(cursor);
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent* event) {
    // Dead keys, compose and CJK input arrive here, not as key presses.
    for (const QChar c : lineCharacters(event->commitString()))
        emit keyPressed(c.unicode());
    QPlainTextEdit::inputMethodEvent(event);
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText() && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    const int from = textCursor().selectionStart();
    QPlainTextEdit::insertFromMimeData(source);
    splitLongBlocks(from, textCursor().position());
}

QMimeData* TextBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const QString shown = cursor.selectedText();
    const int from = cursor.selectionStart();
    QString text;
    text.reserve(shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        const QChar c = shown.at(i);
        if (c != QChar::ParagraphSeparator)
            text += c;
        else if (!isSoftBreak(from + i))
            text += QLatin1Char('\n');
    }
    auto* mime = new QMimeData;
    mime->setText(text);
    return mime;
}
