#include "AppContext.h"
#include "BitStatusPanelDlg.h"
#include "BitStatusTable.h"
#include "ComponentFactory.h"
#include "FakeConfig.h"
#include "FakeMainWindow.h"
#include "FakeUiServices.h"
#include "OrvexConfig.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

// The program as it is built, on the simulated drive, with a bit status page
// made directly on its context and window.
struct Program : OrvexTest::SimulatedProgram
{
    Program()
        : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR)), window(context, ports, nullptr)
    {
        window.OnInitDialog();
        page = std::make_unique<CBitStatusPanelDlg>(context, window);
    }

    SimulatedDrive& Drive() const { return *components.Drive(); }
    CStatusGrid& Grid() const { return *page->Grid(); }
    QPushButton* Button(const char* name) const
    {
        return page->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QLabel* Updating() const { return page->findChild<QLabel*>(QStringLiteral("updatingLabel")); }
    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }
    // Every status cell matches what the drive itself reports.
    void VerifyGridMatchesDrive() const
    {
        const quint64 bits = Drive().ErrorBits();
        for (int row = 0; row < 64; ++row) {
            const BitStatusLook look =
                BitLook(BitStatusTable[static_cast<size_t>(row)].Category, (bits >> row) & 1u);
            QCOMPARE(Grid().CellText(row, 1), look.Text);
            QCOMPARE(Grid().CellBackground(row, 1), look.Background);
        }
        QCOMPARE(Grid().CellText(DriveFaultOutputRow, 1), OutputLook(Drive().FaultOutput()).Text);
        QCOMPARE(Grid().CellText(BrakeRelayRow, 1), OutputLook(Drive().BrakeRelayEnergized()).Text);
    }
    bool IsIdle() const
    {
        return !page->IsAutoUpdating() && !page->IsTimerRunning() && !page->HasStatusObject() &&
               Button("autoUpdateButton")->text() == QLatin1String("Start Auto Update") &&
               Button("manualUpdateButton")->isEnabled() && Updating()->isHidden();
    }

    COrvexSupportToolDlg window;
    std::unique_ptr<CBitStatusPanelDlg> page;
};

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kGrey(211, 211, 211);

} // namespace

class TestBitStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableRows_data();
    void tableRows();
    void tableLabelsRunInBitOrder();
    void cellLook_data();
    void cellLook();
    void gridStartsEmptyOnGrey();
    void manualUpdateShowsLatchedBit_data();
    void manualUpdateShowsLatchedBit();
    void manualUpdateFollowsEnableState_data();
    void manualUpdateFollowsEnableState();
    void failingConnectionTestKeepsGrid_data();
    void failingConnectionTestKeepsGrid();
    void autoUpdateRefreshesOnEveryTick();
    void updatingNoticeBlinks();
    void silentDriveStopsAutoUpdateWithOneMessage();
    void leavingThePageStopsAutoUpdate();
    void radiosSwitchPages_data();
    void radiosSwitchPages();
    void checkCellsReportOnlyUserChanges();
};

void TestBitStatus::tableRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("description");

    QTest::newRow("first") << 0 << "E0" << 0 << "Motor Configuration Warning";
    QTest::newRow("two spaces") << 12 << "E12" << 0
                                << "Peak current set too high.  Used drive's value.";
    QTest::newRow("first reserved") << 19 << "E19" << 2 << "Reserved";
    QTest::newRow("last first-block reserved") << 24 << "E24" << 2 << "Reserved";
    QTest::newRow("regeneration fault") << 32 << "E32" << 4 << "Power Regenration Fault";
    QTest::newRow("disabled") << 39 << "E39" << 5 << "Drive Disabled";
    QTest::newRow("hardware enable") << 46 << "E46" << 5 << "No Hardware Enable";
    QTest::newRow("control power") << 48 << "E48" << 5 << "Control Power";
    QTest::newRow("second reserved") << 49 << "E49" << 6 << "Reserved";
    QTest::newRow("last bit") << 63 << "E63" << 6 << "Reserved";
    QTest::newRow("fault output") << 64 << "S44.0" << 5 << "Drive Fault Output";
    QTest::newRow("brake relay") << 65 << "S44.1" << 5 << "Brake Relay Energized";
}

