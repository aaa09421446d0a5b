#include "FakeMainWindow.h"
#include "NumStatusPanelDlg.h"
#include "OrvexStatus.h"
#include "PageIds.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

using namespace Orvex;

namespace {

constexpr int kStatus = CNumStatusPanelDlg::StatusColumn;
constexpr int kCheck = CNumStatusPanelDlg::CheckColumn;
const QString kSelection =
    QStringLiteral("Numeric Status Update: You need to select one or more status items.");
const QString kUnread = QStringLiteral("<unread>");

// The page on the simulated drive with the program's real bridge and link.
struct Program : OrvexTest::SimulatedProgram
{
    Program() : page(context, main)
    {
        main.Port = SimulatorPort();
        page.OnSetActive();
        // A marker in every status cell shows which ones an update wrote, even
        // an empty value (an unconfigured drive has no motor name).
        for (int row = 0; row < Grid().rowCount(); ++row)
            Grid().SetCellText(row, kStatus, kUnread);
    }

    CStatusGrid& Grid() const { return *page.Grid(); }
    template <class T = QPushButton> T* Child(const char* name) const
    {
        return page.findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* button) const { Child(button)->click(); }
    QString Label(int row) const { return Grid().verticalHeaderItem(row)->text(); }
    int Row(const QString& label) const
    {
        for (int row = 0; row < Grid().rowCount(); ++row) {
            if (Label(row) == label)
                return row;
        }
        return -1;
    }
    void Tick(const QString& label, bool on = true) const
    {
        Grid().SetCellCheckBox(Row(label), kCheck, on);
    }
    QString Value(const QString& label) const { return Grid().CellText(Row(label), kStatus); }
    // The rows whose status cell an update wrote.
    QStringList FilledRows() const
    {
        QStringList labels;
        for (int row = 0; row < Grid().rowCount(); ++row) {
            if (Grid().CellText(row, kStatus) != kUnread)
                labels << Label(row);
        }
        return labels;
    }

    OrvexTest::FakeMainWindow main;
    CNumStatusPanelDlg page;
};

// A status object that answers every item with a value of its own: floats
// their dispatch id + 0.5, integers minus their dispatch id, texts their
// getter's name broken into lines. Records the masks of every upload.
class ItemStatus final : public IOrvexStatus
{
public:
    explicit ItemStatus(std::vector<std::pair<int, int>>& uploads) : m_uploads(uploads) {}

    QString Version() const override { return QStringLiteral("1.0.0"); }
    void SetPortNumber(int) override {}
    int TestConnection() override { return -1; }
    void UploadStatus() override {}
    bool BitState(int) override { return false; }
    bool DriveFaultOutput() override { return false; }
    bool BrakeRelayEnergized() override { return false; }
    void UploadNumericStatus(int selectionMask, int upperMask) override
    {
        m_uploads.emplace_back(selectionMask, upperMask);
    }
    QString SerialNumber() override { return QStringLiteral("Serial\r\nNumber"); }
    QString MotorName() override { return QStringLiteral("Motor\r\nName"); }
    QString OsRevision() override { return QStringLiteral("Os\r\nRe\r\nvision"); }
    float AmplifierContinuousCurrent() override { return 117.5f; }
    float AmplifierPeakCurrent() override { return 118.5f; }
    int CustomFirmwareCode() override { return -119; }
    int PowerLevel() override { return -120; }
    QString OperatingHours() override { return QStringLiteral("Operating\r\nHours"); }
    float DriveTemperature() override { return 125.5f; }
    float MotorTemperature() override { return 126.5f; }
    float BusVoltage() override { return 127.5f; }
    int HoursPoweredUp() override { return -143; }
    float CommandedCurrent() override { return 128.5f; }
    float CommandedTorque() override { return 129.5f; }
    float FeedbackTorque() override { return 130.5f; }
    float CommandedVelocity() override { return 131.5f; }
    float FeedbackVelocity() override { return 132.5f; }
    float VelocityError() override { return 133.5f; }
    int CommandedPosition() override { return -134; }
    int FeedbackPosition() override { return -135; }
    int PositionError() override { return -136; }
    float AnalogInputVoltage() override { return 141.5f; }
    int HallEffectState() override { return -145; }
    float PwmUpdatePeriod() override { return 146.5f; }

private:
    std::vector<std::pair<int, int>>& m_uploads;
};

} // namespace

