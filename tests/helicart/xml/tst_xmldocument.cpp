#include "xmldocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(HELICART_TEST_DATA "/") + name;
}

bool loadText(XMLDocument &document, const char *xml)
{
    return document.loadData(QStringLiteral("memory.xml"), QByteArray(xml));
}

// A new document in memory whose root element r is the context node; with a text, r gets a
// child element child that holds it.
bool createRoot(
    XMLDocument &document, const QString &child = QString(), const QString &text = QString())
{
    return document.create(QString()) && document.appendChildAndEnter(QStringLiteral("r"))
        && (text.isNull() || document.appendTextChild(child, text));
}

// An entity of entityLength bytes referenced references times.
QByteArray repeatedEntity(int entityLength, int references)
{
    QByteArray xml("<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY a \"");
    xml += QByteArray(entityLength, 'x');
    xml += "\">]>\n<r><v>";
    for (int i = 0; i < references; ++i)
        xml += "&a;";
    xml += "</v></r>\n";
    return xml;
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char kTexts[] = "<?xml version=\"1.0\"?>\n"
                      "<!DOCTYPE r [<!ENTITY e \"entity text\">]>\n"
                      "<r a=\"attr &amp; value\">"
                      "<empty1/><empty2></empty2>"
                      "<mixed>one<b>inner</b>two</mixed>"
                      "<cdata><![CDATA[<x> & y]]></cdata>"
                      "<ent>&e; and &amp;</ent>"
                      "<space> </space>"
                      "</r>";

const char kTree[] = "<r><a><b/></a><c/><d/></r>";

} // namespace

class TestXMLDocument : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void conversions_data();
    void conversions();
    void toDateTime_data();
    void toDateTime();
    void contextNode();
    void removeNode_data();
    void removeNode();
    void removeAttribute();
    void setTextKeepsSavedNodes();
    void stackForgottenWithDocument();
    void noDocument();
    void writeAndRead();
    void textIsLiteral();
    void encodings_data();
    void encodings();
    void saveKeepsDeclaredEncoding();
    void stringLiteral_data();
    void stringLiteral();
    void entityExpansion_data();
    void entityExpansion();
    void externalEntityNotLoaded();
    void namespaces();
    void failuresWriteNothing();
    void errorText_data();
    void errorText();
};

void TestXMLDocument::text_data()
{
    QTest::addColumn<QString>("xpath");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("ok");

    const auto row = [](const char *name, const char *xpath, const char *expected, bool ok) {
        QTest::newRow(name) << QString(xpath) << QString(expected) << ok;
    };
    row("self-closing", "/r/empty1", nullptr, false);
    row("start and end tag", "/r/empty2", nullptr, false);
    row("own text only", "/r/mixed", "onetwo", true);
    row("cdata", "/r/cdata", "<x> & y", true);
    row("entities replaced", "/r/ent", "entity text and &", true);
    row("attribute", "/r/@a", "attr & value", true);
    row("white space", "/r/space", " ", true);
    row("first of several", "/r/*[position() > 2]", "onetwo", true);
    row("no match", "/r/none", nullptr, false);
    row("invalid expression", "/r[", nullptr, false);
    row("no node set", "count(/r)", nullptr, false);
}

void TestXMLDocument::text()
{
    QFETCH(QString, xpath);
    QFETCH(QString, expected);
    QFETCH(bool, ok);

    XMLDocument document;
    QVERIFY(loadText(document, kTexts));
    bool found = !ok;
    const QString result = document.text(xpath, &found);
    QCOMPARE(result, expected);
    QCOMPARE(result.isNull(), expected.isNull());
    QCOMPARE(found, ok);
}

