#include "classesdefinition.h"

#include "numeric.h"
#include "solarroseinterface.h"
#include "xmldocument.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct BuiltInClass
{
    double lowLimit;
    double size;
    const char *color;
};

// The last class is open upward: it reaches the open class limit.
constexpr BuiltInClass kBuiltInClasses[] = {
    { -100, 100, "#0000ff" },
    { 0, 100, "#7a7a7a" },
    { 100, 100, "#0000ff" },
    { 200, 100, "#00ff00" },
    { 300, 200, "#ffff00" },
    { 500, 300, "#ff0000" },
    { 800, 300, "#591400" },
    { 1100, Numeric::openClassLimit - 1100, "#e400ff" },
};

// A missing element or one without text takes the default; a text that is no number is 0.
double number(XMLDocument &document, const QString &xpath, double fallback)
{
    bool found = false;
    const double value = document.toDouble(xpath, &found);
    return found ? value : fallback;
}

using Report = ClassesDefinition::Report;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A class limit; a missing one, or one that is no number, reads as 0 and is noted.
double limit(XMLDocument &document, const QString &element, int classNumber, Report &report)
{
    bool found = false;
    const QString text = document.text(element, &found);
    bool isNumber = false;
    QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&isNumber);
    if (!found || !isNumber)
        report.limits.append({ classNumber, element, found ? text : QString() });
    return number(document, element, 0);
}

void addClass(XMLDocument &document, SolarRoseInterface *rose, int classNumber, Report &report)
{
    const double lower = limit(document, QStringLiteral("zacetek"), classNumber, report);
    const double upper = limit(document, QStringLiteral("konec"), classNumber, report);
    report.classes.append({ classNumber, lower, upper });
    const QString colour = document.text(QStringLiteral("barva"));
    QString problem;
    const QBrush brush = ClassesDefinition::fill(colour, &problem);
    if (!problem.isEmpty())
        report.fills.append({ classNumber, colour, problem });
    const double width = number(document, QStringLiteral("sirina"), 1);
    const double offset = number(document, QStringLiteral("premik"), -1);
    const double length = number(document, QStringLiteral("dolzina"), 1);
    if (rose)
        rose->addIntervalRange(lower, upper, brush, width, offset, length);
}

// Reads the set that is the context node.
void readSet(XMLDocument &document, SolarRoseInterface *rose, double &goodPercent, bool &scaleOn,
    Report &report)
{
    goodPercent
        = number(document, QStringLiteral("procentDobrih"), ClassesDefinition::kDefaultGoodPercent);
    scaleOn = document.text(QStringLiteral("skala")) != QLatin1String("ne");
    for (int i = 1; i <= document.count(QStringLiteral("razred")); ++i) {
        document.pushNode();
        if (document.selectNode(QStringLiteral("razred[%1]").arg(i)))
            addClass(document, rose, i, report);
        document.popNode();
    }
    report.overlaps = ClassesDefinition::overlaps(report.classes);
}

bool selectSet(XMLDocument &document, const QString &label, Report &report)
{
    // The label is quoted as a literal: whatever it holds, it can only be compared, never
    // change what the expression selects.
    const QString byLabel
        = QStringLiteral("parameter[oznaka=%1]").arg(XMLDocument::stringLiteral(label));
    if (document.selectNode(byLabel))
        return true;
    report.defaultSet = document.selectNode(QStringLiteral("privzeto"));
    return report.defaultSet;
}

// Whether the file is there to be read; the system's words for why not. Opened without
// waiting, so that a pipe without a writer cannot hold the check up.
bool canOpen(const QString &fileName, Report &report)
{
    const QFileInfo info(fileName);
    report.failure = Report::NotReadable;
    if (!info.exists()) {
        report.failure = Report::Missing;
        return false;
    }
    if (info.isDir()) {
        report.detail = QStringLiteral("it is a folder");
        return false;
    }
    const int fd
        = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        report.detail = systemError(errno);
        return false;
    }
    ::close(fd);
    report.failure = Report::None;
    return true;
}

