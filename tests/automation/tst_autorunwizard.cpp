#include "AutoRunWizard.h"
#include "FakeMainWindow.h"
#include "PageIds.h"
#include "SimulatedProgram.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Orvex;

namespace {

const QStringList Start{QStringLiteral("DMODE 1"), QStringLiteral("RESET")};
const QStringList Stop{QStringLiteral("DMODE 2"), QStringLiteral("RESET")};

} // namespace

// The auto run test wizard opened from the operating system page, on the
// simulated drive through the real link.
class TestAutoRunWizard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandsForEachWay_data()
    {
        QTest::addColumn<QStringList>("clicks"); // "escape" closes the window
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<int>("result");
        QTest::newRow("next, finish")
            << QStringList{"next", "finish"} << Start + Stop + Stop << int(QDialog::Accepted);
        QTest::newRow("next, back, cancel") << QStringList{"next", "back", "cancel"}
                                            << Start + Stop + Stop << int(QDialog::Rejected);
        QTest::newRow("cancel on step 1")
            << QStringList{"cancel"} << QStringList() << int(QDialog::Rejected);
        QTest::newRow("next, back, next, finish")
            << QStringList{"next", "back", "next", "finish"} << Start + Stop + Start + Stop + Stop
            << int(QDialog::Accepted);
        QTest::newRow("next, escape")
            << QStringList{"next", "escape"} << Start + Stop << int(QDialog::Rejected);
    }
    void commandsForEachWay()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, commands);
        QFETCH(int, result);
        OrvexTest::SimulatedWindow m;
        m.window.SetPage(PageId::OperatingSystemUpdate);
        SimulatedDrive& drive = m.Drive();
        drive.Receive("SIMSW=baud:0\r");
        const qsizetype before = drive.RecentCommands().size();
        const auto received = [&] { return drive.RecentCommands().mid(before); };
        const auto walk = [&](CAutoRunWizard& wizard) {
            QStringList expected;
            for (const QString& click : clicks) {
                if (click == QLatin1String("escape")) {
                    QTest::keyClick(&wizard, Qt::Key_Escape);
                    break;
                }
                const int step = wizard.CurrentStep();
                QPushButton* button = wizard.findChild<QPushButton*>(click + "Button");
                QVERIFY2(button->isVisibleTo(&wizard), qPrintable(click));
                button->click();
                if (click == QLatin1String("next")) {
                    expected += Start;
                    QTRY_COMPARE(received(), expected);
                    // The drive turns the motor by itself now.
                    QTRY_VERIFY(drive.ActiveDriveMode() == 1 && drive.IsEnabled());
                    QCOMPARE(wizard.windowTitle(),
                             QStringLiteral("Auto Run Test Wizard - Step 2 of 2"));
                } else if (step == 1) {
                    expected += Stop;
                    QTRY_COMPARE(received(), expected);
                }
            }
        };
        int ended = -1;
        m.ui.OnModal = [&](QDialog& dialog) {
            walk(dynamic_cast<CAutoRunWizard&>(dialog));
            return ended = dialog.result();
        };
        m.Child<QPushButton>("autoRunWizardButton")->click();
        QCOMPARE(ended, result);
        QTRY_COMPARE(received(), commands);
        QVERIFY2(OrvexTest::Messages(m.ui).isEmpty(),
                 qPrintable(OrvexTest::Messages(m.ui).join('\n')));
        // Every stop is followed by the pause that lets the drive leave auto run.
        QCOMPARE(m.ui.Pauses, std::vector<int>(size_t(commands.count(Stop.first())),
                                               CAutoRunWizard::StopPauseMs));
        QCOMPARE(drive.ActiveDriveMode(), 2);
    }

    void linkFailures_data()
    {
        QTest::addColumn<bool>("linkMade");
        QTest::addColumn<QString>("message");
        QTest::newRow("port does not open")
            << true << QStringLiteral("Communications Error: COM port not open");
        QTest::newRow("no link object")
            << false
            << QStringLiteral("Communications Error: Failed to create Communications Server");
    }
    void linkFailures()
    {
        QFETCH(bool, linkMade);
        QFETCH(QString, message);
        OrvexTest::FakeProgram program;
        OrvexTest::FakeMainWindow mainWindow;
        mainWindow.Port = 3;
        OrvexTest::ScriptedLink* link = nullptr;
        if (linkMade) {
            program.factory.Register(QString::fromLatin1(ProgId::LinkPort), [&link] {
                auto made = std::make_unique<OrvexTest::ScriptedLink>();
                made->OpenSucceeds = false;
                link = made.get();
                return made;
            });
        }
        {
            CAutoRunWizard wizard(program.context, mainWindow);
            wizard.Next();
            // Once when the step is set up, once when the start cannot go out.
            QCOMPARE(OrvexTest::Messages(program.ui), QStringList(2, message));
            QCOMPARE(wizard.CurrentStep(), 1);
            if (linkMade) {
                QCOMPARE(link->Opens, (std::vector<std::pair<int, bool>>{{3, false}}));
                QVERIFY(link->Writes.isEmpty());
            }
        }
        // Nor can the stop on closing.
        QCOMPARE(OrvexTest::Messages(program.ui), QStringList(3, message));
    }

    void headings()
    {
        OrvexTest::SimulatedWindow m;
        CAutoRunWizard wizard(m.context, m.window);
        QCOMPARE(wizard.windowTitle(), QStringLiteral("Auto Run Test Wizard - Step 1 of 2"));
        const struct
        {
            const char* name;
            QColor colour;
            bool bold;
        } expected[] = {{"conditionsHeading", Qt::blue, false},
                        {"warningsHeading", Qt::red, true},
                        {"evaluationHeading", Qt::blue, false}};
        for (const auto& heading : expected) {
            const auto* label = wizard.findChild<QLabel*>(QLatin1String(heading.name));
            QCOMPARE(label->font().pointSize(), 12);
            QCOMPARE(label->font().bold(), heading.bold);
            QCOMPARE(label->palette().color(QPalette::WindowText), heading.colour);
        }
    }
};

QTEST_MAIN(TestAutoRunWizard)
#include "tst_autorunwizard.moc"
