#include "ComponentFactory.h"
#include "OrvexMotorServer.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

QString DataFile(const char* name)
{
    return QString::fromLocal8Bit(qgetenv("ORVEX_DATA_DIR")) + QLatin1Char('/') +
           QLatin1String(name);
}

// A motor element with the identity fields and a few values.
QByteArray Motor(const char* part, const char* series, const char* frame, const char* stack,
                 const char* winding, const char* feedback, const char* cooling,
                 const char* customWinding = "", const char* ke = "30")
{
    QByteArray xml = "  <Motor PartNumber=\"" + QByteArray(part) + "\" Series=\"" + series +
                     "\" Frame=\"" + frame + "\" Stack=\"" + stack + "\" Winding=\"" + winding +
                     "\" Feedback=\"" + feedback + "\" CoolingKey=\"" + cooling +
                     "\" Package=\"Rotary\" Ke=\"" + ke + "\"";
    if (*customWinding) {
        xml += " CustomWinding=\"" + QByteArray(customWinding) + "\"";
    }
    return xml + "/>\n";
}

QByteArray MotorFile(const QByteArray& motors)
{
    return "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<OrvexMotorDatabase version=\"1\">\n" +
           motors + "</OrvexMotorDatabase>\n";
}

QByteArray CrossReferenceFile(const QByteArray& windings)
{
    return "<?xml version=\"1.0\"?>\n<WindNumCustomNumCrossRef version=\"1\">\n" + windings +
           "</WindNumCustomNumCrossRef>\n";
}

// A small database in a deliberate order, with repeats the lists must drop.
QByteArray SmallMotors()
{
    return MotorFile(Motor("BE34B2E", "BE", "34", "B", "2", "E", "HS") +
                     Motor("BE34B2E", "BE", "34", "B", "2", "E", "NHS") +
                     Motor("BE23A1R", "BE", "23", "A", "1", "R", "HS") +
                     Motor("BE34A1R", "BE", "34", "A", "1", "R", "HS") +
                     Motor("BE34B1R", "BE", "34", "B", "1", "R", "HS") +
                     Motor("BE34B2R", "BE", "34", "B", "2", "R", "HS") +
                     Motor("KT2A-1E", "K", "T2", "A", "1", "E", "HS") +
                     Motor("CM3X1E", "CM", "3", "X", "1", "E", "HS", "W00002", "28") +
                     Motor("CM3X1E", "CM", "3", "X", "1", "E", "NHS", "W00002", "28") +
                     Motor("CM3X1E", "CM", "3", "X", "1", "E", "HS", "W00001", "52") +
                     Motor("CMA31AE", "CM", "3", "1", "A", "E", "HS", "W00501", "45") +
                     Motor("CMB31AE", "CM", "3", "1", "A", "E", "HS", "W00502", "45") +
                     Motor("T2-A1E", "Vantor", "T2", "A", "1", "E", "HS"));
}

QByteArray SmallCrossReference()
{
    return CrossReferenceFile("  <Winding Name=\"W00001\" CustomPart=\"CM3-X1E-01\"/>\n"
                              "  <Winding Name=\"W00002\" CustomPart=\"CM3-X1E-02\"/>\n"
                              "  <Winding Name=\"W00501\" BaseSeries=\"CMA\"/>\n"
                              "  <Winding Name=\"W00502\" BaseSeries=\"CMB\"/>\n");
}

// Keys of the wizard's heat sink map; a motor with another key could not be chosen.
const QStringList CoolingKeys = {QStringLiteral("NHS"),       QStringLiteral("HS"),
                                 QStringLiteral("Water"),     QStringLiteral("AIR"),
                                 QStringLiteral("Dynamic"),   QStringLiteral("Table"),
                                 QStringLiteral("Table-CL1"), QStringLiteral("Table-CL2"),
                                 QStringLiteral("Table-CL3"), QStringLiteral("Table-CL4")};

