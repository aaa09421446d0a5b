#include "FakeUiServices.h"
#include "UiServices.h"
#include "WaitDlg.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <stdexcept>

using namespace Orvex;

class TestUiServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classicFilters_data();
    void classicFilters();
    void waitWindowShowsItsText();
    void failuresShownInMessageBoxes();
};

void TestUiServices::classicFilters_data()
{
    QTest::addColumn<QString>("classic");
    QTest::addColumn<QString>("toolkit");
    QTest::newRow("configuration") << "Orvex Configuration Files(*.kvt)|*.kvt||"
                                   << "Orvex Configuration Files(*.kvt) (*.kvt)";
    QTest::newRow("two filters") << "Button Files (*.btn)|*.btn|All Files (*.*)|*.*||"
                                 << "Button Files (*.btn) (*.btn);;All Files (*.*) (*.*)";
    QTest::newRow("several patterns") << "Text|*.txt;*.log||"
                                      << "Text (*.txt *.log)";
    QTest::newRow("empty") << ""
                           << "";
}

void TestUiServices::classicFilters()
{
    QFETCH(QString, classic);
    QFETCH(QString, toolkit);
    QCOMPARE(Orvex::ToolkitFileFilter(classic), toolkit);
}

void TestUiServices::waitWindowShowsItsText()
{
    QWidget owner;
    CWaitDlg wait(&owner, QStringLiteral("Testing Orvex connection..."));
    QVERIFY(wait.isVisible());
    QCOMPARE(wait.windowTitle(), QStringLiteral("Please wait..."));
    QCOMPARE(wait.Text(), QStringLiteral("Testing Orvex connection..."));
    wait.SetText(QStringLiteral("Uploading Orvex configuration..."));
    QCOMPARE(wait.findChild<QLabel*>(QStringLiteral("waitText"))->text(),
             QStringLiteral("Uploading Orvex configuration..."));
}

void TestUiServices::failuresShownInMessageBoxes()
{
    OrvexTest::FakeUiServices ui;
    const QString caption = QStringLiteral("Communications Error");
    QVERIFY(Orvex::RunShowingErrors(ui, caption, [] {}));
    QVERIFY(!Orvex::RunShowingErrors(ui, caption, [] {
        throw Orvex::ComponentError(0x80004005u, QStringLiteral("Port closed"));
    }));
    QVERIFY(!Orvex::RunShowingErrors(
        ui, caption, [] { throw Orvex::FrameworkException(QString(3000, QLatin1Char('m'))); }));
    QCOMPARE(ui.Messages.size(), size_t(2));
    QCOMPARE(ui.Messages[0].Caption, caption);
    QCOMPARE(ui.Messages[0].Text, QStringLiteral("Port closed"));
    QCOMPARE(ui.Messages[1].Text, QString(1024, QLatin1Char('m')));
    // Anything else is left to the guarded handler around it.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, Orvex::RunShowingErrors(ui, caption, [] {
                                 throw std::runtime_error("other");
                             }));
}

QTEST_MAIN(TestUiServices)
#include "tst_uiservices.moc"
