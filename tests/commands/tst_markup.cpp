#include "Markup.h"

#include <QTest>

#include <string>

using Orvex::CMarkup;

namespace {

std::string Bytes(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

class tst_Markup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void accepts_data();
    void accepts();
    void rejects_data();
    void rejects();
    void failedParseLeavesEmptyDocument();
    void elementText_data();
    void elementText();
    void attributeValue_data();
    void attributeValue();
    void findSiblingMovesForwardOnly();
    void enterAndLeave();
    void deepNestingDoesNotOverflowTheStack();
    void truncatedInputIsRejected();
    void embeddedNulIsData();
    void walkingAnyElementWithItsAttributes();
};

void tst_Markup::accepts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("elements");
    const auto row = [](const char* name, const char* text, int elements) {
        QTest::newRow(name) << QByteArray(text) << elements;
    };

    row("empty element", "<a/>", 1);
    row("empty child with attribute", "<a><b x='1'/><c/></a>", 3);
    row("white space in tags", "<a\n\tx = '1'\r\n><b\n/></a\n>", 2);
    row("prolog",
        "<?xml version=\"1.0\"?>\r\n<!-- made by hand -->\r\n"
        "<!DOCTYPE a [<!ELEMENT a ANY>]>\r\n<a/>\r\n",
        1);
    row("markup in comment", "<a><!-- <b> </c> --></a>", 1);
    row("markup in CDATA", "<a><![CDATA[<b></c>]]></a>", 1);
    row("instruction in content", "<a><?pi <b>?><c/></a>", 2);
    row("declaration in content", "<a><!ENTITY x 'y'><c/></a>", 2);
    row("quote and > in attribute", "<a x='\"b>\"' y=\"'/>'\"/>", 1);
    row("non-ASCII names and text", "<\xc3\xa9l>\x83\x5c</\xc3\xa9l>", 1);
}

void tst_Markup::accepts()
{
    QFETCH(QByteArray, text);
    QFETCH(int, elements);

    CMarkup markup;
    QVERIFY(markup.ParseDocument(Bytes(text)));
    QCOMPARE(markup.Error(), std::string());
    QCOMPARE(markup.ElementCount(), static_cast<std::size_t>(elements));
}

void tst_Markup::rejects_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const auto row = [](const char* name, const char* text, const QString& error) {
        QTest::newRow(name) << QByteArray(text) << error;
    };

    const QString endOfTag = QStringLiteral("End of tag not found");
    row("open comment", "<a><!-- x </a>", endOfTag);
    row("open instruction", "<?xml version='1.0'", endOfTag);
    row("open CDATA", "<a><![CDATA[x</a>", endOfTag);
    row("open declaration", "<!DOCTYPE a [ <!ELEMENT a ANY> ", endOfTag);

    const QString noElement = QStringLiteral("Element tag not found");
    row("empty text", "", noElement);
    row("no element", "just text", noElement);
    row("only a comment", "<!-- nothing -->", noElement);
    row("blank after <", "<a>< b/></a>", noElement);
    row("<>", "<>", noElement);

    const QString quote = QStringLiteral("Tag starts with quote");
    row("quoted element name", "<'a'/>", quote);
    row("quoted attribute name", "<a \"x\"='1'/>", quote);

    const QString invalid = QStringLiteral("Invalid node");
    row("attribute without value", "<a x/>", invalid);
    row("unquoted value", "<a x=1/>", invalid);
    row("slash inside tag", "<a / >", invalid);
    row("< inside tag", "<a x='1' <b/>", invalid);

    const QString abrupt = QStringLiteral("Abrupt end within tag");
    row("lone <", "<", abrupt);
    row("cut in value", "<a x='1", abrupt);
    row("cut after /", "<a/", abrupt);

    row("missing end tag", "<a><b></b>", "End tag of a element not found");
    row("missing inner end tag", "<a><b>", "End tag of b element not found");
    row("inner element left open", "<a><b></a>", "Expecting end tag of element b");
    row("wrong end tag", "<a></b>", "End tag does not correspond to a");
    row("end tag in other case", "<a></A>", "End tag does not correspond to a");
    row("stray end tag", "</x>", "End tag does not correspond to x");
    row("end tag cut", "<a></a", "End tag not completed for element a");
    row("end tag with attribute", "<a></a x>", "End tag not completed for element a");
}

void tst_Markup::rejects()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);

    CMarkup markup;
    QVERIFY(!markup.ParseDocument(Bytes(text)));
    QCOMPARE(QString::fromStdString(markup.Error()), error);
    QCOMPARE(markup.ElementCount(), std::size_t{0});
    QVERIFY(!markup.FindSibling("a"));
}

