#include "UiServices.h"
#include "WaitDlg.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class TestUiServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classicFilters_data();
    void classicFilters();
    void waitWindowShowsItsText();
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

QTEST_MAIN(TestUiServices)
#include "tst_uiservices.moc"
