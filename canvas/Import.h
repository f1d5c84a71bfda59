#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

class QIODevice;

// Turning an ordinary picture (a photo, a logo, a scan) into a black-and-white picture of the
// panel's size. Two steps, so that a dialog can rescale once when a picture or the scaling changes
// and redo only the cheap second step while the user moves the threshold:
//   scaleForPanel: picture -> brightness at panel size (slow for a large photo);
//   toMonochrome:  brightness -> pure black and white (a few hundred microseconds).

enum class ImportScale {
    Fit,     // keep the aspect ratio, whole picture visible, centred, white borders
    Fill,    // keep the aspect ratio, panel covered, centred, the overhang cropped
    Stretch, // the picture's width and height both made the panel's
    None,    // one picture pixel per panel pixel, centred, cropped
};

enum class ImportDither {
    Threshold,      // darker than the threshold is black
    FloydSteinberg, // error diffusion to four neighbours
    Ordered,        // Bayer matrix
    Atkinson,       // error diffusion of three quarters of the error to six neighbours
};

struct ImportOptions {
    ImportScale scale = ImportScale::Fit;
    ImportDither dither = ImportDither::Threshold;
    // 0-255. For Threshold a pixel darker than this is black. For the dithers it shifts the
    // brightness by 128 - threshold: a pixel as bright as the threshold is dithered as mid-grey,
    // so a higher value gives a darker picture in every mode.
    int threshold = 128;
    bool invert = false; // black and white swapped after the conversion
};

// The most memory one decoded picture may take: a 60-megapixel photo at four bytes a pixel. The
// image reader is held to it, and a picture file larger than it is not read at all (no picture
// format stores a picture in more bytes than it takes decoded, bar a few bytes of header).
constexpr int LargestPictureMiB = 256;
constexpr qint64 LargestPictureBytes = qint64(LargestPictureMiB) * 1024 * 1024;

// The picture in a device, or a null image with `failure` set to a phrase that follows the
// picture's name: "not a picture (the reader's reason)", or "too large: 20000 x 20000 pixels take
// 1526 MiB, more than the 256 MiB a picture may take". Pictures that carry an orientation
// (photos) are turned upright.
QImage readPicture(QIODevice* device, QString* failure);

// The file name patterns of every picture format this machine's Qt can read ("*.png", ...).
QStringList importPatterns();

// The picture at panel size as Format_Grayscale8 brightness (luma 0.299 R + 0.587 G + 0.114 B),
// placed as `scale` says; transparent parts and borders are white. A null picture or an empty
// panel gives a null image.
QImage scaleForPanel(const QImage& source, int width, int height, ImportScale scale);

// The brightness picture from scaleForPanel made black and white as `options` say: an RGB32
// picture of the same size holding only 0xff000000 and 0xffffffff. options.scale is not used.
QImage toMonochrome(const QImage& scaled, const ImportOptions& options);

// Both steps at once.
QImage importPicture(const QImage& source, int width, int height, const ImportOptions& options);
