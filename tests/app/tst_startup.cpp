#include "ComponentFactory.h"
#include "FakeConfig.h"
#include "FakeUiServices.h"
#include "MotorDatabase.h"
#include "OrvexSupportTool.h"
#include "PortRegistry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

const QString kBinDir = QStringLiteral(ORVEX_TEST_BIN_DIR);
const QString kDataDir = QStringLiteral(ORVEX_TEST_DATA_DIR);

class NoDevices final : public ISerialDeviceSource
{
public:
    std::vector<SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// A program folder holding copies of the shipped files, which a test then breaks.
struct ProgramFolder
{
    ProgramFolder()
    {
        Copy(kDataDir + QStringLiteral("/OrvexCommandDatabase.xml"));
        Copy(kDataDir + QStringLiteral("/OrvexMotorDatabase.xml"));
        Copy(kDataDir + QStringLiteral("/WindNum CustomNum CrossRef.xml"));
        Copy(kBinDir + QStringLiteral("/OrvexMotorDatabase.so"));
    }
    void Copy(const QString& from) const
    {
        const QString to = Path(QFileInfo(from).fileName());
        QVERIFY2(QFile::copy(from, to), qPrintable(from));
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const
    {
        QFile::remove(Path(name));
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir dir;
};

struct Startup
{
    explicit Startup(const ProgramFolder& folder, bool registerBridge = true,
                     const QString& commandLine = QString())
        : settings(folder.Path(QStringLiteral("profile.ini")), QSettings::IniFormat),
          ports(devices, settings),
          app({folder.dir.path(), commandLine, factory, ui, settings, ports})
    {
        if (registerBridge) {
            factory.Register(QStringLiteral("OrvexBridge.Config"),
                             [] { return std::make_unique<OrvexTest::FakeConfig>(); });
        }
        // Every message must come after the splash has gone.
        ui.OnMessage = [this](const OrvexTest::FakeUiServices::Message&) {
            splashOpenAtMessage = splashOpenAtMessage || app.SplashShown();
        };
    }

    QString OnlyMessage() const
    {
        return ui.Messages.size() == 1 ? ui.Messages[0].Text
                                       : QStringLiteral("%1 messages").arg(ui.Messages.size());
    }

    ComponentFactory factory;
    OrvexTest::FakeUiServices ui;
    QSettings settings;
    NoDevices devices;
    PortRegistry ports;
    COrvexSupportToolApp app;
    bool splashOpenAtMessage = false;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void succeedsWithShippedData();
    void testSwitch_data();
    void testSwitch();
    void failures_data();
    void failures();
    void unreadableCommandDatabase();
    void libraryWithoutEntryPoint();
    void bridgeNotRegistered();
    void exitReleasesComponents();
};

void TestStartup::succeedsWithShippedData()
{
    ProgramFolder folder;
    Startup s(folder);
    QVERIFY(s.app.Startup());
    QVERIFY(s.ui.Messages.empty());
    QVERIFY(s.app.Config());
    QVERIFY(s.app.MotorServer());
    QVERIFY(s.app.MotorCollection());
    QVERIFY(s.app.MotorCollection()->Count() > 0);
    QVERIFY(!s.app.MotorServer()->ListSeries().isEmpty());
    // The limits come from the command database.
    QCOMPARE(s.app.Limits()[16].Minimum, 0.01);
    QCOMPARE(s.app.Limits()[16].Maximum, 500.0);
    QCOMPARE(s.app.Limits()[18].Maximum, 64.0);
    QVERIFY(!s.app.TestMode());
    QVERIFY(s.app.SplashShown()); // the main window closes it
    s.app.HideSplash();
    QCOMPARE(s.ui.Pauses, std::vector<int>{250});
}

void TestStartup::testSwitch_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("testMode");
    QTest::newRow("none") << "" << false;
    QTest::newRow("/test") << "/test" << true;
    QTest::newRow("-TEST:1") << "-TEST:1" << true;
}

void TestStartup::testSwitch()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, testMode);
    ProgramFolder folder;
    Startup s(folder, true, commandLine);
    QVERIFY(s.app.Startup());
    QCOMPARE(s.app.TestMode(), testMode);
}