// The cooling key the wizard selects first for a part number.
QString DefaultCoolingKey(const QString& part)
{
    int code = 0;
    if (part.startsWith(QLatin1Char('4')) && part.contains(QLatin1String("D22"))) {
        code = 5;
    }
    if (part.contains(QLatin1Char('-')) && part.contains(QLatin1Char('_')) &&
        !part.startsWith(QLatin1Char('K'))) {
        code = 4;
    }
    if (code == 0) {
        return part.startsWith(QLatin1Char('4')) ? QStringLiteral("Table") : QStringLiteral("HS");
    }
    return code == 4 ? QStringLiteral("Dynamic") : QStringLiteral("Table-CL1");
}

} // namespace

class tst_MotorDatabase : public QObject
{
    Q_OBJECT

private:
    QString Write(const QString& name, const QByteArray& contents)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(contents) != contents.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

    void LoadSmall(COrvexMotorServer& server)
    {
        QVERIFY(server.LoadMotorDatabase(Write(QStringLiteral("m.xml"), SmallMotors())));
        QVERIFY(server.LoadCrossReference(Write(QStringLiteral("x.xml"), SmallCrossReference())));
    }

    QTemporaryDir m_dir;
    COrvexMotorServer m_shipped;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_shipped.LoadMotorDatabase(DataFile("OrvexMotorDatabase.xml")),
                 "shipped motor database does not load");
        QVERIFY2(m_shipped.LoadCrossReference(DataFile("WindNum CustomNum CrossRef.xml")),
                 "shipped cross reference does not load");
    }

    void cascadeListsKeepFileOrderWithoutDuplicates_data()
    {
        QTest::addColumn<QStringList>("query");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, QStringList query, QStringList expected) {
            QTest::newRow(name) << query << expected;
        };
        row("series", {QStringLiteral("Series")}, {"BE", "K", "CM", "Vantor"});
        row("frames", {"Frames", "BE"}, {"34", "23"});
        row("stacks", {"Stacks", "BE", "34"}, {"B", "A"});
        row("windings", {"Windings", "BE", "34", "B"}, {"2", "1"});
        row("feedbacks", {"Feedbacks", "BE", "34", "B", "2"}, {"E", "R"});
        row("unknown series", {"Frames", "XY"}, {});
        row("stack of another frame", {"Windings", "BE", "23", "B"}, {});
        row("coolings", {"Coolings", "BE34B2E"}, {"HS", "NHS"});
        row("coolings of unknown part", {"Coolings", "BE99"}, {});
        row("custom windings", {"CustomWindings", "CM3X1E"}, {"W00002", "W00001"});
        row("windings of base series by cascade part", {"CustomWindings", "CM31AE"},
            {"W00501", "W00502"});
        row("winding of base series by its part", {"CustomWindings", "CMB31AE"}, {"W00502"});
        row("no custom windings", {"CustomWindings", "BE34B2E"}, {});
    }

    void cascadeListsKeepFileOrderWithoutDuplicates()
    {
        QFETCH(QStringList, query);
        QFETCH(QStringList, expected);
        COrvexMotorServer server;
        LoadSmall(server);
        const QString what = query.takeFirst();
        const auto arg = [&query](int i) { return query.value(i); };
        QStringList actual;
        if (what == QLatin1String("Series")) {
            actual = server.ListSeries();
        } else if (what == QLatin1String("Frames")) {
            actual = server.ListFrames(arg(0));
        } else if (what == QLatin1String("Stacks")) {
            actual = server.ListStacks(arg(0), arg(1));
        } else if (what == QLatin1String("Windings")) {
            actual = server.ListWindings(arg(0), arg(1), arg(2));
        } else if (what == QLatin1String("Feedbacks")) {
            actual = server.ListFeedbacks(arg(0), arg(1), arg(2), arg(3));
        } else if (what == QLatin1String("Coolings")) {
            actual = server.ListCoolings(arg(0));
        } else {
            actual = server.ListCustomWindings(arg(0));
        }
        QCOMPARE(actual, expected);
    }

    void findMotor_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("winding");
        QTest::addColumn<QString>("cooling");
        QTest::addColumn<QString>("ke"); // empty: no motor
        QTest::addColumn<QString>("customPart");
        QTest::addColumn<QString>("baseSeries");
        const auto row = [](const char* name, const char* part, const char* winding,
                            const char* cooling, const char* ke, const char* customPart,
                            const char* baseSeries) {
            QTest::newRow(name) << QString(part) << QString(winding) << QString(cooling)
                                << QString(ke) << QString(customPart) << QString(baseSeries);
        };
        row("standard", "KT2A-1E", "", "HS", "30", "", "");
        row("no winding written as W00000", "KT2A-1E", "W00000", "HS", "30", "", "");
        row("wrong cooling", "KT2A-1E", "", "NHS", "", "", "");
        row("custom winding 1", "CM3X1E", "W00001", "HS", "52", "CM3-X1E-01", "");
        row("custom winding 2", "CM3X1E", "W00002", "NHS", "28", "CM3-X1E-02", "");
        row("custom winding missing", "CM3X1E", "", "HS", "", "", "");
        row("custom winding of another cooling", "CM3X1E", "W00001", "NHS", "", "", "");
        row("base series", "CMB31AE", "W00502", "HS", "45", "", "CMB");
        row("base series with the other winding", "CMB31AE", "W00501", "HS", "", "", "");
        row("cooling key is case sensitive", "KT2A-1E", "", "hs", "", "", "");
    }

    void findMotor()
    {
        QFETCH(QString, part);
        QFETCH(QString, winding);
        QFETCH(QString, cooling);
        QFETCH(QString, ke);
        QFETCH(QString, customPart);
        QFETCH(QString, baseSeries);
        COrvexMotorServer server;
        LoadSmall(server);
        const std::unique_ptr<IOrvexMotor> motor =
            server.GetOrvexMotorCollection()->FindMotor(part, winding, cooling);
        if (ke.isEmpty()) {
            QVERIFY(!motor);
            return;
        }
        QVERIFY(motor);
        QCOMPARE(motor->Field(MotorField::PartNumber), part);
        QCOMPARE(motor->Field(MotorField::CoolingKey), cooling);
        QCOMPARE(motor->Field(MotorField::Ke), ke);
        QCOMPARE(motor->Field(MotorField::CustomPart), customPart);
        QCOMPARE(motor->Field(MotorField::BaseSeries), baseSeries);
        QCOMPARE(motor->Field(0), QString());
        QCOMPARE(motor->Field(MotorField::Count + 1), QString());
    }

    void crossReferenceLookups()
    {
        COrvexMotorServer server;
        LoadSmall(server);
        QCOMPARE(server.CustomWindingOfPart(QStringLiteral("CM3-X1E-02")),
                 QStringLiteral("W00002"));
        QCOMPARE(server.CustomPartOfWinding(QStringLiteral("W00001")),
                 QStringLiteral("CM3-X1E-01"));
        QCOMPARE(server.BaseSeriesOfWinding(QStringLiteral("W00501")), QStringLiteral("CMA"));
        QCOMPARE(server.CustomPartOfWinding(QStringLiteral("W00501")), QString());
        // An empty custom entry must not pick the base series windings.
        QCOMPARE(server.CustomWindingOfPart(QString()), QString());
        QCOMPARE(server.BaseSeriesOfWinding(QStringLiteral("W09999")), QString());
    }

    void itemsInFileOrder()
    {
        COrvexMotorServer server;
        LoadSmall(server);
        IOrvexMotorCollection* collection = server.GetOrvexMotorCollection();
        QCOMPARE(collection->Count(), 13);
        QCOMPARE(collection->Item(0)->Field(MotorField::PartNumber), QStringLiteral("BE34B2E"));
        QCOMPARE(collection->Item(1)->Field(MotorField::CoolingKey), QStringLiteral("NHS"));
        QCOMPARE(collection->Item(12)->Field(MotorField::PartNumber), QStringLiteral("T2-A1E"));
        QVERIFY(!collection->Item(13));
        QVERIFY(!collection->Item(-1));
    }

    void badFileKeepsPreviousContents_data()
    {
        QTest::addColumn<bool>("crossReference");
        QTest::addColumn<QByteArray>("contents"); // empty: the file does not exist
        const auto motors = [](const char* name, const QByteArray& contents) {
            QTest::newRow(qPrintable(QStringLiteral("motors: ") + name)) << false << contents;
        };
        const auto windings = [](const char* name, const QByteArray& contents) {
            QTest::newRow(qPrintable(QStringLiteral("windings: ") + name)) << true << contents;
        };
        const QByteArray ok = Motor("BE1A1E", "BE", "1", "A", "1", "E", "HS");
        motors("missing file", QByteArray());
        motors("not xml", "Part,Series\nBE1A1E,BE\n");
        motors("truncated", MotorFile(ok).left(120));
        motors("wrong root", "<Motors version=\"1\">" + ok + "</Motors>");
        motors("wrong version",
               "<OrvexMotorDatabase version=\"2\">" + ok + "</OrvexMotorDatabase>");
        motors("unknown element", MotorFile(ok + "<Drive/>"));
        motors("unknown field", MotorFile(QByteArray(ok).replace("Ke=", "Kt=")));
        motors("missing cooling key", MotorFile(Motor("BE1A1E", "BE", "1", "A", "1", "E", "")));
        motors("text inside a motor", MotorFile(QByteArray(ok).replace("/>", ">text</Motor>")));
        motors("child inside a motor",
               MotorFile(QByteArray(ok).replace("/>", "><Motor/></Motor>")));
        motors("same motor twice", MotorFile(ok + ok));
        motors("bad custom winding name",
               MotorFile(Motor("CM1X1E", "CM", "1", "X", "1", "E", "HS", "W12")));
        motors("W00000 as a custom winding",
               MotorFile(Motor("CM1X1E", "CM", "1", "X", "1", "E", "HS", "W00000")));
        motors("custom part in the motor file",
               MotorFile(QByteArray(ok).replace("/>", " CustomPart=\"C-1\"/>")));
        motors("content after the root", MotorFile(ok) + "<More/>");

        windings("missing file", QByteArray());
        windings("wrong root", "<CrossRef version=\"1\"/>");
        windings("name missing", CrossReferenceFile("<Winding CustomPart=\"C\"/>"));
        windings("bad name", CrossReferenceFile("<Winding Name=\"X00001\"/>"));
        windings("unknown attribute", CrossReferenceFile("<Winding Name=\"W00001\" Part=\"C\"/>"));
        windings("same winding twice",
                 CrossReferenceFile("<Winding Name=\"W00001\"/><Winding Name=\"W00001\"/>"));
        windings("same custom part twice",
                 CrossReferenceFile("<Winding Name=\"W00001\" CustomPart=\"C\"/>"
                                    "<Winding Name=\"W00002\" CustomPart=\"C\"/>"));
        windings("unclosed", "<WindNumCustomNumCrossRef version=\"1\">");
    }

    void badFileKeepsPreviousContents()
    {
        QFETCH(bool, crossReference);
        QFETCH(QByteArray, contents);
        COrvexMotorServer server;
        LoadSmall(server);
        const QString path = contents.isEmpty() ? m_dir.filePath(QStringLiteral("none.xml"))
                                                : Write(QStringLiteral("bad.xml"), contents);
        QVERIFY(
            !(crossReference ? server.LoadCrossReference(path) : server.LoadMotorDatabase(path)));
        QCOMPARE(server.GetOrvexMotorCollection()->Count(), 13);
        QCOMPARE(server.ListSeries(), QStringList({"BE", "K", "CM", "Vantor"}));
        QVERIFY(server.GetOrvexMotorCollection()->FindMotor(
            QStringLiteral("CM3X1E"), QStringLiteral("W00001"), QStringLiteral("HS")));
        QCOMPARE(server.BaseSeriesOfWinding(QStringLiteral("W00502")), QStringLiteral("CMB"));
        QCOMPARE(server.CustomWindingOfPart(QStringLiteral("CM3-X1E-01")),
                 QStringLiteral("W00001"));
    }

    // Every path through the wizard's cascade in the shipped data must end at
    // a motor for every cooling offered, with the default cooling among them.
    void shippedCascadeReachesAMotor()
    {
        int reached = 0;
        IOrvexMotorCollection* collection = m_shipped.GetOrvexMotorCollection();
        for (const QString& s : m_shipped.ListSeries()) {
            for (const QString& f : m_shipped.ListFrames(s)) {
                for (const QString& k : m_shipped.ListStacks(s, f)) {
                    for (const QString& w : m_shipped.ListWindings(s, f, k)) {
                        for (const QString& b : m_shipped.ListFeedbacks(s, f, k, w)) {
                            QString part = s + f + k + w + b;
                            if (s == QLatin1String("K")) {
                                part = s + f + k + QLatin1Char('-') + w + b;
                            } else if (s == QLatin1String("Vantor")) {
                                part = f + QLatin1Char('-') + k + w + b;
                            }
                            QStringList windings = m_shipped.ListCustomWindings(part);
                            if (windings.isEmpty()) {
                                windings.append(QString());
                            }
                            for (const QString& name : windings) {
                                const QString base = m_shipped.BaseSeriesOfWinding(name);
                                const QString p = base.isEmpty() ? part : base + f + k + w + b;
                                const QStringList coolings = m_shipped.ListCoolings(p);
                                QVERIFY2(coolings.contains(DefaultCoolingKey(p)), qPrintable(p));
                                for (const QString& cooling : coolings) {
                                    QVERIFY2(CoolingKeys.contains(cooling), qPrintable(cooling));
                                    const auto motor = collection->FindMotor(p, name, cooling);
                                    QVERIFY2(motor, qPrintable(p + QLatin1Char(' ') + name +
                                                               QLatin1Char(' ') + cooling));
                                    QCOMPARE(motor->Field(MotorField::Feedback), b);
                                    ++reached;
                                }
                            }
                        }
                    }
                }
            }
        }
        // Each record is reachable exactly once.
        QCOMPARE(reached, collection->Count());
        QVERIFY(collection->Count() >= 150 && collection->Count() <= 300);
    }

    // A custom winding is chosen by its custom part text, a base series part
    // by its base series: exactly one of the two for every custom winding.
    void shippedCustomWindingsAreConsistent()
    {
        IOrvexMotorCollection* collection = m_shipped.GetOrvexMotorCollection();
        for (int i = 0; i < collection->Count(); ++i) {
            const auto motor = collection->Item(i);
            const QString part = motor->Field(MotorField::PartNumber);
            const bool custom = motor->Field(MotorField::Series) == QLatin1String("CM") &&
                                (motor->Field(MotorField::Stack) == QLatin1String("X") ||
                                 motor->Field(MotorField::Winding) == QLatin1String("X"));
            const QString name = motor->Field(MotorField::CustomWinding);
            QCOMPARE(!motor->Field(MotorField::CustomPart).isEmpty(), custom);
            if (custom) {
                QCOMPARE(m_shipped.CustomWindingOfPart(motor->Field(MotorField::CustomPart)), name);
            }
            if (!motor->Field(MotorField::BaseSeries).isEmpty()) {
                QVERIFY2(part.startsWith(motor->Field(MotorField::BaseSeries)), qPrintable(part));
                QVERIFY(motor->Field(MotorField::Feedback) != QLatin1String("XX"));
            }
        }
    }

    void libraryRegistersTheServer()
    {
        QLibrary library(QStringLiteral(ORVEX_MOTORDB_LIBRARY));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        using Register = int (*)(ComponentFactory*);
        const auto registerServer =
            reinterpret_cast<Register>(library.resolve("DllRegisterServer"));
        QVERIFY(registerServer);
        QVERIFY(registerServer(nullptr) < 0);

        ComponentFactory factory;
        QCOMPARE(registerServer(&factory), 0);
        QVERIFY(factory.IsRegistered(QString::fromLatin1(ProgId::MotorServer)));
        std::unique_ptr<IOrvexMotorServer> server =
            factory.Create<IOrvexMotorServer>(QString::fromLatin1(ProgId::MotorServer));
        QVERIFY(server);
        QVERIFY(server->GetOrvexMotorCollection());
        QVERIFY(server->LoadMotorDatabase(DataFile("OrvexMotorDatabase.xml")));
        QVERIFY(server->LoadCrossReference(DataFile("WindNum CustomNum CrossRef.xml")));
        QCOMPARE(server->ListSeries(), m_shipped.ListSeries());
        QCOMPARE(server->GetOrvexMotorCollection()->Count(),
                 m_shipped.GetOrvexMotorCollection()->Count());
        // The server's code lives in the library: release it before the library goes.
        server.reset();
        factory.Unregister(QString::fromLatin1(ProgId::MotorServer));
    }
};

QTEST_GUILESS_MAIN(tst_MotorDatabase)
#include "tst_motordatabase.moc"
