#include "fuzzinput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

FuzzInput::FuzzInput(const std::uint8_t *data, std::size_t size)
    : m_data(reinterpret_cast<const char *>(data), qsizetype(size))
{ }

quint8 FuzzInput::byte()
{
    return atEnd() ? 0 : quint8(m_data.at(m_pos++));
}

int FuzzInput::intInRange(int low, int high)
{
    quint32 bits = 0;
    for (int i = 0; i < 4; ++i)
        bits = bits << 8 | byte();
    const quint64 span = quint64(qint64(high) - qint64(low)) + 1;
    return int(qint64(low) + qint64(bits % span));
}

qint64 FuzzInput::int64()
{
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = bits << 8 | byte();
    return qint64(bits);
}

double FuzzInput::rawDouble()
{
    const quint64 bits = quint64(int64());
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float FuzzInput::rawFloat()
{
    quint32 bits = 0;
    for (int i = 0; i < 4; ++i)
        bits = bits << 8 | byte();
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray FuzzInput::bytes(qsizetype size)
{
    const qsizetype available = qMax<qsizetype>(m_data.size() - m_pos, 0);
    const QByteArrayView part = m_data.sliced(qMin(m_pos, m_data.size()), qMin(size, available));
    m_pos += part.size();
    return part.toByteArray();
}

QByteArray FuzzInput::rest()
{
    return bytes(m_data.size());
}

void FuzzInput::require(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

QString FuzzInput::scratchFile(const QString &name)
{
    static const QString memory = QStringLiteral("/dev/shm");
    static QTemporaryDir folder(QFileInfo(memory).isWritable()
            ? memory + QStringLiteral("/helicart-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/helicart-fuzz-XXXXXX"));
    require(folder.isValid(), "a scratch folder");
    return QDir(folder.path()).filePath(name);
}

void FuzzInput::writeFile(const QString &fileName, QByteArrayView bytes)
{
    QFile file(fileName);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush(),
        "input file written");
}
