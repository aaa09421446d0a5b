#include "AboutDlg.h"
#include "AppContext.h"
#include "BuiltInComponents.h"
#include "ComponentFactory.h"
#include "FakeUiServices.h"
#include "OrvexConfig.h"
#include "OrvexSupportToolDlg.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

// The main window as the program builds it, with the real link, bridge and
// simulated drive, on a computer without serial ports.
struct Program : OrvexTest::SimulatedProgram
{
    Program()
        : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR)), window(context, ports, nullptr)
    {
        window.OnInitDialog();
    }

    template <class T> T* Child(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }

    COrvexSupportToolDlg window;
};

} // namespace

// The program's windows driven through the real drive bridge and serial link
// against the simulated drive.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void simulatorPortIsListed();
    void testConnectionReachesTheSimulatedDrive_data();
    void testConnectionReachesTheSimulatedDrive();
    void simulatorPortCanBeWithdrawn();
    void aboutBoxNamesTheLinkVersion();
};

void TestEndToEnd::simulatorPortIsListed()
{
    Program p;
    QVERIFY(p.components.Drive());
    QCOMPARE(p.Child<QComboBox>("portList")->count(), 1);
    QCOMPARE(p.Child<QLabel>("portDescription")->text(), QStringLiteral("Orvex Drive Simulator"));
    QCOMPARE(p.Child<QLabel>("portPath")->text(), QStringLiteral("built into this program"));
    QVERIFY(p.window.SelectedPort() > 0);
}

void TestEndToEnd::testConnectionReachesTheSimulatedDrive_data()
{
    QTest::addColumn<int>("os");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("status");
    QTest::newRow("answers") << int(SimulatedDrive::OsState::Valid) << false << QString();
    QTest::newRow("silent") << int(SimulatedDrive::OsState::Valid) << true
                            << "No response from Orvex drive";
    QTest::newRow("no OS") << int(SimulatedDrive::OsState::Missing) << false
                           << "OS needs to be downloaded";
    QTest::newRow("corrupt OS") << int(SimulatedDrive::OsState::Corrupt) << false
                                << "Cycle power and download OS";
}

void TestEndToEnd::testConnectionReachesTheSimulatedDrive()
{
    QFETCH(int, os);
    QFETCH(bool, silent);
    QFETCH(QString, status);
    Program p;
    p.components.Drive()->SetOsState(SimulatedDrive::OsState(os));
    p.components.Drive()->SetNoAnswer(silent);
    p.Child<QPushButton>("testButton")->click();
    QCOMPARE(p.ui.WaitTexts, QStringList{QStringLiteral("Testing Orvex connection...")});
    if (status.isEmpty()) {
        QCOMPARE(p.ui.Messages.size(), size_t(1));
        QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Communications Status"));
        QCOMPARE(p.ui.Messages[0].Text,
                 QStringLiteral("Successfully communicated with Orvex drive"));
        QVERIFY(p.Child<QLabel>("connectionErrorLabel")->isHidden());
    } else {
        QVERIFY(p.ui.Messages.empty());
        QVERIFY(!p.Child<QLabel>("connectionErrorLabel")->isHidden());
        QCOMPARE(p.Child<QLabel>("connectionStatusLabel")->text(),
                 QStringLiteral("Status: ") + status);
    }
}

void TestEndToEnd::simulatorPortCanBeWithdrawn()
{
    Program p;
    QAction* offer = p.Child<QAction>("simulatorAction");
    QVERIFY(offer->isChecked());
    offer->setChecked(false);
    QCOMPARE(p.Child<QComboBox>("portList")->count(), 0);
    QVERIFY(!p.Child<QLabel>("noPortsLabel")->isHidden());
    QVERIFY(!BuiltInComponents::SimulatorOffered(p.settings));
    offer->setChecked(true);
    QCOMPARE(p.Child<QComboBox>("portList")->count(), 1);
}

void TestEndToEnd::aboutBoxNamesTheLinkVersion()
{
    Program p;
    QString link;
    p.ui.OnModal = [&](QDialog& dialog) {
        link = qobject_cast<CAboutDlg*>(&dialog)->LinkVersionLine();
        return int(QDialog::Accepted);
    };
    p.window.ShowAboutBox();
    QCOMPARE(link, QStringLiteral("ComHost2.exe, Version 2.0.0\r\n"));
    QVERIFY(p.ui.Messages.empty());
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
