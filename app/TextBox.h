#pragma once

#include <QPlainTextEdit>

// A multi-line text box that keeps its text exactly as set, carriage returns included (a plain
// QPlainTextEdit turns "\r\n" into a paragraph break and forgets the "\r"). Line breaks typed by
// the user are stored as carriage return + line feed. Appending goes to the end of the text
// without laying out the whole text again.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);
    void appendText(const QString& text);

    // 0 means no limit. Text beyond the limit is cut off, whether typed or set.
    void setMaxLength(int length) { m_maxLength = length; }
    int maxLength() const { return m_maxLength; }

signals:
    // After every change of the text, by code or by the user.
    void changed();
    // A key that produces a character (Enter gives 13, Backspace 8), before it edits the box.
    void keyPressed(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void takeUserEdit();
    QString limited(const QString& text) const;

    QString m_text;
    int m_maxLength = 0;
    bool m_settingText = false;
};
