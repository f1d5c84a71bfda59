#include "panel_geometry.h"

#include <QRegularExpression>

Controller controllerForWidth(int width) {
    return width <= 128 ? Controller::Ks0108 : Controller::T6963c;
}

ByteLayout layoutOf(Controller controller) {
    return controller == Controller::Ks0108 ? ByteLayout::Vertical : ByteLayout::Horizontal;
}

QString controllerName(Controller controller) {
    return controller == Controller::Ks0108 ? QStringLiteral("KS0108") : QStringLiteral("T6963C");
}

QString byteMatrixName(ByteLayout layout) {
    return layout == ByteLayout::Vertical ? QStringLiteral("Vertical KS0108")
                                          : QStringLiteral("Horizontal");
}

int PanelGeometry::imageBytes() const {
    return width * height / 8;
}

int PanelGeometry::streamBytes() const {
    return imageBytes() + (layout == ByteLayout::Horizontal ? 1 : 0);
}

QString PanelGeometry::describe() const {
    return QStringLiteral("%1x%2 %3")
        .arg(width)
        .arg(height)
        .arg(layout == ByteLayout::Vertical ? QLatin1Char('V') : QLatin1Char('H'));
}

bool PanelGeometry::operator==(const PanelGeometry& other) const {
    return width == other.width && height == other.height && layout == other.layout;
}

const std::vector<PanelSize>& knownPanelSizes() {
    static const std::vector<PanelSize> sizes = {
        {'0', 240, 64}, {'0', 256, 64},  {'0', 256, 128}, {'0', 320, 200},
        {'3', 128, 64}, {'3', 240, 128}, {'4', 128, 32},  {'4', 128, 128},
    };
    return sizes;
}

static std::optional<PanelGeometry> matchCount(const PanelSize& size, int byteCount) {
    for (ByteLayout layout : {ByteLayout::Vertical, ByteLayout::Horizontal}) {
        const PanelGeometry geometry{size.width, size.height, layout};
        if (geometry.streamBytes() == byteCount)
            return geometry;
    }
    return std::nullopt;
}

std::optional<PanelGeometry> panelForStream(char modeDigit, int byteCount) {
    for (const PanelSize& size : knownPanelSizes()) {
        if (size.modeDigit != modeDigit)
            continue;
        if (auto geometry = matchCount(size, byteCount))
            return geometry;
    }
    return std::nullopt;
}

std::optional<PanelGeometry> panelForAnyMode(int byteCount) {
    std::optional<PanelGeometry> found;
    for (const PanelSize& size : knownPanelSizes()) {
        if (auto geometry = matchCount(size, byteCount)) {
            if (found)
                return std::nullopt; // 2048 bytes: 256x64 or 128x128, no way to tell
            found = geometry;
        }
    }
    return found;
}

std::optional<PanelGeometry> parsePanelText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4})x(\\d{1,4})([vh]?)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toLower());
    if (!match.hasMatch())
        return std::nullopt;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024 || width % 8 != 0 ||
        height % 8 != 0)
        return std::nullopt;
    const ByteLayout layout =
        match.captured(3) == QLatin1String("h") ? ByteLayout::Horizontal : ByteLayout::Vertical;
    return PanelGeometry{width, height, layout};
}
