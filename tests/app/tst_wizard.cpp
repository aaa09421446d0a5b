#include "ConfigWizardStep1Dlg.h"
#include "ConfigWizardStep2Dlg.h"
#include "ConfigWizardStep3Dlg.h"
#include "ConfigWizardStep4Dlg.h"
#include "ConfigWizardStep5Dlg.h"
#include "FieldValidation.h"
#include "NumericEdit.h"
#include "PageIds.h"
#include "SimulatedProgram.h"
#include "WizardState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <cmath>

using namespace Orvex;
using List = CConfigWizardStep1Dlg::List;
using Field = CConfigWizardStep2Dlg::Field;

namespace {

// The program on the simulated drive with the wizard's first two steps at hand.
struct Wizard : OrvexTest::SimulatedWindow
{
    using SimulatedWindow::SimulatedWindow;
    CConfigWizardStep1Dlg& Step1() const
    {
        return *dynamic_cast<CConfigWizardStep1Dlg*>(window.Page(PageId::ConfigWizardStep1));
    }
    CConfigWizardStep2Dlg& Step2() const
    {
        return *dynamic_cast<CConfigWizardStep2Dlg*>(window.Page(PageId::ConfigWizardStep2));
    }
    // Picks an entry as the user would; false when it is not listed.
    bool Pick(List list, const QString& text) const
    {
        QComboBox* combo = Step1().Combo(list);
        const int index = combo->findText(text);
        if (index >= 0)
            combo->setCurrentIndex(index);
        return index >= 0;
    }
    CConfigWizardStep4Dlg& Step4() const
    {
        return *dynamic_cast<CConfigWizardStep4Dlg*>(window.Page(PageId::ConfigWizardStep4));
    }
    QString Shown(Field field) const { return Step2().Edit(field)->text(); }
    IConfigWorkflow& Workflow() const { return Step1().Workflow(); }
};

} // namespace

// The configuration wizard's first two steps on the simulated drive,
// through the real bridge and link.
class TestWizard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void motorCascade_data();
    void motorCascade();
    void refusedMotorParameters_data();
    void refusedMotorParameters();
    void nextWritesMotorParameters();
    void configurationFromDrive();
    void driveNotReached_data();
    void driveNotReached();
    void openConfigurationFile();
    void reopensRememberedFileAtStart();
    void finishWizard_data();
    void finishWizard();
    void mismatchWarning_data();
    void mismatchWarning();
    void everyShippedMotorPassesItsChecks();
    void walkAllFiveSteps_data();
    void walkAllFiveSteps();
    void controlModeStepChecks_data();
    void controlModeStepChecks();
    void refusedOutputValues_data();
    void refusedOutputValues();
    void outputsAndThermalSensor_data();
    void outputsAndThermalSensor();
};

void TestWizard::motorCascade_data()
{
    QTest::addColumn<QStringList>("picks"); // series, frame, stack, winding, feedback
    QTest::addColumn<QString>("partNumber");
    QTest::addColumn<QString>("cooling");
    QTest::addColumn<bool>("customShown");
    QTest::addColumn<bool>("baseShown");
    QTest::addColumn<int>("customWinding");
    QTest::addColumn<int>("nextPage");

    const int step2 = PageId::ConfigWizardStep2;
    const int step3 = PageId::ConfigWizardStep3;
    QTest::newRow("default motor") << QStringList() << "BE23A1E"
                                   << "Heat Sink" << false << false << 0 << step3;
    // A resolver is set up by hand: Next ticks Advanced and shows step 2.
    QTest::newRow("K resolver") << QStringList{"K", "T2", "A", "1", "R"} << "KT2A-1R"
                                << "Heat Sink" << false << false << 0 << step2;
    QTest::newRow("Vantor table motor")
        << QStringList{"Vantor", "4D22", "A", "1", "E"} << "4D22-A1E"
        << "Table-CL1" << false << false << 0 << step3;
    QTest::newRow("CM base series") << QStringList{"CM", "3", "1", "A", "E"} << "CMA31AE"
                                    << "Heat Sink" << false << true << 501 << step3;
    QTest::newRow("CM custom winding") << QStringList{"CM", "3", "X", "1", "E"} << "CM3X1E"
                                       << "Heat Sink" << true << false << 1 << step3;
}