void TestStartup::failures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("contents"); // empty: the file is removed
    QTest::addColumn<QString>("message");     // %1 is the program folder
    QTest::newRow("motor database missing") << "OrvexMotorDatabase.xml" << QByteArray()
                                            << "Unable to locate %1/OrvexMotorDatabase.xml.";
    QTest::newRow("library missing")
        << "OrvexMotorDatabase.so" << QByteArray() << "Unable to locate %1/OrvexMotorDatabase.so.";
    QTest::newRow("cross reference missing")
        << "WindNum CustomNum CrossRef.xml" << QByteArray()
        << "Unable to locate %1/WindNum CustomNum CrossRef.xml.";
    QTest::newRow("library not loadable") << "OrvexMotorDatabase.so" << QByteArray("not a library")
                                          << "Unable to load OrvexMotorDatabase.so.\nError 8.";
    QTest::newRow("motor database corrupt")
        << "OrvexMotorDatabase.xml" << QByteArray("<motors><motor>")
        << "Unable to read %1/OrvexMotorDatabase.xml.";
    QTest::newRow("cross reference corrupt")
        << "WindNum CustomNum CrossRef.xml" << QByteArray("\x01\x02garbage")
        << "Unable to read %1/WindNum CustomNum CrossRef.xml.";
    QTest::newRow("command database missing") << "OrvexCommandDatabase.xml" << QByteArray()
                                              << "Unable to locate %1/OrvexCommandDatabase.xml.";
    QTest::newRow("command database malformed")
        << "OrvexCommandDatabase.xml"
        << QByteArray("<database name=\"Parameter Tables.xls\"><table></tabel></database>")
        << "Unable to find 'database' element";
    QTest::newRow("command database wrong root")
        << "OrvexCommandDatabase.xml" << QByteArray("<data name=\"Parameter Tables.xls\"/>")
        << "Unable to find 'database' element";
    QTest::newRow("command database wrong name")
        << "OrvexCommandDatabase.xml"
        << QByteArray("<database name=\"parameter tables.xls\"><table/></database>")
        << "Invalid attribute";
}

void TestStartup::failures()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    ProgramFolder folder;
    if (contents.isEmpty())
        QVERIFY(QFile::remove(folder.Path(file)));
    else
        folder.Write(file, contents);
    Startup s(folder);
    QVERIFY(!s.app.Startup());
    QCOMPARE(s.OnlyMessage(), message.arg(folder.dir.path()));
    QCOMPARE(s.ui.Messages[0].Caption, QStringLiteral("Orvex Support Tool"));
    QVERIFY(!s.splashOpenAtMessage);
    QVERIFY(!s.app.SplashShown());
    QCOMPARE(s.app.ExitInstance(), 1);
}

void TestStartup::unreadableCommandDatabase()
{
    // A folder where the file should be cannot be read, even by root.
    ProgramFolder folder;
    QVERIFY(QFile::remove(folder.Path(QStringLiteral("OrvexCommandDatabase.xml"))));
    QVERIFY(QDir(folder.dir.path()).mkdir(QStringLiteral("OrvexCommandDatabase.xml")));
    Startup s(folder);
    QVERIFY(!s.app.Startup());
    QCOMPARE(s.OnlyMessage(),
             QStringLiteral("Unable to read %1/OrvexCommandDatabase.xml.").arg(folder.dir.path()));
    QVERIFY(!s.splashOpenAtMessage);
}

void TestStartup::libraryWithoutEntryPoint()
{
    ProgramFolder folder;
    QFile::remove(folder.Path(QStringLiteral("OrvexMotorDatabase.so")));
    QVERIFY(QFile::copy(kBinDir + QStringLiteral("/tst_noentry.so"),
                        folder.Path(QStringLiteral("OrvexMotorDatabase.so"))));
    Startup s(folder);
    QVERIFY(!s.app.Startup());
    QVERIFY2(s.OnlyMessage().startsWith(QStringLiteral("GetProcAddress() failed.\nError ")),
             qPrintable(s.OnlyMessage()));
    QVERIFY(!s.splashOpenAtMessage);
}

void TestStartup::bridgeNotRegistered()
{
    ProgramFolder folder;
    Startup s(folder, false);
    QVERIFY(!s.app.Startup());
    QCOMPARE(s.OnlyMessage(), QStringLiteral("Unable to create Orvex Bridge:\nOrvexBridge.Config "
                                             "is not installed (class not registered)."));
    QVERIFY(!s.splashOpenAtMessage);
}

void TestStartup::exitReleasesComponents()
{
    ProgramFolder folder;
    Startup s(folder);
    QVERIFY(s.app.Startup());
    const int before = OrvexTest::FakeConfig::Alive;
    QCOMPARE(s.app.ExitInstance(), 0);
    QCOMPARE(OrvexTest::FakeConfig::Alive, before - 1);
    QVERIFY(!s.app.Config());
    QVERIFY(!s.app.MotorServer());
    QVERIFY(!s.app.MotorCollection());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
