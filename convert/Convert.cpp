#include "convert/Convert.h"

#include "convert/HorizontalCapture.h"

#include <new>

namespace {
// Page by page, left to right within a page: the order of the vertical output text.
QByteArray pageOrder(const VertMatrix& matrix) {
    QByteArray bytes(static_cast<qsizetype>(matrix.columns) * matrix.pages, Qt::Uninitialized);
    char* out = bytes.data();
    for (int page = 0; page < matrix.pages; ++page) {
        for (int x = 0; x < matrix.columns; ++x)
            *out++ = static_cast<char>(matrix.at(x, page));
    }
    return bytes;
}
} // namespace

ByteSource byteSource(const ConvertInput& input) {
    if (!input.horizontal)
        return ByteSource::Vertical;
    return input.loaded ? ByteSource::LoadedFile : ByteSource::Canvas;
}

QByteArray pictureBytes(const ConvertInput& input) {
    switch (byteSource(input)) {
    case ByteSource::Vertical:
        return pageOrder(verticalMatrix(input.canvas, input.width, input.height));
    case ByteSource::LoadedFile:
        return capturedBytes(*input.loaded, input.width, input.height);
    case ByteSource::Canvas:
        break;
    }
    return horizontalBytes(input.canvas, input.width, input.height, input.inverted);
}

Conversion convertPicture(const ConvertInput& input) {
    Conversion result;
    result.source = byteSource(input);
    try {
        switch (result.source) {
        case ByteSource::Vertical:
            result.vertical = verticalMatrix(input.canvas, input.width, input.height);
            result.bytes = pageOrder(result.vertical);
            result.text = verticalOutputText(result.vertical, input.format);
            break;
        case ByteSource::LoadedFile:
            result.bytes = capturedBytes(*input.loaded, input.width, input.height);
            // From the matrix itself, so that a cell never captured keeps its decoration.
            result.text =
                horizontalOutputText(*input.loaded, input.width, input.height, input.format);
            break;
        case ByteSource::Canvas:
            result.bytes = horizontalBytes(input.canvas, input.width, input.height, input.inverted);
            result.text = horizontalOutputText(result.bytes, input.format);
            break;
        }
    } catch (const std::bad_alloc&) {
        result = Conversion{};
        result.source = byteSource(input);
        result.failure = QStringLiteral("not enough memory for the output text");
    }
    return result;
}