void TestWizard::motorCascade()
{
    QFETCH(QStringList, picks);
    Wizard p;
    const List order[] = {List::Series, List::Frame, List::Stack, List::Winding, List::Feedback};
    for (int i = 0; i < picks.size(); ++i)
        QVERIFY2(p.Pick(order[i], picks[i]), qPrintable(picks[i]));
    CConfigWizardStep1Dlg& step1 = p.Step1();
    QFETCH(QString, partNumber);
    QCOMPARE(step1.PartNumber(), partNumber);
    QFETCH(QString, cooling);
    QCOMPARE(step1.Combo(List::Cooling)->currentText(), cooling);
    QFETCH(bool, customShown);
    QCOMPARE(!step1.Combo(List::Custom)->isHidden(), customShown);
    QFETCH(bool, baseShown);
    QCOMPARE(!step1.Combo(List::BaseSeries)->isHidden(), baseShown);
    // Step 2 already shows the picked motor's data.
    QVERIFY(p.Workflow().State().Motor);
    QCOMPARE(p.Shown(Field::RatedSpeed), p.Workflow().State().Motor->Field(MotorField::RatedSpeed));

    QTest::keyClick(&step1, Qt::Key_Return);
    QFETCH(int, nextPage);
    QCOMPARE(p.window.ActivePageId(), nextPage);
    QCOMPARE(p.config->MotorPartNumber(), partNumber);
    QFETCH(int, customWinding);
    QCOMPARE(p.config->CustomWindingNumber(), customWinding);
    // The way back is the way the user came.
    auto* page = p.window.Page(nextPage);
    page->findChild<QPushButton*>(QStringLiteral("backButton"))->click();
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep1));
}

void TestWizard::refusedMotorParameters_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty rated speed") << int(Field::RatedSpeed) << ""
                                       << "Motor Rated Speed must be between %.2lf and %.2lf rps";
    QTest::newRow("pole pairs") << int(Field::PolePairsOrPitch) << "0"
                                << "Motor Pole Pairs must be between %.0lf and %.0lf pole pairs";
    // The minimum inductance becomes 5.0 against a maximum of 4.0.
    QTest::newRow("inductance order")
        << int(Field::MaxInductance) << "4.0"
        << "Maximum Inductance must be greater than or equal to Minimum Inductance";
}

void TestWizard::refusedMotorParameters()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Wizard p;
    p.Step1().AdvancedBox()->setChecked(true);
    p.Step1().NextButton()->click();
    CConfigWizardStep2Dlg& step2 = p.Step2();
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep2));
    const float speedBefore = p.config->MotorRatedSpeed();
    step2.Edit(Field::MinInductance)->setText(QStringLiteral("5.0"));
    NumericEdit* edit = step2.Edit(Field(field));
    edit->setText(text);
    step2.NextButton()->click();

    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep2));
    QCOMPARE(p.ui.Messages.size(), std::size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Data Validation Error"));
    const auto& limits = p.limits[Field(field) == Field::RatedSpeed      ? 16
                                  : Field(field) == Field::MaxInductance ? 9
                                                                         : 18];
    QCOMPARE(p.ui.Messages[0].Text,
             QString::asprintf(qPrintable(message), limits.Minimum, limits.Maximum));
    QVERIFY(FieldValidation::IsFlagged(edit));
    QCOMPARE(QApplication::focusWidget() == edit || !p.window.isVisible(), true);
    QCOMPARE(p.config->MotorRatedSpeed(), speedBefore);
    // Typing in the box takes the mark away.
    QTest::keyClick(edit, Qt::Key_1);
    QVERIFY(!FieldValidation::IsFlagged(edit));
}

void TestWizard::nextWritesMotorParameters()
{
    Wizard p;
    QVERIFY(p.Pick(List::Feedback, QStringLiteral("R")));
    p.Step1().NextButton()->click();
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep2));
    CConfigWizardStep2Dlg& step2 = p.Step2();
    QCOMPARE(step2.FeedbackTypeCombo()->currentText(), QStringLiteral("Resolver"));
    QCOMPARE(step2.ResolutionUnit()->text(), QStringLiteral("(counts/rev)"));
    step2.Edit(Field::MinInductance)->setText(QStringLiteral("2.0"));
    step2.Edit(Field::MaxInductance)->setText(QStringLiteral("8.0"));
    step2.Edit(Field::FeedbackResolution)->setText(QStringLiteral("1000"));
    step2.Edit(Field::RatedSpeed)->setText(QStringLiteral("41.5"));
    step2.NextButton()->click();

    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep3));
    QCOMPARE(p.config->MaxInductance(), 8.0f);
    QCOMPARE(p.config->InductanceRatio(), 0.25f);
    QCOMPARE(p.config->FeedbackResolution(), 4096);
    QCOMPARE(p.config->MotorRatedSpeed(), 41.5f);
    QCOMPARE(p.config->MotorIsLinear(), 0);
}

