// The window's controls: names, kinds, captions, designer values and grouping.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommIndicator.h"
#include "app/TextBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStyle>
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

// The window's font in bold, for the controls the designer made bold. Only the weight is set, so
// the family and size follow the window's font as every other control's do.
QFont boldFont() {
    QFont font;
    font.setBold(true);
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
    // The frame only: a QTextDocument margin takes room above the first line only until the box
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

void Main::buildMenus() {
    auto add = [this](const char* name, const QString& caption) {
        QAction* action = menuBar()->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    ui.mnuExit = add("mnuExit", QStringLiteral("E&xit"));
    ui.mnuOpen = add("mnuOpen", QStringLiteral("&Open"));
    ui.mnuAbout = add("mnuAbout", QStringLiteral("&About"));
    ui.mnuHelp = add("mnuHelp", QStringLiteral("&Help"));
}

void Main::buildControls() {
    auto* central = new QWidget;
    auto* page = new QVBoxLayout(central);
    page->setContentsMargins(4, 2, 4, 4);
    page->setSpacing(3);

    // ---- Top strip: the serial port ----
    ui.Frame3 = frame("Frame3", "");
    auto* top = new QHBoxLayout(ui.Frame3);
    top->setContentsMargins(6, 4, 6, 4);
    auto* ports = new QVBoxLayout;
    for (int i = 0; i < 2; ++i) {
        ui.Option1[i] =
            named(new QRadioButton(i == 0 ? QStringLiteral("Com1") : QStringLiteral("Com2")),
                  QStringLiteral("Option1(%1)").arg(i));
        ui.Option1[i]->setFont(boldFont());
        ports->addWidget(ui.Option1[i]);
    }
    ui.Option1[0]->setChecked(true);
    top->addLayout(ports);
    ui.List1 = listBox("List1", {}, 3);
    ui.List1->setFixedWidth(96);
    top->addWidget(ui.List1);
    auto* openColumn = new QVBoxLayout;
    ui.cmdcomm = button("cmdcomm", "Open");
    ui.Label2 = label("Label2", "Setting");
    openColumn->addWidget(ui.cmdcomm);
    openColumn->addWidget(ui.Label2);
    top->addLayout(openColumn);
    ui.comm = label("comm", "");
    ui.comm->setAlignment(Qt::AlignCenter);
    ui.comm->setFrameStyle(QFrame::Box | QFrame::Plain);
    ui.comm->setFont(boldFont());
    ui.comm->setFixedSize(44, 24);
    comm_indicator::showOff(ui.comm);
    top->addWidget(ui.comm);
    ui.cmdbuff = button("cmdbuff", "Apply");
    top->addWidget(ui.cmdbuff);
    auto* handshake = new QVBoxLayout;
    ui.Label23 = label("Label23", "Handshake");
    ui.proto = listBox("proto", {"Off", "XoXoff", "Rts", "XonRts"}, 2);
    ui.proto->setFixedWidth(80);
    handshake->addWidget(ui.Label23);
    handshake->addWidget(ui.proto);
    top->addLayout(handshake);
    auto* buffer = new QVBoxLayout;
    ui.Label22 = label("Label22", "Com out buff");
    ui.combuff = lineEdit("combuff", "512");
    ui.combuff->setFixedWidth(70);
    buffer->addWidget(ui.Label22);
    buffer->addWidget(ui.combuff);
    buffer->addStretch();
    top->addLayout(buffer);
    top->addStretch();
    page->addWidget(ui.Frame3);

    // ---- "Graphic" and the receive / transmit windows ----
    auto* middle = new QHBoxLayout;
    ui.Frame6 = frame("Frame6", "Graphic");
    auto* graphic = new QGridLayout(ui.Frame6);
    graphic->setContentsMargins(6, 4, 6, 4);
    // The stage holds the canvas box at any of the eight sizes and zooms; it scrolls when the
    // zoomed box is larger than the room the window gives it.
    ui.stage = named(new QScrollArea, QStringLiteral("stage"));
    ui.stage->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    ui.stage->setStyleSheet(QStringLiteral("QScrollArea#stage > QWidget { background: #b8bcc0; }"));
    ui.stage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui.stage->setWidgetResizable(false);
    ui.Picture1 = named(new CanvasView(&m_state.canvas), QStringLiteral("Picture1"));
    ui.Picture1->setBoxSize(QSize(240, 64));
    auto* backdrop = new StageBackdrop(ui.Picture1);
    backdrop->resize(ui.Picture1->size() +
                     QSize(2 * StageBackdrop::Margin, 2 * StageBackdrop::Margin));
    ui.stage->setWidget(backdrop);
    // The largest panel fits whole at x1; any extra room of the window goes to the stage.
    const int stageFrame = 2 * ui.stage->frameWidth() + 2 * StageBackdrop::Margin;
    ui.stage->setMinimumSize(320 + stageFrame, 200 + stageFrame);
    ui.stage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    graphic->addWidget(ui.stage, 0, 0);
    graphic->setRowStretch(0, 1);
    graphic->setColumnStretch(0, 1);
    auto* sizes = new QGridLayout;
    sizes->setVerticalSpacing(1);
    ui.Label10 = label("Label10", "LCD Size");
    sizes->addWidget(ui.Label10, 0, 0, 1, 2);
    const char* sizeLabelNames[] = {"Label14", "Label15", "Label16", "Label17",
                                    "Label19", "Label18", "Label20", "Label21"};
    const char* sizeCaptions[] = {"240x64",  "128x64",  "128x32", "256x128",
                                  "240x128", "128x128", "256x64", "320x200"};
    for (int i = 0; i < 8; ++i) {
        ui.optgrf[i] = named(new QRadioButton, QStringLiteral("optgrf(%1)").arg(i));
        ui.sizeLabels[i] = label(sizeLabelNames[i], sizeCaptions[i]);
        ui.optgrf[i]->setFixedSize(
            ui.optgrf[i]->sizeHint()); // an option without caption is all button
        ui.sizeLabels[i]->setBuddy(ui.optgrf[i]);
        sizes->addWidget(ui.optgrf[i], i + 1, 0);
        sizes->addWidget(ui.sizeLabels[i], i + 1, 1);
    }
    ui.optgrf[0]->setChecked(true);
    auto* zoomLabel = label("lblZoom", "Zoom");
    ui.cboZoom = named(new QComboBox, QStringLiteral("cboZoom"));
    for (const char* zoom : {"x1", "x2", "x3", "x4", "x6", "x8"})
        ui.cboZoom->addItem(QString::fromLatin1(zoom));
    ui.cboZoom->setCurrentIndex(0);
    ui.cboZoom->setToolTip(QStringLiteral("Screen pixels per panel pixel; a grid from x4"));
    zoomLabel->setBuddy(ui.cboZoom);
    sizes->setRowMinimumHeight(9, 6);
    sizes->addWidget(zoomLabel, 10, 0, 1, 2);
    sizes->addWidget(ui.cboZoom, 11, 0, 1, 2);
    sizes->setRowStretch(12, 1);
    graphic->addLayout(sizes, 0, 1);

    auto* pen = new QHBoxLayout;
    ui.Label4 = label("Label4", "Pen Size");
    ui.Combo1 = named(new QComboBox, QStringLiteral("Combo1"));
    for (int i = 0; i < 6; ++i) {
        const char* captions[] = {"x1", "x2", "x3", "x4", "x5", "x10"};
        ui.Combo1->addItem(QString::fromLatin1(captions[i]), i + 1);
    }
    ui.Combo1->setCurrentIndex(-1);
    ui.Command7 = button("Command7", "Draw");
    ui.Command6 = button("Command6", "Erase");
    ui.Command5 = button("Command5", "Clear");
    ui.cmdInvert = button("cmdInvert", "Invert");
    // Icons only; the tooltips (MainUndo.cpp) name them and their keys.
    ui.cmdUndo = named(new QPushButton, QStringLiteral("cmdUndo"));
    ui.cmdUndo->setIcon(
        QIcon::fromTheme(QStringLiteral("edit-undo"), style()->standardIcon(QStyle::SP_ArrowBack)));
    ui.cmdUndo->setAccessibleName(QStringLiteral("Undo"));
    ui.cmdRedo = named(new QPushButton, QStringLiteral("cmdRedo"));
    ui.cmdRedo->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"),
                                         style()->standardIcon(QStyle::SP_ArrowForward)));
    ui.cmdRedo->setAccessibleName(QStringLiteral("Redo"));
    ui.lblxy = label("lblxy", "X,Y Position");
    ui.lblxy->setMinimumWidth(90);
    ui.lblxy->setVisible(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.Label4, ui.Combo1, ui.Command7, ui.Command6,
                                         ui.Command5, ui.cmdInvert, ui.cmdUndo, ui.cmdRedo})
        pen->addWidget(w);
    pen->addWidget(ui.lblxy);
    pen->addStretch();
    graphic->addLayout(pen, 1, 0, 1, 2);

    auto* tools = new QHBoxLayout;
    ui.cmdfont = button("cmdfont", "Font");
    ui.pictxt = lineEdit("pictxt");
    ui.pictxt->setMinimumWidth(110); // a few words stay readable at the window's minimum size
    ui.cmdtext = button("cmdtext", "Text");
    ui.chkinvert = named(new QCheckBox(QStringLiteral("Inverted")), QStringLiteral("chkinvert"));
    ui.chkinvert->setChecked(true);
    ui.Command8 = button("Command8", "Save");
    ui.Command9 = button("Command9", "Convert");
    ui.Command10 = button("Command10", "Load");
    ui.cmdImport = button("cmdImport", "Import...");
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.cmdfont, ui.pictxt, ui.cmdtext, ui.chkinvert,
                                         ui.Command8, ui.Command9, ui.Command10, ui.cmdImport})
        tools->addWidget(w);
    graphic->addLayout(tools, 2, 0, 1, 2);
    middle->addWidget(ui.Frame6, 1);

    auto* right = new QVBoxLayout;
    ui.Text1 = named(new TextBox, QStringLiteral("Text1"));
    ui.Text1->setMaxLength(10000);
    ui.Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.Text1->setText(QStringLiteral("Serial Input from PIC\r\n"));
    ui.Text2 = named(new TextBox, QStringLiteral("Text2"));
    ui.lblxmit = label("lblxmit", "Transmit Window Active");
    ui.lblxmit->setVisible(false);
    ui.Command4 = button("Command4", "Paste and Send ");
    ui.Command4->setEnabled(false);
    for (TextBox* box : {ui.Text1, ui.Text2}) {
        box->setMinimumWidth(150);
        setBackColour(box, Qt::white);
    }
    // The PIC's status lines are words: a line breaks between them (inside one only when it is
    // longer than the box). What is typed to the PIC breaks anywhere.
    ui.Text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    ui.Text2->setWordWrapMode(QTextOption::WrapAnywhere);
    QPalette receive = ui.Text1->palette();
    receive.setColor(QPalette::Text, QColor(0, 0, 128));
    ui.Text1->setPalette(receive);
    QPalette transmit = ui.Text2->palette();
    transmit.setColor(QPalette::Text, QColor(128, 0, 0));
    ui.Text2->setPalette(transmit);
    right->addWidget(ui.Text1, 3);
    right->addWidget(ui.Text2, 2);
    auto* indicators = new QHBoxLayout;
    indicators->addWidget(ui.lblxmit);
    indicators->addStretch();
    indicators->addWidget(ui.Command4);
    right->addLayout(indicators);
    middle->addLayout(right);
    page->addLayout(middle, 3);

    // ---- "I/O Settings" ----
    ui.Frame2 = frame("Frame2", "I/O Settings");
    auto* io = new QHBoxLayout(ui.Frame2);
    io->setContentsMargins(6, 2, 6, 4);

    ui.Frame10 = frame("Frame10", "I2C Eeprom");
    auto* eepromBox = new QGridLayout(ui.Frame10);
    ui.Check1 = named(new QCheckBox, QStringLiteral("Check1"));
    ui.Label13 = label("Label13", "Load EEprom");
    ui.Label12 = label("Label12", "Start Addr");
    ui.eeprom = lineEdit("eeprom", "00000");
    ui.eeprom->setMaxLength(5);
    ui.eeprom->setFixedWidth(60);
    ui.eeprom->setEnabled(false);
    setBackColour(ui.eeprom, QColor(128, 128, 128));
    eepromBox->addWidget(ui.Check1, 0, 0);
    eepromBox->addWidget(ui.Label13, 0, 1);
    eepromBox->addWidget(ui.Label12, 1, 0, 1, 2);
    eepromBox->addWidget(ui.eeprom, 2, 0, 1, 2);
    eepromBox->setRowStretch(3, 1);
    io->addWidget(ui.Frame10);

    ui.Frame4 = frame("Frame4", "Output Format");
    auto* format = new QGridLayout(ui.Frame4);
    format->setVerticalSpacing(2);
    ui.lblfrmt = label("lblfrmt", "Format");
    ui.lblfrmt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.txtfrmt = lineEdit("txtfrmt");
    ui.Label6 = label("Label6", "Delimiter");
    ui.txtDelim = lineEdit("txtDelim");
    ui.Label3 = label("Label3", "Header");
    ui.txthead = lineEdit("txthead");
    ui.Label5 = label("Label5", "Footer");
    ui.txtfoot = lineEdit("txtfoot");
    ui.Label9 = label("Label9", "Wait Chr");
    ui.Text4 = lineEdit("Text4", "]");
    ui.lblfz = label("lblfz", "0000");
    ui.lblrem = label("lblrem", "0000");
    // Format and Delimiter are as wide as Wait Chr at the window's smallest and share any extra
    // room equally, so the four boxes keep their places relative to each other and to the
    // Header and Footer boxes that span them.
    for (QLineEdit* small : {ui.txtfrmt, ui.txtDelim})
        small->setMinimumWidth(44);
    ui.Text4->setFixedWidth(44);
    format->addWidget(ui.lblfrmt, 0, 0);
    format->addWidget(ui.txtfrmt, 0, 1);
    format->addWidget(ui.Label6, 0, 2);
    format->addWidget(ui.txtDelim, 0, 3);
    format->addWidget(ui.Label3, 1, 0);
    format->addWidget(ui.txthead, 1, 1, 1, 3);
    format->addWidget(ui.Label5, 2, 0);
    format->addWidget(ui.txtfoot, 2, 1, 1, 3);
    format->addWidget(ui.Label9, 3, 0);
    format->addWidget(ui.Text4, 3, 1);
    format->addWidget(ui.lblfz, 3, 2);
    format->addWidget(ui.lblrem, 3, 3);
    format->setColumnStretch(1, 1);
    format->setColumnStretch(3, 1);
    io->addWidget(ui.Frame4, 1);

    ui.Frame5 = frame("Frame5", "I/O");
    auto* pic = new QGridLayout(ui.Frame5);
    pic->setVerticalSpacing(2);
    ui.Label7 = label("Label7", "PIC Buffer");
    ui.List2 = listBox("List2", {"2", "4", "8", "16", "32", "64", "128"}, 3);
    ui.Label8 = label("Label8", "PIC Delay(ms)");
    ui.List3 =
        listBox("List3", {"5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "100"}, 3);
    for (QListWidget* list : {ui.List2, ui.List3})
        list->setFixedWidth(60);
    ui.Label11 = label("Label11", "Xmit Delay(ms)");
    ui.xmitdelay = lineEdit("xmitdelay", "5");
    ui.xmitdelay->setFixedWidth(60);
    ui.cmdApply = button("cmdApply", "Apply");
    ui.cmdlcd = button("cmdlcd", "&Disp Eprom");
    pic->addWidget(ui.Label7, 0, 0);
    pic->addWidget(ui.Label8, 0, 1);
    pic->addWidget(ui.Label11, 0, 2);
    pic->addWidget(ui.List2, 1, 0, 2, 1);
    pic->addWidget(ui.List3, 1, 1, 2, 1);
    pic->addWidget(ui.xmitdelay, 1, 2);
    auto* picButtons = new QHBoxLayout;
    picButtons->addWidget(ui.cmdApply);
    picButtons->addWidget(ui.cmdlcd);
    pic->addLayout(picButtons, 2, 2);
    io->addWidget(ui.Frame5);

    ui.Frame1 = frame("Frame1", "Byte Matrix");
    auto* matrix = new QVBoxLayout(ui.Frame1);
    matrix->setSpacing(2);
    ui.Option2[0] =
        named(new QRadioButton(QStringLiteral("Vertical KS0108")), QStringLiteral("Option2(0)"));
    ui.Option2[1] =
        named(new QRadioButton(QStringLiteral("Horizontal")), QStringLiteral("Option2(1)"));
    ui.Option2[1]->setChecked(true);
    ui.LCD = frame("LCD", "");
    ui.LCD->setFlat(true);
    ui.LCD->setStyleSheet(QStringLiteral("QGroupBox#LCD { border: none; margin: 0; padding: 0; }"));
    // Hidden for the vertical layout, but its room stays, so the frames beside do not move.
    QSizePolicy keepRoom = ui.LCD->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    ui.LCD->setSizePolicy(keepRoom);
    auto* lcdLayout = new QVBoxLayout(ui.LCD);
    lcdLayout->setContentsMargins(16, 0, 0, 0);
    ui.Label1 = label("Label1", "T6963C and SED1330");
    lcdLayout->addWidget(ui.Label1);
    matrix->addWidget(ui.Option2[0]);
    matrix->addWidget(ui.Option2[1]);
    matrix->addWidget(ui.LCD);
    matrix->addStretch();
    io->addWidget(ui.Frame1);
    page->addWidget(ui.Frame2);

    // ---- Output window and the bottom strip ----
    ui.Text3 = named(new TextBox, QStringLiteral("Text3"));
    ui.Text3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Hex has no word boundaries, and wrapping anywhere keeps long lines cheap to lay out.
    ui.Text3->setWordWrapMode(QTextOption::WrapAnywhere);
    // A tab has no place in a table of hex; Tab moves on, as in the other boxes.
    ui.Text3->setTabChangesFocus(true);
    page->addWidget(new WholeLinesHolder(ui.Text3, 3), 2);

    ui.Frame9 = frame("Frame9", "");
    auto* bottom = new QHBoxLayout(ui.Frame9);
    bottom->setContentsMargins(4, 2, 4, 2);
    ui.Frame8 = frame("Frame8", "Text Output Window");
    auto* output = new QHBoxLayout(ui.Frame8);
    ui.txtcase = button("txtcase", "&UpCase");
    ui.Command11 = button("Command11", "Copy");
    ui.Command12 = button("Command12", "Save");
    ui.Command12->setEnabled(false);
    ui.Command13 = button("Command13", "Clear");
    ui.Command14 = button("Command14", "Restore");
    ui.cmdExport = button("cmdExport", "Export...");
    for (QPushButton* b :
         {ui.txtcase, ui.Command11, ui.Command12, ui.Command13, ui.Command14, ui.cmdExport})
        output->addWidget(b);
    bottom->addWidget(ui.Frame8, 1);
    ui.Frame7 = frame("Frame7", "Directly load LCD");
    auto* direct = new QHBoxLayout(ui.Frame7);
    ui.Command16 = button("Command16", "Send to LCD");
    ui.Command16->setEnabled(false);
    ui.Command15 = button("Command15", "Reformat For Output");
    ui.Command15->setEnabled(false);
    direct->addWidget(ui.Command16);
    direct->addWidget(ui.Command15);
    // "Load EEprom" renames the button and the frame; both keep the width of the longer name.
    ui.Command16->setMinimumWidth(
        widestWith(ui.Command16, {QStringLiteral("Send to LCD"), QStringLiteral("Load Eeprom")}));
    ui.Frame7->setMinimumWidth(
        widestTitle(ui.Frame7, {QStringLiteral("Directly load LCD"),
                                QStringLiteral("Directly load  I2C Eeprom")}));
    bottom->addWidget(ui.Frame7);
    page->addWidget(ui.Frame9);

    setCentralWidget(central);
}