void TestBitStatus::tableRows()
{
    QFETCH(int, row);
    QFETCH(QString, label);
    QFETCH(int, category);
    QFETCH(QString, description);

    QCOMPARE(static_cast<int>(BitStatusTable.size()), BitStatusRowCount);
    const BitStatusRow& entry = BitStatusTable[static_cast<size_t>(row)];
    QCOMPARE(QString::fromLatin1(entry.Label), label);
    QCOMPARE(entry.Category, category);
    QCOMPARE(QString::fromLatin1(entry.Description), description);
}

void TestBitStatus::tableLabelsRunInBitOrder()
{
    QCOMPARE(BitStatusRowCount, 66);
    for (int row = 0; row < 64; ++row)
        QCOMPARE(QString::fromLatin1(BitStatusTable[static_cast<size_t>(row)].Label),
                 QStringLiteral("E%1").arg(row));
}

void TestBitStatus::cellLook_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<bool>("set");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("config warning set") << 0 << true << "Configuration Warning" << kYellow;
    QTest::newRow("config error set") << 1 << true << "Configuration Error" << kRed;
    QTest::newRow("reserved set") << 2 << true << "Reserved (1)" << kGrey;
    QTest::newRow("operational warning set") << 3 << true << "Operational Warning" << kYellow;
    QTest::newRow("operational fault set") << 4 << true << "Operational Fault" << kRed;
    QTest::newRow("not ready set") << 5 << true << "Not ready" << kRed;
    QTest::newRow("second reserved set") << 6 << true << "Reserved (1)" << kGrey;
    QTest::newRow("unknown set") << 9 << true << "Unknown" << kGrey;
    QTest::newRow("config warning clear") << 0 << false << "Ready" << kGreen;
    QTest::newRow("operational fault clear") << 4 << false << "Ready" << kGreen;
    QTest::newRow("reserved clear") << 2 << false << "Reserved (0)" << kGrey;
    QTest::newRow("second reserved clear") << 6 << false << "Reserved (0)" << kGrey;
    QTest::newRow("unknown clear") << 9 << false << "Ready" << kGreen;
}

void TestBitStatus::cellLook()
{
    QFETCH(int, category);
    QFETCH(bool, set);
    QFETCH(QString, text);
    QFETCH(QColor, colour);

    const BitStatusLook look = BitLook(category, set);
    QCOMPARE(look.Text, text);
    QCOMPARE(look.Background, colour);
}

void TestBitStatus::gridStartsEmptyOnGrey()
{
    Program p;
    QCOMPARE(p.Grid().rowCount(), 66);
    QCOMPARE(p.Grid().horizontalHeaderItem(0)->text(), QStringLiteral("Description"));
    QCOMPARE(p.Grid().horizontalHeaderItem(1)->text(), QStringLiteral("Status"));
    QCOMPARE(p.Grid().verticalHeaderItem(65)->text(), QStringLiteral("S44.1"));
    QCOMPARE(p.Grid().CellText(28, 0), QStringLiteral("Bridge Temperature Fault"));
    for (int row = 0; row < BitStatusRowCount; ++row) {
        QVERIFY(p.Grid().CellText(row, 1).isEmpty());
        QCOMPARE(p.Grid().CellBackground(row, 1), kGrey);
        QVERIFY(!(p.Grid().item(row, 1)->flags() & Qt::ItemIsEditable));
    }
    QVERIFY(p.IsIdle());
}

