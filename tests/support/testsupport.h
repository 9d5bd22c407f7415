#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QColor>
#include <QDir>
#include <QImage>
#include <QMap>
#include <QRect>
#include <QString>
#include <QtTest>

// Helpers shared by the test executables.
namespace TestSupport {

// Sets the offscreen platform; call before the application object is created.
void useOffscreenPlatform();

// Folder in the build tree where tests write the images they make, so a person can look.
QString outputPath(const QString &fileName);

// Saves image under outputPath(fileName); returns the full path.
QString saveOutput(const QImage &image, const QString &fileName);

// True when every channel (alpha included) of a and b differs by at most tolerance.
bool colorNear(QColor a, QColor b, int tolerance);

// Number of pixels that differ by more than tolerance in any channel, ignoring mask.
// Images of different sizes differ everywhere: the result is then -1.
int differingPixels(const QImage &a, const QImage &b, int tolerance, const QRect &mask = QRect());

// Where the render time is written in a rose image and in the combined image: bottom left.
QRect timeStampArea(const QImage &image);

// Number of pixels of area (clipped to the image), outside except, whose colour satisfies
// predicate.
template <typename Predicate>
int countPixels(
    const QImage &image, const QRect &area, Predicate predicate, const QRect &except = QRect())
{
    int found = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (!except.contains(x, y))
                found += predicate(image.pixelColor(x, y)) ? 1 : 0;
    return found;
}

// The darkest grey level within radius pixels of p, as seen over white (so transparent pixels
// count as white); 255 when p lies outside the image.
int darkestGray(const QImage &image, const QPoint &p, int radius);

// The running test function and data row, fit for a file name.
QString rowName();

// Writes content to path, making the folders on the way.
bool writeFile(const QString &path, const QByteArray &content);
// The whole content of path; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Copies from to to, replacing what is there and making the folders on the way.
bool copyFile(const QString &from, const QString &to);
// The first count lines of path, line feeds included.
QByteArray headLines(const QString &path, int count);
// The contents of the files of folder (and of those filters adds), by name.
QMap<QString, QByteArray> folderFiles(const QString &folder, QDir::Filters filters = {});

// Runs program with arguments in workDir; returns the exit status (the low byte the shell
// sees), with the standard output and error streams in *out and *err.
int runProgram(const QString &program, const QStringList &arguments, const QString &workDir,
    QByteArray *out = nullptr, QByteArray *err = nullptr, int timeoutMs = 120000);

} // namespace TestSupport

// Like QTEST_MAIN, with a QGuiApplication on the offscreen platform (for tests that paint).
#define HELICART_GUI_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestSupport::useOffscreenPlatform();                                                       \
        QGuiApplication app(argc, argv);                                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#endif // TESTSUPPORT_H