void TestWizard::configurationFromDrive()
{
    Wizard p;
    QVERIFY(p.Pick(List::Series, QStringLiteral("Vantor")));
    p.window.findChild<QPushButton*>(QStringLiteral("getFromDriveButton"))->click();

    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    QCOMPARE(p.ui.WaitTexts,
             (QStringList{"Testing Orvex connection...", "Uploading Orvex configuration...",
                          "Orvex configuration successfully uploaded"}));
    QVERIFY(p.ui.Pauses.back() == 2000);
    CConfigWizardStep1Dlg& step1 = p.Step1();
    QCOMPARE(step1.ProfileTitleLabel()->text(),
             QStringLiteral("Configuration - Uploaded from Orvex Drive"));
    QCOMPARE(int(p.Workflow().State().ConfigOrigin()), 2);
    // The drive left the factory set up for a BE23A1E on a heat sink.
    QCOMPARE(step1.PartNumber(), QStringLiteral("BE23A1E"));
    QCOMPARE(step1.Combo(List::Cooling)->currentText(), QStringLiteral("Heat Sink"));
    QCOMPARE(p.Shown(Field::RatedSpeed),
             QString::asprintf("%.2f", double(p.config->MotorRatedSpeed())));
    QCOMPARE(p.Shown(Field::PolePairsOrPitch), QString::number(p.config->MotorPolePairs()));
    QCOMPARE(p.Shown(Field::FeedbackResolution), QString::number(p.config->FeedbackResolution()));
}

void TestWizard::driveNotReached_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("text");
    QTest::newRow("3") << "noanswer"
                       << "No response from Orvex drive";
    QTest::newRow("5") << "os:missing"
                       << "OS needs to be downloaded";
    QTest::newRow("6") << "os:corrupt"
                       << "Cycle power and download OS";
}

void TestWizard::driveNotReached()
{
    QFETCH(QString, fault);
    Wizard p;
    QString error;
    QVERIFY2(p.Drive().ApplySwitch(fault, &error), qPrintable(error));
    p.window.findChild<QPushButton*>(QStringLiteral("getFromDriveButton"))->click();
    QFETCH(QString, text);
    QCOMPARE(OrvexTest::Messages(p.ui), QStringList{"Communications Error: " + text});
    QCOMPARE(p.Step1().ProfileTitleLabel()->text(),
             QStringLiteral("Configuration - Default Profile"));
    QCOMPARE(p.ui.OpenWaitWindows, 0);
}

