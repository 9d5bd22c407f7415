// Replays inputs through a fuzz target without libFuzzer, so that every build (g++ or clang,
// sanitized or not) runs the seed corpus and the inputs of past findings as a test. The
// arguments are files or folders of files; a run that finds no input at all fails.
#include "fuzzinput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

QStringList inputFiles(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return { path };
    QStringList files;
    const QDir folder(path);
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

bool replay(const QString &file)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
        return false;
    }
    const QByteArray bytes = input.readAll();
    std::fprintf(stderr, "replaying %s\n", qPrintable(file));
    LLVMFuzzerTestOneInput(
        reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const QString &file : inputFiles(QString::fromLocal8Bit(argv[i]))) {
            if (!replay(file))
                return 1;
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