void tst_Markup::failedParseLeavesEmptyDocument()
{
    CMarkup markup;
    QVERIFY(!markup.FindSibling("a"));
    QVERIFY(!markup.EnterElement());
    QVERIFY(!markup.LeaveElement());
    QCOMPARE(markup.ElementText(), std::string());
    QCOMPARE(markup.AttributeValue("a"), std::string());

    QVERIFY(markup.ParseDocument("<a x='1'><b/></a>"));
    QVERIFY(markup.FindSibling("a"));

    QVERIFY(!markup.ParseDocument("<a x='1'><b></a>"));
    QVERIFY(!markup.FindSibling("a"));
    QVERIFY(!markup.EnterElement());
    QCOMPARE(markup.AttributeValue("x"), std::string());
    QCOMPARE(markup.ElementText(), std::string());

    // A good parse afterwards clears the error again.
    QVERIFY(markup.ParseDocument("<a/>"));
    QCOMPARE(markup.Error(), std::string());
}

void tst_Markup::elementText_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("text");
    const auto row = [](const char* name, const char* content, const char* text) {
        QTest::newRow(name) << QByteArray(content) << QByteArray(text);
    };

    row("plain", "07", "07");
    row("white space kept", " Y ", " Y ");
    row("unknown entity kept", "a &amp; b &copy;", "a & b &copy;");
    row("five entities", "&lt;&gt;&amp;&apos;&quot;", "<>&'\"");
    row("entities are case-sensitive", "&LT;&Amp;", "&LT;&Amp;");
    row("no semicolon", "&amp &lt", "&amp &lt");
    row("numeric references untouched", "&#65;&#x41;", "&#65;&#x41;");
    row("amp then entity", "&&lt;", "&<");
    row("CDATA", "<![CDATA[x<y]]>", "x<y");
    row("CDATA after white space", "\r\n\t <![CDATA[ &amp; ]]>", " &amp; ");
    row("CDATA then text", "<![CDATA[a]]>b", "a");
    row("CDATA not first", "x<![CDATA[a]]>", "x<![CDATA[a]]>");
    row("UTF-8",
        "\xc2\xb0"
        "C \xe2\x82\xac",
        "\xc2\xb0"
        "C \xe2\x82\xac");
    row("double-byte", "\x83\x5c\x82\xa0", "\x83\x5c\x82\xa0");
    row("child markup is content", "x<b>&lt;</b>", "x<b><</b>");
    row("empty", "", "");
}

void tst_Markup::elementText()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, text);

    CMarkup markup;
    QVERIFY(markup.ParseDocument(Bytes("<r><e>" + content + "</e><e2/></r>")));
    QVERIFY(markup.FindSibling("r"));
    QVERIFY(markup.EnterElement());
    QVERIFY(markup.FindSibling("e"));
    QCOMPARE(QByteArray::fromStdString(markup.ElementText()), text);
    QVERIFY(markup.FindSibling("e2"));
    QCOMPARE(markup.ElementText(), std::string());
}

void tst_Markup::attributeValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("single quotes") << "a" << QByteArray("1");
    QTest::newRow("double quotes, entity") << "b" << QByteArray("x & y");
    QTest::newRow("apos") << "c" << QByteArray("it's");
    QTest::newRow("spaces around =") << "d" << QByteArray("q\"q");
    QTest::newRow("unknown entity") << "e" << QByteArray("&copy;");
    QTest::newRow("empty value") << "f" << QByteArray("");
    QTest::newRow("name is case-sensitive") << "A" << QByteArray("");
    QTest::newRow("absent") << "g" << QByteArray("");
    QTest::newRow("element name is no attribute") << "el" << QByteArray("");
}

void tst_Markup::attributeValue()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, value);

    CMarkup markup;
    QVERIFY(markup.ParseDocument("<el a='1' b=\"x &amp; y\" c='it&apos;s' d = 'q\"q'\n"
                                 "e='&copy;' f=''></el>"));
    QCOMPARE(markup.AttributeValue(name.toStdString()), std::string());
    QVERIFY(markup.FindSibling("el"));
    QCOMPARE(QByteArray::fromStdString(markup.AttributeValue(name.toStdString())), value);
}

void tst_Markup::findSiblingMovesForwardOnly()
{
    CMarkup markup;
    QVERIFY(markup.ParseDocument("<?xml version='1.0'?><root>"
                                 "<x n='1'><y n='inner'/></x><y n='2'/><x n='3'/><z n='4'/>"
                                 "</root>"));
    QVERIFY(markup.FindSibling("root"));
    QVERIFY(!markup.FindSibling("root"));
    QVERIFY(markup.EnterElement());

    QVERIFY(markup.FindSibling("x"));
    QCOMPARE(markup.AttributeValue("n"), "1");
    QVERIFY(markup.FindSibling("x"));
    QCOMPARE(markup.AttributeValue("n"), "3");
    // y stands before the current element: not found, position unchanged.
    QVERIFY(!markup.FindSibling("y"));
    QCOMPARE(markup.AttributeValue("n"), "3");
    QVERIFY(!markup.FindSibling("X"));
    QVERIFY(markup.FindSibling("z"));
    QCOMPARE(markup.AttributeValue("n"), "4");
}

