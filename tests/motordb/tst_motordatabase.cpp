#include "ComponentFactory.h"
#include "OrvexMotorServer.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

// A motor element from "part series frame stack winding feedback cooling
// [custom-winding Ke]"; Ke is 30 unless given.
QByteArray Motor(const QByteArray& text)
{
    const char* names[] = {"PartNumber", "Series",     "Frame",         "Stack", "Winding",
                           "Feedback",   "CoolingKey", "CustomWinding", "Ke"};
    const QList<QByteArray> values = text.split(' ');
    QByteArray xml = "<Motor Package=\"Rotary\"";
    for (int i = 0; i < values.size(); ++i)
        xml += QByteArray(" ") + names[i] + "=\"" + values[i] + "\"";
    return xml + (values.size() < 9 ? " Ke=\"30\"/>\n" : "/>\n");
}

QByteArray MotorFile(const QByteArray& motors)
{
    return "<OrvexMotorDatabase version=\"1\">\n" + motors + "</OrvexMotorDatabase>\n";
}

QByteArray CrossReferenceFile(const QByteArray& windings)
{
    return "<WindNumCustomNumCrossRef version=\"1\">\n" + windings +
           "</WindNumCustomNumCrossRef>\n";
}

// A small database in a deliberate order, with repeats the lists must drop.
const QByteArray SmallMotors =
    MotorFile(Motor("BE34B2E BE 34 B 2 E HS") + Motor("BE34B2E BE 34 B 2 E NHS") +
              Motor("BE23A1R BE 23 A 1 R HS") + Motor("BE34A1R BE 34 A 1 R HS") +
              Motor("BE34B1R BE 34 B 1 R HS") + Motor("BE34B2R BE 34 B 2 R HS") +
              Motor("KT2A-1E K T2 A 1 E HS") + Motor("CM3X1E CM 3 X 1 E HS W00002 28") +
              Motor("CM3X1E CM 3 X 1 E NHS W00002 28") + Motor("CM3X1E CM 3 X 1 E HS W00001 52") +
              Motor("CMA31AE CM 3 1 A E HS W00501 45") + Motor("CMB31AE CM 3 1 A E HS W00502 45") +
              Motor("T2-A1E Vantor T2 A 1 E HS"));

const QByteArray SmallCrossReference =
    CrossReferenceFile("<Winding Name=\"W00001\" CustomPart=\"CM3-X1E-01\"/>\n"
                       "<Winding Name=\"W00002\" CustomPart=\"CM3-X1E-02\"/>\n"
                       "<Winding Name=\"W00501\" BaseSeries=\"CMA\"/>\n"
                       "<Winding Name=\"W00502\" BaseSeries=\"CMB\"/>\n");

const QStringList SmallSeries{"BE", "K", "CM", "Vantor"};

} // namespace

