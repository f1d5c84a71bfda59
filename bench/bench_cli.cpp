// quorvel-convert as a process, beside ImageMagick converting the same pictures, and the vertical
// byte step beside the naive code and one plain read of the canvas memory.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"
#include "NaiveConvert.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace {
// Something like a logo or a photo: a grey ramp with a dark disc and a light bar.
QImage photoLike(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int grey = (x * 255 / std::max(width - 1, 1) + y * 2) % 256;
            const int dx = x - width * 2 / 3, dy = y - height / 2;
            if (dx * dx + dy * dy < height * height / 9)
                grey = 30;
            if (y > height * 3 / 4 && x < width / 3)
                grey = 230;
            picture.setPixel(x, y, qRgb(grey, grey, std::min(255, grey + 20)));
        }
    return picture;
}

// The distribution's ImageMagick first, so that the peer is timed as installed.
QString peerProgram() {
    const QString packaged =
        QStandardPaths::findExecutable(QStringLiteral("convert"), {QStringLiteral("/usr/bin")});
    return packaged.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("convert"))
                              : packaged;
}

// Start to exit, output read to the end; false when it could not run or failed.
bool runToExit(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return false;
    process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString goal(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("not met");
}

// The least time one pass over the canvas can take: every byte of its pixels read once, 64 bits
// at a time in runs the compiler vectorises (the rows of a 32-bit picture lie end to end).
quint64 plainRead(const QImage& image) {
    const auto* words = reinterpret_cast<const quint64*>(image.constBits());
    const qsizetype count = image.sizeInBytes() / 8;
    constexpr int Run = 16;
    quint64 lanes[Run] = {};
    qsizetype i = 0;
    for (; i + Run <= count; i += Run)
        for (int k = 0; k < Run; ++k)
            lanes[k] |= words[i + k];
    quint64 acc = 0;
    for (; i < count; ++i)
        acc |= words[i];
    for (quint64 lane : lanes)
        acc |= lane;
    return acc;
}
} // namespace

void benchCli() {
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    const QString ours = QStringLiteral(QUORVEL_CONVERT);
    const QString peer = peerProgram();

    const QString one = dir.filePath(QStringLiteral("pic.png"));
    photoLike(128, 64).save(one);
    QStringList hundred;
    for (int i = 0; i < 100; ++i) {
        hundred << dir.filePath(QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0')));
        photoLike(128 + i, 64 + i / 2).save(hundred.back());
    }
    const QStringList peerArguments{QStringLiteral("-resize"), QStringLiteral("128x64"),
                                    QStringLiteral("-monochrome"), QStringLiteral("xbm:-")};
    const auto peerOn = [&](const QString& picture) {
        return runToExit(peer, QStringList{picture} + peerArguments);
    };

    bool ok = runToExit(ours, {one});
    const bool peerOk = !peer.isEmpty() && peerOn(one);
    Table table("quorvel-convert, process start to exit",
                {QStringLiteral("work"), QStringLiteral("quorvel-convert"),
                 QStringLiteral("ImageMagick"), QStringLiteral("faster"), QStringLiteral("goal"),
                 QStringLiteral("")});
    if (!ok) {
        printNote(QStringLiteral("quorvel-convert did not run: ") + ours);
        return;
    }

    // One row: our run against the peer's (when there is one) taking turns, its goal met when
    // ours is under `limitMs` and at least `factor` times faster.
    const auto compare = [&](const QString& work, int runs, const std::function<void()>& oursRun,
                             const std::function<void()>& peerRun, double limitMs, double factor,
                             const QString& goalText) {
        const std::vector<double> us = medianMicrosTakingTurns(
            runs, peerOk ? std::vector<std::function<void()>>{oursRun, peerRun}
                         : std::vector<std::function<void()>>{oursRun});
        const double oursMs = us[0] / 1000;
        const double peerMs = peerOk ? us[1] / 1000 : NAN;
        table.row({work, millis(oursMs), peerOk ? millis(peerMs) : QStringLiteral("-"),
                   peerOk ? ratio(peerMs / oursMs) : QStringLiteral("-"), goalText,
                   goal(oursMs < limitMs && (!peerOk || peerMs / oursMs >= factor))});
    };
    constexpr int singleRuns = 21;
    constexpr int batchRuns = 3;
    compare(
        QStringLiteral("one 128x64 PNG"), singleRuns, [&] { runToExit(ours, {one}); },
        [&] { peerOn(one); }, 50, 3, QStringLiteral("< 50 ms, >= 3x"));
    const QString out = dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    const QStringList batch = hundred + QStringList{QStringLiteral("-o"), out};
    compare(
        QStringLiteral("100 PNGs (one call; the peer once each)"), batchRuns,
        [&] { runToExit(ours, batch); },
        [&] {
            for (const QString& p : hundred)
                peerOn(p);
        },
        1000, 10, QStringLiteral("< 1 s, >= 10x"));
    table.print();
    printNote(
        QStringLiteral("Median of %1 runs (one picture) and %2 runs (100 pictures), the two "
                       "programs taking turns. quorvel-convert writes the output text (128x64, "
                       "vertical) to standard output or, for the 100, one file each into a "
                       "directory; the peer is `%3 pic.png -resize 128x64 -monochrome xbm:-`. "
                       "The 100 pictures are 128x64 to 227x113 pixels.%4")
            .arg(singleRuns)
            .arg(batchRuns)
            .arg(peer.isEmpty() ? QStringLiteral("convert") : peer,
                 peerOk ? QString()
                        : QStringLiteral(" ImageMagick was not found or failed: no comparison "
                                         "(bench/bench_cli.sh installs it).")));

    // The vertical byte step on its own, at the largest panel.
    constexpr int stepRuns = 201;
    const QImage canvas = halfBlackImage(320, 200);
    const bool same =
        naiveVerticalMatrix(canvas, 320, 200).bytes == verticalMatrix(canvas, 320, 200).bytes;
    const std::vector<double> step =
        medianMicrosTakingTurns(stepRuns, {[&] { keep(verticalMatrix(canvas, 320, 200)); },
                                           [&] { keep(naiveVerticalMatrix(canvas, 320, 200)); },
                                           [&] { keep(plainRead(canvas)); }});
    Table bytes("Vertical bytes at 320x200 beside the naive code and one plain read",
                {QStringLiteral("panel"), QStringLiteral("vertical bytes"), QStringLiteral("naive"),
                 QStringLiteral("faster"), QStringLiteral("plain read"),
                 QStringLiteral("of a read"), QStringLiteral("goal"), QStringLiteral("")});
    bytes.row({QStringLiteral("320x200"), micros(step[0]), micros(step[1]),
               same ? ratio(step[1] / step[0]) : QStringLiteral("results differ"), micros(step[2]),
               ratio(step[0] / step[2]), QStringLiteral(">= 10x naive, <= 3x a read"),
               goal(same && step[1] / step[0] >= 10 && step[0] / step[2] <= 3)});
    bytes.print();
    printNote(QStringLiteral("Median of %1 runs each, taking turns. The plain read ORs every "
                             "32-bit pixel of the canvas once (256,000 bytes): no conversion "
                             "can read less.")
                  .arg(stepRuns));
}
