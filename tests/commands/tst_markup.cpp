#include "Markup.h"

#include <QTest>

#include <string>

using Orvex::CMarkup;

class tst_Markup : public QObject
{
    Q_OBJECT

    // Without a document, or after a failed parse, there is nothing to read.
    static bool AnswersNothing(CMarkup& markup)
    {
        return !markup.FindSibling("a") && !markup.EnterElement() && !markup.LeaveElement() &&
               markup.ElementText().empty() && markup.AttributeValue("x").empty();
    }

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::addColumn<int>("elements");
        const auto ok = [](const char* name, const char* text, int elements) {
            QTest::newRow(name) << QByteArray(text) << QString() << elements;
        };
        const auto row = [](const char* name, const char* text, const QString& error) {
            QTest::newRow(name) << QByteArray(text) << error << 0;
        };
        ok("empty child with attribute", "<a><b x='1'/><c/></a>", 3);
        ok("white space in tags", "<a\n\tx = '1'\r\n><b\n/></a\n>", 2);
        ok("prolog",
           "<?xml version=\"1.0\"?>\r\n<!-- hand -->\r\n<!DOCTYPE a [<!ELEMENT a ANY>]><a/>\r\n",
           1);
        ok("markup in comment", "<a><!-- <b> </c> --></a>", 1);
        ok("markup in CDATA", "<a><![CDATA[<b></c>]]></a>", 1);
        ok("quote and > in attribute", "<a x='\"b>\"' y=\"'/>'\"/>", 1);
        ok("non-ASCII names and text", "<\xc3\xa9l>\x83\x5c</\xc3\xa9l>", 1);
        const QString endOfTag = QStringLiteral("End of tag not found");
        row("open comment", "<a><!-- x </a>", endOfTag);
        row("open instruction", "<?xml version='1.0'", endOfTag);
        row("open CDATA", "<a><![CDATA[x</a>", endOfTag);
        row("open declaration", "<!DOCTYPE a [ <!ELEMENT a ANY> ", endOfTag);
        const QString noElement = QStringLiteral("Element tag not found");
        row("empty text", "", noElement);
        row("blank after <", "<a>< b/></a>", noElement);
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
        row("missing inner end tag", "<a><b>", "End tag of b element not found");
        row("inner element left open", "<a><b></a>", "Expecting end tag of element b");
        row("end tag in other case", "<a></A>", "End tag does not correspond to a");
        row("stray end tag", "</x>", "End tag does not correspond to x");
        row("end tag cut", "<a></a", "End tag not completed for element a");
        row("end tag with attribute", "<a></a x>", "End tag not completed for element a");
    }

    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QFETCH(int, elements);
        CMarkup markup;
        QVERIFY(AnswersNothing(markup));
        // Nothing of an earlier text may show through a failed parse, and no
        // earlier error through a good one.
        if (error.isEmpty())
            QVERIFY(!markup.ParseDocument("<a x='1'><b></a>"));
        else
            QVERIFY(markup.ParseDocument("<a x='1'><b/></a>") && markup.FindSibling("a"));
        QCOMPARE(markup.ParseDocument(text.toStdString()), error.isEmpty());
        QCOMPARE(QString::fromStdString(markup.Error()), error);
        QCOMPARE(markup.ElementCount(), static_cast<std::size_t>(elements));
        if (!error.isEmpty())
            QVERIFY(AnswersNothing(markup));
    }

    // Where a parse failed, for whoever edits the file.
    void errorLine()
    {
        CMarkup markup;
        QVERIFY(!markup.ParseDocument("<a>\n <b x='1'/>\n <c>\n</a>\n"));
        QCOMPARE(markup.ErrorLine(), std::size_t(4));
        QVERIFY(markup.ParseDocument("<a/>"));
        QCOMPARE(markup.ErrorLine(), std::size_t(0));
    }

    void elementText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("text");
        const auto row = [](const char* name, const char* content, const char* text) {
            QTest::newRow(name) << QByteArray(content) << QByteArray(text);
        };
        row("white space kept", " Y ", " Y ");
        // Near misses of an entity are kept as they stand.
        row("only the five entities", "a &amp; b &copy; &LT; &amp &#65;&#x41;",
            "a & b &copy; &LT; &amp &#65;&#x41;");
        row("five entities", "&lt;&gt;&amp;&apos;&quot;", "<>&'\"");
        row("amp then entity", "&&lt;", "&<");
        row("CDATA after white space", "\r\n\t <![CDATA[ &amp; ]]>", " &amp; ");
        row("CDATA then text", "<![CDATA[a]]>b", "a");
        row("CDATA not first", "x<![CDATA[a]]>", "x<![CDATA[a]]>");
        row("double-byte", "\x83\x5c\x82\xa0", "\x83\x5c\x82\xa0");
        row("child markup is content", "x<b>&lt;</b>", "x<b><</b>");
    }

    void elementText()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, text);
        CMarkup markup;
        QVERIFY(markup.ParseDocument(("<r><e>" + content + "</e><e2/></r>").toStdString()));
        QVERIFY(markup.FindSibling("r") && markup.EnterElement() && markup.FindSibling("e"));
        QCOMPARE(QByteArray::fromStdString(markup.ElementText()), text);
        QVERIFY(markup.FindSibling("e2"));
        QCOMPARE(markup.ElementText(), std::string());
    }

    // Names are case-sensitive, and the element's own name is no attribute;
    // an embedded NUL is data in values and text alike.
    void attributeValue()
    {
        CMarkup markup;
        const char document[] = "<el a='1' b=\"x &amp; y\" c='it&apos;s' d = 'q\"q'\n"
                                "e='&copy;' f='' k='1\0002'>x\0y</el>";
        QVERIFY(markup.ParseDocument(std::string(document, sizeof document - 1)));
        QVERIFY(markup.FindSibling("el"));
        QStringList values;
        for (const char* name : {"a", "b", "c", "d", "e", "f", "A", "g", "el"})
            values << QString::fromStdString(markup.AttributeValue(name));
        QCOMPARE(values, QStringList({"1", "x & y", "it's", "q\"q", "&copy;", "", "", "", ""}));
        QCOMPARE(markup.AttributeValue("k"), std::string("1\0002", 3));
        QCOMPARE(markup.ElementText(), std::string("x\0y", 3));
    }

    // Searches move forward among the children of the current parent only.
    void navigation()
    {
        CMarkup markup;
        QVERIFY(markup.ParseDocument("<?xml version='1.0'?><root>"
                                     "<x n='1'><y n='inner'/></x><y n='2'/><x n='3'/><z n='4'/>"
                                     "</root>"));
        QVERIFY(!markup.EnterElement()); // nothing current yet
        QVERIFY(!markup.LeaveElement()); // already at top level
        QVERIFY(markup.FindSibling("root"));
        QVERIFY(!markup.FindSibling("root"));
        QVERIFY(markup.EnterElement());
        QVERIFY(!markup.EnterElement());
        QVERIFY(markup.FindSibling("x") && markup.EnterElement());
        QVERIFY(!markup.FindSibling("x"));
        QVERIFY(markup.FindSibling("y"));
        QCOMPARE(markup.AttributeValue("n"), "inner");
        QVERIFY(markup.LeaveElement());
        QCOMPARE(markup.AttributeValue("n"), "1");
        // The search goes on after the element that was left.
        QVERIFY(markup.FindSibling("x"));
        QCOMPARE(markup.AttributeValue("n"), "3");
        // y stands before the current element: not found, position unchanged.
        QVERIFY(!markup.FindSibling("y"));
        QVERIFY(!markup.FindSibling("X"));
        QCOMPARE(markup.AttributeValue("n"), "3");
        QVERIFY(markup.FindSibling("z") && markup.EnterElement());
        QVERIFY(!markup.FindSibling("y"));
        QVERIFY(markup.LeaveElement() && markup.LeaveElement());
        QVERIFY(!markup.LeaveElement());
    }

    void walkingAnyElementWithItsAttributes()
    {
        CMarkup xml;
        QVERIFY(xml.ParseDocument("<root v='1'>\n <m a='x &amp; y' b=\"2\"/>\n <n> </n>\n"
                                  " <o>text</o>\n <p><q/></p>\n <r a='1'/>\n</root>"));
        QVERIFY(xml.NextSibling());
        QVERIFY(xml.CurrentName() == "root");
        QVERIFY(xml.EnterElement());
        QStringList seen;
        while (xml.NextSibling()) {
            QString entry = QStringLiteral("%1:%2:%3:")
                                .arg(QByteArray::fromStdString(std::string(xml.CurrentName())))
                                .arg(xml.CurrentLine())
                                .arg(xml.IsEmptyElement() ? "empty" : "full");
            const bool wellFormed =
                xml.ForEachAttribute([&](std::string_view name, std::string value) {
                    entry += QString::fromStdString(std::string(name) + '=' + value + ',');
                });
            seen << entry + (wellFormed ? "ok" : "bad");
        }
        QCOMPARE(seen, QStringList({"m:2:empty:a=x & y,b=2,ok", "n:3:empty:ok", "o:4:full:ok",
                                    "p:5:full:ok", "r:6:empty:a=1,ok"}));
        // Without a current element there is nothing to visit.
        QVERIFY(!CMarkup().ForEachAttribute([](std::string_view, std::string) {}));
        QVERIFY(xml.LeaveElement());
        QVERIFY(!xml.NextSibling());
    }
};

QTEST_APPLESS_MAIN(tst_Markup)
#include "tst_markup.moc"