void TestBitStatus::manualUpdateShowsLatchedBit_data()
{
    QTest::addColumn<int>("bit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("bridge temperature fault") << 28 << "Operational Fault" << kRed;
    QTest::newRow("foldback warning") << 31 << "Operational Warning" << kYellow;
    QTest::newRow("reserved bit") << 20 << "Reserved (1)" << kGrey;
}

void TestBitStatus::manualUpdateShowsLatchedBit()
{
    QFETCH(int, bit);
    QFETCH(QString, text);
    QFETCH(QColor, colour);

    Program p;
    QVERIFY(p.Drive().LatchFault(bit));
    p.Click("manualUpdateButton");

    QVERIFY(p.ui.Messages.empty());
    QCOMPARE(p.Grid().CellText(bit, 1), text);
    QCOMPARE(p.Grid().CellBackground(bit, 1), colour);
    QCOMPARE(p.ui.WaitTexts, QStringList({QStringLiteral("Testing Orvex connection..."),
                                          QStringLiteral("Uploading Orvex bit status...")}));
    QCOMPARE(p.ui.OpenWaitWindows, 0);
    p.VerifyGridMatchesDrive();
    // The click does not keep the drive busy afterwards.
    QVERIFY(p.IsIdle());
}

void TestBitStatus::manualUpdateFollowsEnableState_data()
{
    QTest::addColumn<bool>("enableInput");
    QTest::newRow("enable input on") << true;
    QTest::newRow("enable input off") << false;
}

void TestBitStatus::manualUpdateFollowsEnableState()
{
    QFETCH(bool, enableInput);

    Program p;
    p.Drive().SetEnableInput(enableInput);
    p.Click("manualUpdateButton");

    QVERIFY(p.ui.Messages.empty());
    // A disabled drive reads "Not ready" on red for E39; E46 follows the input.
    QCOMPARE(p.Grid().CellText(39, 1), QStringLiteral("Not ready"));
    QCOMPARE(p.Grid().CellText(46, 1),
             enableInput ? QStringLiteral("Ready") : QStringLiteral("Not ready"));
    QCOMPARE(p.Grid().CellBackground(46, 1), enableInput ? kGreen : kRed);
    p.VerifyGridMatchesDrive();
}

void TestBitStatus::failingConnectionTestKeepsGrid_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("text");
    QTest::newRow("silent drive") << 0 << "No response from Orvex drive";
    QTest::newRow("garbled answers") << 1 << "Incorrect response from Orvex drive";
    QTest::newRow("no operating system") << 2 << "OS needs to be downloaded";
}

void TestBitStatus::failingConnectionTestKeepsGrid()
{
    QFETCH(int, failure);
    QFETCH(QString, text);

    Program p;
    QVERIFY(p.Drive().LatchFault(28));
    p.Click("manualUpdateButton");
    QCOMPARE(p.Grid().CellText(28, 1), QStringLiteral("Operational Fault"));

    p.Drive().SetEnableInput(false);
    if (failure == 0)
        p.Drive().SetNoAnswer(true);
    else if (failure == 1)
        p.Drive().SetWrongAnswer(true);
    else
        p.Drive().SetOsState(SimulatedDrive::OsState::Missing);
    p.Click("manualUpdateButton");

    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Communications Error"));
    QCOMPARE(p.ui.Messages[0].Text, text);
    QCOMPARE(p.Grid().CellText(28, 1), QStringLiteral("Operational Fault"));
    QCOMPARE(p.Grid().CellText(46, 1), QStringLiteral("Ready"));
    QVERIFY(p.IsIdle());
}

void TestBitStatus::autoUpdateRefreshesOnEveryTick()
{
    Program p;
    p.Click("autoUpdateButton");
    QVERIFY(p.ui.Messages.empty());
    QVERIFY(p.page->IsAutoUpdating());
    QVERIFY(p.page->IsTimerRunning());
    QCOMPARE(p.Button("autoUpdateButton")->text(), QStringLiteral("Stop Auto Update"));
    QVERIFY(!p.Button("manualUpdateButton")->isEnabled());
    QVERIFY(!p.Updating()->isHidden());
    QCOMPARE(p.Grid().CellText(34, 1), QStringLiteral("Ready"));

    QVERIFY(p.Drive().LatchFault(34));
    p.page->OnTimerTick();
    QCOMPARE(p.Grid().CellText(34, 1), QStringLiteral("Operational Fault"));
    p.VerifyGridMatchesDrive();

    // The real timer drives the same step.
    QVERIFY(p.Drive().LatchFault(41));
    QTRY_COMPARE_WITH_TIMEOUT(p.Grid().CellText(41, 1), QStringLiteral("Operational Warning"),
                              5000);

    p.Click("autoUpdateButton");
    QVERIFY(p.IsIdle());
    QVERIFY(p.ui.Messages.empty());
}

void TestBitStatus::updatingNoticeBlinks()
{
    Program p;
    p.Click("autoUpdateButton");
    QCOMPARE(p.Updating()->text(), QStringLiteral("Updating..."));
    p.page->OnTimerTick();
    QVERIFY(p.Updating()->text().isEmpty());
    p.page->OnTimerTick();
    QCOMPARE(p.Updating()->text(), QStringLiteral("Updating..."));
    p.page->OnTimerTick();
    QVERIFY(p.Updating()->text().isEmpty());

    p.page->StopAutoUpdate();
    QVERIFY(p.Updating()->isHidden());
    // Starting again shows the notice with its text, whatever the blink left.
    p.Click("autoUpdateButton");
    QCOMPARE(p.Updating()->text(), QStringLiteral("Updating..."));
    QVERIFY(!p.Updating()->isHidden());
}

