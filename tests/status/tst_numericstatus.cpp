#include "AppContext.h"
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "FakeMainWindow.h"
#include "FakeUiServices.h"
#include "NumStatusPanelDlg.h"
#include "NumericStatusTable.h"
#include "OrvexConfig.h"
#include "OrvexStatus.h"
#include "PageIds.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace Orvex;

namespace {

constexpr int kStatus = CNumStatusPanelDlg::StatusColumn;
constexpr int kDescription = CNumStatusPanelDlg::DescriptionColumn;
constexpr int kCheck = CNumStatusPanelDlg::CheckColumn;

const QString kSelectionCaption = QStringLiteral("Numeric Status Update");
const QString kSelectionText = QStringLiteral("You need to select one or more status items.");
const QString kUnread = QStringLiteral("<unread>");

// The page on the simulated drive with the program's real bridge and link.
struct Program : OrvexTest::SimulatedProgram
{
    Program() : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR)), page(context, main)
    {
        for (const PortRegistry::PortEntry& entry : ports.EnumerateSerialPorts()) {
            if (entry.SystemLocation == BuiltInComponents::SimulatorKey())
                main.Port = entry.Number;
        }
        page.OnSetActive();
        MarkAll();
    }

    SimulatedDrive& Drive() const { return *components.Drive(); }
    CStatusGrid& Grid() const { return *page.Grid(); }
    template <class T> T* Child(const char* name) const
    {
        return page.findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* button) const { Child<QPushButton>(button)->click(); }
    void Tick(const QString& label) const { Grid().SetCellCheckBox(Row(label), kCheck, true); }
    static int Row(const QString& label)
    {
        for (int row = 0; row < NumericStatusRowCount; ++row) {
            if (QLatin1String(NumericStatusTable[static_cast<size_t>(row)].Label) == label)
                return row;
        }
        return -1;
    }
    QString Value(const QString& label) const { return Grid().CellText(Row(label), kStatus); }
    // Puts a marker in every status cell, so an update that writes an empty
    // value (an unconfigured drive has no motor name) still shows.
    void MarkAll() const
    {
        for (int row = 0; row < NumericStatusRowCount; ++row)
            Grid().SetCellText(row, kStatus, kUnread);
    }
    // The rows whose status cell an update wrote since MarkAll.
    QStringList FilledRows() const
    {
        QStringList labels;
        for (int row = 0; row < NumericStatusRowCount; ++row) {
            if (Grid().CellText(row, kStatus) != kUnread)
                labels << QLatin1String(NumericStatusTable[static_cast<size_t>(row)].Label);
        }
        return labels;
    }

    OrvexTest::FakeMainWindow main;
    CNumStatusPanelDlg page;
};

// A status object whose values a test sets, recording the masks it is asked for.
class ScriptedStatus final : public IOrvexStatus
{
public:
    struct Script
    {
        std::vector<std::pair<int, int>> Uploads;
        QString Text;
        float Float = 0.0f;
        int Int = 0;
    };
    explicit ScriptedStatus(Script& script) : m_script(script) {}

    QString Version() const override { return QStringLiteral("1.0.0"); }
    void SetPortNumber(int) override {}
    int TestConnection() override { return -1; }
    void UploadStatus() override {}
    bool BitState(int) override { return false; }
    bool DriveFaultOutput() override { return false; }
    bool BrakeRelayEnergized() override { return false; }
    void UploadNumericStatus(int selectionMask, int upperMask) override
    {
        m_script.Uploads.emplace_back(selectionMask, upperMask);
    }
    QString SerialNumber() override { return m_script.Text; }
    QString MotorName() override { return m_script.Text; }
    QString OsRevision() override { return m_script.Text; }
    float AmplifierContinuousCurrent() override { return m_script.Float; }
    float AmplifierPeakCurrent() override { return m_script.Float; }
    int CustomFirmwareCode() override { return m_script.Int; }
    int PowerLevel() override { return m_script.Int; }
    QString OperatingHours() override { return m_script.Text; }
    float DriveTemperature() override { return m_script.Float; }
    float MotorTemperature() override { return m_script.Float; }
    float BusVoltage() override { return m_script.Float; }
    int HoursPoweredUp() override { return m_script.Int; }
    float CommandedCurrent() override { return m_script.Float; }
    float CommandedTorque() override { return m_script.Float; }
    float FeedbackTorque() override { return m_script.Float; }
    float CommandedVelocity() override { return m_script.Float; }
    float FeedbackVelocity() override { return m_script.Float; }
    float VelocityError() override { return m_script.Float; }
    int CommandedPosition() override { return m_script.Int; }
    int FeedbackPosition() override { return m_script.Int; }
    int PositionError() override { return m_script.Int; }
    float AnalogInputVoltage() override { return m_script.Float; }
    int HallEffectState() override { return m_script.Int; }
    float PwmUpdatePeriod() override { return m_script.Float; }

private:
    Script& m_script;
};