void TestXMLDocument::conversions_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("ok");

    const auto row
        = [](const char *name, const char *kind, const char *text, double expected, bool ok) {
              QTest::newRow(name) << QString(kind) << QString(text) << expected << ok;
          };
    row("double with comma", "double", "12,5", 12.5, true);
    row("double with point", "double", "-0.25", -0.25, true);
    row("double, no number", "double", "abc", 0.0, true);
    row("double, missing", "double", nullptr, 0.0, false);
    row("float", "float", "2.5", 2.5, true);
    row("int", "int", " 42 ", 42.0, true);
    row("int, decimal text", "int", "4.2", 0.0, true);
    row("int, missing", "int", nullptr, 0.0, false);
    row("uint", "uint", "4000000000", 4000000000.0, true);
    row("uint, negative", "uint", "-1", 0.0, true);
}

void TestXMLDocument::conversions()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QFETCH(bool, ok);

    XMLDocument document;
    QVERIFY(createRoot(document, QStringLiteral("v"), text));
    const QString xpath = QStringLiteral("v");
    bool found = !ok;
    double value = -1;
    if (kind == QLatin1String("double"))
        value = document.toDouble(xpath, &found);
    else if (kind == QLatin1String("float"))
        value = document.toFloat(xpath, &found);
    else if (kind == QLatin1String("int"))
        value = document.toInt(xpath, &found);
    else
        value = document.toUInt(xpath, &found);
    QCOMPARE(value, expected);
    QCOMPARE(found, ok);
}

void TestXMLDocument::toDateTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");

    const QDateTime solstice(QDate(2009, 6, 21), QTime(13, 5, 0));
    QTest::newRow("ISO") << "2009-06-21T13:05:00" << solstice;
    QTest::newRow("other separators") << "2009/06/21 13:05:00" << solstice;
    QTest::newRow("30 February") << "2009-02-30T10:00:00" << QDateTime();
    QTest::newRow("no time") << "2009-06-21" << QDateTime();
    QTest::newRow("no seconds") << "2009-06-21T13:05" << QDateTime();
    QTest::newRow("letter in year") << "20x9-06-21T13:05:00" << QDateTime();
    QTest::newRow("missing") << QString() << QDateTime();
}

void TestXMLDocument::toDateTime()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);

    XMLDocument document;
    QVERIFY(createRoot(document, QStringLiteral("t"), text));
    bool ok = expected.isNull();
    const QDateTime result = document.toDateTime(QStringLiteral("t"), &ok);
    QCOMPARE(ok, expected.isValid());
    if (expected.isValid())
        QCOMPARE(result, expected);
    if (text.isNull())
        QVERIFY(result.isNull());
}

void TestXMLDocument::contextNode()
{
    XMLDocument document;
    QVERIFY(loadText(document, kTree));
    // A fresh document starts at the document node: relative expressions work from there.
    QCOMPARE(document.currentNodeName(), QString());
    QCOMPARE(document.count(QStringLiteral("r/*")), 3);
    QVERIFY(document.selectNode(QStringLiteral("r/a")));
    QCOMPARE(document.currentNodeName(), QStringLiteral("a"));

    // Failed selections leave the context node.
    QVERIFY(!document.selectNode(QStringLiteral("none")));
    QVERIFY(!document.selectNode(QStringLiteral("/r[")));
    QVERIFY(!document.selectNode(QStringLiteral("namespace::*")));
    QVERIFY(!document.popNode());
    QCOMPARE(document.currentNodeName(), QStringLiteral("a"));

    QVERIFY(document.selectNode(QStringLiteral("b")));
    QVERIFY(document.selectNode(QStringLiteral("..")));
    QCOMPARE(document.currentNodeName(), QStringLiteral("a"));
    QVERIFY(document.pushNode());
    QVERIFY(document.selectNode(QStringLiteral("/r/*[last()]")));
    QCOMPARE(document.currentNodeName(), QStringLiteral("d"));
    QVERIFY(document.popNode());
    QCOMPARE(document.currentNodeName(), QStringLiteral("a"));
    QCOMPARE(document.count(QStringLiteral("count(/r)")), 0);
}

