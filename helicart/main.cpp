#include "exitstatus.h"
#include "options.h"
#include "pluginsearch.h"
#include "renderrun.h"
#include "signalguard.h"
#include "sourcedate.h"
#include "warnings.h"

#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QSemaphore>
#include <QThreadPool>
#include <QTranslator>

#include <functional>

#include <unistd.h>

namespace {

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

// Installs the translator of language (the application owns it): from the working directory
// first, then from the translations folder beside the program, where an installed tree keeps
// them. False when neither has it; the run then goes on untranslated.
bool installTranslator(QGuiApplication &app, const QString &language, QString *folder)
{
    auto *translator = new QTranslator(&app);
    *folder = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    const bool loaded = translator->load(language) || translator->load(language, *folder);
    app.installTranslator(translator);
    return loaded;
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

} // namespace

int main(int argc, char *argv[])
{
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
    QString folder;
    if (!options.language.isEmpty() && !installTranslator(app, options.language, &folder)) {
        warnings.warn(QStringLiteral("translation %1 cannot be loaded from the working folder "
                                     "nor from %2: the texts stay untranslated")
                          .arg(Warnings::quoted(options.language, Warnings::kMaxName),
                              Warnings::quoted(folder, Warnings::kMaxName)));
    }

    // A file read with a layout it does not have would give a wrong picture: no run.
    if (!options.errors.isEmpty()) {
        for (const QString &error : options.errors)
            diagnostics.write(QStringLiteral("helicart: %1\n").arg(error).toLocal8Bit());
        return finish(&diagnostics, ExitStatus::BadOption);
    }

    QString message;
    if (const int status = options.check(&message)) {
        diagnostics.write(message.toLocal8Bit());
        return finish(&diagnostics, status);
    }
    warnAboutSourceDate(warnings);

    // The chart plug-in stays loaded until the process ends.
    QPluginLoader chartLoader;
    if (!PluginSearch::loadPlugin(QStringLiteral("compassplot"), &chartLoader, chartSearch())) {
        RenderRun::reportPluginFailure();
        return finish(&diagnostics, ExitStatus::NoChart);
    }

    RenderRun renderRun(chartLoader);
    int status = 0;
    runOnPoolThread([&] { status = renderRun.run(&diagnostics, options); });
    // The statuses of failures win; a complete run that had something to tell is one too.
    if (options.strict && status == ExitStatus::Success
        && warnings.count() + renderRun.warningCount() > 0)
        status = ExitStatus::Warned;
    return finish(&diagnostics, status);
}
