#include "BitStatusPanelDlg.h"
#include "KVTProxy.h"
#include "NumStatusPanelDlg.h"
#include "NumericStatusTable.h"
#include "PageIds.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include <climits>

using namespace Orvex;

namespace {

const QString kInvalidRow = QStringLiteral("Invalid row number");
const QString kInvalidColumn = QStringLiteral("Invalid column number");

// A grid whose every cell names itself, "r<row>c<column>".
std::unique_ptr<QTableWidget> NamedGrid(int rows, int columns)
{
    auto grid = std::make_unique<QTableWidget>(rows, columns);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            grid->setItem(row, column,
                          new QTableWidgetItem(QStringLiteral("r%1c%2").arg(row).arg(column)));
    }
    return grid;
}

class FixedGrids final : public IStatusGrids
{
public:
    const QTableWidget* BitStatusGrid() const override { return Bit; }
    const QTableWidget* NumericStatusGrid() const override { return Numeric; }
    const QTableWidget* Bit = nullptr;
    const QTableWidget* Numeric = nullptr;
};

// The program on the simulated drive with its automation object on the
// session bus, and a second connection that plays the outside client.
struct Automated : OrvexTest::SimulatedProgram
{
    Automated()
        : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR)), window(context, ports, nullptr),
          client(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                               QStringLiteral("automation client")))
    {
        window.OnInitDialog();
        registered = server.Register(QDBusConnection::sessionBus());
        server.SetGrids(&window);
    }
    ~Automated() { QDBusConnection::disconnectFromBus(QStringLiteral("automation client")); }

    QString Call(const char* method, const QVariantList& arguments)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(AutomationService), QString::fromLatin1(AutomationPath),
            QString::fromLatin1(AutomationInterface), QString::fromLatin1(method));
        call.setArguments(arguments);
        // The object lives in this process: wait with the event loop running.
        const QDBusMessage reply = client.call(call, QDBus::BlockWithGui, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
            return QStringLiteral("<error: %1>").arg(reply.errorMessage());
        return reply.arguments().constFirst().toString();
    }
    CBitStatusPanelDlg& BitPage() const
    {
        return *dynamic_cast<CBitStatusPanelDlg*>(window.Page(Orvex::PageId::BitStatusPanel));
    }
    CNumStatusPanelDlg& NumericPage() const
    {
        return *dynamic_cast<CNumStatusPanelDlg*>(window.Page(Orvex::PageId::NumericStatusPanel));
    }
    SimulatedDrive& Drive() const { return *components.Drive(); }

    COrvexSupportToolDlg window;
    AutomationServer server;
    QDBusConnection client;
    bool registered = false;
};

bool HaveSessionBus()
{
    return QDBusConnection::sessionBus().isConnected();
}

} // namespace

class TestAutomation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellText_data();
    void cellText();
    void enableNumericStatus_data();
    void enableNumericStatus();
    void noWindowYet();
    void busReadsWhatThePanelsShow();
    void secondCopyDoesNotTakeTheName();
    void gdbusReadsACell();
    void noSessionBusMeansNoAutomation();
};

void TestAutomation::cellText_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("a cell") << 5 << 1 << QStringLiteral("r5c1");
    QTest::newRow("first cell") << 0 << 0 << QStringLiteral("r0c0");
    QTest::newRow("last cell") << 65 << 1 << QStringLiteral("r65c1");
    QTest::newRow("huge row") << 10000 << 0 << kInvalidRow;
    QTest::newRow("huge column") << 0 << 10000 << kInvalidColumn;
    QTest::newRow("row before column") << 10000 << 10000 << kInvalidRow;
    QTest::newRow("largest row") << INT_MAX << 0 << kInvalidRow;
    QTest::newRow("row one past the count") << 67 << 0 << kInvalidRow;
    QTest::newRow("row equal to the count") << 66 << 0 << QString();
    QTest::newRow("column equal to the count") << 0 << 2 << QString();
    QTest::newRow("column one past the count") << 0 << 3 << kInvalidColumn;
    QTest::newRow("negative row") << -1 << 0 << QString();
    QTest::newRow("negative column") << 0 << -1 << QString();
    QTest::newRow("smallest row and column") << INT_MIN << INT_MIN << QString();
}

void TestAutomation::cellText()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    const auto bit = NamedGrid(66, 2);
    const auto numeric = NamedGrid(24, 3);
    FixedGrids grids;
    grids.Bit = bit.get();
    grids.Numeric = numeric.get();
    CKVTProxy proxy;
    proxy.SetGrids(&grids);
    QCOMPARE(proxy.GetBitStatus(row, column), text);
    // The numeric grid has its own counts: the same rules, other limits.
    QCOMPARE(proxy.GetNumericStatus(row, column), StatusGridCellText(numeric.get(), row, column));
}

void TestAutomation::enableNumericStatus_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("enable");
    QTest::addColumn<QString>("answer");
    QTest::newRow("first row off") << 0 << false << QStringLiteral("Success");
    QTest::newRow("first row on") << 0 << true << QStringLiteral("Success");
    QTest::newRow("row equal to the count") << 24 << true << QStringLiteral("Success");
    QTest::newRow("row past the count") << 25 << true << kInvalidRow;
    QTest::newRow("largest row") << INT_MAX << false << kInvalidRow;
    QTest::newRow("negative row") << -3 << true << QStringLiteral("Success");
}

