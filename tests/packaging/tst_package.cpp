// The Debian package as a user gets it: made by cpack from the build tree, listed and unpacked
// with dpkg-deb, and the unpacked program run from another working folder.
#include "options.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kPrefix = QStringLiteral(HELICART_PACKAGE_PREFIX);

struct Output
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Output runTool(const QString &program, const QStringList &arguments,
    const QString &workDir = QDir::currentPath())
{
    Output output;
    output.status
        = TestSupport::runProgram(program, arguments, workDir, &output.out, &output.err, 600000);
    return output;
}

// The entries of a `dpkg-deb -c` listing that are no folders, as "mode owner path" (with
// " -> target" for a link): size and time left out.
QStringList fileEntries(const QByteArray &listing)
{
    static const QRegularExpression line(
        QStringLiteral("^([^d]\\S+\\s+\\S+)\\s+\\d+\\s+\\S+\\s+\\S+\\s+(.+)$"));
    QStringList entries;
    for (const QString &text : QString::fromUtf8(listing).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch())
            entries << match.captured(1).simplified() + QLatin1Char(' ') + match.captured(2);
    }
    entries.sort();
    return entries;
}

// The package names a Depends field asks for, alternatives included, without versions.
QStringList dependencyNames(const QByteArray &field)
{
    QStringList names;
    const QStringList parts = QString::fromUtf8(field).split(QRegularExpression("[,|]"));
    for (const QString &part : parts)
        names << part.section(QLatin1Char('('), 0, 0).trimmed();
    return names;
}

// The option names of the usage text and of the help text, such as "--input", each once.
QStringList programOptions()
{
    static const QRegularExpression option(QStringLiteral("(--?[A-Za-z]+)="));
    QStringList names;
    for (const QByteArray &line : Options::usageLines()) {
        const QRegularExpressionMatch match = option.match(QString::fromLatin1(line));
        if (match.hasMatch())
            names << match.captured(1);
    }
    static const QRegularExpression listed(
        QStringLiteral("^  (--?[A-Za-z]+)"), QRegularExpression::MultilineOption);
    for (auto match = listed.globalMatch(Options::helpText()); match.hasNext();)
        names << match.next().captured(1);
    names.removeDuplicates();
    return names;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void entries();
    void control_data();
    void control();
    void manualPage();
    void manualOptions_data();
    void manualOptions();
    void unpackedProgram_data();
    void unpackedProgram();

private:
    // Renders the example with program from a working folder of its own into a fresh folder;
    // returns the files written, by name.
    QMap<QString, QByteArray> render(const QString &program, const QStringList &options);
    QString field(const QString &name);

    QTemporaryDir m_work;
    QString m_deb;
    QByteArray m_listing;
    QByteArray m_manual; // the page as man shows it
    int m_renders = 0;
};

void TestPackage::initTestCase()
{
    QVERIFY(m_work.isValid());
    const Output cpack = runTool(HELICART_CPACK_COMMAND,
        { "-G", "DEB", "--config", HELICART_BINARY_DIR "/CPackConfig.cmake", "-B",
            m_work.filePath("package") });
    QVERIFY2(cpack.status == 0, cpack.out + cpack.err);
    const QStringList debs = QDir(m_work.filePath("package")).entryList({ "*.deb" }, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_deb = m_work.filePath("package/" + debs.first());

    const Output listing = runTool("dpkg-deb", { "-c", m_deb });
    QVERIFY2(listing.status == 0, listing.err.constData());
    m_listing = listing.out;
    const Output unpack = runTool("dpkg-deb", { "-x", m_deb, m_work.filePath("root") });
    QVERIFY2(unpack.status == 0, unpack.err.constData());

    QVERIFY(QDir(m_work.path()).mkpath("data"));
    for (const char *name : { "station.txt", "helicartClasses.xml" })
        QVERIFY(QFile::copy(QStringLiteral(HELICART_SOURCE_DIR "/examples/") + name,
            m_work.filePath(QStringLiteral("data/") + name)));
    // Stamps of a fixed time: the unpacked and the built program must write the same bytes.
    qputenv("SOURCE_DATE_EPOCH", "0");
}

void TestPackage::cleanupTestCase()
{
    qunsetenv("SOURCE_DATE_EPOCH");
}

// The program tree, the link on the search path, the manual page and the examples, owned by
// root, plug-ins not executable; nothing else but folders (no test program, no benchmark, no
// second page).
void TestPackage::entries()
{
    const QString tree = "root/root ." + kPrefix + "/bin/";
    QStringList expected { "-rwxr-xr-x " + tree + "helicart",
        "-rw-r--r-- " + tree + "plugins/compassplot.so",
        "-rw-r--r-- " + tree + "plugins/tickfit.so", "-rw-r--r-- " + tree + "translations/SLO.qm",
        "-rw-r--r-- root/root ./usr/share/man/man1/helicart.1.gz",
        "lrwxrwxrwx root/root ./usr/bin/helicart -> " + kPrefix + "/bin/helicart" };
    for (const char *example : { "station.txt", "helicartClasses.xml", "README.md" })
        expected << QStringLiteral("-rw-r--r-- root/root ./usr/share/doc/helicart/examples/")
                + example;
    expected.sort();
    QCOMPARE(fileEntries(m_listing), expected);
}

QString TestPackage::field(const QString &name)
{
    const Output output = runTool("dpkg-deb", { "-f", m_deb, name });
    return output.status == 0 ? QString::fromUtf8(output.out.trimmed()) : QString();
}

void TestPackage::control_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("values"); // each a whole value, or one of Depends

    const Output architecture = runTool("dpkg", { "--print-architecture" });
    QTest::newRow("name") << "Package" << QStringList { "helicart" };
    QTest::newRow("version") << "Version" << QStringList { HELICART_VERSION };
    QTest::newRow("architecture") << "Architecture"
                                  << QStringList { QString::fromUtf8(architecture.out.trimmed()) };
    QTest::newRow("Qt 6") << "Depends" << QStringList { "libqt6core6", "libqt6gui6", "libqt6svg6" };
    QTest::newRow("libxml2") << "Depends" << QStringList { "libxml2" };
    QTest::newRow("C++ runtime") << "Depends" << QStringList { "libc6", "libstdc++6" };
    QTest::newRow("a font") << "Depends" << QStringList { "fonts-dejavu-core" };
}