void tst_Markup::enterAndLeave()
{
    CMarkup markup;
    QVERIFY(markup.ParseDocument("<root><t n='1'><r n='a'/><r n='b'/></t><t n='2'/></root>"));
    QVERIFY(!markup.EnterElement()); // nothing current yet
    QVERIFY(!markup.LeaveElement()); // already at top level
    QVERIFY(markup.FindSibling("root"));
    QVERIFY(markup.EnterElement());
    QVERIFY(!markup.EnterElement());

    QVERIFY(markup.FindSibling("t"));
    QVERIFY(markup.EnterElement());
    QVERIFY(!markup.FindSibling("t")); // children only, not the parent's siblings
    QVERIFY(markup.FindSibling("r"));
    QVERIFY(markup.FindSibling("r"));
    QCOMPARE(markup.AttributeValue("n"), "b");
    QVERIFY(markup.LeaveElement());
    QCOMPARE(markup.AttributeValue("n"), "1");

    // The search goes on after the element that was left.
    QVERIFY(markup.FindSibling("t"));
    QCOMPARE(markup.AttributeValue("n"), "2");
    QVERIFY(markup.EnterElement());
    QVERIFY(!markup.FindSibling("r"));
    QVERIFY(markup.LeaveElement());
    QVERIFY(markup.LeaveElement());
    QVERIFY(!markup.LeaveElement());
}

void tst_Markup::deepNestingDoesNotOverflowTheStack()
{
    constexpr int Depth = 200000;
    std::string text;
    for (int i = 0; i < Depth; ++i)
        text += "<a>";
    const std::string open = text;
    text += "deep";
    for (int i = 0; i < Depth; ++i)
        text += "</a>";

    CMarkup markup;
    QVERIFY(markup.ParseDocument(text));
    QCOMPARE(markup.ElementCount(), static_cast<std::size_t>(Depth));
    for (int i = 0; i < Depth - 1; ++i) {
        QVERIFY(markup.FindSibling("a"));
        QVERIFY(markup.EnterElement());
    }
    QVERIFY(markup.FindSibling("a"));
    QCOMPARE(markup.ElementText(), "deep");

    QVERIFY(!markup.ParseDocument(open));
    QCOMPARE(markup.Error(), "End tag of a element not found");
}

void tst_Markup::truncatedInputIsRejected()
{
    const std::string text = "<?xml version=\"1.0\"?>\n<!-- c -->\n<database name=\"x &amp; y\">"
                             "<table><Row><F2>01</F2><F5><![CDATA[a<b]]></F5><F9/></Row></table>"
                             "</database>";
    CMarkup markup;
    QVERIFY(markup.ParseDocument(text));
    for (std::size_t length = 0; length < text.size(); ++length) {
        QVERIFY2(!markup.ParseDocument(std::string_view(text).substr(0, length)),
                 qPrintable(QString::number(length)));
        QVERIFY(!markup.Error().empty());
        QVERIFY(!markup.FindSibling("database"));
    }
}

void tst_Markup::embeddedNulIsData()
{
    const std::string text("<a k='1\0002'>x\0y</a>", 19);
    CMarkup markup;
    QVERIFY(markup.ParseDocument(text));
    QVERIFY(markup.FindSibling("a"));
    QCOMPARE(markup.ElementText(), std::string("x\0y", 3));
    QCOMPARE(markup.AttributeValue("k"), std::string("1\0002", 3));
}

void tst_Markup::walkingAnyElementWithItsAttributes()
{
    CMarkup xml;
    QVERIFY(xml.ParseDocument("<root v='1'>\n <m a='x &amp; y' b=\"2\"/>\n <n> </n>\n"
                              " <o>text</o>\n <p><q/></p>\n <r a='1'/>\n</root>"));
    QVERIFY(xml.NextSibling());
    QCOMPARE(QByteArray(xml.CurrentName().data(), int(xml.CurrentName().size())), "root");
    QVERIFY(xml.EnterElement());
    QStringList seen;
    while (xml.NextSibling()) {
        QStringList attributes;
        const bool wellFormed = xml.ForEachAttribute([&](std::string_view name, std::string value) {
            attributes << QString::fromUtf8(name.data(), int(name.size())) + QLatin1Char('=') +
                              QString::fromStdString(value);
        });
        seen << QStringLiteral("%1:%2:%3:%4:%5")
                    .arg(QString::fromUtf8(xml.CurrentName().data(), int(xml.CurrentName().size())))
                    .arg(xml.CurrentLine())
                    .arg(xml.IsEmptyElement() ? QStringLiteral("empty") : QStringLiteral("full"))
                    .arg(wellFormed ? QStringLiteral("ok") : QStringLiteral("bad"))
                    .arg(attributes.join(QLatin1Char(',')));
    }
    QCOMPARE(seen, QStringList({"m:2:empty:ok:a=x & y,b=2", "n:3:empty:ok:", "o:4:full:ok:",
                                "p:5:full:ok:", "r:6:empty:ok:a=1"}));
    // Without a current element there is nothing to visit.
    const CMarkup nothing;
    QVERIFY(!nothing.ForEachAttribute([](std::string_view, std::string) {}));
    QVERIFY(xml.LeaveElement());
    QVERIFY(!xml.NextSibling());
}

QTEST_APPLESS_MAIN(tst_Markup)

#include "tst_markup.moc"
