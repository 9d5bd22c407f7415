#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace TestSupport {

void useOffscreenPlatform()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString outputPath(const QString &fileName)
{
    const QString dir = QStringLiteral(HELICART_TEST_OUTPUT_DIR);
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + fileName;
}

QString saveOutput(const QImage &image, const QString &fileName)
{
    const QString path = outputPath(fileName);
    image.save(path);
    return path;
}

bool colorNear(QColor a, QColor b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

int differingPixels(const QImage &a, const QImage &b, int tolerance, const QRect &mask)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (mask.contains(col, row))
                continue;
            if (!colorNear(QColor::fromRgba(p[col]), QColor::fromRgba(q[col]), tolerance))
                ++count;
        }
    }
    return count;
}

QRect timeStampArea(const QImage &image)
{
    return QRect(0, image.height() - 16, 130, 16);
}

int darkestGray(const QImage &image, const QPoint &p, int radius)
{
    int darkest = 255;
    for (int y = p.y() - radius; y <= p.y() + radius; ++y) {
        for (int x = p.x() - radius; x <= p.x() + radius; ++x) {
            if (!image.rect().contains(x, y))
                continue;
            const QRgb pixel = image.pixel(x, y);
            const int overWhite = 255 - qAlpha(pixel) * (255 - qGray(pixel)) / 255;
            darkest = qMin(darkest, overWhite);
        }
    }
    return darkest;
}

QString rowName()
{
    QString name = QString::fromLatin1(QTest::currentTestFunction());
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (!tag.isEmpty())
        name += QLatin1Char('-') + tag;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return name;
}

int runProgram(const QString &program, const QStringList &arguments, const QString &workDir,
    QByteArray *out, QByteArray *err, int timeoutMs)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return -1000;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1001;
    }
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    if (process.exitStatus() != QProcess::NormalExit)
        return -1002;
    return process.exitCode() & 0xff;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool copyFile(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    return QFile::copy(from, to);
}

QByteArray headLines(const QString &path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray head;
    for (int i = 0; i < count && !file.atEnd(); ++i)
        head += file.readLine();
    return head;
}

QMap<QString, QByteArray> folderFiles(const QString &folder, QDir::Filters filters)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | filters, QDir::Name))
        files[name] = readFile(dir.filePath(name));
    return files;
}

} // namespace TestSupport