void TestPackage::control()
{
    QFETCH(QString, name);
    QFETCH(QStringList, values);
    const QString value = field(name);
    if (name != QLatin1String("Depends")) {
        QCOMPARE(value, values.first());
        return;
    }
    const QStringList depends = dependencyNames(value.toUtf8());
    // Debian 13 renamed libraries whose interface holds a time_t when it widened it to 64 bits
    // on every architecture: libqt6core6 is libqt6core6t64 there.
    for (const QString &package : values) {
        QVERIFY2(depends.contains(package) || depends.contains(package + QLatin1String("t64")),
            qPrintable(package + " not in: " + value));
    }
}

// The page as man would show it (plain text, no bold or underline): no complaint of the formatter,
// the program's version.
void TestPackage::manualPage()
{
    const QString page = m_work.filePath("root/usr/share/man/man1/helicart.1.gz");
    const Output text = runTool("gzip", { "-d", "-c", page });
    QCOMPARE(text.status, 0);
    QVERIFY(text.out.startsWith(".\\\""));
    QFile source(m_work.filePath("helicart.1"));
    QVERIFY(source.open(QIODevice::WriteOnly) && source.write(text.out) == text.out.size());
    source.close();
    const Output formatted
        = runTool("groff", { "-man", "-Tutf8", "-ww", "-P-bcou", source.fileName() });
    QCOMPARE(formatted.err, QByteArray());
    QCOMPARE(formatted.status, 0);
    m_manual = formatted.out;
    QVERIFY(m_manual.contains("helicart " HELICART_VERSION));
}

void TestPackage::manualOptions_data()
{
    QTest::addColumn<QString>("option");
    for (const QString &option : programOptions())
        QTest::newRow(qPrintable(option)) << option;
    QTest::newRow("environment") << "SOURCE_DATE_EPOCH";
}

// Every option the usage and help texts name is on the page, as a word of its own.
void TestPackage::manualOptions()
{
    QFETCH(QString, option);
    QVERIFY(!m_manual.isEmpty());
    const QString text = QString::fromUtf8(m_manual);
    const QRegularExpression word(
        "(^|[\\s\\[|,])" + QRegularExpression::escape(option) + "($|[\\s\\]|,=])");
    QVERIFY2(text.contains(word), qPrintable(option));
}

QMap<QString, QByteArray> TestPackage::render(const QString &program, const QStringList &options)
{
    QMap<QString, QByteArray> files;
    const QString out = m_work.filePath(QStringLiteral("out%1").arg(++m_renders));
    const QString elsewhere = m_work.filePath(QStringLiteral("elsewhere%1").arg(m_renders));
    if (!QDir().mkpath(out) || !QDir().mkpath(elsewhere))
        return files;
    QByteArray err;
    const int status = TestSupport::runProgram(program,
        QStringList { "--input=" + m_work.filePath("data/station.txt"), "--output=" + out + "/s",
            "--classes=" + m_work.filePath("data/helicartClasses.xml") }
            + options,
        elsewhere, nullptr, &err);
    // The example's broken time stamps, there on purpose, give the one line allowed.
    const bool quiet = err.isEmpty()
        || (err.startsWith("helicart: warning: input file ") && err.count('\n') == 1
            && err.endsWith('\n'));
    if (status != 0 || !quiet) {
        qWarning() << program << "ended with" << status << err;
        return files;
    }
    for (const QString &name : QDir(out).entryList(QDir::Files))
        files[name] = readFile(out + QLatin1Char('/') + name);
    return files;
}

void TestPackage::unpackedProgram_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<QStringList>("options");

    QTest::newRow("the program") << false << QStringList();
    QTest::newRow("through a link") << true << QStringList();
    QTest::newRow("through a link, translated") << true << QStringList { "--lang=SLO" };
}

// From a working folder of its own, the unpacked program finds its plug-ins and translation
// (through a link as well, as /usr/bin/helicart reaches it) and writes what the built
// program writes.
void TestPackage::unpackedProgram()
{
    QFETCH(bool, throughLink);
    QFETCH(QStringList, options);
    const QString unpacked = m_work.filePath("root") + kPrefix + "/bin/helicart";
    QString program = unpacked;
    if (throughLink) {
        program = m_work.filePath("usr/bin/helicart");
        QVERIFY(QDir().mkpath(QFileInfo(program).absolutePath()));
        QFile::remove(program);
        QVERIFY(QFile::link(unpacked, program));
    }
    const QMap<QString, QByteArray> files = render(program, options);
    const QMap<QString, QByteArray> built = render(HELICART_PROGRAM, options);
    QCOMPARE(files.keys(),
        QStringList({ "s.png", "sS000.png", "sS001.png", "sS002.png", "sT000.png", "sT001.png",
            "sT002.png" }));
    for (auto file = built.cbegin(); file != built.cend(); ++file)
        QVERIFY2(files.value(file.key()) == file.value(), qPrintable(file.key()));
}

HELICART_GUI_TEST_MAIN(TestPackage)
#include "tst_package.moc"
