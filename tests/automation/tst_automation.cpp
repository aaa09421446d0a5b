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

} // namespace

class TestAutomation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The bit grid has 66 rows and 2 columns, the numeric one 24 rows.
    void cellRules_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");   // of the bit grid
        QTest::addColumn<QString>("enable"); // the answer of EnableNumericStatus(row)
        const QString ok = QStringLiteral("Success");
        QTest::newRow("last cell") << 65 << 1 << QStringLiteral("r65c1") << kInvalidRow;
        QTest::newRow("row before column") << 10000 << 10000 << kInvalidRow << kInvalidRow;
        QTest::newRow("largest row") << INT_MAX << 0 << kInvalidRow << kInvalidRow;
        QTest::newRow("row one past the count") << 67 << 0 << kInvalidRow << kInvalidRow;
        QTest::newRow("row equal to the count") << 66 << 0 << QString() << kInvalidRow;
        QTest::newRow("column equal to the count") << 0 << 2 << QString() << ok;
        QTest::newRow("column one past the count") << 0 << 3 << kInvalidColumn << ok;
        QTest::newRow("negative row") << -1 << 0 << QString() << ok;
        QTest::newRow("numeric row count") << 24 << 0 << QStringLiteral("r24c0") << ok;
        QTest::newRow("numeric row count + 1") << 25 << 1 << QStringLiteral("r25c1") << kInvalidRow;
    }

    void cellRules()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, enable);
        const auto bit = NamedGrid(66, 2);
        CStatusGrid numeric(24,
                            {QString(), QStringLiteral("Description"), QStringLiteral("Status")});
        for (int r = 0; r < 24; ++r)
            numeric.SetCellCheckBox(r, 0, r % 2 == 0);
        FixedGrids grids;
        grids.Bit = bit.get();
        grids.Numeric = &numeric;
        CKVTProxy proxy;
        proxy.SetGrids(&grids);
        QCOMPARE(proxy.GetBitStatus(row, column), text);
        // Enabling answers only; the panel's check boxes stay as they are.
        QCOMPARE(proxy.EnableNumericStatus(row, true), enable);
        QCOMPARE(proxy.EnableNumericStatus(row, false), enable);
        for (int r = 0; r < 24; ++r)
            QCOMPARE(numeric.IsCellChecked(r, 0), r % 2 == 0);
    }

    void noWindowYet()
    {
        // Before the main window exists there is nothing to read.
        CKVTProxy proxy;
        QCOMPARE(proxy.GetBitStatus(0, 0), QString());
        QCOMPARE(proxy.GetBitStatus(1, 0), kInvalidRow);
        QCOMPARE(proxy.GetNumericStatus(0, 1), kInvalidColumn);
        QCOMPARE(proxy.EnableNumericStatus(0, true), QStringLiteral("Success"));
    }

    // The program on the simulated drive with its automation object on the
    // session bus; a second connection, and gdbus with the README's command
    // line, play the outside client. A second copy of the program, on a
    // connection of its own, must not take the name over.
    void busReadsWhatThePanelsShow()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("No session bus; run under dbus-run-session");
        OrvexTest::SimulatedProgram program(QStringLiteral(ORVEX_TEST_DATA_DIR));
        COrvexSupportToolDlg window(program.context, program.ports, nullptr);
        window.OnInitDialog();
        AutomationServer server;
        QVERIFY(server.Register(QDBusConnection::sessionBus()));
        server.SetGrids(&window);
        const QString secondName = QStringLiteral("second copy");
        {
            AutomationServer second;
            QVERIFY(!second.Register(
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, secondName)));
            QVERIFY(!second.IsRegistered());
        }
        QDBusConnection::disconnectFromBus(secondName);
        QVERIFY(server.IsRegistered());
        const QString clientName = QStringLiteral("automation client");
        QDBusConnection client =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, clientName);
        const auto call = [&client](const char* method, const QVariantList& arguments) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QString::fromLatin1(AutomationService), QString::fromLatin1(AutomationPath),
                QString::fromLatin1(AutomationInterface), QString::fromLatin1(method));
            call.setArguments(arguments);
            // The object lives in this process: wait with the event loop running; an
            // error reply reads as its message.
            return client.call(call, QDBus::BlockWithGui, 5000).arguments().value(0).toString();
        };
        auto& bitPage = *dynamic_cast<CBitStatusPanelDlg*>(window.Page(PageId::BitStatusPanel));
        auto& numericPage =
            *dynamic_cast<CNumStatusPanelDlg*>(window.Page(PageId::NumericStatusPanel));
        QVERIFY(program.components.Drive()->LatchFault(27)); // bridge hardware fault
        bitPage.ManualUpdate();
        int busVoltage = 0;
        while (QLatin1String(NumericStatusTable[size_t(busVoltage)].Label) != "S42")
            ++busVoltage;
        numericPage.Grid()->SetCellCheckBox(busVoltage, CNumStatusPanelDlg::CheckColumn, true);
        numericPage.ManualUpdate();
        QVERIFY(program.ui.Messages.empty());
        const CStatusGrid& bits = *bitPage.Grid();
        QCOMPARE(call("GetBitStatus", {27, 1}), QStringLiteral("Operational Fault"));
        QCOMPARE(call("GetBitStatus", {27, 0}), QStringLiteral("Bridge Hardware Fault"));
        QCOMPARE(call("GetBitStatus", {0, 1}), bits.CellText(0, 1));
        QCOMPARE(call("GetBitStatus", {10000, 0}), kInvalidRow);
        const CStatusGrid& numeric = *numericPage.Grid();
        const QString volts = numeric.CellText(busVoltage, CNumStatusPanelDlg::StatusColumn);
        QVERIFY(!volts.isEmpty());
        QCOMPARE(call("GetNumericStatus", {busVoltage, CNumStatusPanelDlg::StatusColumn}), volts);
        QCOMPARE(call("GetNumericStatus", {0, 10000}), kInvalidColumn);
        QCOMPARE(call("EnableNumericStatus", {0, false}), QStringLiteral("Success"));
        QVERIFY(numeric.IsCellChecked(busVoltage, CNumStatusPanelDlg::CheckColumn));
        const QString gdbus = QStandardPaths::findExecutable(QStringLiteral("gdbus"));
        if (!gdbus.isEmpty()) {
            QProcess process;
            process.start(gdbus, QStringLiteral("call --session --dest com.tamsel.OrvexSupportTool "
                                                "--object-path /KVTProxy --method "
                                                "com.tamsel.OrvexSupportTool.KVTProxy.GetBitStatus "
                                                "27 1")
                                     .split(QLatin1Char(' ')));
            // This process answers the call, so its event loop must run meanwhile.
            QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 10000);
            QCOMPARE(process.exitCode(), 0);
            QCOMPARE(process.readAllStandardOutput().trimmed(), "('Operational Fault',)");
        }
        // A later update shows through the next call.
        program.components.Drive()->PowerCycle();
        bitPage.ManualUpdate();
        QCOMPARE(call("GetBitStatus", {27, 1}), QStringLiteral("Ready"));
        QDBusConnection::disconnectFromBus(clientName);
    }

    void noSessionBusMeansNoAutomation()
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
};

QTEST_MAIN(TestAutomation)
#include "tst_automation.moc"