void UseScriptedStatus(Program& p, ScriptedStatus::Script& script)
{
    p.factory.Register(QString::fromLatin1(ProgId::BridgeStatus),
                       [&script] { return std::make_unique<ScriptedStatus>(script); });
}

} // namespace

class tst_NumericStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableSelectsEachItemByItsOwnBit();
    void newPageShowsNothingTicked();
    void descriptionsFollowTheMotorType_data();
    void descriptionsFollowTheMotorType();
    void manualUpdateReadsOnlyTickedRows_data();
    void manualUpdateReadsOnlyTickedRows();
    void uncheckedRowsKeepTheirLastValue();
    void osRevisionShowsOnOneLine();
    void nothingTickedAsksForASelection_data();
    void nothingTickedAsksForASelection();
    void selectAllAndClearAll();
    void selectionSendsItsMask_data();
    void selectionSendsItsMask();
    void valuesAreFormattedByKind_data();
    void valuesAreFormattedByKind();
    void failedConnectionLeavesTheGrid_data();
    void failedConnectionLeavesTheGrid();
    void missingStatusObjectIsReported();
    void autoUpdateShowsFirstValuesAtFirstTick();
    void autoUpdateBlinksAndStops();
    void silentDriveStopsAutoUpdateWithOneMessage();
    void leavingThePageStopsAutoUpdate();
    void stopWithNothingTickedKeepsUpdating();
    void radiosSwitchPages_data();
    void radiosSwitchPages();
};

void tst_NumericStatus::tableSelectsEachItemByItsOwnBit()
{
    std::set<QString> labels;
    std::uint32_t all = 0;
    for (const NumericStatusRow& row : NumericStatusTable) {
        QVERIFY2(row.ItemBit != 0 && (row.ItemBit & (row.ItemBit - 1)) == 0, row.Label);
        QVERIFY2((all & row.ItemBit) == 0, row.Label);
        all |= row.ItemBit;
        labels.insert(QString::fromLatin1(row.Label));
    }
    QCOMPARE(static_cast<int>(labels.size()), NumericStatusRowCount);
    // Two bits of the word belong to no item.
    QCOMPARE(all, 0x3FFFFFFu & ~0x500000u);
}

void tst_NumericStatus::newPageShowsNothingTicked()
{
    Program p;
    CNumStatusPanelDlg page(p.context, p.main);
    const CStatusGrid& grid = *page.Grid();
    QCOMPARE(grid.rowCount(), NumericStatusRowCount);
    for (int row = 0; row < NumericStatusRowCount; ++row) {
        QVERIFY(!grid.IsCellChecked(row, kCheck));
        QVERIFY(grid.CellText(row, kStatus).isEmpty());
        QCOMPARE(grid.CellBackground(row, kStatus), QColor(211, 211, 211));
    }
    QCOMPARE(grid.horizontalHeaderItem(kDescription)->text(), QStringLiteral("Description"));
    QCOMPARE(grid.horizontalHeaderItem(kStatus)->text(), QStringLiteral("Status"));
    QCOMPARE(page.SelectionMask(), 0u);
}

void tst_NumericStatus::descriptionsFollowTheMotorType_data()
{
    QTest::addColumn<int>("linear");
    QTest::addColumn<QStringList>("rows5to9");
    QTest::newRow("rotary") << 0
                            << QStringList{"Commanded Torque (Nm)", "Feedback Torque (Nm)",
                                           "Commanded Velocity (rps)", "Feedback Velocity (rps)",
                                           "Velocity Error (rps)"};
    QTest::newRow("linear") << 1
                            << QStringList{"Commanded Force (N)", "Feedback Force (N)",
                                           "Commanded Velocity (mps)", "Feedback Velocity (mps)",
                                           "Velocity Error (mps)"};
}