void TestBitStatus::silentDriveStopsAutoUpdateWithOneMessage()
{
    Program p;
    p.Click("autoUpdateButton");
    QVERIFY(p.page->IsAutoUpdating());

    bool idleWhenShown = false;
    p.ui.OnMessage = [&](const OrvexTest::FakeUiServices::Message&) { idleWhenShown = p.IsIdle(); };
    p.Drive().SetNoAnswer(true);
    p.page->OnTimerTick();
    p.page->OnTimerTick(); // a tick already queued does nothing more
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Communications Error"));
    QCOMPARE(p.ui.Messages[0].Text, QStringLiteral("No response from Orvex drive"));
    // The timer was stopped before the box showed, so its loop cannot tick again.
    QVERIFY(idleWhenShown);
    QVERIFY(p.IsIdle());

    // Once the drive answers again the page starts over.
    p.Drive().SetNoAnswer(false);
    QVERIFY(p.Drive().LatchFault(36));
    p.Click("autoUpdateButton");
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QVERIFY(p.page->IsAutoUpdating());
    QCOMPARE(p.Grid().CellText(36, 1), QStringLiteral("Operational Fault"));
    p.page->StopAutoUpdate();
}

void TestBitStatus::leavingThePageStopsAutoUpdate()
{
    Program p;
    p.Click("autoUpdateButton");
    QVERIFY(p.page->HasStatusObject());
    p.page->OnKillActive();
    QVERIFY(p.IsIdle());

    p.Click("autoUpdateButton");
    QVERIFY(p.page->IsAutoUpdating());
    static_cast<IAutoUpdatingPage&>(*p.page).StopAutoUpdate();
    QVERIFY(p.IsIdle());
    QVERIFY(p.ui.Messages.empty());
}

void TestBitStatus::radiosSwitchPages_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("pageId");
    QTest::newRow("numeric status") << "numericStatusRadio" << 137;
    QTest::newRow("error log") << "errorLogRadio" << 153;
}

void TestBitStatus::radiosSwitchPages()
{
    QFETCH(QString, radio);
    QFETCH(int, pageId);

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    ComponentFactory factory;
    OrvexTest::FakeUiServices ui;
    OrvexTest::FakeConfig config;
    ParameterLimits limits;
    AppContext context{factory, ui, settings, config, nullptr, nullptr, limits, false, QString()};
    OrvexTest::FakeMainWindow window;
    window.Port = 1;
    CBitStatusPanelDlg page(context, window);

    QTest::mouseClick(page.findChild<QRadioButton*>(radio), Qt::LeftButton);
    QCOMPARE(window.Pages, std::vector<int>{pageId});

    page.OnSetActive();
    QCOMPARE(window.Title, QStringLiteral("Status Panel"));
    QVERIFY(page.findChild<QRadioButton*>(QStringLiteral("bitStatusRadio"))->isChecked());

    // Without the bridge the page says so and stays idle.
    page.ManualUpdate();
    QCOMPARE(ui.Messages.size(), size_t(1));
    QCOMPARE(ui.Messages[0].Caption, QStringLiteral("Status Update Error"));
    QCOMPARE(ui.Messages[0].Text, QStringLiteral("IStatus not created"));
    QVERIFY(!page.HasStatusObject());
}

void TestBitStatus::checkCellsReportOnlyUserChanges()
{
    CStatusGrid grid(2, {QStringLiteral("Item"), QStringLiteral("Show")});
    QSignalSpy spy(&grid, &CStatusGrid::CellCheckChanged);
    grid.SetCellCheckBox(1, 1, true);
    grid.SetCellText(1, 1, QStringLiteral("text"));
    grid.SetCellColours(1, 1, kRed, QColor());
    QVERIFY(grid.IsCellChecked(1, 1));
    QCOMPARE(spy.count(), 0);

    // What a click on the box does to the item.
    grid.item(1, 1)->setCheckState(Qt::Unchecked);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy[0], QVariantList({1, 1, false}));
    QVERIFY(!grid.IsCellChecked(1, 1));
    QVERIFY(!grid.IsCellChecked(0, 1));
}

QTEST_MAIN(TestBitStatus)
#include "tst_bitstatus.moc"
