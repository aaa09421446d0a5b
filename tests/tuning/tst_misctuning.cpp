#include "MiscTuningDlg.h"
#include "PageIds.h"
#include "PositionSignalDlg.h"
#include "SimulatedProgram.h"
#include "TorqueSignalDlg.h"
#include "VelocitySignalDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Orvex;

namespace {

// The program on the simulated drive with the "Miscellaneous Tuning" page at hand.
struct Misc : OrvexTest::SimulatedWindow
{
    CMiscTuningDlg& Page() const
    {
        return *dynamic_cast<CMiscTuningDlg*>(window.Page(PageId::MiscTuning));
    }
    // Sets the drive up for a control mode, as the wizard's download would.
    void ConfigureDrive(int mode)
    {
        config->SetControlMode(mode);
        config->SetPortNumber(SimulatorPort());
        QCOMPARE(config->TestConnection(), -1);
        config->StoreConfiguration(true, QString());
    }
    // Shows the page and lets it check the drive, as a click on the menu does.
    void Open()
    {
        window.SetPage(PageId::MiscTuning);
        QCoreApplication::processEvents();
    }
    // The page's links from now on are scripted ones; the last one made is link.
    void ScriptLinks()
    {
        factory.Register(QString::fromLatin1(ProgId::LinkPort), [this] {
            auto made = std::make_unique<OrvexTest::ScriptedLink>();
            link = made.get();
            return made;
        });
    }
    template <class T = QWidget> T* In(const char* name) const
    {
        return Page().findChild<T*>(QString::fromLatin1(name));
    }
    QString Shown() const { return OrvexTest::Messages(ui).join(u'\n'); }

    OrvexTest::ScriptedLink* link = nullptr;
};

const QString NotEnabled = QStringLiteral("Orvex drive is not enabled via enable input");
const QString Faulted =
    QStringLiteral("Orvex drive is faulted.  You must reset drive to clear fault.");

} // namespace

Q_DECLARE_METATYPE(Orvex::AlignmentValues)

// The miscellaneous tuning page and its command signal panels on the
// simulated drive, through the real bridge and link.
class TestMiscTuning : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelForControlMode_data();
    void panelForControlMode();
    void driveNotReady_data();
    void driveNotReady();
    void panelChecks_data();
    void panelChecks();
    void directCommands_data();
    void directCommands();
    void alignmentInWords_data();
    void alignmentInWords();
    void zeroReferenceAndAlignOnTheDrive();
};

void TestMiscTuning::panelForControlMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("panel");
    QTest::newRow("torque") << 2 << "torqueSignal";
    QTest::newRow("3") << 3 << "torqueSignal";
    QTest::newRow("velocity") << 4 << "velocitySignal";
    QTest::newRow("step and direction") << 6 << "positionSignal";
    QTest::newRow("reversed direction") << 7 << "positionSignal";
}

void TestMiscTuning::panelForControlMode()
{
    QFETCH(int, mode);
    QFETCH(QString, panel);
    Misc p;
    p.config->SetControlMode(mode);
    p.config->SetHallSensorDirection(1);
    p.config->SetEncoderOffset(-12);
    p.config->SetCommandDirection(1);
    CMiscTuningDlg& page = p.Page();
    page.FillFromConfig();
    QCOMPARE(page.CurrentPanel()->objectName(), panel);
    for (TSignalPanel* other : page.findChildren<TSignalPanel*>())
        QCOMPARE(other->isHidden(), other != page.CurrentPanel());
    QCOMPARE(page.CurrentPanel()->DirectionCombo()->currentText(),
             QStringLiteral("Move CCW for Positive Command"));
    QCOMPARE(p.In<QLabel>("hallDirectionLabel")->text(), QStringLiteral("Reversed"));
    QCOMPARE(p.In<QLabel>("encoderOffsetLabel")->text(), QStringLiteral("-12"));
    QCOMPARE(p.In<QLabel>("encoderPolarityLabel")->palette().color(QPalette::Window),
             QColor(255, 255, 0));
}