void TestXMLDocument::removeNode_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("remove");
    QTest::addColumn<bool>("removed");

    const auto row = [](const char *name, const char *saved, const char *context,
                         const char *remove, bool removed) {
        QTest::newRow(name) << QString(saved) << QString(context) << QString(remove) << removed;
    };
    row("sibling", "", "/r/a", "/r/c", true);
    row("child of the context node", "", "/r/a", "b", true);
    row("context node", "", "/r/a", ".", false);
    row("ancestor of the context node", "", "/r/a/b", "/r/a", false);
    row("root element", "", "/r/a", "/r", false);
    row("document node", "", "/r", "/", false);
    row("saved node", "/r/c", "/r/d", "/r/c", false);
    row("ancestor of a saved node", "/r/a/b", "/r/d", "/r/a", false);
    row("nothing selected", "", "/r", "/r/x", false);
}

void TestXMLDocument::removeNode()
{
    QFETCH(QString, saved);
    QFETCH(QString, context);
    QFETCH(QString, remove);
    QFETCH(bool, removed);

    XMLDocument document;
    QVERIFY(loadText(document, kTree));
    QString savedName;
    if (!saved.isEmpty()) {
        QVERIFY(document.selectNode(saved));
        savedName = document.currentNodeName();
        document.pushNode();
    }
    QVERIFY(document.selectNode(context));
    const QString contextName = document.currentNodeName();
    const int before = document.count(QStringLiteral("//node()"));

    QCOMPARE(document.removeNode(remove), removed);
    QCOMPARE(document.count(QStringLiteral("//node()")) < before, removed);
    // The context node and the saved node are still alive (the sanitizer build checks).
    QCOMPARE(document.currentNodeName(), contextName);
    if (!saved.isEmpty()) {
        QVERIFY(document.popNode());
        QCOMPARE(document.currentNodeName(), savedName);
    }
}

void TestXMLDocument::removeAttribute()
{
    XMLDocument document;
    QVERIFY(loadText(document, "<r a='1' b='2'/>"));
    QVERIFY(document.selectNode(QStringLiteral("/r")));
    QVERIFY(document.removeNode(QStringLiteral("@a")));
    QCOMPARE(document.count(QStringLiteral("@*")), 1);
    QCOMPARE(document.text(QStringLiteral("@b")), QStringLiteral("2"));
}

void TestXMLDocument::setTextKeepsSavedNodes()
{
    XMLDocument document;
    QVERIFY(loadText(document, kTree));
    QVERIFY(document.selectNode(QStringLiteral("/r/a/b")));
    // Replacing the content of an ancestor would free the context node saved by the call.
    QVERIFY(!document.setText(QStringLiteral("x"), QStringLiteral("..")));
    QCOMPARE(document.currentNodeName(), QStringLiteral("b"));
    QVERIFY(document.pushNode());
    QVERIFY(document.selectNode(QStringLiteral("/r")));
    QVERIFY(!document.setText(QStringLiteral("x")));
    QVERIFY(document.setText(QStringLiteral("y"), QStringLiteral("c")));
    QCOMPARE(document.text(QStringLiteral("c")), QStringLiteral("y"));
    QVERIFY(document.popNode());
    QCOMPARE(document.currentNodeName(), QStringLiteral("b"));
}

void TestXMLDocument::stackForgottenWithDocument()
{
    // A saved node of a closed document must never become the context node again.
    XMLDocument document;
    QVERIFY(loadText(document, kTree));
    QVERIFY(document.selectNode(QStringLiteral("/r/a")));
    QVERIFY(document.pushNode());
    QVERIFY(loadText(document, kTree));
    QVERIFY(!document.popNode());
    QVERIFY(document.selectNode(QStringLiteral("/r/c")));
    QVERIFY(document.pushNode());
    QVERIFY(document.close());
    QVERIFY(!document.popNode());
}

