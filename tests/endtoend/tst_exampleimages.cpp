// The shipped example drawn by the built program, pixel for pixel: every image it writes must
// match the checksum kept in data/exampleimages.txt. The time stamp is fixed through
// SOURCE_DATE_EPOCH, so the whole picture is compared. Changes to the code that must not change
// a picture (a reshaping, a speed-up) are proven by this test; a change meant to alter the
// pictures renews the file with scripts/compare-images.sh --sums after a look at the images.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// "checksum  name" lines; '#' starts a comment.
QMap<QString, QByteArray> referenceSums()
{
    QMap<QString, QByteArray> sums;
    QFile file(QStringLiteral(HELICART_TEST_DATA "/exampleimages.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return sums;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (line.isEmpty() || line.startsWith('#') || fields.size() != 2)
            continue;
        sums.insert(QString::fromUtf8(fields.at(1)), fields.at(0));
    }
    return sums;
}

} // namespace

class TestExampleImages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void image_data();
    void image();

private:
    QTemporaryDir m_out;
    QMap<QString, QByteArray> m_reference;
};

void TestExampleImages::initTestCase()
{
    QVERIFY(m_out.isValid());
    m_reference = referenceSums();
    QVERIFY(!m_reference.isEmpty());
    qputenv("SOURCE_DATE_EPOCH", "0");
    qputenv("TZ", "UTC0");
    const int status = TestSupport::runProgram(HELICART_PROGRAM,
        { "--input=station.txt", "--output=" + m_out.filePath("station"),
            "--classes=helicartClasses.xml" },
        QStringLiteral(HELICART_SOURCE_DIR "/examples"));
    QCOMPARE(status, 0);
    // Every image the run writes has its sum, and every sum its image.
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files, QDir::Name), m_reference.keys());
}

void TestExampleImages::image_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("sum");
    for (auto it = m_reference.cbegin(); it != m_reference.cend(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
}

void TestExampleImages::image()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, sum);
    const QImage image(m_out.filePath(name));
    QVERIFY(!image.isNull());
    const QByteArray actual = TestSupport::pixelChecksum(image);
    if (actual != sum)
        TestSupport::saveOutput(image, QStringLiteral("exampleimages-") + name);
    QVERIFY2(actual == sum,
        qPrintable(QStringLiteral("%1 drawn differently (now %2); the image is in test-output/")
                       .arg(name, QString::fromLatin1(actual))));
}

HELICART_GUI_TEST_MAIN(TestExampleImages)
#include "tst_exampleimages.moc"
