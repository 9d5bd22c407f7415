// The option parser over arbitrary argument lists (the input split at NUL bytes, each
// argument decoded as the program decodes its arguments): each option holds the value of
// its last argument, whose name matches in ASCII case only, or its default; warnings are
// single lines.
#include "fuzzinput.h"
#include "options.h"

namespace {

bool isName(const QString &name, const char *option)
{
    const QLatin1String wanted(option);
    if (name.size() != wanted.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const char16_t lower = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        const char w = wanted.at(i).toLatin1();
        if (lower != char16_t(w >= 'A' && w <= 'Z' ? w + 32 : w))
            return false;
    }
    return true;
}

// Everything after the first "=", up to a hundredth "=".
QString valueOf(const QString &argument)
{
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    if (equals < 0)
        return QString();
    QString value = argument.mid(equals + 1);
    qsizetype at = -1;
    for (int i = 0; i < 99; ++i) {
        at = value.indexOf(QLatin1Char('='), at + 1);
        if (at < 0)
            return value;
    }
    return value.left(at);
}

int scaleOf(const QString &argument)
{
    bool ok = false;
    const int number = valueOf(argument).toInt(&ok, 10);
    return ok ? number : -1;
}

Options expectedOptions(const QStringList &arguments)
{
    Options expected;
    for (const QString &argument : arguments) {
        const QString name = argument.left(argument.indexOf(QLatin1Char('=')));
        if (isName(name, "--input"))
            expected.input = valueOf(argument);
        else if (isName(name, "--output"))
            expected.output = valueOf(argument);
        else if (isName(name, "--classes"))
            expected.classes = valueOf(argument);
        else if (isName(name, "--scalemax"))
            expected.scaleMax = scaleOf(argument);
        else if (isName(name, "--scalegrid"))
            expected.scaleGrid = scaleOf(argument);
        else if (isName(name, "--lang") || isName(name, "--language"))
            expected.language = valueOf(argument);
    }
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray &argument : input.split('\0'))
        arguments << QString::fromLocal8Bit(argument);
    const Options options = Options::parse(arguments);
    const Options expected = expectedOptions(arguments);
    FuzzInput::require(options.input == expected.input, "input file option");
    FuzzInput::require(options.output == expected.output, "output prefix option");
    FuzzInput::require(options.classes == expected.classes, "classes file option");
    FuzzInput::require(options.scaleMax == expected.scaleMax, "scale maximum option");
    FuzzInput::require(options.scaleGrid == expected.scaleGrid, "scale grid option");
    FuzzInput::require(options.language == expected.language, "language option");
    FuzzInput::require(qAbs(options.timeShift) <= Options::kMaxTimeShift, "a time shift in range");
    FuzzInput::require(options.imageHeight == -1
            || (options.imageHeight >= Options::kMinImageHeight
                && options.imageHeight <= Options::kMaxImageHeight),
        "an image height in range or none");
    const int formats = int(options.formats);
    FuzzInput::require(formats > 0 && formats < 0x10, "at least one known format");
    // Warnings quote what they name with control characters escaped: one line each.
    for (const QString &warning : options.warnings) {
        for (const QChar c : warning)
            FuzzInput::require(c.unicode() >= 0x20 && c.unicode() != 0x7f, "a one-line warning");
    }
    QString message;
    const int status = options.check(&message);
    FuzzInput::require(
        status == 0 || status == -2 || status == -3 || status == -4, "a defined check status");
    FuzzInput::require((status == 0) == message.isEmpty(), "a message for each failed check");
    return 0;
}