void TestXMLDocument::noDocument()
{
    XMLDocument document;
    bool ok = true;
    QVERIFY(!document.selectNode(QStringLiteral("/")));
    QCOMPARE(document.count(QStringLiteral("/")), 0);
    QVERIFY(document.text(QStringLiteral("/"), &ok).isNull());
    QVERIFY(!ok);
    QVERIFY(!document.saveAs(QStringLiteral("never.xml")));
    QVERIFY(!document.save());
    QVERIFY(!document.saveDebugCopy());
    QVERIFY(!document.setText(QStringLiteral("x")));
    QVERIFY(!document.setAttribute(QStringLiteral("a"), QStringLiteral("x")));
    QVERIFY(!document.appendChild(QStringLiteral("a")));
    QVERIFY(!document.removeNode(QStringLiteral("/")));
    QVERIFY(!document.registerNamespaces());
    QCOMPARE(document.currentNodeName(), QString());
    QVERIFY(!document.load(dataFile(QStringLiteral("malformed.xml"))));
    QVERIFY(!document.loadData(QString(), QByteArray("<r>")));
    QVERIFY(document.close());
}

void TestXMLDocument::writeAndRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("written.xml"));
    const QString label = QStringLiteral("Sončno sevanje");

    XMLDocument document;
    QVERIFY(document.create(fileName));
    QCOMPARE(document.fileName(), fileName);
    QVERIFY(document.appendChildAndEnter(QStringLiteral("skyvaneClasses")));
    QVERIFY(!document.appendChild(QStringLiteral("second"), QStringLiteral("/")));
    QVERIFY(!document.appendChild(QStringLiteral("not a name")));
    QVERIFY(document.appendChild(QStringLiteral("parameter")));
    QVERIFY(document.appendTextChild(QStringLiteral("oznaka"), label, QStringLiteral("parameter")));
    QVERIFY(document.setAttribute(
        QStringLiteral("id"), QStringLiteral("č&\"1\""), QStringLiteral("parameter")));
    QVERIFY(document.appendChild(QStringLiteral("privzeto"), QStringLiteral("/skyvaneClasses")));
    QVERIFY(document.appendTextChild(
        QStringLiteral("procentDobrih"), QStringLiteral("82,5"), QStringLiteral("privzeto")));
    QVERIFY(!document.appendChild(QStringLiteral("x"), QStringLiteral("none")));
    QCOMPARE(document.currentNodeName(), QStringLiteral("skyvaneClasses"));
    QVERIFY(document.removeNode(QStringLiteral("privzeto")));
    QVERIFY(document.save());
    QVERIFY(readAll(fileName).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    XMLDocument reread;
    QVERIFY(reread.load(fileName));
    QCOMPARE(reread.text(QStringLiteral("/skyvaneClasses/parameter/oznaka")), label);
    QCOMPARE(
        reread.text(QStringLiteral("/skyvaneClasses/parameter/@id")), QStringLiteral("č&\"1\""));
    QCOMPARE(reread.count(QStringLiteral("/skyvaneClasses/privzeto")), 0);
}

void TestXMLDocument::textIsLiteral()
{
    // Texts that look like markup or entity references stay as they were written.
    const QString text = QStringLiteral("a & b <c/> &amp; &#65; ]]>");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    XMLDocument document;
    QVERIFY(createRoot(document));
    QVERIFY(document.setText(text));
    QCOMPARE(document.text(QStringLiteral(".")), text);
    QVERIFY(document.setAttribute(QStringLiteral("a"), text));
    QVERIFY(document.saveAs(dir.filePath(QStringLiteral("literal.xml"))));

    XMLDocument reread;
    QVERIFY(reread.load(dir.filePath(QStringLiteral("literal.xml"))));
    QCOMPARE(reread.text(QStringLiteral("/r")), text);
    QCOMPARE(reread.text(QStringLiteral("/r/@a")), text);
}

void TestXMLDocument::encodings_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("label");

    QTest::newRow("č") << 1 << QStringLiteral("Sončno sevanje");
    QTest::newRow("degree sign") << 2 << QStringLiteral("Temperatura zraka (°C)");
    QTest::newRow("en dash") << 3 << QStringLiteral("Hitrost vetra – sunki");
    QTest::newRow("all letters") << 4 << QStringLiteral("Količina padavin: ščžćđ ŠČŽĆĐ");
}