void TestMiscTuning::driveNotReady_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("shown");    // on showing the page
    QTest::addColumn<bool>("uploaded");    // and whether it read the drive
    QTest::addColumn<QString>("enabling"); // on "Enable Drive"
    QTest::newRow("not configured")
        << "unconfigured"
        << "Configuration Error: Orvex drive has not been configured" << false
        << "Configuration Error: Orvex drive has not been configured";
    QTest::newRow("no enable input") << "noenable"
                                     << "Hardware Drive Enable Warning: " + NotEnabled << true
                                     << "Hardware Drive Enable Error: " + NotEnabled;
    QTest::newRow("faulted") << "fault:28"
                             << "Drive Fault Warning: " + Faulted << true
                             << "Drive Fault: " + Faulted;
}

void TestMiscTuning::driveNotReady()
{
    QFETCH(QString, fault);
    Misc p;
    p.ConfigureDrive(2);
    QVERIFY(p.Drive().ApplySwitch(fault, nullptr));
    p.Open();
    QFETCH(QString, shown);
    QCOMPARE(p.Shown(), shown);
    QFETCH(bool, uploaded);
    QCOMPARE(p.ui.WaitTexts.contains(QStringLiteral("Uploading Orvex configuration...")), uploaded);

    p.ui.Messages.clear();
    p.In<QPushButton>("enableDriveButton")->click();
    QFETCH(QString, enabling);
    QCOMPARE(p.Shown(), enabling);
    QVERIFY(!p.config->DriveEnable());
}

void TestMiscTuning::panelChecks_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: passes
    const QString zero =
        QStringLiteral("Zero Reference Voltage must be between 0.000 and 10.000 volts");
    QTest::newRow("zero reference 10.0") << 2 << "zeroReferenceEdit"
                                         << "10.0" << QString();
    QTest::newRow("zero reference 10.001") << 2 << "zeroReferenceEdit"
                                           << "10.001" << zero;
    QTest::newRow("velocity, zero reference 10.001") << 4 << "zeroReferenceEdit"
                                                     << "10.001" << zero;
    QTest::newRow("empty deadband") << 2 << "deadbandEdit"
                                    << ""
                                    << "Analog Center Deadband Voltage must be between";
    QTest::newRow("torque scaling") << 2 << "scalingEdit"
                                    << "99999"
                                    << "Torque Scaling must be between";
    QTest::newRow("velocity scaling") << 4 << "scalingEdit"
                                      << "99999"
                                      << "Velocity Scaling must be between";
    QTest::newRow("step resolution") << 6 << "resolutionEdit"
                                     << "0"
                                     << "Step Input Resolution must be between";
}

void TestMiscTuning::panelChecks()
{
    QFETCH(int, mode);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Misc p;
    p.config->SetControlMode(mode);
    CMiscTuningDlg& page = p.Page();
    page.FillFromConfig();
    auto* edit = page.CurrentPanel()->findChild<QLineEdit*>(box);
    edit->setText(text);
    const bool passes = page.CurrentPanel()->Validate();
    QCOMPARE(passes, message.isEmpty());
    QCOMPARE(FieldValidation::IsFlagged(edit), !passes);
    if (passes)
        QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    else
        QVERIFY2(p.Shown().startsWith("Data Validation Error: " + message), qPrintable(p.Shown()));
    // "Save Config As..." checks the same panel first and writes nothing then.
    p.ui.Messages.clear();
    p.config->SetHallSensorDirection(0);
    p.In<QLabel>("hallDirectionLabel")->setText(QStringLiteral("Reversed"));
    p.In<QPushButton>("saveConfigAsButton")->click();
    QCOMPARE(p.config->HallSensorDirection(), passes ? 1 : 0);
    QCOMPARE(p.ui.FileRequests.size(), std::size_t{passes ? 1u : 0u});
}

void TestMiscTuning::directCommands_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("box"); // a box to press Enter in, else the choice
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sent");
    QTest::newRow("deadband, not checked") << 2 << "deadbandEdit"
                                           << "99.5"
                                           << "ANICDB 99.5\r";
    QTest::newRow("torque scaling") << 2 << "scalingEdit"
                                    << "1.5"
                                    << "DMTSCL 1.5\r";
    QTest::newRow("velocity scaling") << 4 << "scalingEdit"
                                      << "2"
                                      << "DMVSCL 2\r";
    QTest::newRow("zero reference") << 4 << "zeroReferenceEdit"
                                    << "1.250"
                                    << "DCMDZ=1.250\r";
    QTest::newRow("resolution") << 6 << "resolutionEdit"
                                << "8000"
                                << "DRES 8000\r";
    QTest::newRow("second direction") << 6 << QString() << QString() << "CMDDIR 1\r";
    QTest::newRow("invert ticked") << 2 << "invert" << QString() << "IANI 1\r";
}

