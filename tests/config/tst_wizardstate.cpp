#include "WizardFakes.h"
#include "WizardState.h"

#include <QTest>

#include <cmath>
#include <type_traits>

using Orvex::WizardState;

// The fakes the wizard and tuning tests drive the workflow with must stay
// complete as the contracts grow.
static_assert(!std::is_abstract_v<OrvexTest::FakeWizardStep>);

class TestWizardState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void originAndTitle_data();
    void originAndTitle();
    void positionTunerByGeneration_data();
    void positionTunerByGeneration();
};

void TestWizardState::originAndTitle_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("origin");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("loadPath");
    const QString path = QStringLiteral("/home/eng/cell 4/press.kvt");
    QTest::newRow("opened") << "open" << 1 << "Configuration - press.kvt" << path;
    QTest::newRow("saved") << "save" << 1 << "Configuration - " + path << path;
    // An upload keeps the file the user last opened for the next start.
    QTest::newRow("uploaded") << "upload" << 2 << "Configuration - Uploaded from Orvex Drive"
                              << "/old.kvt";
    QTest::newRow("new default") << "default" << 0 << "Configuration - Default Profile"
                                 << QString();
}

void TestWizardState::originAndTitle()
{
    QFETCH(QString, action);
    WizardState state;
    state.SetLoadPath(QStringLiteral("/old.kvt"));
    const QString path = QStringLiteral("/home/eng/cell 4/press.kvt");
    if (action == QLatin1String("open"))
        state.OpenedFile(path);
    else if (action == QLatin1String("save"))
        state.SavedFile(path);
    else if (action == QLatin1String("upload"))
        state.UploadedFromDrive();
    else
        state.StartDefaultProfile();
    QFETCH(int, origin);
    QCOMPARE(int(state.ConfigOrigin()), origin);
    QFETCH(QString, title);
    QCOMPARE(state.ProfileTitle(), title);
    QFETCH(QString, loadPath);
    QCOMPARE(state.LoadPath(), loadPath);
}

void TestWizardState::positionTunerByGeneration_data()
{
    QTest::addColumn<float>("generation");
    QTest::addColumn<bool>("autoTuning");
    QTest::newRow("initial") << WizardState::InitialStep1Value << false;
    QTest::newRow("just below") << 3.999f << false;
    QTest::newRow("4.0") << 4.0f << true;
    QTest::newRow("later") << 5.5f << true;
    QTest::newRow("not a number") << std::nanf("") << false;
}

void TestWizardState::positionTunerByGeneration()
{
    WizardState state;
    QFETCH(float, generation);
    state.Step1Value = generation;
    QFETCH(bool, autoTuning);
    QCOMPARE(state.UsesAutoTuningPositionTuner(), autoTuning);
}

QTEST_APPLESS_MAIN(TestWizardState)
#include "tst_wizardstate.moc"