class tst_NumericStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A new page shows nothing ticked; activation names rows 5 to 9 after
    // the motor type, and the radios switch pages.
    void pageFollowsTheMotorTypeAndRadiosSwitchPages()
    {
        Program p;
        CNumStatusPanelDlg fresh(p.context, p.main);
        const CStatusGrid& grid = *fresh.Grid();
        QCOMPARE(grid.rowCount(), 24);
        for (int row = 0; row < grid.rowCount(); ++row) {
            QVERIFY(!grid.IsCellChecked(row, kCheck));
            QVERIFY(grid.CellText(row, kStatus).isEmpty());
            QCOMPARE(grid.CellBackground(row, kStatus), QColor(211, 211, 211));
        }
        QCOMPARE(grid.horizontalHeaderItem(1)->text(), "Description");
        QCOMPARE(grid.horizontalHeaderItem(kStatus)->text(), "Status");

        const auto descriptions = [&p](int linear, std::initializer_list<int> rows) {
            p.config->SetMotorIsLinear(linear);
            p.page.OnSetActive();
            QStringList texts;
            for (int row : rows)
                texts << p.Grid().CellText(row, CNumStatusPanelDlg::DescriptionColumn);
            return texts;
        };
        QCOMPARE(
            descriptions(1, {5, 6, 7, 8, 9}),
            (QStringList{"Commanded Force (N)", "Feedback Force (N)", "Commanded Velocity (mps)",
                         "Feedback Velocity (mps)", "Velocity Error (mps)"}));
        QCOMPARE(p.main.Title, "Status Panel");
        QVERIFY(p.Child<QRadioButton>("numericStatusRadio")->isChecked());
        QCOMPARE(descriptions(0, {5, 6, 7, 8, 9}),
                 (QStringList{"Commanded Torque (Nm)", "Feedback Torque (Nm)",
                              "Commanded Velocity (rps)", "Feedback Velocity (rps)",
                              "Velocity Error (rps)"}));
        // Other rows read the same for both motors.
        QCOMPARE(
            descriptions(1, {4, 14, 20}),
            (QStringList{"Commanded Current (A)", QStringLiteral("Drive Temperature (\u00B0C)"),
                         QStringLiteral("PWM Update Period (\u00B5s)")}));

        p.Child<QRadioButton>("bitStatusRadio")->click();
        p.Child<QRadioButton>("errorLogRadio")->click();
        QCOMPARE(p.main.Pages, (std::vector<int>{PageId::BitStatusPanel, PageId::ErrorLog}));
    }

    // Each row by itself: its own bit goes to the drive, and its cell alone
    // shows its own item, formatted by kind (floats with two places, the OS
    // revision on one line, other texts as they come).
    void everyRowReadsItsOwnItem_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("bit");
        QTest::addColumn<QString>("shown");
        // Label, bit, text shown.
        const std::tuple<const char*, int, const char*> rows[] = {
            {"S3", 0x8, "117.50"},         {"S5", 0x10, "118.50"},
            {"S7", 0x20, "-119"},          {"S9", 0x40, "-120"},
            {"S10", 0x800, "128.50"},      {"S12", 0x1000, "129.50"},
            {"S14", 0x2000, "130.50"},     {"S16", 0x4000, "131.50"},
            {"S18", 0x8000, "132.50"},     {"S20", 0x10000, "133.50"},
            {"S22", 0x20000, "-134"},      {"S25", 0x40000, "-135"},
            {"S28", 0x80000, "-136"},      {"S35", 0x200000, "141.50"},
            {"S38", 0x100, "125.50"},      {"S40", 0x200, "126.50"},
            {"S42", 0x400, "127.50"},      {"S45", 0x80, "Operating\r\nHours"},
            {"S52", 0x800000, "-143"},     {"S55", 0x1000000, "-145"},
            {"S57", 0x2000000, "146.50"},  {"X7", 0x4, "Os Re vision"},
            {"X12", 0x2, "Motor\r\nName"}, {"X18", 0x1, "Serial\r\nNumber"}};
        for (const auto& [label, bit, shown] : rows)
            QTest::newRow(label) << QString::fromLatin1(label) << bit << QString::fromLatin1(shown);
    }

    void everyRowReadsItsOwnItem()
    {
        QFETCH(QString, label);
        QFETCH(int, bit);
        QFETCH(QString, shown);
        Program p;
        std::vector<std::pair<int, int>> uploads;
        p.factory.Register(QString::fromLatin1(ProgId::BridgeStatus),
                           [&uploads] { return std::make_unique<ItemStatus>(uploads); });
        p.Tick(label);
        p.Click("manualUpdateButton");
        QCOMPARE(uploads, (std::vector<std::pair<int, int>>{{bit, 0}}));
        QCOMPARE(p.FilledRows(), QStringList{label});
        QCOMPARE(p.Value(label), shown);
    }

    void manualUpdateReadsOnlyTickedRows()
    {
        Program p;
        for (const char* label : {"S3", "S9", "X12", "X18"})
            p.Tick(label);
        p.Click("manualUpdateButton");
        QVERIFY(p.ui.Messages.empty());
        QCOMPARE(p.FilledRows(), (QStringList{"S3", "S9", "X12", "X18"}));
        QCOMPARE(p.ui.WaitTexts,
                 (QStringList{"Testing Orvex connection...", "Uploading Orvex numeric status..."}));
        QCOMPARE(p.ui.OpenWaitWindows, 0);

        // Unticked rows keep what they last showed.
        p.Tick("X18", false);
        for (const char* label : {"S10", "S57", "X7"})
            p.Tick(label);
        p.Click("manualUpdateButton");
        QCOMPARE(p.FilledRows(), (QStringList{"S3", "S9", "S10", "S57", "X7", "X12", "X18"}));
        QCOMPARE(p.Value("X18"), SimulatedDrive::SerialNumber());
        // The simulated drive answers its OS revision on two lines; they show as one.
        QCOMPARE(p.Value("X7"), SimulatedDrive::OsRevision() + QStringLiteral(" Built 2024-03-18"));
    }

    void updatesNeedASelection()
    {
        Program p;
        const int before = p.Drive().CommandsReceived();
        p.Click("manualUpdateButton");
        p.Click("autoUpdateButton");
        QCOMPARE(OrvexTest::Messages(p.ui), QStringList(2, kSelection));
        QVERIFY(p.ui.WaitTexts.isEmpty());
        QCOMPARE(p.Drive().CommandsReceived(), before);
        QVERIFY(!p.page.IsAutoUpdating());

        // Every row has a bit of its own, so the mask shows every box ticked.
        p.Click("selectAllButton");
        QCOMPARE(p.page.SelectionMask(), 0x3AFFFFFu);
        p.Click("manualUpdateButton");
        QCOMPARE(p.FilledRows().size(), 24);
        p.Click("clearAllButton");
        QCOMPARE(p.page.SelectionMask(), 0u);
        p.Click("manualUpdateButton");
        QCOMPARE(OrvexTest::Messages(p.ui), QStringList(3, kSelection));
    }

    // Both buttons report a drive they cannot reach, or a missing status
    // object, and leave the grid and the page as they were.
    void failedConnectionLeavesTheGrid_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("silent drive") << 0 << "Communications Error: No response from Orvex drive";
        QTest::newRow("no OS") << 1 << "Communications Error: OS needs to be downloaded";
        QTest::newRow("corrupt OS") << 2 << "Communications Error: Cycle power and download OS";
        QTest::newRow("no status object") << 3 << "Status Update Error: IStatus not created";
    }

    void failedConnectionLeavesTheGrid()
    {
        QFETCH(int, failure);
        QFETCH(QString, message);
        Program p;
        p.Tick("X18");
        p.Click("manualUpdateButton");
        if (failure == 0)
            p.Drive().SetNoAnswer(true);
        else if (failure < 3)
            p.Drive().SetOsState(failure == 1 ? SimulatedDrive::OsState::Missing
                                              : SimulatedDrive::OsState::Corrupt);
        else
            p.factory.Unregister(QString::fromLatin1(ProgId::BridgeStatus));
        for (int i = 0; failure == 3 && i < 2; ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("0x80040154")));
        p.Tick("S9");
        p.Click("autoUpdateButton");
        QVERIFY(!p.page.IsAutoUpdating());
        p.Click("manualUpdateButton");
        QCOMPARE(OrvexTest::Messages(p.ui), QStringList(2, message));
        QCOMPARE(p.FilledRows(), QStringList{"X18"});
        QCOMPARE(p.ui.OpenWaitWindows, 0);
    }

    void autoUpdate()
    {
        Program p;
        const auto idle = [&p](bool idle) {
            QCOMPARE(p.page.IsAutoUpdating(), !idle);
            QCOMPARE(p.Child<QLabel>("updatingText")->isHidden(), idle);
            QCOMPARE(p.Child("autoUpdateButton")->text(),
                     idle ? "Start Auto Update" : "Stop Auto Update");
            for (const char* name : {"manualUpdateButton", "selectAllButton", "clearAllButton"})
                QVERIFY2(p.Child(name)->isEnabled() == idle, name);
        };
        idle(true);
        p.Tick("X18");
        p.Click("autoUpdateButton");
        idle(false);
        auto* updating = p.Child<QLabel>("updatingText");
        QCOMPARE(updating->text(), "Updating...");
        // The first values come with the first tick of the real one-second timer.
        QCOMPARE(p.Value("X18"), kUnread);
        QTRY_COMPARE_WITH_TIMEOUT(p.Value("X18"), SimulatedDrive::SerialNumber(), 5000);

        // A row ticked meanwhile is read from the next tick on; the notice blinks.
        p.Tick("S9");
        QStringList shown;
        for (int tick = 0; tick < 4; ++tick) {
            p.page.OnTimerTick();
            shown << updating->text();
        }
        QCOMPARE(p.FilledRows(), (QStringList{"S9", "X18"}));
        QCOMPARE(QSet<QString>(shown.begin(), shown.begin() + 2),
                 (QSet<QString>{QStringLiteral("Updating..."), QString()}));
        QCOMPARE(shown.mid(2), shown.mid(0, 2));

        // Stopping needs a selection too.
        p.Tick("S9", false);
        p.Tick("X18", false);
        p.Click("autoUpdateButton");
        QCOMPARE(OrvexTest::Messages(p.ui), QStringList{kSelection});
        QVERIFY(p.page.IsAutoUpdating());
        p.Tick("X18");
        p.Click("autoUpdateButton");
        idle(true);
        const int before = p.Drive().CommandsReceived();
        p.page.OnTimerTick();
        QCOMPARE(p.Drive().CommandsReceived(), before);

        // Leaving the page stops it as well.
        p.Click("autoUpdateButton");
        p.page.OnKillActive();
        idle(true);

        // A drive that falls silent stops it with one message; the last value stays.
        p.Click("autoUpdateButton");
        p.Drive().SetNoAnswer(true);
        p.page.OnTimerTick();
        p.page.OnTimerTick();
        idle(true);
        QCOMPARE(OrvexTest::Messages(p.ui),
                 (QStringList{kSelection, "Communications Error: No response from Orvex drive"}));
        QCOMPARE(p.Value("X18"), SimulatedDrive::SerialNumber());
    }
};

QTEST_MAIN(tst_NumericStatus)
#include "tst_numericstatus.moc"
