#include "BitStatusPanelDlg.h"
#include "BitStatusTable.h"
#include "PageIds.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

using namespace Orvex;

namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kGrey(211, 211, 211);

// A status cell as the user reads it: text and background.
QString Look(const QString& text, const QColor& colour)
{
    return text + QStringLiteral(" on ") + colour.name();
}
const QString kReady = Look("Ready", kGreen);
const QString kNotReady = Look("Not ready", kRed);

// Rows that differ from an all-clear drive, by row.
using Cells = QMap<int, QString>;

// The whole status column of a drive with only the given rows set: reserved
// bits (E19 to E24, E49 to E63) read "Reserved (0)" on grey, the rest "Ready".
QStringList Column(const Cells& set)
{
    QStringList column;
    for (int row = 0; row < 66; ++row) {
        const bool reserved = (row >= 19 && row <= 24) || (row >= 49 && row <= 63);
        column << set.value(row, reserved ? Look("Reserved (0)", kGrey) : kReady);
    }
    return column;
}

// The program as it is built, on the simulated drive, with a bit status page
// made directly on its context and window.
struct Program : OrvexTest::SimulatedWindow
{
    CStatusGrid& Grid() const { return *page.Grid(); }
    template <class T = QPushButton> T* Child(const char* name) const
    {
        return page.findChild<T*>(QString::fromLatin1(name));
    }
    QLabel* Updating() const { return Child<QLabel>("updatingLabel"); }
    void Click(const char* name) const { QTest::mouseClick(Child(name), Qt::LeftButton); }
    QStringList Shown() const
    {
        QStringList column;
        for (int row = 0; row < Grid().rowCount(); ++row)
            column << Look(Grid().CellText(row, 1), Grid().CellBackground(row, 1));
        return column;
    }
    bool IsIdle() const
    {
        return !page.IsAutoUpdating() && !page.IsTimerRunning() && !page.HasStatusObject() &&
               Child("autoUpdateButton")->text() == QLatin1String("Start Auto Update") &&
               Child("manualUpdateButton")->isEnabled() && Updating()->isHidden();
    }

    CBitStatusPanelDlg page{context, window};
};

} // namespace

class TestBitStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Looks of a bit by category that the simulated drive does not show
    // below; 9 is no category.
    void cellLook()
    {
        const std::tuple<int, bool, QString> looks[] = {
            {0, true, Look("Configuration Warning", kYellow)},
            {1, true, Look("Configuration Error", kRed)},
            {6, true, Look("Reserved (1)", kGrey)},
            {9, true, Look("Unknown", kGrey)},
            {9, false, kReady}};
        for (const auto& [category, set, expected] : looks) {
            const BitStatusLook look = BitLook(category, set);
            QCOMPARE(look.Text + QLatin1String(" on ") + look.Background.name(), expected);
        }
    }

    void gridStartsEmptyOnGrey()
    {
        Program p;
        QCOMPARE(p.Grid().rowCount(), 66);
        QCOMPARE(p.Grid().horizontalHeaderItem(0)->text(), "Description");
        QCOMPARE(p.Grid().horizontalHeaderItem(1)->text(), "Status");
        for (int row = 0; row < 64; ++row)
            QCOMPARE(p.Grid().verticalHeaderItem(row)->text(), QStringLiteral("E%1").arg(row));
        QCOMPARE(p.Grid().verticalHeaderItem(64)->text(), "S44.0");
        QCOMPARE(p.Grid().verticalHeaderItem(65)->text(), "S44.1");
        QCOMPARE(p.Shown(), QStringList(66, QStringLiteral(" on ") + kGrey.name()));
        for (int row = 0; row < 66; ++row)
            QVERIFY(!(p.Grid().item(row, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(p.IsIdle());
        // A few rows' descriptions and categories.
        const std::tuple<int, int, const char*> rows[] = {
            {0, 0, "Motor Configuration Warning"},
            {12, 0, "Peak current set too high.  Used drive's value."},
            {19, 2, "Reserved"},
            {32, 4, "Power Regenration Fault"},
            {48, 5, "Control Power"},
            {63, 6, "Reserved"},
            {64, 5, "Drive Fault Output"},
            {65, 5, "Brake Relay Energized"}};
        for (const auto& [row, category, description] : rows) {
            QCOMPARE(p.Grid().CellText(row, 0), description);
            QCOMPARE(BitStatusTable[static_cast<size_t>(row)].Category, category);
        }
    }

    // The whole column against fixed looks after one click. The drive starts
    // disabled (E39), which keeps its fault output (S44.0) on; only an enabled
    // drive turns it off and energizes the brake relay (S44.1). An output
    // that is on reads "Not ready" on red, one that is off "Ready" on green.
    void manualUpdateShowsTheDrive_data()
    {
        QTest::addColumn<int>("bit");
        QTest::addColumn<bool>("enableInput");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<Cells>("cells");
        QTest::newRow("bridge temperature fault")
            << 28 << true << false
            << Cells{{28, Look("Operational Fault", kRed)}, {39, kNotReady}, {64, kNotReady}};
        QTest::newRow("foldback warning")
            << 31 << true << false
            << Cells{{31, Look("Operational Warning", kYellow)}, {39, kNotReady}, {64, kNotReady}};
        QTest::newRow("reserved bit")
            << 20 << true << false
            << Cells{{20, Look("Reserved (1)", kGrey)}, {39, kNotReady}, {64, kNotReady}};
        QTest::newRow("enable input off")
            << -1 << false << false << Cells{{39, kNotReady}, {46, kNotReady}, {64, kNotReady}};
        QTest::newRow("drive enabled") << -1 << true << true << Cells{{65, kNotReady}};
    }

    void manualUpdateShowsTheDrive()
    {
        QFETCH(int, bit);
        QFETCH(bool, enableInput);
        QFETCH(bool, enable);
        QFETCH(Cells, cells);
        Program p;
        QVERIFY(bit < 0 || p.Drive().LatchFault(bit));
        p.Drive().SetEnableInput(enableInput);
        if (enable) {
            p.Drive().SetConfigured(true);
            p.Drive().Receive("ENABLE=1\r");
            QVERIFY(p.Drive().BrakeRelayEnergized());
        }
        p.Click("manualUpdateButton");
        QVERIFY(p.ui.Messages.empty());
        QCOMPARE(p.Shown(), Column(cells));
        QCOMPARE(p.ui.WaitTexts, QStringList({QStringLiteral("Testing Orvex connection..."),
                                              QStringLiteral("Uploading Orvex bit status...")}));
        QCOMPARE(p.ui.OpenWaitWindows, 0);
        // The click does not keep the drive busy afterwards.
        QVERIFY(p.IsIdle());
    }

    // A failed connection test leaves the grid as it was, the page idle.
    void failingConnectionTestKeepsGrid()
    {
        Program p;
        QVERIFY(p.Drive().LatchFault(28));
        p.Click("manualUpdateButton");
        const QStringList before = p.Shown();
        QCOMPARE(before[28], Look("Operational Fault", kRed));
        QCOMPARE(before[46], kReady);

        p.Drive().SetEnableInput(false);
        p.Drive().SetWrongAnswer(true);
        p.Click("manualUpdateButton");
        p.Drive().SetWrongAnswer(false);
        p.Drive().SetOsState(SimulatedDrive::OsState::Missing);
        p.Click("manualUpdateButton");
        QCOMPARE(OrvexTest::Messages(p.ui),
                 (QStringList{"Communications Error: Incorrect response from Orvex drive",
                              "Communications Error: OS needs to be downloaded"}));
        QCOMPARE(p.Shown(), before);
        QVERIFY(p.IsIdle());
    }

    void autoUpdateRefreshesBlinksAndStops()
    {
        Program p;
        p.Click("autoUpdateButton");
        QVERIFY(p.ui.Messages.empty());
        QVERIFY(p.page.IsAutoUpdating());
        QVERIFY(p.page.IsTimerRunning());
        QCOMPARE(p.Child("autoUpdateButton")->text(), "Stop Auto Update");
        QVERIFY(!p.Child("manualUpdateButton")->isEnabled());
        QVERIFY(!p.Updating()->isHidden());
        QCOMPARE(p.Updating()->text(), "Updating...");
        QCOMPARE(p.Shown()[34], kReady);

        // Every tick reads the drive again, and the notice blinks.
        QVERIFY(p.Drive().LatchFault(34));
        p.page.OnTimerTick();
        QCOMPARE(p.Shown()[34], Look("Operational Fault", kRed));
        QVERIFY(p.Updating()->text().isEmpty());
        p.page.OnTimerTick();
        QCOMPARE(p.Updating()->text(), "Updating...");
        p.page.OnTimerTick();
        QVERIFY(p.Updating()->text().isEmpty());

        // The real timer drives the same step.
        QVERIFY(p.Drive().LatchFault(41));
        QTRY_COMPARE_WITH_TIMEOUT(p.Grid().CellText(41, 1), QStringLiteral("Operational Warning"),
                                  5000);

        p.Click("autoUpdateButton");
        QVERIFY(p.IsIdle());
        QVERIFY(p.ui.Messages.empty());
        // Starting again shows the notice with its text, whatever the blink left.
        p.Click("autoUpdateButton");
        QCOMPARE(p.Updating()->text(), "Updating...");
        QVERIFY(!p.Updating()->isHidden());
        // Leaving the page stops it, as does the main window through the interface.
        p.page.OnKillActive();
        QVERIFY(p.IsIdle());
        p.Click("autoUpdateButton");
        QVERIFY(p.page.HasStatusObject());
        static_cast<IAutoUpdatingPage&>(p.page).StopAutoUpdate();
        QVERIFY(p.IsIdle());
        QVERIFY(p.ui.Messages.empty());

        // A drive that falls silent stops it with one message. The timer is
        // stopped before the box shows, so its loop cannot tick again.
        p.Click("autoUpdateButton");
        bool idleWhenShown = false;
        p.ui.OnMessage = [&](const auto&) { idleWhenShown = p.IsIdle(); };
        p.Drive().SetNoAnswer(true);
        p.page.OnTimerTick();
        p.page.OnTimerTick(); // a tick already queued does nothing more
        QCOMPARE(OrvexTest::Messages(p.ui),
                 QStringList{"Communications Error: No response from Orvex drive"});
        QVERIFY(idleWhenShown);
        QVERIFY(p.IsIdle());

        // Once the drive answers again the page starts over.
        p.Drive().SetNoAnswer(false);
        QVERIFY(p.Drive().LatchFault(36));
        p.Click("autoUpdateButton");
        QCOMPARE(p.ui.Messages.size(), size_t(1));
        QVERIFY(p.page.IsAutoUpdating());
        QCOMPARE(p.Shown()[36], Look("Operational Fault", kRed));
        p.page.StopAutoUpdate();
    }

    void radiosSwitchPagesAndMissingBridgeIsReported()
    {
        Program p;
        QTest::mouseClick(p.Child<QRadioButton>("numericStatusRadio"), Qt::LeftButton);
        QCOMPARE(p.window.ActivePageId(), 137);
        QTest::mouseClick(p.Child<QRadioButton>("errorLogRadio"), Qt::LeftButton);
        QCOMPARE(p.window.ActivePageId(), 153);

        p.page.OnSetActive();
        QCOMPARE(p.SimulatedWindow::Child<QGroupBox>("pageFrame")->title(), "Status Panel");
        QVERIFY(p.Child<QRadioButton>("bitStatusRadio")->isChecked());

        // Without the bridge the page says so and stays idle.
        p.factory.Unregister(QString::fromLatin1(ProgId::BridgeStatus));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Error 0x80040154")));
        p.Click("manualUpdateButton");
        QCOMPARE(OrvexTest::Messages(p.ui),
                 QStringList{"Status Update Error: IStatus not created"});
        QVERIFY(p.IsIdle());
    }

    // Columns start at the asked widths, widen to what they show and never
    // cut it; the last one takes the free width.
    void columnsFitTheirText()
    {
        CStatusGrid grid(1, {QStringLiteral("Description"), QStringLiteral("Status")});
        grid.SetColumnWidth(0, 50);
        const QString text = QStringLiteral("Continuous current of motor too high for drive");
        grid.SetCellText(0, 0, text);
        QVERIFY(grid.columnWidth(0) > grid.fontMetrics().horizontalAdvance(text));
        const int wide = grid.columnWidth(0);
        grid.SetCellText(0, 0, QStringLiteral("E1"));
        QCOMPARE(grid.columnWidth(0), wide);
        QVERIFY(grid.horizontalHeader()->stretchLastSection());
    }

    // A tick cell is a real check box: named after its row, ticked by the
    // keyboard or an assistive technology's action like by a click.
    void tickCellsWorkForEveryone()
    {
        CStatusGrid grid(2, {QString(), QStringLiteral("Show")});
        grid.SetCellCheckBox(1, 0, false);
        grid.SetRowHeading(1, QStringLiteral("S42"));
        auto* box = qobject_cast<QCheckBox*>(grid.cellWidget(1, 0));
        QVERIFY(box);
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(box);
        QCOMPARE(access->text(QAccessible::Name), QStringLiteral("S42"));
        QVERIFY(access->state().checkable);
        access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(grid.IsCellChecked(1, 0));
        QVERIFY(!grid.IsCellChecked(0, 0));
        grid.SetCellCheckBox(1, 0, false);
        QVERIFY(!box->isChecked());
    }
};

QTEST_MAIN(TestBitStatus)
#include "tst_bitstatus.moc"
