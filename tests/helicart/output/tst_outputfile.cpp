// Writing an output image: PNG bytes in memory, then a temporary file that replaces the final
// name only when complete; and stopping signals that wait for it. A full disk is tried through
// the program (tst_failures).
#include "outputfile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

const QByteArray kOlder = "older file";

bool writePlain(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

class TestOutputFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void write_data();
    void write();
    void encode_data();
    void encode();
    void stoppingSignal_data();
    void stoppingSignal();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestOutputFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestOutputFile::write_data()
{
    QTest::addColumn<QString>("before"); // what is under the name: "", "file", "link", "folder"
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size"); // bytes to write
    QTest::addColumn<bool>("written");

    QTest::newRow("new file") << QString() << "a.png" << 5000 << true;
    QTest::newRow("older file") << "file"
                                << "a.png" << 5000 << true;
    QTest::newRow("through a symbolic link") << "link"
                                             << "a.png" << 5000 << true;
    QTest::newRow("folder not there") << QString() << "missing/a.png" << 5000 << false;
    QTest::newRow("a folder under the name") << "folder"
                                             << "a.png" << 5000 << false;
    QTest::newRow("nothing to write") << "file"
                                      << "a.png" << 0 << false;
}

// The final name holds the new bytes in full or what it held before; no temporary file stays.
void TestOutputFile::write()
{
    QFETCH(QString, before);
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(bool, written);
    const QString target = before == "link" ? path("target.png") : path(name);
    if (before == "folder")
        QVERIFY(QDir().mkpath(target));
    if (before == "file" || before == "link") {
        QVERIFY(writePlain(target, kOlder));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    }
    if (before == "link")
        QVERIFY(QFile::link("target.png", path(name)));
    const QStringList entriesBefore = entries();
    const mode_t modeBefore = modeOf(target);
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7);

    QCOMPARE(OutputFile::write(path(name), bytes), written);
    QCOMPARE(entries(), entriesBefore.isEmpty() && written ? QStringList { name } : entriesBefore);
    if (before == "folder") {
        QVERIFY(QFileInfo(target).isDir());
        return;
    }
    QCOMPARE(contentOf(target), written ? bytes : before.isEmpty() ? "(none)" : kOlder);
    if (before == "link")
        QVERIFY(QFileInfo(path(name)).isSymLink());
    // An older file keeps its permissions; a new one gets the usual ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (written)
        QCOMPARE(modeOf(target), before.isEmpty() ? 0666 & ~mask : modeBefore);
}

void TestOutputFile::encode_data()
{
    QTest::addColumn<QImage>("image");
    QImage transparent(40, 30, QImage::Format_ARGB32);
    transparent.fill(QColor(10, 200, 30, 100));
    transparent.setPixelColor(5, 7, QColor(255, 0, 0, 0));
    QTest::newRow("transparent") << transparent;
    QTest::newRow("empty") << QImage();
}

// PNG bytes that give the image back; none for an empty image.
void TestOutputFile::encode()
{
    QFETCH(QImage, image);
    const QByteArray bytes = OutputFile::encode(image);
    QCOMPARE(bytes.isEmpty(), image.isNull());
    if (image.isNull())
        return;
    QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
    const QImage decoded = QImage::fromData(bytes, "PNG").convertToFormat(image.format());
    QCOMPARE(decoded, image);
}

void TestOutputFile::stoppingSignal_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("ignored"); // the probe starts with the signal ignored
    QTest::addColumn<QByteArray>("said");
    QTest::addColumn<QByteArray>("content"); // of the file afterwards

    const QByteArray whole = "first half second half";
    QTest::newRow("SIGTERM while a file is replaced")
        << "commit" << SIGTERM << false << QByteArray("deferred\n") << whole;
    QTest::newRow("SIGINT while a file is replaced")
        << "commit" << SIGINT << false << QByteArray("deferred\n") << whole;
    QTest::newRow("SIGHUP while a write is dropped")
        << "cancel" << SIGHUP << false << QByteArray("deferred\n") << kOlder;
    QTest::newRow("SIGTERM with no file open")
        << "outside" << SIGTERM << false << QByteArray() << kOlder;
    QTest::newRow("SIGTERM ignored from the start")
        << "commit" << SIGTERM << true << QByteArray("deferred\nsurvived\n") << whole;
}

// A stopping signal waits until the file being replaced is renamed or removed, then ends the
// program by that signal.
void TestOutputFile::stoppingSignal()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);
    QFETCH(bool, ignored);
    QFETCH(QByteArray, said);
    QFETCH(QByteArray, content);
    QVERIFY(writePlain(path("a.png"), kOlder));
    QProcess probe;
    if (ignored)
        probe.setChildProcessModifier([signal] { std::signal(signal, SIG_IGN); });
    probe.start(QStringLiteral(HELICART_BIN_DIR "/signalprobe"),
        { mode, path("a.png"), QString::number(signal) });
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.readAllStandardOutput(), said);
    QCOMPARE(probe.exitStatus(), ignored ? QProcess::NormalExit : QProcess::CrashExit);
    QCOMPARE(probe.exitCode(), ignored ? 0 : signal);
    QCOMPARE(contentOf(path("a.png")), content);
    QCOMPARE(entries(), QStringList { "a.png" });
}

QTEST_GUILESS_MAIN(TestOutputFile)
#include "tst_outputfile.moc"
