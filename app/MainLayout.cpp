// The window's controls: names, kinds, captions, designer values and grouping.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommIndicator.h"
#include "app/TextBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QTextLayout>
#include <QTextOption>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
template <class W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QPushButton* button(const char* name, const char* caption) {
    return named(new QPushButton(QString::fromLatin1(caption)), QString::fromLatin1(name));
}

QLabel* label(const char* name, const char* caption) {
    return named(new QLabel(QString::fromLatin1(caption)), QString::fromLatin1(name));
}

QLineEdit* lineEdit(const char* name, const char* text = "") {
    return named(new QLineEdit(QString::fromLatin1(text)), QString::fromLatin1(name));
}

QGroupBox* frame(const char* name, const char* caption) {
    return named(new QGroupBox(QString::fromLatin1(caption)), QString::fromLatin1(name));
}

QListWidget* listBox(const char* name, std::initializer_list<const char*> items, int rows) {
    auto* list = named(new QListWidget, QString::fromLatin1(name));
    for (const char* item : items)
        list->addItem(QString::fromLatin1(item));
    // Whole rows only, so no entry is shown cut in half.
    list->addItem(QStringLiteral("0"));
    const int rowHeight = list->sizeHintForRow(list->count() - 1);
    delete list->takeItem(list->count() - 1);
    list->setFixedHeight(rows * rowHeight + 2 * list->frameWidth());
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return list;
}