void TestAutomation::enableNumericStatus()
{
    QFETCH(int, row);
    QFETCH(bool, enable);
    QFETCH(QString, answer);
    CStatusGrid grid(24, {QString(), QStringLiteral("Description"), QStringLiteral("Status")});
    for (int r = 0; r < 24; ++r)
        grid.SetCellCheckBox(r, 0, r % 2 == 0);
    FixedGrids grids;
    grids.Numeric = &grid;
    CKVTProxy proxy;
    proxy.SetGrids(&grids);
    QCOMPARE(proxy.EnableNumericStatus(row, enable), answer);
    for (int r = 0; r < 24; ++r)
        QCOMPARE(grid.IsCellChecked(r, 0), r % 2 == 0);
}

void TestAutomation::noWindowYet()
{
    // Before the main window exists there is nothing to read.
    CKVTProxy proxy;
    QCOMPARE(proxy.GetBitStatus(0, 0), QString());
    QCOMPARE(proxy.GetBitStatus(1, 0), kInvalidRow);
    QCOMPARE(proxy.GetNumericStatus(0, 1), kInvalidColumn);
    QCOMPARE(proxy.EnableNumericStatus(0, true), QStringLiteral("Success"));
}

void TestAutomation::busReadsWhatThePanelsShow()
{
    if (!HaveSessionBus())
        QSKIP("No session bus; run under dbus-run-session");
    Automated a;
    QVERIFY(a.registered);
    QVERIFY(a.Drive().LatchFault(27)); // bridge hardware fault
    a.BitPage().ManualUpdate();
    const int busVoltage = [] {
        for (int row = 0; row < NumericStatusRowCount; ++row) {
            if (QLatin1String(NumericStatusTable[static_cast<size_t>(row)].Label) == "S42")
                return row;
        }
        return -1;
    }();
    a.NumericPage().Grid()->SetCellCheckBox(busVoltage, CNumStatusPanelDlg::CheckColumn, true);
    a.NumericPage().ManualUpdate();
    QVERIFY(a.ui.Messages.empty());

    const CStatusGrid& bits = *a.BitPage().Grid();
    QCOMPARE(a.Call("GetBitStatus", {27, 1}), QStringLiteral("Operational Fault"));
    QCOMPARE(a.Call("GetBitStatus", {27, 1}), bits.CellText(27, 1));
    QCOMPARE(a.Call("GetBitStatus", {27, 0}), QStringLiteral("Bridge Hardware Fault"));
    QCOMPARE(a.Call("GetBitStatus", {0, 1}), bits.CellText(0, 1));
    QCOMPARE(a.Call("GetBitStatus", {10000, 0}), kInvalidRow);
    QCOMPARE(a.Call("GetBitStatus", {-7, 1}), QString());

    const CStatusGrid& numeric = *a.NumericPage().Grid();
    const QString volts = numeric.CellText(busVoltage, CNumStatusPanelDlg::StatusColumn);
    QVERIFY(!volts.isEmpty());
    QCOMPARE(a.Call("GetNumericStatus", {busVoltage, CNumStatusPanelDlg::StatusColumn}), volts);
    QCOMPARE(a.Call("GetNumericStatus", {0, 10000}), kInvalidColumn);
    QCOMPARE(a.Call("EnableNumericStatus", {0, false}), QStringLiteral("Success"));
    QVERIFY(numeric.IsCellChecked(busVoltage, CNumStatusPanelDlg::CheckColumn));

    // A later update shows through the next call.
    a.Drive().PowerCycle();
    a.BitPage().ManualUpdate();
    QCOMPARE(a.Call("GetBitStatus", {27, 1}), QStringLiteral("Ready"));
}

void TestAutomation::secondCopyDoesNotTakeTheName()
{
    if (!HaveSessionBus())
        QSKIP("No session bus; run under dbus-run-session");
    AutomationServer first;
    QVERIFY(first.Register(QDBusConnection::sessionBus()));
    const QString name = QStringLiteral("second copy");
    {
        AutomationServer second;
        QVERIFY(!second.Register(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)));
        QVERIFY(!second.IsRegistered());
    }
    QDBusConnection::disconnectFromBus(name);
    QVERIFY(first.IsRegistered());
}

void TestAutomation::gdbusReadsACell()
{
    if (!HaveSessionBus())
        QSKIP("No session bus; run under dbus-run-session");
    const QString gdbus = QStandardPaths::findExecutable(QStringLiteral("gdbus"));
    if (gdbus.isEmpty())
        QSKIP("gdbus is not installed");
    Automated a;
    QVERIFY(a.registered);
    QVERIFY(a.Drive().LatchFault(36)); // motor temperature fault
    a.BitPage().ManualUpdate();

    // The command line the README shows.
    QProcess process;
    process.start(gdbus,
                  {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                   QStringLiteral("com.tamsel.OrvexSupportTool"), QStringLiteral("--object-path"),
                   QStringLiteral("/KVTProxy"), QStringLiteral("--method"),
                   QStringLiteral("com.tamsel.OrvexSupportTool.KVTProxy.GetBitStatus"),
                   QStringLiteral("36"), QStringLiteral("1")});
    // This process answers the call, so its event loop must run meanwhile.
    QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 10000);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
             QStringLiteral("('Operational Fault',)"));
}

void TestAutomation::noSessionBusMeansNoAutomation()
{
    // A desktop without a session bus gets no bus launched for the object.
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toUtf8() + "/no-such-runtime-dir");
    AutomationServer server;
    const bool registered = server.RegisterOnSessionBus();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime);
    QVERIFY(!registered);
    QVERIFY(!server.IsRegistered());
}

QTEST_MAIN(TestAutomation)
#include "tst_automation.moc"