void tst_NumericStatus::descriptionsFollowTheMotorType()
{
    QFETCH(int, linear);
    QFETCH(QStringList, rows5to9);
    Program p;
    // Shown once the other way, so the texts must really switch on activation.
    p.config->SetMotorIsLinear(linear == 0 ? 1 : 0);
    p.page.OnSetActive();
    p.config->SetMotorIsLinear(linear);
    p.page.OnSetActive();
    QCOMPARE(p.main.Title, QStringLiteral("Status Panel"));
    QVERIFY(p.Child<QRadioButton>("numericStatusRadio")->isChecked());
    for (int i = 0; i < rows5to9.size(); ++i)
        QCOMPARE(p.Grid().CellText(5 + i, kDescription), rows5to9[i]);
    // Rows outside 5 to 9 read the same for both motors.
    QCOMPARE(p.Grid().CellText(4, kDescription), QStringLiteral("Commanded Current (A)"));
    QCOMPARE(p.Grid().CellText(14, kDescription), QStringLiteral("Drive Temperature (\u00B0C)"));
    QCOMPARE(p.Grid().CellText(20, kDescription), QStringLiteral("PWM Update Period (\u00B5s)"));
}

void tst_NumericStatus::manualUpdateReadsOnlyTickedRows_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::newRow("serial number") << QStringList{"X18"};
    QTest::newRow("ratings and identity") << QStringList{"S3", "S9", "X12", "X18"};
    QTest::newRow("measurements") << QStringList{"S10", "S22", "S38", "S42", "S45", "S57"};
}

void tst_NumericStatus::manualUpdateReadsOnlyTickedRows()
{
    QFETCH(QStringList, ticked);
    Program p;
    for (const QString& label : ticked)
        p.Tick(label);
    p.Click("manualUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(0));
    QCOMPARE(p.FilledRows(), ticked);
    if (ticked.contains(QStringLiteral("X18")))
        QCOMPARE(p.Value(QStringLiteral("X18")), SimulatedDrive::SerialNumber());
    QCOMPARE(p.ui.WaitTexts,
             (QStringList{"Testing Orvex connection...", "Uploading Orvex numeric status..."}));
    QCOMPARE(p.ui.OpenWaitWindows, 0);
}

void tst_NumericStatus::uncheckedRowsKeepTheirLastValue()
{
    Program p;
    p.Tick(QStringLiteral("X18"));
    p.Click("manualUpdateButton");
    QCOMPARE(p.Value(QStringLiteral("X18")), SimulatedDrive::SerialNumber());
    p.Grid().SetCellCheckBox(Program::Row(QStringLiteral("X18")), kCheck, false);
    p.Tick(QStringLiteral("S9"));
    p.Click("manualUpdateButton");
    QCOMPARE(p.FilledRows(), (QStringList{"S9", "X18"}));
    QCOMPARE(p.Value(QStringLiteral("X18")), SimulatedDrive::SerialNumber());
}

void tst_NumericStatus::osRevisionShowsOnOneLine()
{
    Program p;
    p.Tick(QStringLiteral("X7"));
    p.Click("manualUpdateButton");
    const QString shown = p.Value(QStringLiteral("X7"));
    // The simulated drive answers its revision on two lines.
    QVERIFY2(shown.startsWith(SimulatedDrive::OsRevision() + QLatin1Char(' ')), qPrintable(shown));
    QVERIFY(shown.size() > SimulatedDrive::OsRevision().size() + 1);
    QVERIFY(!shown.contains(QLatin1Char('\r')) && !shown.contains(QLatin1Char('\n')));
}

void tst_NumericStatus::nothingTickedAsksForASelection_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("manual") << QStringLiteral("manualUpdateButton");
    QTest::newRow("auto") << QStringLiteral("autoUpdateButton");
}

void tst_NumericStatus::nothingTickedAsksForASelection()
{
    QFETCH(QString, button);
    Program p;
    const int before = p.Drive().CommandsReceived();
    p.Click(qPrintable(button));
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, kSelectionCaption);
    QCOMPARE(p.ui.Messages[0].Text, kSelectionText);
    QVERIFY(p.ui.WaitTexts.isEmpty());
    QCOMPARE(p.Drive().CommandsReceived(), before);
    QVERIFY(!p.page.IsAutoUpdating());
}

