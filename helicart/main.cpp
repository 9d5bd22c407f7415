#include "exitstatus.h"
#include "memoryheadroom.h"
#include "options.h"
#include "pluginsearch.h"
#include "renderrun.h"
#include "signalguard.h"
#include "sourcedate.h"
#include "warnings.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QPluginLoader>
#include <QSemaphore>
#include <QThreadPool>
#include <QTranslator>

#include <cstdlib>
#include <functional>
#include <system_error>
#include <thread>

#include <malloc.h>
#include <sys/resource.h>

#include <unistd.h>

namespace {

// Address space the chart plug-in and the libraries it brings take when they are mapped.
constexpr qint64 kPluginRoom = 32 * 1024 * 1024;

QtMessageHandler startupHandler = nullptr;

// Qt's platform set-up reports conditions of the machine (such as a missing runtime folder)
// that are no concern of a batch run, whose standard error stream carries only its own
// message. Only what would end the process is passed on.
void quietStartup(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && startupHandler)
        startupHandler(type, context, message);
}

// Writes text on the standard output stream (help and version).
int answer(const QString &text)
{
    QFile out;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return ExitStatus::NoStream;
    out.write(text.toLocal8Bit());
    out.close();
    return ExitStatus::Success;
}

// The file of folder named language + ".qm" in any case of its letters ("slo" finds
// "SLO.qm"); empty when there is none.
QString translationFileInAnyCase(const QString &folder, const QString &language)
{
    const QString wanted = language + QStringLiteral(".qm");
    const QStringList names = QDir(folder).entryList({ QStringLiteral("*.qm") }, QDir::Files);
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(name);
    }
    return QString();
}

// Installs the translator of language (the application owns it): from the working directory
// first, then from the translations folder beside the program, where an installed tree keeps
// them; a name of the exact case first, then one in any case. False when neither has it; the
// run then goes on untranslated.
bool installTranslator(QGuiApplication &app, const QString &language, QString *folder)
{
    auto *translator = new QTranslator(&app);
    *folder = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    bool loaded = translator->load(language) || translator->load(language, *folder);
    for (const QString &place : { QStringLiteral("."), *folder }) {
        if (loaded)
            break;
        const QString file = translationFileInAnyCase(place, language);
        loaded = !file.isEmpty() && translator->load(file);
    }
    app.installTranslator(translator);
    return loaded;
}

// installTranslator, or a warning that the texts stay untranslated.
void translate(QGuiApplication &app, const QString &language, Warnings *warnings)
{
    QString folder;
    if (installTranslator(app, language, &folder))
        return;
    warnings->warn(QStringLiteral("translation %1 cannot be loaded from the working folder nor "
                                  "from %2: the texts stay untranslated")
                       .arg(Warnings::quoted(language, Warnings::kMaxName),
                           Warnings::quoted(folder, Warnings::kMaxName)));
}

// The status of options that do not make a run, with their messages written; 0 for a run.
int refusal(const Options &options, QFile *diagnostics)
{
    // A file read with a layout it does not have would give a wrong picture: no run.
    if (!options.errors.isEmpty()) {
        for (const QString &error : options.errors)
            diagnostics->write(QStringLiteral("helicart: %1\n").arg(error).toLocal8Bit());
        return ExitStatus::BadOption;
    }
    QString message;
    const int status = options.check(&message);
    if (status != ExitStatus::Success)
        diagnostics->write(message.toLocal8Bit());
    return status;
}

// Closes the diagnostics device (which flushes it and leaves the stream open) and passes
// the exit status on.
int finish(QFile *diagnostics, int status)
{
    diagnostics->close();
    return status;
}

// Whoever sets SOURCE_DATE_EPOCH expects the same files from run to run; a value that holds
// no time cannot give them, and the run says so instead of stamping the current time unasked.
void warnAboutSourceDate(Warnings &warnings)
{
    constexpr int kShown = 40;
    if (!SourceDate::isInvalid())
        return;
    warnings.warn(QStringLiteral("SOURCE_DATE_EPOCH %1 is not a whole number of seconds since "
                                 "1970-01-01 00:00 UTC (0 to %2); the images are stamped with the "
                                 "current time")
                      .arg(Warnings::quoted(QString::fromLocal8Bit(SourceDate::value()), kShown),
                          QString::number(SourceDate::kLatest)));
}

// The program also looks two folders up, and tells why a file of the last folder failed.
PluginSearch::Options chartSearch()
{
    PluginSearch::Options search;
    search.twoFoldersUp = true;
    search.reportLastFolder = true;
    return search;
}

// Qt's raster painter splits every large fill into parts, hands them to a thread pool and
// waits for them, unless the painting thread is one of that pool's own; Qt 6.4 does so with its
// global pool (later versions with a pool of Qt GUI's own). In a run the other core is busy
// already (reading the next column, encoding the images before), so each hand-over costs only
// two thread wake-ups, thousands per run. The run therefore goes on a thread of the global
// pool, where a fill is painted in one part, and this thread waits for it.
void runOnPoolThread(const std::function<void()> &work)
{
    QSemaphore done;
    QThreadPool::globalInstance()->start([&work, &done] {
        work();
        done.release();
    });
    done.acquire();
}