// Opens the file and selects the set for label as the context node; report tells why not.
bool openSet(XMLDocument &document, const QString &fileName, const QString &label, Report &report)
{
    if (!canOpen(fileName, report))
        return false;
    if (!document.load(fileName)) {
        report.failure = Report::Malformed;
        report.detail = document.errorText();
        return false;
    }
    if (!document.selectNode(QStringLiteral("/skyvaneClasses"))) {
        report.failure = Report::NoRoot;
        return false;
    }
    if (!selectSet(document, label, report)) {
        report.failure = Report::NoSet;
        return false;
    }
    return true;
}

// A picture from a regular file only: a device or a pipe (/dev/stdin, a FIFO) would keep
// the run waiting for as long as nobody writes to it, and a folder is no picture. The file
// is looked at before it is opened (opening some devices has effects of its own) and again
// once it is open (it may have been replaced in between).
QImage readPicture(const QString &path, QString *problem)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status
    { };
    if (::stat(name.constData(), &status) != 0) {
        *problem = systemError(errno);
        return QImage();
    }
    const QString notRegular = QStringLiteral("not a regular file");
    if (!S_ISREG(status.st_mode)) {
        *problem = notRegular;
        return QImage();
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = systemError(errno);
        return QImage();
    }
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *problem = notRegular;
        return QImage();
    }
    QImageReader reader(&file, QFileInfo(path).suffix().toLatin1());
    const QImage image = reader.read();
    if (image.isNull())
        *problem = QStringLiteral("not a picture that can be read (%1)").arg(reader.errorString());
    return image;
}

} // namespace

void ClassesDefinition::load(const QString &fileName, const QString &label,
    SolarRoseInterface *rose, double &goodPercent, bool &scaleOn, Report *report)
{
    Report ownReport;
    Report &r = report ? *report : ownReport;
    r = Report();
    {
        XMLDocument document;
        if (openSet(document, fileName, label, r)) {
            readSet(document, rose, goodPercent, scaleOn, r);
            return;
        }
    }
    addBuiltInClasses(rose);
    goodPercent = kDefaultGoodPercent;
    scaleOn = true;
}

QBrush ClassesDefinition::fill(const QString &text, QString *problem)
{
    QString ownProblem;
    QString &why = problem ? *problem : ownProblem;
    why.clear();
    if (text.isEmpty()) {
        why = QStringLiteral("no colour is given: the class is not filled");
        return QBrush();
    }
    if (text.startsWith(QLatin1Char('#'))) {
        const QStringList parts = text.split(QLatin1Char('|'));
        QColor color = QColor::fromString(parts.at(0));
        bool hex = false;
        const int alpha = parts.size() > 1 ? parts.at(1).toInt(&hex, 16) : 255;
        if (!color.isValid())
            why = QStringLiteral("not a colour");
        color.setAlpha(hex ? qBound(0, alpha, 255) : 255);
        return QBrush(color, Qt::SolidPattern);
    }
    // Relative to the working directory; a file that cannot be read gives a null image, which
    // makes no fill.
    const QImage image = readPicture(text, &why);
    if (image.isNull() && QColor::fromString(text).isValid())
        why += QStringLiteral("; write #rrggbb for a colour");
    return image.isNull() ? QBrush() : QBrush(image);
}

QList<ClassesDefinition::Report::Overlap> ClassesDefinition::overlaps(
    const QList<Report::Class> &classes)
{
    QList<Report::Overlap> found;
    for (qsizetype i = 0; i < classes.size(); ++i) {
        const Report::Class &a = classes.at(i);
        for (qsizetype j = i + 1; j < classes.size(); ++j) {
            const Report::Class &b = classes.at(j);
            const double low = qMax(a.low, b.low);
            const double high = qMin(a.high, b.high);
            if (a.low < a.high && b.low < b.high && low < high)
                found.append({ a.classNumber, b.classNumber, low, high });
        }
    }
    return found;
}

void ClassesDefinition::addBuiltInClasses(SolarRoseInterface *rose)
{
    if (!rose)
        return;
    for (const BuiltInClass &c : kBuiltInClasses)
        rose->addInterval(c.lowLimit, c.size, QColor(QLatin1String(c.color)));
}
