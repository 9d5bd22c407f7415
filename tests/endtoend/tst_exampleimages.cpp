// The shipped example drawn by the built program: every image it writes is compared with its
// reference image in data/images/, with the tolerance of imagereference.h, so that another Qt
// version's anti-aliasing and hinting pass and a moved or changed bar, ring, label or colour
// fails. The time stamp is fixed through SOURCE_DATE_EPOCH and the roses' stamp corner left out
// all the same. A change meant to alter the pictures renews the references: run this test with
// HELICART_RENEW_IMAGES=1 (or scripts/compare-images.sh --renew) and look at the images before
// committing them. A failure writes the picture and its differences to test-output/.
#include "imagereference.h"
#include "testsupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString referenceFolder = QStringLiteral(HELICART_TEST_DATA "/images");

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
    QStringList m_written;
};

void TestExampleImages::initTestCase()
{
    QVERIFY(m_out.isValid());
    qputenv("SOURCE_DATE_EPOCH", "0");
    qputenv("TZ", "UTC0");
    const int status = TestSupport::runProgram(HELICART_PROGRAM,
        { "--input=station.txt", "--output=" + m_out.filePath("station"),
            "--classes=helicartClasses.xml" },
        QStringLiteral(HELICART_SOURCE_DIR "/examples"));
    QCOMPARE(status, 0);
    m_written = QDir(m_out.path()).entryList(QDir::Files, QDir::Name);
    // Every image the run writes has its reference, and every reference its image.
    if (!ImageReference::renewing())
        QCOMPARE(m_written, QDir(referenceFolder).entryList({ "*.png" }, QDir::Files, QDir::Name));
}

void TestExampleImages::image_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : std::as_const(m_written))
        QTest::newRow(qPrintable(name)) << name;
}

void TestExampleImages::image()
{
    QFETCH(QString, name);
    const QImage image(m_out.filePath(name));
    QVERIFY(!image.isNull());
    // Table images carry no time stamp: compared whole.
    const QRect stamp
        = name.startsWith(QLatin1String("stationT")) ? QRect() : TestSupport::timeStampArea(image);
    const QString failure = ImageReference::mismatch(image, referenceFolder + '/' + name,
        QStringLiteral("exampleimages-") + QFileInfo(name).completeBaseName(), stamp);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

HELICART_GUI_TEST_MAIN(TestExampleImages)
#include "tst_exampleimages.moc"