// Under a limit on its address space a thread may not be had. A task handed to a thread pool
// whose thread cannot be started is never run, and whoever waits for it waits for ever: the
// run's own task, and every large fill Qt hands to its pools. So the threads are had first,
// while the process holds least: a fill large enough to be split makes Qt start its painting
// threads, and the run's thread is started; each is waited for a while only. False (and the
// run cannot be made) when one did not come.
bool startThreadsFirst(QThreadPool *pool, QSemaphore *started)
{
    constexpr int kWaitMs = 10000;
    QSemaphore painted;
    std::thread warmUp;
    try {
        warmUp = std::thread([&painted] {
            QImage image(512, 512, QImage::Format_ARGB32_Premultiplied);
            if (!image.isNull()) {
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.fillRect(image.rect(), Qt::white);
                painter.setBrush(Qt::black);
                painter.drawEllipse(image.rect());
                // The font configuration too: read when the first text is laid out, and
                // left broken (to crash later) when memory runs out while it is read.
                QFont bold = painter.font();
                bold.setBold(true);
                for (const QFont &font : { painter.font(), bold }) {
                    painter.setFont(font);
                    painter.drawText(image.rect(), QStringLiteral("00 12 W/m2 % \u00b0C"));
                }
            }
            painted.release();
        });
    } catch (const std::system_error &) {
        return false;
    }
    if (!painted.tryAcquire(1, kWaitMs)) {
        warmUp.detach();
        return false;
    }
    warmUp.join();
    pool->start([started] { started->release(); });
    return started->tryAcquire(1, kWaitMs);
}

// Whether the process runs under a limit on its address space (ulimit -v, a batch system's
// memory limit). Each thread that allocates gets an arena of the C library's own, which takes
// tens of megabytes of address space before it holds anything: under a limit the run makes do
// with one arena, and starts the threads it needs before it needs them.
bool addressSpaceLimited()
{
    struct rlimit limit
    { };
    return getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

// One allocation arena and startThreadsFirst, or the end of the program when a thread did not
// come: nothing is written yet, and a task that never ran must not hold the exit up.
void startThreadsOrEnd(QFile *diagnostics)
{
    mallopt(M_ARENA_MAX, 1);
    QSemaphore started;
    if (startThreadsFirst(QThreadPool::globalInstance(), &started))
        return;
    diagnostics->write("helicart: out of memory\n");
    diagnostics->close();
    std::_Exit(ExitStatus::OutputNotWritten & 0xff);
}

// Loads the chart plug-in; the exit status when it cannot be had, 0 when it is loaded. Under a
// limit, a plug-in that could not be mapped for want of address space is memory that ran out,
// not a plug-in that is missing.
int loadChart(QPluginLoader *loader, bool limited, QFile *diagnostics)
{
    if (PluginSearch::loadPlugin(QStringLiteral("compassplot"), loader, chartSearch()))
        return 0;
    if (limited && !MemoryHeadroom::available(kPluginRoom)) {
        diagnostics->write("helicart: out of memory\n");
        return ExitStatus::OutputNotWritten;
    }
    RenderRun::reportPluginFailure();
    return ExitStatus::NoChart;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool limited = addressSpaceLimited();
    // Before anything is written: a run that is stopped leaves no temporary or half-written
    // file.
    SignalGuard::install();
    // A batch program on servers without a display: text and painting still need a GUI
    // application object, which the offscreen platform provides anywhere.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    startupHandler = qInstallMessageHandler(quietStartup);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(startupHandler);
    // The plug-ins trace their search through Qt's debug stream, which on this platform is
    // the standard error stream that scripts read for the program's one message. The trace
    // stays off unless asked for (QT_LOGGING_RULES="default.debug=true").
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    QFile diagnostics;
    if (!diagnostics.open(STDERR_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return ExitStatus::NoStream;

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        for (const QByteArray &line : Options::usageLines())
            diagnostics.write(line);
        return finish(&diagnostics, ExitStatus::NoOption);
    }

    const Options options = Options::parse(arguments.mid(1));
    if (options.help)
        return finish(&diagnostics, answer(Options::helpText()));
    if (options.version)
        return finish(&diagnostics, answer(Options::versionText()));

    Warnings warnings(&diagnostics);
    warnings.warn(options.warnings);
    if (!options.language.isEmpty())
        translate(app, options.language, &warnings);

    if (const int status = refusal(options, &diagnostics))
        return finish(&diagnostics, status);
    warnAboutSourceDate(warnings);

    // The chart plug-in stays loaded until the process ends.
    QPluginLoader chartLoader;
    if (const int status = loadChart(&chartLoader, limited, &diagnostics))
        return finish(&diagnostics, status);

    RenderRun renderRun(chartLoader);
    renderRun.setEarlierWarnings(warnings.texts());
    int status = 0;
    if (limited)
        startThreadsOrEnd(&diagnostics);
    runOnPoolThread([&] { status = renderRun.run(&diagnostics, options); });
    // The statuses of failures win; a complete run that had something to tell is one too.
    if (options.strict && status == ExitStatus::Success
        && warnings.count() + renderRun.warningCount() > 0)
        status = ExitStatus::Warned;
    return finish(&diagnostics, status);
}
