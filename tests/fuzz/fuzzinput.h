#ifndef FUZZINPUT_H
#define FUZZINPUT_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

// The bytes of one fuzzer input, taken apart front to back into the arguments of the code
// under test. Reading past the end gives zeros, so every input maps to some arguments.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size);

    bool atEnd() const { return m_pos >= m_data.size(); }
    quint8 byte();
    bool boolean() { return byte() & 1; }
    // A value in [low, high], spread evenly over the next four bytes.
    int intInRange(int low, int high);
    qint64 int64();
    // The next eight (four) bytes as the bits of a double (float): NaNs, infinities and
    // subnormals included.
    double rawDouble();
    float rawFloat();
    // Up to size bytes (fewer at the end).
    QByteArray bytes(qsizetype size);
    QByteArray rest();

    // A file name in a folder of its own that lives as long as the process, in memory where
    // the machine has a memory file system (writing an input there costs no disk flush).
    static QString scratchFile(const QString &name);
    // Replaces the file's content with bytes.
    static void writeFile(const QString &fileName, QByteArrayView bytes);

    // Ends the run with what on the error stream when condition does not hold: the fuzzer
    // keeps the input as a crash, a replay fails.
    static void require(bool condition, const char *what);

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// The entry points libFuzzer calls; the replay driver calls them the same way.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

#endif // FUZZINPUT_H
