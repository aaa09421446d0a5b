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

// Start-up in a program folder holding copies of the shipped files, which a
// test may break before calling Startup().
struct Startup
{
    explicit Startup(const QString& commandLine = QString())
        : settings(Path("profile.ini"), QSettings::IniFormat), ports(devices, settings),
          app({dir.path(), commandLine, factory, ui, settings, ports})
    {
        for (const QString& file :
             {kDataDir + "/OrvexCommandDatabase.xml", kDataDir + "/OrvexMotorDatabase.xml",
              kDataDir + "/WindNum CustomNum CrossRef.xml", kBinDir + "/OrvexMotorDatabase.so"})
            QVERIFY2(QFile::copy(file, Path(QFileInfo(file).fileName())), qPrintable(file));
        factory.Register(QStringLiteral("OrvexBridge.Config"),
                         [] { return std::make_unique<OrvexTest::FakeConfig>(); });
        // Every message must come after the splash has gone.
        ui.OnMessage = [this](const auto&) { splashOpenAtMessage |= app.SplashShown(); };
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ComponentFactory factory;
    OrvexTest::FakeUiServices ui;
    QSettings settings;
    NoDevices devices;
    PortRegistry ports;
    COrvexSupportToolApp app;
    bool splashOpenAtMessage = false;
};

// Stands between the main window and the application's splash, noting each
// call and whether the window was on screen by then.
struct SplashSpy final : ISplashControl
{
    explicit SplashSpy(ISplashControl& splash) : splash(splash) {}
    void SetSplashProgress(int step, int range) override
    {
        Note(QStringLiteral("progress %1/%2").arg(step).arg(range));
        splash.SetSplashProgress(step, range);
    }
    void HideSplash() override
    {
        Note(QStringLiteral("hide"));
        splash.HideSplash();
    }
    void Note(const QString& call) { calls << call + (window->isVisible() ? " (shown)" : ""); }

    ISplashControl& splash;
    QWidget* window = nullptr;
    QStringList calls;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void succeedsWithShippedData();
    void mainWindowFillsTheSplashBeforeItGoes();
    void failures_data();
    void failures();
};

void TestStartup::succeedsWithShippedData()
{
    Startup s(QStringLiteral("file.kvt /test"));
    QVERIFY(s.app.Startup());
    QVERIFY(s.ui.Messages.empty());
    QVERIFY(s.app.TestMode());
    QVERIFY(s.app.Config());
    QVERIFY(s.app.MotorCollection() && s.app.MotorCollection()->Count() > 0);
    QVERIFY(s.app.MotorServer() && !s.app.MotorServer()->ListSeries().isEmpty());
    QCOMPARE(s.app.Limits()[16].Maximum, 500.0); // from the command database
    QVERIFY(s.app.SplashShown());                // the main window closes it
    // Exit releases every component.
    const int before = OrvexTest::FakeConfig::Alive;
    QCOMPARE(s.app.ExitInstance(), 0);
    QCOMPARE(OrvexTest::FakeConfig::Alive, before - 1);
    QVERIFY(!s.app.Config());
    QVERIFY(!s.app.MotorServer());
    QVERIFY(!s.app.MotorCollection());
}

void TestStartup::mainWindowFillsTheSplashBeforeItGoes()
{
    Startup s;
    QVERIFY(s.app.Startup());
    QVERIFY(!s.app.TestMode());
    SplashSpy spy(s.app);
    COrvexSupportToolDlg window(*s.app.Context(), s.ports, &spy);
    spy.window = &window;
    window.OnInitDialog();
    QCOMPARE(spy.calls, QStringList({"progress 100/100", "hide"}));
    QVERIFY(!s.app.SplashShown());
    QCOMPARE(s.ui.Pauses, std::vector<int>{250});
}

void TestStartup::failures_data()
{
    QTest::addColumn<QString>("file");
    // Empty: the file is removed; "<folder>": a folder stands in its place;
    // "<no entry>": a library without the registration entry point.
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message"); // %1 is the program folder
    QTest::addColumn<QString>("details"); // why, shown on request
    const auto row = [](const char* name, const char* file, QByteArray contents,
                        const char* message, const char* details = "") {
        QTest::newRow(name) << QString::fromLatin1(file) << contents << QString::fromLatin1(message)
                            << QString::fromLatin1(details);
    };
    const char* motors = "OrvexMotorDatabase.xml";
    const char* library = "OrvexMotorDatabase.so";
    const char* crossReference = "WindNum CustomNum CrossRef.xml";
    const char* commands = "OrvexCommandDatabase.xml";
    row("motor database missing", motors, {}, "Unable to locate %1/OrvexMotorDatabase.xml.");
    row("library missing", library, {}, "Unable to locate %1/OrvexMotorDatabase.so.");
    row("cross reference missing", crossReference, {},
        "Unable to locate %1/WindNum CustomNum CrossRef.xml.");
    row("library not loadable", library, "not a library",
        "Unable to load OrvexMotorDatabase.so.\nError 8.");
    row("library without entry point", library, "<no entry>", "GetProcAddress() failed.\nError 2.");
    row("motor database corrupt", motors, "<motors><motor>",
        "Unable to read %1/OrvexMotorDatabase.xml.",
        "%1/OrvexMotorDatabase.xml, line 1: End tag of motor element not found");
    row("cross reference corrupt", crossReference, "\x01\x02garbage",
        "Unable to read %1/WindNum CustomNum CrossRef.xml.",
        "%1/WindNum CustomNum CrossRef.xml, line 1: Element tag not found");
    // The loader's message reaches the user as it is; the loader's tests cover the rest.
    row("command database wrong name", commands,
        "<database name=\"parameter tables.xls\"><table/></database>", "Invalid attribute",
        "%1/OrvexCommandDatabase.xml, line 1: the database is named 'parameter tables.xls', not "
        "'Parameter Tables.xls'");
    // A folder is no file to read.
    row("command database unreadable", commands, "<folder>",
        "Unable to read %1/OrvexCommandDatabase.xml: it is not a regular file.");
    row("bridge not registered", "", {},
        "Unable to create Orvex Bridge:\nOrvexBridge.Config is not installed (class not "
        "registered).");
}

void TestStartup::failures()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QFETCH(QString, details);
    Startup s;
    const QString path = s.Path(file);
    if (file.isEmpty())
        s.factory.Unregister(QStringLiteral("OrvexBridge.Config"));
    else
        QVERIFY(QFile::remove(path));
    if (contents == "<folder>") {
        QVERIFY(QDir(s.dir.path()).mkdir(file));
    } else if (contents == "<no entry>") {
        QVERIFY(QFile::copy(kBinDir + QStringLiteral("/tst_noentry.so"), path));
    } else if (!contents.isEmpty()) {
        QFile replacement(path);
        QVERIFY(replacement.open(QIODevice::WriteOnly));
        replacement.write(contents);
    }
    QVERIFY(!s.app.Startup());
    QCOMPARE(s.ui.Messages.size(), size_t(1));
    QCOMPARE(s.ui.Messages[0].Caption, QStringLiteral("Orvex Support Tool"));
    QCOMPARE(s.ui.Messages[0].Text, message.arg(s.dir.path()));
    QCOMPARE(s.ui.Messages[0].Details, details.arg(s.dir.path()));
    QVERIFY(!s.splashOpenAtMessage);
    QVERIFY(!s.app.SplashShown());
    QCOMPARE(s.app.ExitInstance(), 1);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