void tst_NumericStatus::selectAllAndClearAll()
{
    Program p;
    p.Click("selectAllButton");
    for (int row = 0; row < NumericStatusRowCount; ++row)
        QVERIFY(p.Grid().IsCellChecked(row, kCheck));
    p.Click("manualUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(0));
    QCOMPARE(p.FilledRows().size(), NumericStatusRowCount);

    p.Click("clearAllButton");
    QCOMPARE(p.page.SelectionMask(), 0u);
    p.Click("manualUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Text, kSelectionText);
}

void tst_NumericStatus::selectionSendsItsMask_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<int>("mask");
    QTest::newRow("serial number") << QStringList{"X18"} << 0x1;
    QTest::newRow("os revision and hours") << QStringList{"X7", "S52"} << 0x800004;
    QTest::newRow("last item") << QStringList{"S57"} << 0x2000000;
}

void tst_NumericStatus::selectionSendsItsMask()
{
    QFETCH(QStringList, ticked);
    QFETCH(int, mask);
    Program p;
    ScriptedStatus::Script script;
    UseScriptedStatus(p, script);
    for (const QString& label : ticked)
        p.Tick(label);
    p.Click("manualUpdateButton");
    QCOMPARE(script.Uploads.size(), size_t(1));
    QCOMPARE(script.Uploads[0].first, mask);
    QCOMPARE(script.Uploads[0].second, 0);
}

void tst_NumericStatus::valuesAreFormattedByKind_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<float>("floatValue");
    QTest::addColumn<int>("intValue");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("float two places") << "S42" << 48.0f << 0 << ""
                                      << "48.00";
    QTest::newRow("negative float") << "S20" << -1.25f << 0 << ""
                                    << "-1.25";
    QTest::newRow("integer") << "S25" << 0.0f << -40960 << ""
                             << "-40960";
    QTest::newRow("hours text") << "S45" << 0.0f << 0 << "0012:03:44"
                                << "0012:03:44";
    QTest::newRow("os revision lines") << "X7" << 0.0f << 0 << "3.10\r\nBuilt today\r\nB"
                                       << "3.10 Built today B";
    QTest::newRow("motor name keeps its breaks") << "X12" << 0.0f << 0 << "M\r\n2"
                                                 << "M\r\n2";
}

void tst_NumericStatus::valuesAreFormattedByKind()
{
    QFETCH(QString, label);
    QFETCH(float, floatValue);
    QFETCH(int, intValue);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    Program p;
    ScriptedStatus::Script script;
    script.Float = floatValue;
    script.Int = intValue;
    script.Text = text;
    UseScriptedStatus(p, script);
    p.Tick(label);
    p.Click("manualUpdateButton");
    QCOMPARE(p.Value(label), shown);
}

void tst_NumericStatus::failedConnectionLeavesTheGrid_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("text");
    QTest::newRow("silent drive") << 0 << QStringLiteral("No response from Orvex drive");
    QTest::newRow("no OS") << 1 << QStringLiteral("OS needs to be downloaded");
    QTest::newRow("corrupt OS") << 2 << QStringLiteral("Cycle power and download OS");
}

void tst_NumericStatus::failedConnectionLeavesTheGrid()
{
    QFETCH(int, failure);
    QFETCH(QString, text);
    Program p;
    p.Tick(QStringLiteral("X18"));
    p.Click("manualUpdateButton");
    if (failure == 0)
        p.Drive().SetNoAnswer(true);
    else
        p.Drive().SetOsState(failure == 1 ? SimulatedDrive::OsState::Missing
                                          : SimulatedDrive::OsState::Corrupt);
    p.Tick(QStringLiteral("S9"));
    p.Click("autoUpdateButton");
    QVERIFY(!p.page.IsAutoUpdating());
    p.Click("manualUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(2));
    for (const auto& message : p.ui.Messages) {
        QCOMPARE(message.Caption, QStringLiteral("Communications Error"));
        QCOMPARE(message.Text, text);
    }
    QCOMPARE(p.FilledRows(), QStringList{"X18"});
    QCOMPARE(p.ui.OpenWaitWindows, 0);
}

void tst_NumericStatus::missingStatusObjectIsReported()
{
    Program p;
    p.factory.Unregister(QString::fromLatin1(ProgId::BridgeStatus));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Error 0x80040154")));
    p.Tick(QStringLiteral("X18"));
    p.Click("autoUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Status Update Error"));
    QCOMPARE(p.ui.Messages[0].Text, QStringLiteral("IStatus not created"));
    QVERIFY(!p.page.IsAutoUpdating());
}

void tst_NumericStatus::autoUpdateShowsFirstValuesAtFirstTick()
{
    Program p;
    p.Tick(QStringLiteral("X18"));
    p.Click("autoUpdateButton");
    QVERIFY(p.page.IsAutoUpdating());
    QCOMPARE(p.Child<QPushButton>("autoUpdateButton")->text(), QStringLiteral("Stop Auto Update"));
    for (const char* name : {"manualUpdateButton", "selectAllButton", "clearAllButton"})
        QVERIFY2(!p.Child<QPushButton>(name)->isEnabled(), name);
    QCOMPARE(p.Value(QStringLiteral("X18")), kUnread);
    // The real one-second timer, not a test hook.
    QTRY_COMPARE_WITH_TIMEOUT(p.Value(QStringLiteral("X18")), SimulatedDrive::SerialNumber(), 5000);
    // A row ticked during auto update is read from the next tick on.
    p.Tick(QStringLiteral("S9"));
    p.page.OnTimerTick();
    QCOMPARE(p.FilledRows(), (QStringList{"S9", "X18"}));
    QCOMPARE(p.ui.Messages.size(), size_t(0));
    p.page.StopAutoUpdate();
}