void TestMiscTuning::directCommands()
{
    QFETCH(int, mode);
    QFETCH(QString, box);
    QFETCH(QString, text);
    Misc p;
    p.ScriptLinks();
    p.config->SetControlMode(mode);
    CMiscTuningDlg& page = p.Page();
    page.FillFromConfig();
    QVERIFY(!page.HasLink()); // none until the first command
    TSignalPanel* panel = page.CurrentPanel();
    if (box.isEmpty()) {
        QComboBox* combo = panel->DirectionCombo();
        combo->setCurrentIndex(1);
        Q_EMIT combo->activated(1);
    } else if (box == QLatin1String("invert")) {
        panel->findChild<QCheckBox*>("invertAnalogInputCheck")->click();
    } else {
        auto* edit = panel->findChild<QLineEdit*>(box);
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QFETCH(QString, sent);
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QVERIFY(page.HasLink());
    QCOMPARE(p.link->Writes, QStringList{sent});
    QCOMPARE(p.link->Opens.size(), std::size_t{1});
    QCOMPARE(p.link->Opens.front().first, p.window.SelectedPort());
}

void TestMiscTuning::alignmentInWords_data()
{
    QTest::addColumn<AlignmentValues>("after");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("nothing") << AlignmentValues{}
                             << "Alignment finished: nothing changed, the hall sensors and the "
                                "encoder are as they were.";
    QTest::newRow("offset") << AlignmentValues{false, false, 1523, false}
                            << "Alignment finished: the encoder offset changed from 0 to 1523; "
                               "the hall sensor direction, the hall sensor inversion and the "
                               "encoder polarity are unchanged.";
    QTest::newRow("direction and polarity")
        << AlignmentValues{true, false, 0, true}
        << "Alignment finished: the hall sensor direction changed from Normal to Reversed and "
           "the encoder polarity changed from Normal to Reversed; the hall sensor inversion and "
           "the encoder offset are unchanged.";
}

void TestMiscTuning::alignmentInWords()
{
    QFETCH(AlignmentValues, after);
    QFETCH(QString, sentence);
    QCOMPARE(DescribeAlignment(AlignmentValues{}, after), sentence);
}

void TestMiscTuning::zeroReferenceAndAlignOnTheDrive()
{
    Misc p;
    p.ConfigureDrive(2);
    p.Open();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    p.In<QPushButton>("enableDriveButton")->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QVERIFY(p.config->DriveEnable());

    // The drive takes its analog input as the zero command.
    p.Drive().SetAnalogInput(1.25);
    p.ui.Pauses.clear();
    p.Page().TorquePanel()->findChild<QPushButton*>("setZeroReferenceButton")->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QCOMPARE(p.ui.Pauses, std::vector<int>{200});
    QCOMPARE(p.Page().TorquePanel()->ZeroReferenceEdit()->text(), QStringLiteral("1.250"));

    // The page showed an offset the drive does not hold; the alignment finds its own.
    p.In<QLabel>("encoderOffsetLabel")->setText(QStringLiteral("7"));
    p.ui.WaitTexts.clear();
    p.In<QPushButton>("alignButton")->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QCOMPARE(p.ui.WaitTexts, QStringList{"Performing alignment operation..."});
    const int offset = p.config->EncoderOffset();
    QVERIFY(offset != 7);
    QCOMPARE(p.In<QLabel>("encoderOffsetLabel")->text(), QString::number(offset));
    QVERIFY2(p.In<QLabel>("alignmentResultLabel")
                 ->text()
                 .startsWith(
                     QStringLiteral("Alignment finished: the encoder offset changed from 7 to %1;")
                         .arg(offset)),
             qPrintable(p.In<QLabel>("alignmentResultLabel")->text()));
}

QTEST_MAIN(TestMiscTuning)
#include "tst_misctuning.moc"
