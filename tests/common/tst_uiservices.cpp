#include "FakeUiServices.h"
#include "UiServices.h"
#include "WaitDlg.h"
#include "WidgetUiServices.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace Orvex;

class TestUiServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classicFilters_data()
    {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QString>("toolkit");
        const auto row = [](const char* name, QString classic, QString toolkit) {
            QTest::newRow(name) << classic << toolkit;
        };
        // A description that already names its patterns is not given them twice.
        row("configuration", "Orvex Configuration Files(*.kvt)|*.kvt||",
            "Orvex Configuration Files(*.kvt)");
        row("two filters", "Button Files (*.btn)|*.btn|All Files (*.*)|*.*||",
            "Button Files (*.btn);;All Files (*.*)");
        row("other patterns named", "Logs (*.old)|*.log||", "Logs (*.old) (*.log)");
        row("several patterns", "Text|*.txt;*.log||", "Text (*.txt *.log)");
        row("empty", "", "");
    }

    void classicFilters()
    {
        QFETCH(QString, classic);
        QFETCH(QString, toolkit);
        QCOMPARE(ToolkitFileFilter(classic), toolkit);
    }

    void waitWindowShowsTextThenClosesBeforeAMessage()
    {
        WidgetUiServices ui;
        QWidget owner;
        ui.SetOwner(&owner);
        const auto wait = ui.ShowWait(QStringLiteral("Testing Orvex connection..."));
        QCOMPARE(ui.OpenWaitWindows(), 1);
        // The window shown is the program's own, with its title; it takes new text.
        const auto* dialog = dynamic_cast<CWaitDlg*>(wait.get());
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Please wait..."));
        QCOMPARE(dialog->Text(), QStringLiteral("Testing Orvex connection..."));
        wait->SetText(QStringLiteral("Uploading Orvex configuration..."));
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("waitText"))->text(),
                 QStringLiteral("Uploading Orvex configuration..."));
        int waitsOnShow = -1;
        // Answers the box as the user would, noting what else is on screen.
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                waitsOnShow = ui.OpenWaitWindows();
                box->accept();
            }
        });
        ui.ShowMessage(QStringLiteral("Communications Error"), QStringLiteral("COM port not open"));
        QCOMPARE(waitsOnShow, 0);
    }

    void failuresShownInMessageBoxes()
    {
        OrvexTest::FakeUiServices ui;
        const QString caption = QStringLiteral("Communications Error");
        QVERIFY(RunShowingErrors(ui, caption, [] {}));
        QVERIFY(!RunShowingErrors(
            ui, caption, [] { throw ComponentError(0x80004005u, QStringLiteral("Port closed")); }));
        QVERIFY(!RunShowingErrors(
            ui, caption, [] { throw FrameworkException(QString(3000, QLatin1Char('m'))); }));
        QCOMPARE(ui.Messages.size(), size_t(2));
        QCOMPARE(ui.Messages[0].Caption, caption);
        QCOMPARE(ui.Messages[0].Text, QStringLiteral("Port closed"));
        QCOMPARE(ui.Messages[1].Text, QString(1024, QLatin1Char('m')));
        // Anything else is left to the guarded handler around it.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, RunShowingErrors(ui, caption, [] {
                                     throw std::runtime_error("other");
                                 }));
    }
};

QTEST_MAIN(TestUiServices)
#include "tst_uiservices.moc"
