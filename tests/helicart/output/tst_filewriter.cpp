#include "filewriter.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A job that takes delay milliseconds and then succeeds or fails.
FileWriter::Job job(int delay, bool succeeds)
{
    return [=] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        return succeeds;
    };
}

} // namespace

class TestFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void failuresInOrderHandedIn_data();
    void failuresInOrderHandedIn();
    void jobsRunSideBySide();
    void atMostTheWritingThreads();
    void settleLeavesPending();
    void destructorWaits();
    void jobExceptions();
};

void TestFileWriter::failuresInOrderHandedIn_data()
{
    QTest::addColumn<QList<int>>("delays");
    QTest::addColumn<QList<bool>>("outcomes");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("all written") << QList<int> { 5, 0, 1 } << QList<bool> { true, true, true }
                                 << QStringList();
    QTest::newRow("the slow first one fails")
        << QList<int> { 60, 0, 0 } << QList<bool> { false, true, false }
        << QStringList { "f0", "f2" };
    QTest::newRow("the fast last one fails first") << QList<int> { 40, 20,
        0 } << QList<bool> { false, false, false } << QStringList { "f0", "f1", "f2" };
    QTest::newRow("one failure among many")
        << QList<int>(12, 3)
        << QList<bool> { true, true, true, true, true, true, true, false, true, true, true, true }
        << QStringList { "f7" };
}

// However the threads finish, failures are told in the order the files were handed in, and the
// result says whether any failed.
void TestFileWriter::failuresInOrderHandedIn()
{
    QFETCH(QList<int>, delays);
    QFETCH(QList<bool>, outcomes);
    QFETCH(QStringList, told);
    QStringList reported;
    FileWriter writer([&reported](const QString &name, const QString &) { reported << name; });
    for (int i = 0; i < delays.size(); ++i)
        writer.write(job(delays.at(i), outcomes.at(i)), QStringLiteral("f%1").arg(i));
    QCOMPARE(writer.settle(), told.isEmpty());
    QCOMPARE(reported, told);
}

// The first job can only end once the second one has started: the run does not wait for one
// file before the next is begun.
void TestFileWriter::jobsRunSideBySide()
{
    std::atomic<bool> secondStarted { false };
    FileWriter writer([](const QString &, const QString &) {});
    writer.write(
        [&secondStarted] {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!secondStarted && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return bool(secondStarted);
        },
        QStringLiteral("first"));
    writer.write(
        [&secondStarted] {
            secondStarted = true;
            return true;
        },
        QStringLiteral("second"));
    QVERIFY(writer.settle());
}

// However many files are handed in, no more than the writer's threads are written at once.
void TestFileWriter::atMostTheWritingThreads()
{
    std::atomic<int> running { 0 };
    std::atomic<int> most { 0 };
    FileWriter writer([](const QString &, const QString &) {});
    for (int i = 0; i < 12; ++i) {
        writer.write(
            [&running, &most] {
                const int now = ++running;
                int seen = most;
                while (now > seen && !most.compare_exchange_weak(seen, now)) { }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                --running;
                return true;
            },
            QStringLiteral("f%1").arg(i));
    }
    QVERIFY(writer.settle());
    QVERIFY(most >= 1);
    QVERIFY(size_t(most.load()) <= FileWriter::kThreads);
}

// settle(n) waits for all but the last n files and tells only their failures; a failure told
// once keeps the result false.
void TestFileWriter::settleLeavesPending()
{
    QStringList reported;
    FileWriter writer([&reported](const QString &name, const QString &) { reported << name; });
    writer.write(job(0, false), QStringLiteral("a"));
    writer.write(job(0, true), QStringLiteral("b"));
    writer.write(job(0, false), QStringLiteral("c"));
    QCOMPARE(writer.settle(1), false);
    QCOMPARE(reported, QStringList { "a" });
    writer.write(job(0, true), QStringLiteral("d"));
    QCOMPARE(writer.settle(2), false);
    QCOMPARE(reported, QStringList { "a" });
    QCOMPARE(writer.settle(), false);
    QCOMPARE(reported, (QStringList { "a", "c" }));
}

// Files still on their way when the writer ends are waited for, and their failures told.
void TestFileWriter::destructorWaits()
{
    QStringList reported;
    std::atomic<bool> finished { false };
    {
        FileWriter writer([&reported](const QString &name, const QString &) { reported << name; });
        writer.write(
            [&finished] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                finished = true;
                return false;
            },
            QStringLiteral("late"));
    }
    QVERIFY(finished);
    QCOMPARE(reported, QStringList { "late" });
}

// A job's exception costs its file, never the program: its own words told in place of the
// file's, running out of memory thrown on to the run once the files before are told, and
// nothing thrown from the writer's end.
void TestFileWriter::jobExceptions()
{
    QStringList reported;
    {
        FileWriter writer([&reported](const QString &name, const QString &reason) {
            reported << name + ":" + reason;
        });
        writer.write([]() -> bool { throw FileWriter::Failure("no image"); }, QStringLiteral("a"));
        writer.write([]() -> bool { throw std::runtime_error("other"); }, QStringLiteral("b"));
        writer.write([]() -> bool { throw std::bad_alloc(); }, QStringLiteral("c"));
        writer.write(job(0, true), QStringLiteral("d"));
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, writer.settle());
        QCOMPARE(reported, (QStringList { "a:no image", "b:" }));
        writer.write([]() -> bool { throw std::bad_alloc(); }, QStringLiteral("e"));
    }
    QCOMPARE(reported, (QStringList { "a:no image", "b:" }));
}

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_filewriter.moc"