class tst_MotorDatabase : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<COrvexMotorServer> m_server; // loaded with the small files before every test

    QString Write(const QString& name, const QByteArray& contents)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(contents) != contents.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    void LoadSmall(IOrvexMotorServer& server)
    {
        QVERIFY(server.LoadMotorDatabase(Write("m.xml", SmallMotors)));
        QVERIFY(server.LoadCrossReference(Write("x.xml", SmallCrossReference)));
    }

    // "part|cooling|Ke|custom part|base series" of the motor found, or "none";
    // fields out of range read empty.
    QString Found(const char* part, const char* winding, const char* cooling) const
    {
        const auto motor = m_server->GetOrvexMotorCollection()->FindMotor(part, winding, cooling);
        if (!motor)
            return QStringLiteral("none");
        QStringList fields;
        for (int n : {0, MotorField::PartNumber, MotorField::CoolingKey, MotorField::Ke,
                      MotorField::CustomPart, MotorField::BaseSeries, MotorField::Count + 1})
            fields << motor->Field(n);
        return fields.join(QLatin1Char('|'));
    }

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<COrvexMotorServer>();
        LoadSmall(*m_server);
    }

    // The wizard's cascade lists keep file order and drop repeats; a motor is
    // found by part number, custom winding and cooling key.
    void listsAndLookups()
    {
        const COrvexMotorServer& s = *m_server;
        QCOMPARE(s.ListSeries(), SmallSeries);
        QCOMPARE(s.ListFrames("BE"), QStringList({"34", "23"}));
        QCOMPARE(s.ListStacks("BE", "34"), QStringList({"B", "A"}));
        QCOMPARE(s.ListWindings("BE", "34", "B"), QStringList({"2", "1"}));
        QCOMPARE(s.ListFeedbacks("BE", "34", "B", "2"), QStringList({"E", "R"}));
        QCOMPARE(s.ListWindings("BE", "23", "B"), QStringList()); // a stack of another frame
        QCOMPARE(s.ListCoolings("BE34B2E"), QStringList({"HS", "NHS"}));
        QCOMPARE(s.ListCoolings("BE99"), QStringList());
        QCOMPARE(s.ListCustomWindings("CM3X1E"), QStringList({"W00002", "W00001"}));
        // Base series parts are listed under the part the cascade composes and their own.
        QCOMPARE(s.ListCustomWindings("CM31AE"), QStringList({"W00501", "W00502"}));
        QCOMPARE(s.ListCustomWindings("CMB31AE"), QStringList({"W00502"}));
        QCOMPARE(s.ListCustomWindings("BE34B2E"), QStringList());

        QCOMPARE(s.CustomWindingOfPart("CM3-X1E-02"), QStringLiteral("W00002"));
        QCOMPARE(s.CustomPartOfWinding("W00001"), QStringLiteral("CM3-X1E-01"));
        QCOMPARE(s.BaseSeriesOfWinding("W00501"), QStringLiteral("CMA"));
        QCOMPARE(s.CustomPartOfWinding("W00501"), QString());
        // An empty custom entry must not pick the base series windings.
        QCOMPARE(s.CustomWindingOfPart(QString()), QString());

        QCOMPARE(Found("KT2A-1E", "", "HS"), "|KT2A-1E|HS|30|||");
        QCOMPARE(Found("KT2A-1E", "W00000", "HS"), "|KT2A-1E|HS|30|||"); // no winding
        QCOMPARE(Found("KT2A-1E", "", "hs"), "none");
        QCOMPARE(Found("CM3X1E", "W00001", "HS"), "|CM3X1E|HS|52|CM3-X1E-01||");
        QCOMPARE(Found("CM3X1E", "W00002", "NHS"), "|CM3X1E|NHS|28|CM3-X1E-02||");
        QCOMPARE(Found("CM3X1E", "", "HS"), "none");
        QCOMPARE(Found("CM3X1E", "W00001", "NHS"), "none");
        QCOMPARE(Found("CMB31AE", "W00502", "HS"), "|CMB31AE|HS|45||CMB|");
        QCOMPARE(Found("CMB31AE", "W00501", "HS"), "none");

        IOrvexMotorCollection* collection = m_server->GetOrvexMotorCollection();
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
        const QByteArray ok = Motor("BE1A1E BE 1 A 1 E HS");
        motors("missing file", QByteArray());
        // Read for ever before; refused at once now.
        motors("device", "/dev/zero");
        motors("truncated", MotorFile(ok).left(120));
        motors("wrong root", "<Motors version=\"1\">" + ok + "</Motors>");
        motors("wrong version",
               "<OrvexMotorDatabase version=\"2\">" + ok + "</OrvexMotorDatabase>");
        motors("unknown element", MotorFile(ok + "<Drive/>"));
        motors("unknown field", MotorFile(QByteArray(ok).replace("Ke=", "Kt=")));
        motors("missing cooling key", MotorFile(Motor("BE1A1E BE 1 A 1 E")));
        motors("text inside a motor", MotorFile(QByteArray(ok).replace("/>", ">text</Motor>")));
        motors("same motor twice", MotorFile(ok + ok));
        motors("bad custom winding name", MotorFile(Motor("CM1X1E CM 1 X 1 E HS W12")));
        motors("W00000 as a custom winding", MotorFile(Motor("CM1X1E CM 1 X 1 E HS W00000")));
        motors("custom part in the motor file",
               MotorFile(QByteArray(ok).replace("/>", " CustomPart=\"C-1\"/>")));
        motors("content after the root", MotorFile(ok) + "<More/>");

        windings("device", "/dev/zero");
        windings("bad name", CrossReferenceFile("<Winding Name=\"X00001\"/>"));
        windings("unknown attribute", CrossReferenceFile("<Winding Name=\"W00001\" Part=\"C\"/>"));
        windings("same winding twice",
                 CrossReferenceFile("<Winding Name=\"W00001\"/><Winding Name=\"W00001\"/>"));
        windings("same custom part twice",
                 CrossReferenceFile("<Winding Name=\"W00001\" CustomPart=\"C\"/>"
                                    "<Winding Name=\"W00002\" CustomPart=\"C\"/>"));
    }

    void badFileKeepsPreviousContents()
    {
        QFETCH(bool, crossReference);
        QFETCH(QByteArray, contents);
        const QString path = contents.isEmpty()        ? m_dir.filePath("none.xml")
                             : contents == "/dev/zero" ? QString::fromLatin1(contents)
                                                       : Write("bad.xml", contents);
        QVERIFY(!(crossReference ? m_server->LoadCrossReference(path)
                                 : m_server->LoadMotorDatabase(path)));
        QCOMPARE(m_server->GetOrvexMotorCollection()->Count(), 13);
        QCOMPARE(m_server->ListSeries(), SmallSeries);
        QCOMPARE(m_server->BaseSeriesOfWinding("W00502"), QStringLiteral("CMB"));
        QCOMPARE(m_server->CustomWindingOfPart("CM3-X1E-01"), QStringLiteral("W00001"));
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
        const QString progId = QString::fromLatin1(ProgId::MotorServer);
        QVERIFY(factory.IsRegistered(progId));
        std::unique_ptr<IOrvexMotorServer> server = factory.Create<IOrvexMotorServer>(progId);
        QVERIFY(server && server->GetOrvexMotorCollection());
        LoadSmall(*server);
        QCOMPARE(server->GetOrvexMotorCollection()->Count(), 13);
        // The server's code lives in the library: release it before the library goes.
        server.reset();
        factory.Unregister(progId);
    }
};

QTEST_GUILESS_MAIN(tst_MotorDatabase)
#include "tst_motordatabase.moc"
