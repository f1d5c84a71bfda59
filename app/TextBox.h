#pragma once

#include <QPlainTextEdit>
#include <vector>

// A multi-line text box that keeps its text exactly as set, carriage returns included (a plain
// QPlainTextEdit turns "\r\n" into a paragraph break and forgets the "\r"). Line breaks typed by
// the user are stored as carriage return + line feed.
//
// Huge texts stay quick. QTextDocument lays out a whole paragraph again at every change in it,
// so a line longer than SoftLine characters is shown as several paragraphs: the box puts a soft
// break of its own after every SoftLine characters of it, which text() never holds and a copy
// never takes (undo is off while the box holds any). Every edit then costs what it changes: a key
// typed after a 16 MB text was set reads only its own change and lays out one piece.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    // Longer than any table of the panels with the usual decorations, short enough that laying
    // out one piece again takes a few milliseconds.
    static constexpr int SoftLine = 65536;

    const QString& text() const { return m_text; }
    void setText(const QString& text);
    void appendText(const QString& text);

    // 0 means no limit. Text beyond the limit is cut off, whether typed or set.
    void setMaxLength(int length) { m_maxLength = length; }
    int maxLength() const { return m_maxLength; }

    // Document positions of the soft breaks, ascending (for tests).
    const std::vector<int>& softBreaks() const { return m_softBreaks; }

signals:
    // After every change of the text, by code or by the user.
    void changed();
    // Each character code (0-255) a key or an input method's commit puts on a terminal line
    // (Enter gives 13, Backspace 8, Ctrl+A 1), before it edits the box.
    void keyPressed(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    // A paste with no text on the clipboard (or no clipboard data at all) inserts nothing.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // The selection as the text holds it: without the soft breaks.
    QMimeData* createMimeDataFromSelection() const override;

private:
    void takeUserEdit(int position, int removed, int added);
    void rereadWholeText();
    // The display form of `shown` with soft breaks, as it goes in at text-document position
    // `position` behind a paragraph already `column` characters long; records the breaks.
    QString withSoftBreaks(const QString& shown, int position, int column);
    void splitLongBlocks(int from, int to);
    int softBreaksBefore(int position) const;
    bool isSoftBreak(int position) const;
    void undoOnlyWithoutSoftBreaks();
    QString limited(const QString& text) const;

    QString m_text;
    int m_maxLength = 0;
    bool m_settingText = false;
    // True while every line break of m_text is a CR LF pair and nothing else in it breaks a
    // line of the QTextDocument: then a text-document position maps to m_text by its block number
    // and the soft breaks before it alone.
    bool m_breaksWhole = true;
    std::vector<int> m_softBreaks;
};
