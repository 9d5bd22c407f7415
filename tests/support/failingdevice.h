#ifndef FAILINGDEVICE_H
#define FAILINGDEVICE_H

#include <QByteArray>
#include <QIODevice>

// A read-only device over bytes that fails on demand, as a failing disk or a dropped network
// file system does: from its failingSeek-th seek on (counted from 1; 0 means from the start),
// reads deliver the bytes before position failAt and then fail. A sequential one cannot seek
// at all, as a pipe cannot.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(const QByteArray &data, int failingSeek, qint64 failAt, bool sequential = false);

    bool isSequential() const override { return m_sequential; }
    bool seek(qint64 pos) override;
    qint64 size() const override { return m_data.size(); }
    // Reads that failed so far.
    int failures() const { return m_failures; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool failing() const { return m_failingSeek == 0 || m_seeks >= m_failingSeek; }

    QByteArray m_data;
    int m_failingSeek;
    qint64 m_failAt;
    bool m_sequential;
    qint64 m_position = 0;
    int m_seeks = 0;
    int m_failures = 0;
};

#endif // FAILINGDEVICE_H