void TestXMLDocument::encodings()
{
    QFETCH(int, index);
    QFETCH(QString, label);

    const QString xpath = QStringLiteral("/skyvaneClasses/parameter[%1]/oznaka").arg(index);
    XMLDocument utf8;
    XMLDocument cp1250;
    QVERIFY(utf8.load(dataFile(QStringLiteral("slovenian-utf8.xml"))));
    QVERIFY(cp1250.load(dataFile(QStringLiteral("slovenian-cp1250.xml"))));
    QCOMPARE(utf8.text(xpath), label);
    QCOMPARE(cp1250.text(xpath), label);
}

void TestXMLDocument::saveKeepsDeclaredEncoding()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("copy.xml"));
    const QString xpath = QStringLiteral("/skyvaneClasses/parameter[1]/oznaka");

    XMLDocument document;
    QVERIFY(document.load(dataFile(QStringLiteral("slovenian-cp1250.xml"))));
    QCOMPARE(document.declaredEncoding().toLower(), QStringLiteral("windows-1250"));
    QVERIFY(document.saveAs(copy));
    const QByteArray bytes = readAll(copy);
    QVERIFY(bytes.contains("Son\xe8no sevanje"));
    QVERIFY(bytes.toLower().contains("encoding=\"windows-1250\""));

    XMLDocument reread;
    QVERIFY(reread.load(copy));
    QCOMPARE(reread.text(xpath), QStringLiteral("Sončno sevanje"));

    XMLDocument created;
    QVERIFY(created.create(QString()));
    QCOMPARE(created.declaredEncoding(), QString());
}

void TestXMLDocument::stringLiteral_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << "GSR";
    QTest::newRow("empty") << "";
    QTest::newRow("apostrophe") << "O'Brien";
    QTest::newRow("quotation mark") << "say \"hi\"";
    QTest::newRow("both") << "say \"hi\" it's";
    QTest::newRow("both at the ends") << "'x\"";
    QTest::newRow("apostrophes only") << "''";
    QTest::newRow("quote between apostrophes") << "'\"'";
    QTest::newRow("injection") << "x' or '1'='1";
    QTest::newRow("non-ASCII") << QStringLiteral("Sončno 'sevanje'");
}

void TestXMLDocument::stringLiteral()
{
    QFETCH(QString, text);

    XMLDocument document;
    QVERIFY(createRoot(document, QStringLiteral("v"), QStringLiteral("other")));
    QVERIFY(document.appendTextChild(QStringLiteral("v"), text));
    QVERIFY(document.appendTextChild(QStringLiteral("v"), text + QLatin1Char('x')));
    const QString literal = XMLDocument::stringLiteral(text);
    QCOMPARE(document.count(QStringLiteral("/r/v[string(.)=%1]").arg(literal)), 1);
    QCOMPARE(document.text(QStringLiteral("string(%1)").arg(literal)), QString());
    QVERIFY(document.selectNode(QStringLiteral("/r/v[string(.)=%1]").arg(literal)));
    QCOMPARE(document.text(QStringLiteral(".")), text);
}

void TestXMLDocument::entityExpansion_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("loads");

    QTest::newRow("small entity") << repeatedEntity(20, 10) << true;
    QTest::newRow("1 MB expanded") << repeatedEntity(1000, 1000) << true;
    QTest::newRow("1 GB expanded") << repeatedEntity(100000, 10000) << false;
    QFile bomb(dataFile(QStringLiteral("billion-laughs.xml")));
    QVERIFY(bomb.open(QIODevice::ReadOnly));
    QTest::newRow("nested entities") << bomb.readAll() << false;
}

void TestXMLDocument::entityExpansion()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, loads);

    XMLDocument document;
    QCOMPARE(document.loadData(QStringLiteral("memory.xml"), xml), loads);
    if (loads) {
        const QString text = document.text(QStringLiteral("/r/v"));
        QVERIFY(!text.isEmpty());
        QVERIFY(text.count(QLatin1Char('x')) == text.size());
    }
}