void TestWizard::openConfigurationFile()
{
    Wizard p;
    // A file the bridge wrote for a linear motor.
    const QString path = p.dir.filePath(QStringLiteral("press 4.kvt"));
    p.config->SetMotorPartNumber(QStringLiteral("T2-B1E"));
    p.config->SetCoolingCode(1);
    p.config->SetMotorIsLinear(1);
    p.config->SetElectricalPitch(25.4f);
    p.config->SetMotorRatedSpeed(3.25f);
    p.config->StoreConfiguration(false, path);
    p.config->SetMotorRatedSpeed(1.0f);

    p.ui.FileAnswers.push_back(path);
    QPushButton* open = p.window.findChild<QPushButton*>(QStringLiteral("openFileButton"));
    open->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    QCOMPARE(p.ui.FileRequests.back().Filter,
             QStringLiteral("Orvex Configuration Files(*.kvt)|*.kvt||"));
    QCOMPARE(p.Step1().ProfileTitleLabel()->text(), QStringLiteral("Configuration - press 4.kvt"));
    QCOMPARE(p.Step1().PartNumber(), QStringLiteral("T2-B1E"));
    QCOMPARE(p.Step1().Combo(List::Cooling)->currentText(), QStringLiteral("No Heat Sink"));
    QCOMPARE(p.Step2().PackageCombo()->currentText(), QStringLiteral("Linear"));
    QCOMPARE(p.Step2().Label(Field::PolePairsOrPitch)->text(),
             QStringLiteral("Electrical Pitch (mm)"));
    QCOMPARE(p.Shown(Field::PolePairsOrPitch), QStringLiteral("25.40"));
    QCOMPARE(p.Shown(Field::RatedSpeed), QStringLiteral("3.25"));

    // A damaged file is refused with the line at fault; nothing changes.
    const QString broken = p.dir.filePath(QStringLiteral("broken.kvt"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ORVEX KVT 2\nMotorRatedSpeed=fast\n");
    file.close();
    p.ui.FileAnswers.push_back(broken);
    open->click();
    QCOMPARE(p.ui.Messages.size(), std::size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Open Configuration Error"));
    QVERIFY2(p.ui.Messages[0].Text.contains(QLatin1String("line")),
             qPrintable(p.ui.Messages[0].Text));
    QCOMPARE(p.Shown(Field::RatedSpeed), QStringLiteral("3.25"));
    QCOMPARE(p.config->MotorRatedSpeed(), 3.25f);
    QCOMPARE(p.Step1().ProfileTitleLabel()->text(), QStringLiteral("Configuration - press 4.kvt"));
}

void TestWizard::reopensRememberedFileAtStart()
{
    OrvexTest::SimulatedProgram writer;
    const QString path = writer.dir.filePath(QStringLiteral("cell.kvt"));
    writer.config->SetMotorPartNumber(QStringLiteral("KT2A-1R"));
    writer.config->SetMotorRatedSpeed(55.0f);
    writer.config->StoreConfiguration(false, path);

    Wizard p([&path](QSettings& settings) {
        settings.setValue(QStringLiteral("Communications/LoadPath"), path);
    });
    QCOMPARE(p.Step1().ProfileTitleLabel()->text(), "Configuration - " + path);
    QCOMPARE(int(p.Workflow().State().ConfigOrigin()), 1);
    QCOMPARE(p.Step1().PartNumber(), QStringLiteral("KT2A-1R"));
    QCOMPARE(p.Shown(Field::RatedSpeed), QStringLiteral("55.00"));
}

void TestWizard::finishWizard_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("download");
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<bool>("driveAnswers");
    QTest::addColumn<int>("pageAfter");
    QTest::addColumn<QString>("message");
    const int step1 = PageId::ConfigWizardStep1;
    const int step5 = PageId::ConfigWizardStep5;
    QTest::newRow("nothing ticked") << false << false << false << true << step1 << QString();
    QTest::newRow("save and download") << true << true << true << true << step1 << QString();
    // The download still runs; the wizard waits on step 5 for the save.
    QTest::newRow("save cancelled") << true << true << false << true << step5 << QString();
    QTest::newRow("drive silent") << false << true << false << false << step5
                                  << "Communications Error: No response from Orvex drive";
}

void TestWizard::finishWizard()
{
    QFETCH(bool, save);
    QFETCH(bool, download);
    QFETCH(bool, chooseFile);
    QFETCH(bool, driveAnswers);
    Wizard p;
    const QString path = p.dir.filePath(QStringLiteral("finished.kvt"));
    if (chooseFile)
        p.ui.FileAnswers.push_back(path);
    p.Drive().SetNoAnswer(!driveAnswers);
    // Whatever the pages write replaces this.
    p.config->SetMotorPartNumber(QStringLiteral("untouched"));
    p.window.SetPage(PageId::ConfigWizardStep5);
    auto* step5 = dynamic_cast<CConfigWizardStep5Dlg*>(p.window.Page(PageId::ConfigWizardStep5));
    step5->SaveBox()->setChecked(save);
    step5->DownloadBox()->setChecked(download);
    step5->NextButton()->click();

    QFETCH(int, pageAfter);
    QCOMPARE(p.window.ActivePageId(), pageAfter);
    QFETCH(QString, message);
    QCOMPARE(OrvexTest::Messages(p.ui).join(u'\n'), message);
    QCOMPARE(p.config->MotorPartNumber(),
             save || download ? QStringLiteral("BE23A1E") : QStringLiteral("untouched"));
    QCOMPARE(QFile::exists(path), chooseFile);
    QCOMPARE(p.ui.WaitTexts.contains(QStringLiteral("Orvex configuration successfully downloaded")),
             download && driveAnswers);
    if (chooseFile)
        QCOMPARE(p.Workflow().State().ProfileTitle(), "Configuration - " + path);
}

void TestWizard::mismatchWarning_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("answer");
    QTest::newRow("upload") << "uploadButton" << true;
    QTest::newRow("download") << "downloadButton" << true;
    QTest::newRow("cancel") << "cancelButton" << false;
}

void TestWizard::mismatchWarning()
{
    QFETCH(QString, button);
    Wizard p;
    WizardState& state = p.Workflow().State();
    QVERIFY(!p.Workflow().CheckConfigurationMatch());
    // The wizard is set for velocity; the drive is in torque mode.
    auto* step3 = dynamic_cast<CConfigWizardStep3Dlg*>(p.window.Page(PageId::ConfigWizardStep3));
    step3->SetControlMode(WizardState::VelocityMode);
    QString caption;
    QStringList listed;
    p.ui.OnModal = [&](QDialog& dialog) {
        caption = dialog.windowTitle();
        if (auto* view = dialog.findChild<QTableWidget*>(QStringLiteral("configDifferences"))) {
            for (int row = 0; row < view->rowCount(); ++row)
                listed << view->item(row, 0)->text() + QLatin1Char(' ') +
                              view->item(row, 1)->text() + QLatin1Char(' ') +
                              view->item(row, 2)->text();
        }
        dialog.findChild<QPushButton*>(button)->click();
        return dialog.result();
    };
    QFETCH(bool, answer);
    QCOMPARE(p.Workflow().CheckConfigurationMatch(), answer);
    QCOMPARE(caption, QStringLiteral("Configuration Mismatch Warning"));
    QVERIFY2(listed.contains(QStringLiteral("ControlMode 4 2")), qPrintable(listed.join(u',')));
    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    // Afterwards wizard and drive agree, setting by setting, or nothing changed.
    const ConfigurationDifferences after = p.Workflow().DifferencesFromDrive();
    QCOMPARE(after.isEmpty(), answer);
    QCOMPARE(state.ControlMode,
             button == QLatin1String("downloadButton") ? int(WizardState::VelocityMode)
             : button == QLatin1String("uploadButton") ? int(WizardState::TorqueMode)
                                                       : int(WizardState::VelocityMode));
}

void TestWizard::everyShippedMotorPassesItsChecks()
{
    Wizard p;
    QVERIFY(p.motors.GetOrvexMotorCollection()->Count() > 200);
    QCOMPARE(p.Step2().ValidateAllMotors(), 0);
    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    QCOMPARE(p.Step2().HeadingLabel()->text(), CConfigWizardStep2Dlg::Heading);
}

// What the steps after the first show, box by box.
static QMap<QString, QString> PageTexts(const Wizard& p)
{
    QMap<QString, QString> texts;
    for (int id :
         {PageId::ConfigWizardStep2, PageId::ConfigWizardStep3, PageId::ConfigWizardStep4}) {
        QWidget* page = p.window.Page(id);
        const QString prefix = page->objectName() + QLatin1Char('/');
        for (const QLineEdit* edit : page->findChildren<QLineEdit*>())
            if (!edit->objectName().startsWith(QLatin1String("qt_")))
                texts[prefix + edit->objectName()] = edit->text();
        for (const QComboBox* combo : page->findChildren<QComboBox*>())
            texts[prefix + combo->objectName()] = combo->currentText();
        for (const QAbstractButton* box : page->findChildren<QAbstractButton*>())
            if (box->isCheckable())
                texts[prefix + box->objectName()] = box->isChecked() ? "yes" : "no";
    }
    return texts;
}

void TestWizard::walkAllFiveSteps_data()
{
    QTest::addColumn<QStringList>("picks"); // series, frame, stack, winding, feedback
    QTest::addColumn<int>("mode");
    QTest::newRow("rotary, velocity") << QStringList() << int(WizardState::VelocityMode);
    QTest::newRow("linear, step and direction")
        << QStringList{"Vantor", "T2", "B", "1", "E"} << int(WizardState::StepDirectionMode);
}

// A configuration walked through every step, downloaded, and uploaded again
// is the same in every page.
void TestWizard::walkAllFiveSteps()
{
    QFETCH(QStringList, picks);
    QFETCH(int, mode);
    Wizard p;
    const List order[] = {List::Series, List::Frame, List::Stack, List::Winding, List::Feedback};
    for (int i = 0; i < picks.size(); ++i)
        QVERIFY2(p.Pick(order[i], picks[i]), qPrintable(picks[i]));
    p.Step1().AdvancedBox()->setChecked(true);
    p.Step1().NextButton()->click();
    p.Step2().NextButton()->click();
    auto* step3 = dynamic_cast<CConfigWizardStep3Dlg*>(p.window.Page(PageId::ConfigWizardStep3));
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep3));
    step3->SetControlMode(mode);
    step3->NextButton()->click();
    auto* step4 = dynamic_cast<CConfigWizardStep4Dlg*>(p.window.Page(PageId::ConfigWizardStep4));
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep4));
    step4->NextButton()->click();
    auto* step5 = dynamic_cast<CConfigWizardStep5Dlg*>(p.window.Page(PageId::ConfigWizardStep5));
    step5->DownloadBox()->setChecked(true);
    step5->NextButton()->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep1));
    QCOMPARE(p.config->MotorIsLinear(), picks.isEmpty() ? 0 : 1);

    const QMap<QString, QString> before = PageTexts(p);
    QVERIFY(p.Workflow().DifferencesFromDrive().isEmpty());
    p.window.findChild<QPushButton*>(QStringLiteral("getFromDriveButton"))->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    const QMap<QString, QString> after = PageTexts(p);
    // The same values; a number typed "40" comes back shown as "40.00".
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        bool wasNumber = false;
        bool isNumber = false;
        const double was = it.value().toDouble(&wasNumber);
        const double is = after.value(it.key()).toDouble(&isNumber);
        if (wasNumber && isNumber)
            QVERIFY2(std::abs(was - is) < 0.005,
                     qPrintable(it.key() + QLatin1Char(' ') + it.value() + QLatin1String(" / ") +
                                after.value(it.key())));
        else
            QCOMPARE(after.value(it.key()), it.value());
    }
}

