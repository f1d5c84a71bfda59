#pragma once

#include <QDialog>

class QPushButton;
class TextBox;

// The Help window (frmHelp): a fixed page of usage notes. Shown modeless; deletes itself when
// closed.
class Help : public QDialog {
    Q_OBJECT
public:
    explicit Help(QWidget* parent = nullptr);

    // The page, lines joined by carriage return + line feed, without a break after the last.
    static QString pageText();

    TextBox* Text1 = nullptr;
    QPushButton* Command1 = nullptr;

    void Command1_Click();

private:
    void Form_Load();
};
