#include "BitStatusPanelDlg.h"
#include "NumStatusPanelDlg.h"
#include "PageIds.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace Orvex;

using Program = OrvexTest::SimulatedWindow;

// The program's windows driven through the real drive bridge and serial link
// against the simulated drive.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void simulatorPort();
    void testStopsStatusUpdatesThenReachesTheDrive();
    void everyControlHasAnAccessibleName();
    void simulatedLoadFromTheOptionsMenu_data();
    void simulatedLoadFromTheOptionsMenu();
};

void TestEndToEnd::simulatorPort()
{
    Program p;
    QVERIFY(p.components.Drive());
    QCOMPARE(p.Child<QComboBox>("portList")->count(), 1);
    QCOMPARE(p.Child<QLabel>("portDescription")->text(), QStringLiteral("Orvex Drive Simulator"));
    QCOMPARE(p.Child<QLabel>("portPath")->text(), QStringLiteral("built into this program"));
    QCOMPARE(p.window.SelectedPort(), p.SimulatorPort());
    QVERIFY(p.SimulatorPort() > 0);
    // The Options menu withdraws and offers it again, and remembers the choice.
    QAction* offer = p.Child<QAction>("simulatorAction");
    QVERIFY(offer->isChecked());
    offer->setChecked(false);
    QCOMPARE(p.Child<QComboBox>("portList")->count(), 0);
    QVERIFY(!p.Child("noPortsLabel")->isHidden());
    QVERIFY(!BuiltInComponents::SimulatorOffered(p.settings));
    offer->setChecked(true);
    QCOMPARE(p.Child<QComboBox>("portList")->count(), 1);
}

void TestEndToEnd::testStopsStatusUpdatesThenReachesTheDrive()
{
    Program p;
    auto* bits = dynamic_cast<CBitStatusPanelDlg*>(p.window.Page(PageId::BitStatusPanel));
    auto* numbers = dynamic_cast<CNumStatusPanelDlg*>(p.window.Page(PageId::NumericStatusPanel));
    QVERIFY(bits && numbers);
    numbers->Grid()->SetCellCheckBox(0, CNumStatusPanelDlg::CheckColumn, true);
    for (QWidget* page : {static_cast<QWidget*>(bits), static_cast<QWidget*>(numbers)})
        page->findChild<QPushButton*>(QStringLiteral("autoUpdateButton"))->click();
    QVERIFY(bits->IsAutoUpdating() && bits->IsTimerRunning());
    QVERIFY(numbers->IsAutoUpdating());
    QVERIFY(p.ui.Messages.empty());

    p.Child<QPushButton>("testButton")->click();
    QVERIFY(!bits->IsAutoUpdating());
    QVERIFY(!bits->IsTimerRunning());
    QVERIFY(!numbers->IsAutoUpdating());
    QVERIFY(p.Child("updatingText")->isHidden());
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Communications Status"));
    QCOMPARE(p.ui.Messages[0].Text, QStringLiteral("Successfully communicated with Orvex drive"));
    QVERIFY(p.Child("connectionErrorLabel")->isHidden());
    // Neither page's timer asks the drive anything any more.
    const int heard = p.Drive().CommandsReceived();
    QTest::qWait(CNumStatusPanelDlg::AutoUpdatePeriodMs + 200);
    QCOMPARE(p.Drive().CommandsReceived(), heard);
    // A drive that stops answering is reported on the labels.
    p.Drive().SetNoAnswer(true);
    p.Child<QPushButton>("testButton")->click();
    QVERIFY(!p.Child("connectionErrorLabel")->isHidden());
    QCOMPARE(p.Child<QLabel>("connectionStatusLabel")->text(),
             QStringLiteral("Status: No response from Orvex drive"));
}

// A combo's list and its frame belong to the combo.
static bool InsideCombo(const QWidget* control)
{
    for (const QWidget* up = control->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up))
            return true;
    }
    return false;
}

// What a screen reader or a test through accessibility finds: every control
// on every page is named.
void TestEndToEnd::everyControlHasAnAccessibleName()
{
    Program p;
    p.window.show();
    QStringList unnamed;
    for (QWidget* control : p.window.findChildren<QWidget*>()) {
        const bool interactive =
            qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractSpinBox*>(control) ||
            qobject_cast<QAbstractItemView*>(control) || qobject_cast<QPlainTextEdit*>(control);
        // Parts of a control (a spin box's own edit, a combo's list) and the
        // toolkit's own helpers speak for themselves.
        if (!interactive || control->objectName().startsWith(QLatin1String("qt_")) ||
            qobject_cast<QAbstractSpinBox*>(control->parentWidget()) || InsideCombo(control) ||
            qobject_cast<QAbstractItemView*>(control->parentWidget()))
            continue;
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
        if (!access || access->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << control->metaObject()->className() + QStringLiteral(" ") +
                           control->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void TestEndToEnd::simulatedLoadFromTheOptionsMenu_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("resonanceHz");
    QTest::addColumn<QString>("message");
    QTest::newRow("heavier load") << 5.0 << 600.0 << QString();
    QTest::newRow("rigid shaft") << 1.0 << 0.0 << QString();
    QTest::newRow("resonance too low")
        << 5.0 << 20.0
        << "Data Validation Error: The resonance must be 0 (a rigid shaft) or 50 to 5000 Hz.";
}

void TestEndToEnd::simulatedLoadFromTheOptionsMenu()
{
    QFETCH(double, ratio);
    QFETCH(double, resonanceHz);
    QFETCH(QString, message);
    Program p;
    p.ui.OnModal = [&](QDialog& dialog) {
        const auto set = [&dialog](const char* name, double value) {
            auto* box = dialog.findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
            QVERIFY(box && !box->accessibleName().isEmpty());
            box->setValue(value);
        };
        set("loadRatioSpin", ratio);
        set("resonanceSpin", resonanceHz);
        dialog.accept();
        if (dialog.result() != QDialog::Accepted)
            dialog.reject();
        return dialog.result();
    };
    p.Child<QAction>("simulatedLoadAction")->trigger();
    QCOMPARE(OrvexTest::Messages(p.ui).join(u'\n'), message);
    const DriveModel::Load load = BuiltInComponents::SimulatedLoad(p.settings);
    QCOMPARE(load.InertiaRatio, message.isEmpty() ? ratio : 2.5);
    QCOMPARE(load.ResonanceHz, message.isEmpty() ? resonanceHz : 600.0);
    QCOMPARE(load.DampingRatio, 0.05);
    // The drive's next test move runs on it.
    const QByteArray answer = p.Drive().Receive("ENABLE 1\rATUNE\r");
    QVERIFY2(answer.contains("ATUNE="), answer.constData());
    const double measured = answer.mid(answer.indexOf('=') + 1).split('\r').first().toDouble();
    QVERIFY2(std::abs(measured - load.InertiaRatio) < 0.05 * load.InertiaRatio, answer.constData());
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