// The window's designer fonts are "MS Sans Serif" and "MS Serif"; where they are missing the
// nearest family of the same kind at the same size and weight stands in.
QFont designerFont(bool serif, double points, bool bold) {
    QFont font(QString::fromLatin1(serif ? "MS Serif" : "MS Sans Serif"));
    font.setStyleHint(serif ? QFont::Serif : QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The grey stage under the canvas box: it keeps a small margin around the box and follows the
// box's size, so the scroll area around it scrolls exactly as far as the zoomed box reaches.
class StageBackdrop : public QWidget {
public:
    static constexpr int Margin = 3;
    explicit StageBackdrop(QWidget* box) : m_box(box) {
        box->setParent(this);
        box->move(Margin, Margin);
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_box && event->type() == QEvent::Resize)
            resize(m_box->size() + QSize(2 * Margin, 2 * Margin));
        return false;
    }

private:
    QWidget* m_box;
};

// Holds a multi-line text box at a height of whole text lines, so its last visible line is never
// cut off at the bottom whatever height the layout gives; the rest stays empty below it.
class WholeLinesHolder : public QWidget {
public:
    WholeLinesHolder(QPlainTextEdit* box, int minimumLines)
        : m_box(box), m_minimumLines(minimumLines) {
        box->setParent(this);
        box->document()->setDocumentMargin(0);
        // The text wraps anywhere; without a margin the layout's rounding would otherwise show
        // a horizontal scroll bar that scrolls by a pixel.
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    QSize minimumSizeHint() const override {
        return {m_box->minimumSizeHint().width(), heightFor(m_minimumLines)};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        const int lines =
            std::max(1, static_cast<int>((event->size().height() - chrome()) / lineHeight()));
        m_box->setGeometry(0, 0, event->size().width(), heightFor(lines));
    }

private:
    // The height of one laid-out line as the text box lays it out, a real number.
    qreal lineHeight() const {
        QTextLayout layout(QStringLiteral("0"), m_box->font());
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        return std::max<qreal>(1, line.height());
    }
    // The frame only: a document margin takes room above the first line only until the box
    // scrolls, after which a cut line would show in it, so the box has none.
    int chrome() const { return 2 * m_box->frameWidth(); }
    int heightFor(int lines) const {
        return chrome() + static_cast<int>(std::ceil(lines * lineHeight()));
    }

    QPlainTextEdit* m_box;
    int m_minimumLines;
};

// The widest a button or frame gets among the captions the program gives it, so that a caption
// change (Send to LCD / Load Eeprom) moves nothing beside it.
template <class W> int widestWith(W* widget, const QStringList& captions) {
    const QString current = widget->text();
    int widest = 0;
    for (const QString& caption : captions) {
        widget->setText(caption);
        widest = std::max(widest, widget->sizeHint().width());
    }
    widget->setText(current);
    return widest;
}

int widestTitle(QGroupBox* box, const QStringList& titles) {
    const QString current = box->title();
    int widest = 0;
    for (const QString& title : titles) {
        box->setTitle(title);
        widest = std::max(widest, box->minimumSizeHint().width());
    }
    box->setTitle(current);
    return widest;
}
} // namespace

void Main::buildControls() {
    auto* central = new QWidget;
    auto* page = new QVBoxLayout(central);
    page->setContentsMargins(4, 2, 4, 4);
    page->setSpacing(3);

    // ---- Top strip: the serial port ----
    Frame3 = frame("Frame3", "");
    auto* top = new QHBoxLayout(Frame3);
    top->setContentsMargins(6, 4, 6, 4);
    auto* ports = new QVBoxLayout;
    for (int i = 0; i < 2; ++i) {
        Option1[i] =
            named(new QRadioButton(i == 0 ? QStringLiteral("Com1") : QStringLiteral("Com2")),
                  QStringLiteral("Option1(%1)").arg(i));
        Option1[i]->setFont(designerFont(false, 8.25, true));
        ports->addWidget(Option1[i]);
    }
    Option1[0]->setChecked(true);
    top->addLayout(ports);
    List1 = listBox("List1", {}, 3);
    List1->setFixedWidth(96);
    top->addWidget(List1);
    auto* openColumn = new QVBoxLayout;
    cmdcomm = button("cmdcomm", "Open");
    Label2 = label("Label2", "Setting");
    openColumn->addWidget(cmdcomm);
    openColumn->addWidget(Label2);
    top->addLayout(openColumn);
    comm = label("comm", "");
    comm->setAlignment(Qt::AlignCenter);
    comm->setFrameStyle(QFrame::Box | QFrame::Plain);
    comm->setFont(designerFont(false, 8.25, true));
    comm->setFixedSize(44, 24);
    comm_indicator::showOff(comm);
    top->addWidget(comm);
    cmdbuff = button("cmdbuff", "Apply");
    top->addWidget(cmdbuff);
    auto* handshake = new QVBoxLayout;
    Label23 = label("Label23", "Handshake");
    proto = listBox("proto", {"Off", "XoXoff", "Rts", "XonRts"}, 2);
    proto->setFixedWidth(80);
    handshake->addWidget(Label23);
    handshake->addWidget(proto);
    top->addLayout(handshake);
    auto* buffer = new QVBoxLayout;
    Label22 = label("Label22", "Com out buff");
    combuff = lineEdit("combuff", "512");
    combuff->setFixedWidth(70);
    buffer->addWidget(Label22);
    buffer->addWidget(combuff);
    buffer->addStretch();
    top->addLayout(buffer);
    top->addStretch();
    page->addWidget(Frame3);

    // ---- "Graphic" and the receive / transmit windows ----
    auto* middle = new QHBoxLayout;
    Frame6 = frame("Frame6", "Graphic");
    auto* graphic = new QGridLayout(Frame6);
    graphic->setContentsMargins(6, 4, 6, 4);
    // The stage holds the canvas box at any of the eight sizes and zooms; it scrolls when the
    // zoomed box is larger than the room the window gives it.
    stage = named(new QScrollArea, QStringLiteral("stage"));
    stage->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    stage->setStyleSheet(QStringLiteral("QScrollArea#stage > QWidget { background: #b8bcc0; }"));
    stage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stage->setWidgetResizable(false);
    Picture1 = named(new CanvasView(&canvas), QStringLiteral("Picture1"));
    Picture1->setBoxSize(QSize(240, 64));
    auto* backdrop = new StageBackdrop(Picture1);
    backdrop->resize(Picture1->size() +
                     QSize(2 * StageBackdrop::Margin, 2 * StageBackdrop::Margin));
    stage->setWidget(backdrop);
    // The largest panel fits whole at x1; any extra room of the window goes to the stage.
    const int stageFrame = 2 * stage->frameWidth() + 2 * StageBackdrop::Margin;
    stage->setMinimumSize(320 + stageFrame, 200 + stageFrame);
    stage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    graphic->addWidget(stage, 0, 0);
    graphic->setRowStretch(0, 1);
    graphic->setColumnStretch(0, 1);
    auto* sizes = new QGridLayout;
    sizes->setVerticalSpacing(1);
    Label10 = label("Label10", "LCD Size");
    sizes->addWidget(Label10, 0, 0, 1, 2);
    const char* sizeLabelNames[] = {"Label14", "Label15", "Label16", "Label17",
                                    "Label19", "Label18", "Label20", "Label21"};
    const char* sizeCaptions[] = {"240x64",  "128x64",  "128x32", "256x128",
                                  "240x128", "128x128", "256x64", "320x200"};
    for (int i = 0; i < 8; ++i) {
        optgrf[i] = named(new QRadioButton, QStringLiteral("optgrf(%1)").arg(i));
        sizeLabels[i] = label(sizeLabelNames[i], sizeCaptions[i]);
        optgrf[i]->setFixedSize(optgrf[i]->sizeHint()); // an option without caption is all button
        sizeLabels[i]->setBuddy(optgrf[i]);
        sizes->addWidget(optgrf[i], i + 1, 0);
        sizes->addWidget(sizeLabels[i], i + 1, 1);
    }
    optgrf[0]->setChecked(true);
    auto* zoomLabel = label("lblZoom", "Zoom");
    cboZoom = named(new QComboBox, QStringLiteral("cboZoom"));
    for (const char* zoom : {"x1", "x2", "x3", "x4", "x6", "x8"})
        cboZoom->addItem(QString::fromLatin1(zoom));
    cboZoom->setCurrentIndex(0);
    cboZoom->setToolTip(QStringLiteral("Screen pixels per panel pixel; a grid from x4"));
    zoomLabel->setBuddy(cboZoom);
    sizes->setRowMinimumHeight(9, 6);
    sizes->addWidget(zoomLabel, 10, 0, 1, 2);
    sizes->addWidget(cboZoom, 11, 0, 1, 2);
    sizes->setRowStretch(12, 1);
    graphic->addLayout(sizes, 0, 1);

    auto* pen = new QHBoxLayout;
    Label4 = label("Label4", "Pen Size");
    Combo1 = named(new QComboBox, QStringLiteral("Combo1"));
    for (int i = 0; i < 6; ++i) {
        const char* captions[] = {"x1", "x2", "x3", "x4", "x5", "x10"};
        Combo1->addItem(QString::fromLatin1(captions[i]), i + 1);
    }
    Combo1->setCurrentIndex(-1);
    Command7 = button("Command7", "Draw");
    Command6 = button("Command6", "Erase");
    Command5 = button("Command5", "Clear");
    cmdInvert = button("cmdInvert", "Invert");
    lblxy = label("lblxy", "X,Y Position");
    lblxy->setMinimumWidth(90);
    lblxy->setVisible(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label4, Combo1, Command7, Command6, Command5, cmdInvert})
        pen->addWidget(w);
    pen->addWidget(lblxy);
    pen->addStretch();
    graphic->addLayout(pen, 1, 0, 1, 2);

    auto* tools = new QHBoxLayout;
    cmdfont = button("cmdfont", "Font");
    pictxt = lineEdit("pictxt");
    pictxt->setMinimumWidth(110); // a few words stay readable at the window's minimum size
    cmdtext = button("cmdtext", "Text");
    chkinvert = named(new QCheckBox(QStringLiteral("Inverted")), QStringLiteral("chkinvert"));
    chkinvert->setChecked(true);
    Command8 = button("Command8", "Save");
    Command9 = button("Command9", "Convert");
    Command10 = button("Command10", "Load");
    cmdImport = button("cmdImport", "Import...");
    for (QWidget* w : std::initializer_list<QWidget*>{cmdfont, pictxt, cmdtext, chkinvert, Command8,
                                                      Command9, Command10, cmdImport})
        tools->addWidget(w);
    graphic->addLayout(tools, 2, 0, 1, 2);
    middle->addWidget(Frame6, 1);

    auto* right = new QVBoxLayout;
    Text1 = named(new TextBox, QStringLiteral("Text1"));
    Text1->setMaxLength(10000);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setText(QStringLiteral("Serial Input from PIC\r\n"));
    Text2 = named(new TextBox, QStringLiteral("Text2"));
    lblxmit = label("lblxmit", "Transmit Window Active");
    lblxmit->setVisible(false);
    Command4 = button("Command4", "Paste and Send ");
    Command4->setEnabled(false);
    for (TextBox* box : {Text1, Text2}) {
        box->setMinimumWidth(150);
        box->setWordWrapMode(QTextOption::WrapAnywhere);
        setBackColour(box, Qt::white);
    }
    QPalette receive = Text1->palette();
    receive.setColor(QPalette::Text, QColor(0, 0, 128));
    Text1->setPalette(receive);
    QPalette transmit = Text2->palette();
    transmit.setColor(QPalette::Text, QColor(128, 0, 0));
    Text2->setPalette(transmit);
    right->addWidget(Text1, 3);
    right->addWidget(Text2, 2);
    auto* indicators = new QHBoxLayout;
    indicators->addWidget(lblxmit);
    indicators->addStretch();
    indicators->addWidget(Command4);
    right->addLayout(indicators);
    middle->addLayout(right);
    page->addLayout(middle, 3);

    // ---- "I/O Settings" ----
    Frame2 = frame("Frame2", "I/O Settings");
    auto* io = new QHBoxLayout(Frame2);
    io->setContentsMargins(6, 2, 6, 4);

    Frame10 = frame("Frame10", "I2C Eeprom");
    auto* eepromBox = new QGridLayout(Frame10);
    Check1 = named(new QCheckBox, QStringLiteral("Check1"));
    Label13 = label("Label13", "Load EEprom");
    Label12 = label("Label12", "Start Addr");
    for (QLabel* small : {Label13, Label12})
        small->setFont(designerFont(true, 6.75, false));
    eeprom = lineEdit("eeprom", "00000");
    eeprom->setMaxLength(5);
    eeprom->setFixedWidth(60);
    eeprom->setEnabled(false);
    setBackColour(eeprom, QColor(128, 128, 128));
    eepromBox->addWidget(Check1, 0, 0);
    eepromBox->addWidget(Label13, 0, 1);
    eepromBox->addWidget(Label12, 1, 0, 1, 2);
    eepromBox->addWidget(eeprom, 2, 0, 1, 2);
    eepromBox->setRowStretch(3, 1);
    io->addWidget(Frame10);

    Frame4 = frame("Frame4", "Output Format");
    auto* format = new QGridLayout(Frame4);
    format->setVerticalSpacing(2);
    lblfrmt = label("lblfrmt", "Format");
    lblfrmt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtfrmt = lineEdit("txtfrmt");
    Label6 = label("Label6", "Delimiter");
    txtDelim = lineEdit("txtDelim");
    Label3 = label("Label3", "Header");
    txthead = lineEdit("txthead");
    Label5 = label("Label5", "Footer");
    txtfoot = lineEdit("txtfoot");
    Label9 = label("Label9", "Wait Chr");
    Text4 = lineEdit("Text4", "]");
    lblfz = label("lblfz", "0000");
    lblrem = label("lblrem", "0000");
    for (QLineEdit* small : {txtfrmt, txtDelim, Text4})
        small->setFixedWidth(44);
    format->addWidget(lblfrmt, 0, 0);
    format->addWidget(txtfrmt, 0, 1);
    format->addWidget(Label6, 0, 2);
    format->addWidget(txtDelim, 0, 3);
    format->addWidget(Label3, 1, 0);
    format->addWidget(txthead, 1, 1, 1, 3);
    format->addWidget(Label5, 2, 0);
    format->addWidget(txtfoot, 2, 1, 1, 3);
    format->addWidget(Label9, 3, 0);
    format->addWidget(Text4, 3, 1);
    format->addWidget(lblfz, 3, 2);
    format->addWidget(lblrem, 3, 3);
    // A wider frame widens the Header and Footer boxes, not the gap after the labels.
    format->setColumnStretch(1, 1);
    io->addWidget(Frame4, 1);

    Frame5 = frame("Frame5", "I/O");
    auto* pic = new QGridLayout(Frame5);
    pic->setVerticalSpacing(2);
    Label7 = label("Label7", "PIC Buffer");
    List2 = listBox("List2", {"2", "4", "8", "16", "32", "64", "128"}, 3);
    Label8 = label("Label8", "PIC Delay(ms)");
    List3 = listBox("List3", {"5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "100"}, 3);
    for (QListWidget* list : {List2, List3})
        list->setFixedWidth(60);
    Label11 = label("Label11", "Xmit Delay(ms)");
    xmitdelay = lineEdit("xmitdelay", "5");
    xmitdelay->setFixedWidth(60);
    cmdApply = button("cmdApply", "Apply");
    cmdlcd = button("cmdlcd", "&Disp Eprom");
    pic->addWidget(Label7, 0, 0);
    pic->addWidget(Label8, 0, 1);
    pic->addWidget(Label11, 0, 2);
    pic->addWidget(List2, 1, 0, 2, 1);
    pic->addWidget(List3, 1, 1, 2, 1);
    pic->addWidget(xmitdelay, 1, 2);
    auto* picButtons = new QHBoxLayout;
    picButtons->addWidget(cmdApply);
    picButtons->addWidget(cmdlcd);
    pic->addLayout(picButtons, 2, 2);
    io->addWidget(Frame5);

    Frame1 = frame("Frame1", "Byte Matrix");
    auto* matrix = new QVBoxLayout(Frame1);
    matrix->setSpacing(2);
    Option2[0] =
        named(new QRadioButton(QStringLiteral("Vertical KS0108")), QStringLiteral("Option2(0)"));
    Option2[1] =
        named(new QRadioButton(QStringLiteral("Horizontal")), QStringLiteral("Option2(1)"));
    Option2[1]->setChecked(true);
    LCD = frame("LCD", "");
    LCD->setFlat(true);
    LCD->setStyleSheet(QStringLiteral("QGroupBox#LCD { border: none; margin: 0; padding: 0; }"));
    // Hidden for the vertical layout, but its room stays, so the frames beside do not move.
    QSizePolicy keepRoom = LCD->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    LCD->setSizePolicy(keepRoom);
    auto* lcdLayout = new QVBoxLayout(LCD);
    lcdLayout->setContentsMargins(16, 0, 0, 0);
    Label1 = label("Label1", "T6963C and SED1330");
    lcdLayout->addWidget(Label1);
    matrix->addWidget(Option2[0]);
    matrix->addWidget(Option2[1]);
    matrix->addWidget(LCD);
    matrix->addStretch();
    io->addWidget(Frame1);
    page->addWidget(Frame2);

    // ---- Output window and the bottom strip ----
    Text3 = named(new TextBox, QStringLiteral("Text3"));
    Text3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Hex has no word boundaries, and wrapping anywhere keeps long lines cheap to lay out.
    Text3->setWordWrapMode(QTextOption::WrapAnywhere);
    // A tab has no place in a table of hex; Tab moves on, as in the other boxes.
    Text3->setTabChangesFocus(true);
    page->addWidget(new WholeLinesHolder(Text3, 3), 2);

    Frame9 = frame("Frame9", "");
    auto* bottom = new QHBoxLayout(Frame9);
    bottom->setContentsMargins(4, 2, 4, 2);
    Frame8 = frame("Frame8", "Text Output Window");
    auto* output = new QHBoxLayout(Frame8);
    txtcase = button("txtcase", "&UpCase");
    Command11 = button("Command11", "Copy");
    Command12 = button("Command12", "Save");
    Command12->setEnabled(false);
    Command13 = button("Command13", "Clear");
    Command14 = button("Command14", "Restore");
    cmdExport = button("cmdExport", "Export...");
    for (QPushButton* b : {txtcase, Command11, Command12, Command13, Command14, cmdExport})
        output->addWidget(b);
    bottom->addWidget(Frame8, 1);
    Frame7 = frame("Frame7", "Directly load LCD");
    auto* direct = new QHBoxLayout(Frame7);
    Command16 = button("Command16", "Send to LCD");
    Command16->setEnabled(false);
    Command15 = button("Command15", "Reformat For Output");
    Command15->setEnabled(false);
    direct->addWidget(Command16);
    direct->addWidget(Command15);
    // "Load EEprom" renames the button and the frame; both keep the width of the longer name.
    Command16->setMinimumWidth(
        widestWith(Command16, {QStringLiteral("Send to LCD"), QStringLiteral("Load Eeprom")}));
    Frame7->setMinimumWidth(widestTitle(Frame7, {QStringLiteral("Directly load LCD"),
                                                 QStringLiteral("Directly load  I2C Eeprom")}));
    bottom->addWidget(Frame7);
    page->addWidget(Frame9);

    setCentralWidget(central);
}