void TestWizard::controlModeStepChecks_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("box"); // in step 3 or its gains panel
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // how the refusal starts; empty: passes
    const QString bandwidth = QStringLiteral("Current Loop Bandwidth must be between 250 and 2500");
    QTest::newRow("bandwidth 249") << true << 2 << "bandwidthEdit"
                                   << "249" << bandwidth;
    QTest::newRow("bandwidth 250") << true << 2 << "bandwidthEdit"
                                   << "250" << QString();
    QTest::newRow("bandwidth 2500") << true << 2 << "bandwidthEdit"
                                    << "2500" << QString();
    QTest::newRow("bandwidth 2501") << true << 2 << "bandwidthEdit"
                                    << "2501" << bandwidth;
    QTest::newRow("bandwidth empty") << true << 2 << "bandwidthEdit"
                                     << "" << bandwidth;
    // The drive derives the current loop gains from the bandwidth then.
    QTest::newRow("gain with auto gains") << true << 2 << "currentProportionalGainEdit"
                                          << "99999" << QString();
    QTest::newRow("gain without") << false << 2 << "currentProportionalGainEdit"
                                  << "99999"
                                  << "Current Loop Proportional Gain must be between";
    QTest::newRow("torque limit empty") << true << 2 << "torqueLimitEdit"
                                        << ""
                                        << "Torque Limit must be between";
    QTest::newRow("velocity mode's gains") << true << 4 << "integralLimitEdit"
                                           << ""
                                           << "Integral Limit must be between";
}

