#pragma once

#include <QString>

#include <optional>
#include <vector>

// How the host lays out the pixels of a panel in its byte stream.
enum class ByteLayout {
    Vertical,   // page by page, bit k of a byte = row 8*page + k (column-driven controllers)
    Horizontal, // row by row, bit 7 = leftmost pixel, one closing 00 byte after the last row
};

// The chip on the panel, which decides how it lays the bytes it is given out on the glass.
enum class Controller {
    Ks0108, // column drivers of 64: takes vertical bytes, page by page
    T6963c, // and the SED1330 alike: take horizontal bytes, row by row
};

// A 128-pixel-wide panel carries KS0108 column drivers; a wider one a T6963C or SED1330.
Controller controllerForWidth(int width);
ByteLayout layoutOf(Controller controller);
// "KS0108" / "T6963C", as in the status lines.
QString controllerName(Controller controller);
// The host's name for a layout, which its Byte Matrix option shows: "Vertical KS0108" or
// "Horizontal".
QString byteMatrixName(ByteLayout layout);

struct PanelGeometry {
    int width = 0;
    int height = 0;
    ByteLayout layout = ByteLayout::Vertical;

    // Bytes that carry pixels.
    int imageBytes() const;
    // Bytes on the wire: a horizontal stream carries one closing byte more.
    int streamBytes() const;
    // "128x64 V" / "240x128 H", as it appears in the status lines.
    QString describe() const;

    bool operator==(const PanelGeometry& other) const;
};

// One panel the host can drive, and the LCD mode digit its header carries.
struct PanelSize {
    char modeDigit;
    int width;
    int height;
};

const std::vector<PanelSize>& knownPanelSizes();

// The panel a mode digit and a received byte count stand for, with the layout the host sent.
// Within a mode every size has its own count in either layout, and an odd count is a horizontal
// stream (closing byte); nullopt when none fits.
std::optional<PanelGeometry> panelForStream(char modeDigit, int byteCount);

// Like panelForStream() but over every mode; nullopt unless exactly one panel has that count.
std::optional<PanelGeometry> panelForAnyMode(int byteCount);

// "128x64", "128x64v" or "240x128h": width and height must be multiples of 8.
std::optional<PanelGeometry> parsePanelText(const QString& text);
