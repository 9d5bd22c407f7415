// The classes definition loader over arbitrary files: it either hands the rose the classes
// of the selected set or falls back to the eight built-in ones, always writes the share of
// good data and the scale switch, and calls nothing else on the rose. Each file is loaded
// for a plain label and for one that holds both kinds of quotes.
#include "classesdefinition.h"
#include "fuzzinput.h"
#include "recordingrose.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

QString g_fileName;

void load(const QString &label)
{
    RecordingRose rose;
    double goodPercent = std::numeric_limits<double>::infinity();
    bool scaleOn = false;
    ClassesDefinition::load(g_fileName, label, &rose, goodPercent, scaleOn);
    FuzzInput::require(rose.otherCalls == 0, "only classes handed to the rose");
    FuzzInput::require(rose.intervals.isEmpty() || rose.ranges.isEmpty(),
        "classes from the file or the built-in ones, never both");
    FuzzInput::require(
        rose.intervals.isEmpty() || rose.intervals.size() == 8, "all eight built-in classes");
    if (!rose.intervals.isEmpty())
        FuzzInput::require(
            goodPercent == ClassesDefinition::kDefaultGoodPercent && scaleOn, "built-in defaults");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // A colour may name a picture file; nothing the fuzzer names may wait on a terminal.
    if (!std::freopen("/dev/null", "r", stdin))
        return 1;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    g_fileName = FuzzInput::scratchFile(QStringLiteral("classes.xml"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput::writeFile(
        g_fileName, QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    load(QStringLiteral("GSR"));
    load(QStringLiteral("it's \"x\""));
    return 0;
}