void tst_NumericStatus::autoUpdateBlinksAndStops()
{
    Program p;
    p.Tick(QStringLiteral("S38"));
    auto* updating = p.Child<QLabel>("updatingText");
    QVERIFY(updating->isHidden());
    p.Click("autoUpdateButton");
    QVERIFY(!updating->isHidden());
    QCOMPARE(updating->text(), QStringLiteral("Updating..."));
    QStringList shown;
    for (int tick = 0; tick < 4; ++tick) {
        p.page.OnTimerTick();
        shown << updating->text();
    }
    QCOMPARE(shown.size(), 4);
    QVERIFY(shown[0] != shown[1]);
    QCOMPARE(shown[0], shown[2]);
    QCOMPARE(shown[1], shown[3]);
    QVERIFY(shown.contains(QStringLiteral("Updating...")) && shown.contains(QString()));

    p.Click("autoUpdateButton");
    QVERIFY(!p.page.IsAutoUpdating());
    QVERIFY(updating->isHidden());
    QCOMPARE(p.Child<QPushButton>("autoUpdateButton")->text(), QStringLiteral("Start Auto Update"));
    for (const char* name : {"manualUpdateButton", "selectAllButton", "clearAllButton"})
        QVERIFY2(p.Child<QPushButton>(name)->isEnabled(), name);
    const int before = p.Drive().CommandsReceived();
    p.page.OnTimerTick();
    QCOMPARE(p.Drive().CommandsReceived(), before);
}

void tst_NumericStatus::silentDriveStopsAutoUpdateWithOneMessage()
{
    Program p;
    p.Tick(QStringLiteral("X18"));
    p.Click("autoUpdateButton");
    p.page.OnTimerTick();
    QCOMPARE(p.Value(QStringLiteral("X18")), SimulatedDrive::SerialNumber());
    p.Drive().SetNoAnswer(true);
    p.page.OnTimerTick();
    QVERIFY(!p.page.IsAutoUpdating());
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Communications Error"));
    QVERIFY(!p.ui.Messages[0].Text.isEmpty());
    p.page.OnTimerTick();
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    // The last value stays on show.
    QCOMPARE(p.Value(QStringLiteral("X18")), SimulatedDrive::SerialNumber());
}

void tst_NumericStatus::leavingThePageStopsAutoUpdate()
{
    Program p;
    p.Tick(QStringLiteral("X18"));
    p.Click("autoUpdateButton");
    QVERIFY(p.page.IsAutoUpdating());
    p.page.OnKillActive();
    QVERIFY(!p.page.IsAutoUpdating());
    p.page.OnSetActive();
    QCOMPARE(p.Child<QPushButton>("autoUpdateButton")->text(), QStringLiteral("Start Auto Update"));
    QVERIFY(p.Child<QPushButton>("manualUpdateButton")->isEnabled());
}

void tst_NumericStatus::stopWithNothingTickedKeepsUpdating()
{
    Program p;
    p.Tick(QStringLiteral("X18"));
    p.Click("autoUpdateButton");
    p.Grid().SetCellCheckBox(Program::Row(QStringLiteral("X18")), kCheck, false);
    p.Click("autoUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Text, kSelectionText);
    QVERIFY(p.page.IsAutoUpdating());
    p.page.OnKillActive();
    QVERIFY(!p.page.IsAutoUpdating());
}

void tst_NumericStatus::radiosSwitchPages_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("page");
    QTest::newRow("bit status") << "bitStatusRadio" << Orvex::PageId::BitStatusPanel;
    QTest::newRow("error log") << "errorLogRadio" << Orvex::PageId::ErrorLog;
}

void tst_NumericStatus::radiosSwitchPages()
{
    QFETCH(QString, radio);
    QFETCH(int, page);
    Program p;
    QVERIFY(p.main.Pages.empty());
    p.Child<QRadioButton>(qPrintable(radio))->click();
    QCOMPARE(p.main.Pages, std::vector<int>{page});
}

QTEST_MAIN(tst_NumericStatus)
#include "tst_numericstatus.moc"