void TestWizard::controlModeStepChecks()
{
    QFETCH(bool, automatic);
    QFETCH(int, mode);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Wizard p;
    p.Step1().NextButton()->click();
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep3));
    auto* step3 = dynamic_cast<CConfigWizardStep3Dlg*>(p.window.Page(PageId::ConfigWizardStep3));
    // The BE23A1E: Ke 18 V/krpm at 4.53 Arms peak.
    QCOMPARE(step3->TorqueScalingEdit()->text(), QStringLiteral("1.10"));
    step3->SetControlMode(mode);
    step3->AutoGainsBox()->setChecked(automatic);
    QWidget* shown = step3->ShownGainsPanel();
    auto* edit = shown->findChild<QLineEdit*>(box);
    if (!edit)
        edit = step3->findChild<QLineEdit*>(box);
    QVERIFY(edit);
    edit->setText(text);
    step3->NextButton()->click();
    if (message.isEmpty()) {
        QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
        QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep4));
        QCOMPARE(p.config->ControlMode(), mode);
    } else {
        QCOMPARE(p.ui.Messages.size(), std::size_t(1));
        QVERIFY2(p.ui.Messages[0].Text.startsWith(message), qPrintable(p.ui.Messages[0].Text));
        QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep3));
        QCOMPARE(QApplication::focusWidget() == edit || !p.window.isVisible(), true);
    }
}

