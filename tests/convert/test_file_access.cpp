// Writing files whole or not at all, the Latin-1 text files, and reading only regular files of a
// bounded size, against real folders, permissions, a file-size limit and a FIFO.
#include "convert/FileAccess.h"

#include "support/FileConditions.h"

#include <QtTest>

#include <sys/stat.h>

namespace {
QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes, QFile::Permissions permissions) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

constexpr auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
constexpr auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr auto readOnlyFolder = readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
} // namespace

class TestFileAccess : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writeWhole_data();
    void writeWhole();
    void latin1Text_data();
    void latin1Text();
    void readRegularOnly_data();
    void readRegularOnly();

private:
    QTemporaryDir* m_dir = nullptr;
    QString m_folder; // a folder inside, where the tests set the permissions
};

void TestFileAccess::init() {
    m_dir = new QTemporaryDir;
    QVERIFY(QFile::setPermissions(m_dir->path(), everyone));
    m_folder = m_dir->filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkdir(m_folder));
    QVERIFY(QFile::setPermissions(m_folder, everyone));
}

void TestFileAccess::cleanup() {
    QFile::setPermissions(m_folder, everyone);
    delete m_dir;
}

void TestFileAccess::writeWhole_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("size");        // of the new content
    QTest::addColumn<QString>("failure"); // the start of the failure; empty: written
    const QString denied = QStringLiteral("Permission denied");
    QTest::newRow("new file") << "new" << 2110 << "";
    QTest::newRow("over an older, longer file") << "existing" << 574 << "";
    QTest::newRow("read-only folder, writable file") << "read-only folder" << 2110 << "";
    QTest::newRow("read-only folder, read-only file") << "read-only both" << 2110 << denied;
    QTest::newRow("read-only folder, no file yet") << "read-only folder, new" << 2110 << denied;
    QTest::newRow("folder gone") << "folder gone" << 2110 << "No such file or directory";
    QTest::newRow("a folder of that name") << "folder" << 2110 << "Filename refers to a directory";
    QTest::newRow("full disk, BMP size") << "full" << 2110 << "File too large";
    QTest::newRow("full disk, 16 KiB") << "full" << 16 * 1024 << "File too large";
    QTest::newRow("full disk, beyond the buffer") << "full" << 40000 << "File too large";
}

void TestFileAccess::writeWhole() {
    QFETCH(QString, situation);
    QFETCH(int, size);
    QFETCH(QString, failure);
    const auto is = [&situation](const char* name) { return situation == QLatin1String(name); };
    QString path = m_folder + QStringLiteral("/picture.bmp");
    const QByteArray old(3000, 'o');
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7);
    const bool hadFile =
        is("existing") || is("read-only folder") || is("read-only both") || is("full");
    if (hadFile)
        put(path, old, everyone);
    if (is("read-only both"))
        QVERIFY(QFile::setPermissions(path, readOnly));
    if (situation.startsWith(QLatin1String("read-only")))
        QVERIFY(QFile::setPermissions(m_folder, readOnlyFolder));
    if (is("folder gone"))
        path = m_folder + QStringLiteral("/gone/picture.bmp");
    if (is("folder"))
        QVERIFY(QDir().mkdir(path));

    FileResult result;
    {
        AsOrdinaryUser user;
        if (is("full")) {
            FileSizeLimit limit(1000);
            result = writeWholeFile(path, bytes);
        } else {
            result = writeWholeFile(path, bytes);
        }
    }
    QFile::setPermissions(m_folder, everyone);
    if (failure.isEmpty()) {
        QVERIFY2(result.ok(), qPrintable(result.failure));
        QCOMPARE(contentOf(path), bytes);
    } else {
        QVERIFY2(result.failure.startsWith(failure), qPrintable(result.failure));
        if (!is("folder")) // the old file whole, or none where there was none
            QCOMPARE(contentOf(path), hadFile ? old : QByteArray("<missing>"));
    }
    // No temporary file stays behind.
    const QStringList left = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(left.size() <= 1, qPrintable(left.join(QLatin1Char(' '))));
}