void TestXMLDocument::externalEntityNotLoaded()
{
    // The base name puts secret.txt within reach of a relative reference.
    XMLDocument document;
    QFile file(dataFile(QStringLiteral("external-entity.xml")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(document.loadData(file.fileName(), bytes));
    bool ok = true;
    QVERIFY(!document.text(QStringLiteral("//procentDobrih"), &ok).contains(QLatin1String("42")));
    QVERIFY(document.load(file.fileName()));
    QVERIFY(!document.text(QStringLiteral("//zacetek"), &ok).contains(QLatin1String("42")));
}

void TestXMLDocument::namespaces()
{
    XMLDocument document;
    QVERIFY(loadText(document, "<!-- first --><r xmlns='urn:d' xmlns:a='urn:a'><a:x/></r>"));
    QCOMPARE(document.count(QStringLiteral("//a:x")), 0);
    QVERIFY(document.registerNamespaces());
    QCOMPARE(document.count(QStringLiteral("//a:x")), 1);
    QVERIFY(document.registerNamespace(QStringLiteral("q"), QStringLiteral("urn:a")));
    QCOMPARE(document.count(QStringLiteral("//q:x")), 1);
    QVERIFY(document.registerNamespace(QStringLiteral("d"), QStringLiteral("urn:d")));
    QCOMPARE(document.count(QStringLiteral("/d:r")), 1);
}

void TestXMLDocument::failuresWriteNothing()
{
    // The program's standard error stream carries only its own messages.
    QTemporaryFile capture;
    QVERIFY(capture.open());
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);

    XMLDocument document;
    const bool missing = document.load(QStringLiteral("/nonexistent/classes.xml"));
    const bool malformed = document.loadData(QString(), QByteArray("<r><a></r>"));
    QVERIFY(document.create(QStringLiteral("/nonexistent/folder/out.xml")));
    document.appendChild(QStringLiteral("r"));
    const bool saved1 = document.save();
    const bool saved2 = document.saveAs(QStringLiteral("/nonexistent/folder/copy.xml"));
    const int invalid = document.count(QStringLiteral("/r[@"));
    const int unknownPrefix = document.count(QStringLiteral("//p:x"));

    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    QVERIFY(!missing && !malformed && !saved1 && !saved2);
    QCOMPARE(invalid + unknownPrefix, 0);
    // The descriptor's offset was moved by the writes, not by QFile.
    QVERIFY(capture.seek(0));
    QCOMPARE(capture.readAll(), QByteArray());
}

void TestXMLDocument::errorText_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("expected"); // the start of the text; empty: none

    QTest::newRow("well-formed") << QByteArray("<r><a/></r>") << QString();
    QTest::newRow("tag mismatch, line 3")
        << QByteArray("<r>\n<a>\n</r>")
        << QStringLiteral("line 3: Opening and ending tag mismatch: a line 2 and r");
    QTest::newRow("only the first error")
        << QByteArray("<r>\n<a b=1>\n</c>") << QStringLiteral("line 2: AttValue: \" or ' expected");
    QTest::newRow("no content") << QByteArray() << QStringLiteral("the document cannot be read");
    QTest::newRow("white space only")
        << QByteArray("\n\n") << QStringLiteral("line 3: Start tag expected");
    QTest::newRow("entities beyond the limit")
        << repeatedEntity(1024, 9 * 1024) << QStringLiteral("its entities expand to more than ");
}

// libxml2's words for the first fault, with its line; forgotten by the next load.
void TestXMLDocument::errorText()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, expected);
    XMLDocument document;
    QCOMPARE(document.loadData(QStringLiteral("memory.xml"), xml), expected.isEmpty());
    const QString text = document.errorText();
    QVERIFY2(expected.isEmpty() ? text.isEmpty() : text.startsWith(expected), qPrintable(text));
    QVERIFY(!text.endsWith('\n'));
    QVERIFY(loadText(document, "<r/>"));
    QCOMPARE(document.errorText(), QString());
}

QTEST_GUILESS_MAIN(TestXMLDocument)
#include "tst_xmldocument.moc"