void TestWizard::refusedOutputValues_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("parameter");
    QTest::addColumn<QString>("message");
    // The drive's ceiling for the startup voltage is 10 V.
    QTest::newRow("startup voltage above P114")
        << "startupVoltageEdit"
        << "12.5" << 114
        << "Fault On Excessive Startup Voltage must be between %.2lf and %.2lf volts";
    QTest::newRow("empty brake delay")
        << "brakeDelayEdit"
        << "" << 90 << "Fault Output Brake Delay must be between %.0lf and %.0lf milliseconds";
    // Checked although "Enable In-Position Output" is not ticked.
    QTest::newRow("deadband, output off")
        << "inPositionDeadbandEdit"
        << "70000" << 91 << "In-Position Deadband must be between %.0lf and %.0lf feedback counts";
}

void TestWizard::refusedOutputValues()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(int, parameter);
    QFETCH(QString, message);
    Wizard p;
    p.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&p.window));
    p.window.SetPage(PageId::ConfigWizardStep4);
    CConfigWizardStep4Dlg& step4 = p.Step4();
    QVERIFY(!step4.InPositionEnableBox()->isChecked());
    const int delayBefore = p.config->BrakeDelay();
    const float voltsBefore = p.config->StartupVoltageFault();
    auto* box = step4.findChild<NumericEdit*>(edit);
    box->setText(text);
    step4.NextButton()->click();

    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep4));
    const auto& range = p.limits[parameter];
    QCOMPARE(OrvexTest::Messages(p.ui),
             QStringList{"Data Validation Error: " +
                         QString::asprintf(qPrintable(message), range.Minimum, range.Maximum)});
    QVERIFY(FieldValidation::IsFlagged(box));
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(p.config->BrakeDelay(), delayBefore);
    QCOMPARE(p.config->StartupVoltageFault(), voltsBefore);
}

void TestWizard::outputsAndThermalSensor_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QStringList>("constructions");
    QTest::addColumn<int>("code");
    const QStringList switches{"Normally Closed Switch", "Normally Open Switch"};
    const QStringList thermistors{"Positive Temperature Coefficient",
                                  "Negative Temperature Coefficient"};
    QTest::newRow("NTC thermistor") << "Thermistor" << thermistors[1] << thermistors << 3;
    QTest::newRow("normally open switch") << "Switch" << switches[1] << switches << 2;
}

void TestWizard::outputsAndThermalSensor()
{
    QFETCH(QString, type);
    QFETCH(QString, construction);
    QFETCH(QStringList, constructions);
    QFETCH(int, code);
    Wizard p;
    p.window.SetPage(PageId::ConfigWizardStep4);
    CConfigWizardStep4Dlg& step4 = p.Step4();
    QComboBox* types = step4.SensorTypeCombo();
    QComboBox* builds = step4.SensorConstructionCombo();
    // Picked as the user would: the type refills the constructions.
    types->setCurrentIndex(types->findText(type == "Switch" ? "Thermistor" : "Switch"));
    types->setCurrentIndex(types->findText(type));
    QStringList listed;
    for (int i = 0; i < builds->count(); ++i)
        listed << builds->itemText(i);
    QCOMPARE(listed, constructions);
    QCOMPARE(builds->currentText(), constructions[0]);
    builds->setCurrentIndex(builds->findText(construction));
    step4.StartupVoltageEdit()->setText(QStringLiteral("7.5"));
    step4.NextButton()->click();

    QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
    QCOMPARE(p.window.ActivePageId(), int(PageId::ConfigWizardStep5));
    QCOMPARE(p.config->StartupVoltageFault(), 7.5f);
    QCOMPARE(p.config->ThermalSensorCode(), code);

    // Read back from the configuration after a reset to defaults.
    step4.ResetToDefaults();
    QCOMPARE(builds->currentText(), QStringLiteral("Normally Closed Switch"));
    step4.FillFromConfig();
    QCOMPARE(types->currentText(), type);
    QCOMPARE(builds->currentText(), construction);
    QCOMPARE(step4.StartupVoltageEdit()->text(), QStringLiteral("7.50"));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