void TestFileAccess::latin1Text_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored"); // null: refused, the old file kept
    QTest::addColumn<QString>("failure");
    QTest::newRow("ASCII table") << "0xff,0x00" << QByteArray("0xff,0x00") << "";
    QTest::newRow("Latin-1 letters, one byte each")
        << QStringLiteral("caf\u00e9 \u00ff\r\n") << QByteArray("caf\xe9 \xff\r\n") << "";
    QTest::newRow("euro and Polish letters")
        << QStringLiteral("\u20ac \u0141\u00f3d\u017a") << QByteArray()
        << "a Latin-1 file cannot hold \u20ac (U+20AC), \u0141 (U+0141), \u017a (U+017A)";
    QTest::newRow("each character once, an emoji as one")
        << QStringLiteral("\U0001F600a\U0001F600\u20ac") << QByteArray()
        << "a Latin-1 file cannot hold \U0001F600 (U+1F600), \u20ac (U+20AC)";
    QString many;
    for (char16_t c = 0x400; c < 0x40c; ++c)
        many += QChar(c);
    QTest::newRow("many named, the rest counted")
        << many << QByteArray()
        << "a Latin-1 file cannot hold \u0400 (U+0400), \u0401 (U+0401), \u0402 (U+0402), "
           "\u0403 (U+0403), \u0404 (U+0404), \u0405 (U+0405), \u0406 (U+0406), \u0407 (U+0407), "
           "\u0408 (U+0408), \u0409 (U+0409) and 2 other characters";
}

void TestFileAccess::latin1Text() {
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    QFETCH(QString, failure);
    const QString path = m_folder + QStringLiteral("/table.txt");
    put(path, "old table", everyone);
    const FileResult result = writeLatin1TextFile(path, text);
    QCOMPARE(result.failure, failure);
    QCOMPARE(contentOf(path), stored.isNull() ? QByteArray("old table") : stored);
}

void TestFileAccess::readRegularOnly_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("failure"); // what the failure ends with; empty: read
    QTest::newRow("regular file") << "file"
                                  << "";
    QTest::newRow("exactly the limit") << "limit"
                                       << "";
    QTest::newRow("one byte over the limit") << "over"
                                             << "holds 101 bytes, more than the 100 read at most";
    QTest::newRow("FIFO without a writer") << "fifo"
                                           << "is not a file but a pipe";
    QTest::newRow("folder") << "folder"
                            << "is not a file but a folder";
    QTest::newRow("endless device") << "/dev/zero"
                                    << "is not a file but a device";
    QTest::newRow("missing") << "missing"
                             << "cannot be read: No such file or directory";
    QTest::newRow("unreadable") << "unreadable"
                                << "cannot be read: Permission denied";
}

void TestFileAccess::readRegularOnly() {
    QFETCH(QString, kind);
    QFETCH(QString, failure);
    QString path = m_folder + QStringLiteral("/input");
    const QByteArray bytes(kind == QLatin1String("over") ? 101 : 100, 'x');
    if (kind == QLatin1String("file") || kind == QLatin1String("limit") ||
        kind == QLatin1String("over"))
        put(path, bytes, everyone);
    else if (kind == QLatin1String("unreadable"))
        put(path, bytes, QFile::WriteOwner);
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    else if (kind == QLatin1String("folder"))
        path = m_folder;
    else if (kind.startsWith(QLatin1Char('/')))
        path = kind;

    QElapsedTimer clock;
    clock.start();
    FileContent content;
    {
        AsOrdinaryUser user;
        content = readWholeRegularFile(path, kind == QLatin1String("file") ? 1000 : 100);
    }
    QVERIFY(clock.elapsed() < 2000); // a FIFO must not wait for a writer
    if (failure.isEmpty()) {
        QVERIFY2(content.ok(), qPrintable(content.failure));
        QCOMPARE(content.bytes, bytes);
    } else {
        QCOMPARE(content.failure, path + QLatin1Char(' ') + failure);
        QVERIFY(content.bytes.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestFileAccess)
#include "test_file_access.moc"
