// Replaces a file while a stopping signal comes in, for the tests of the signal guard:
//   signalprobe commit|cancel|outside FILE SIGNAL
// commit and cancel raise SIGNAL halfway through writing FILE through a temporary file, then
// commit or drop it; outside raises it with no file open. "deferred" on the standard output
// tells that the program went on after the signal, "survived" that it was not ended at all.
#include "signalguard.h"

#include <QSaveFile>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void say(const char *word)
{
    std::fputs(word, stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

void replace(const QString &fileName, int signal, bool commit)
{
    const SignalGuard::Deferral deferral;
    QSaveFile file(fileName);
    file.open(QIODevice::WriteOnly);
    file.write("first half ");
    std::raise(signal);
    say("deferred");
    file.write("second half");
    if (commit)
        file.commit();
    else
        file.cancelWriting();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4)
        return 2;
    SignalGuard::install();
    const QString fileName = QString::fromLocal8Bit(argv[2]);
    const int signal = std::atoi(argv[3]);
    if (std::strcmp(argv[1], "outside") == 0)
        std::raise(signal);
    else
        replace(fileName, signal, std::strcmp(argv[1], "commit") == 0);
    say("survived");
    return 0;
}
