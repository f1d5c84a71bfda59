#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

// Reading and writing the program's files: the BMP pictures and the text tables.

struct FileResult {
    QString failure; // empty on success; otherwise why, in words for a message box
    bool ok() const { return failure.isEmpty(); }
};

// Writes `bytes` as the whole content of the file at `path`, replacing it. The new content goes
// to a temporary file beside the target that replaces it only once every byte is on disk, so a
// failure (a full disk, a file-size limit) leaves an earlier file whole. Where no temporary file
// can be made beside the target (a folder the user may not write, over a file the user may), the
// file is written in place; a failure there is still reported, but the old content is gone.
FileResult writeWholeFile(const QString& path, const QByteArray& bytes);

// The text as a Latin-1 file holds it, one byte per character (the PIC tools and BASIC
// compilers that read these tables know no other encoding). Fails, writing nothing, when the
// text holds characters Latin-1 cannot store; the failure names them.
FileResult writeLatin1TextFile(const QString& path, const QString& text);

// Empty when every character of the text fits in Latin-1; otherwise a line naming the
// characters that do not, each once, in the order they first appear.
QString charactersOutsideLatin1(const QString& text);

// The whole content of a regular file of at most maxBytes bytes. Anything else fails at once
// without blocking: a FIFO or a device (which would wait for a writer or never end), a folder,
// a file that is missing, unreadable or larger than maxBytes.
struct FileContent : FileResult {
    QByteArray bytes;
};
FileContent readWholeRegularFile(const QString& path, qint64 maxBytes);

// The inputs of quorvel-convert and of Import: a regular file of at most maxBytes bytes, read as
// readWholeRegularFile reads it, from its name as the system spells it (any bytes, not only
// UTF-8). The failure is a phrase that follows the input's name: "cannot read (No such file or
// directory)", "not a file but a pipe", "too large: 300000000 bytes, more than the 256 MiB read
// at most".
FileContent readInputFile(const QByteArray& nativePath, qint64 maxBytes);

// Standard input, or any device, read to its end but never past maxBytes: an endless input is
// refused one step beyond the limit ("too large: more than the 256 MiB read at most").
FileContent readInputDevice(QIODevice& device, qint64 maxBytes);

// The picture in the file at `path` for Import, read as readInputFile reads an input (so a FIFO
// or a device is refused at once, and nothing larger than a picture may take is read); a null
// image with `failure` set to a phrase that follows the file's name otherwise.
QImage readPictureFile(const QString& path, QString* failure);

// "256 MiB" for a whole number of MiB, otherwise the number of bytes.
QString byteCountText(qint64 bytes);

// The largest file Load and Open read: far beyond any picture or table the program makes.
constexpr qint64 LargestReadFile = 16 * 1024 * 1024;
