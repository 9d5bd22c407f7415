#include "failingdevice.h"

#include <cstring>

FailingDevice::FailingDevice(
    const QByteArray &data, int failingSeek, qint64 failAt, bool sequential)
    : m_data(data)
    , m_failingSeek(failingSeek)
    , m_failAt(failAt)
    , m_sequential(sequential)
{ }

bool FailingDevice::seek(qint64 pos)
{
    if (m_sequential || pos < 0 || pos > m_data.size())
        return false;
    ++m_seeks;
    m_position = pos;
    return QIODevice::seek(pos);
}

qint64 FailingDevice::readData(char *data, qint64 maxSize)
{
    qint64 end = m_data.size();
    if (failing()) {
        if (m_position >= m_failAt) {
            ++m_failures;
            return -1;
        }
        end = qMin(end, m_failAt);
    }
    const qint64 count = qMin(maxSize, end - m_position);
    std::memcpy(data, m_data.constData() + m_position, size_t(count));
    m_position += count;
    return count;
}
