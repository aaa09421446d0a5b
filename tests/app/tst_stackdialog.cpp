#include "StackDialog.h"
#include "TraceCapture.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

using namespace Orvex;

namespace {

QStringList g_calls;

class RecordingPage final : public TStackedPage
{
public:
    explicit RecordingPage(int id) : m_id(id) {}
    void OnSetActive() override { g_calls << QStringLiteral("set %1").arg(m_id); }
    void OnKillActive() override { g_calls << QStringLiteral("kill %1").arg(m_id); }
    void OnCreatePage() override { g_calls << QStringLiteral("create %1").arg(m_id); }
    void OnDestroyPage() override { g_calls << QStringLiteral("destroy %1").arg(m_id); }

private:
    int m_id;
};

class Container final : public TStackedDialog
{
public:
    Container()
    {
        auto* layout = new QVBoxLayout(this);
        auto* placeholder = new QWidget(this);
        layout->addWidget(placeholder);
        SetPlaceholder(placeholder);
    }
    void Destroy() { DestroyPages(); }
    std::vector<std::pair<int, bool>> Changes;

protected:
    TStackedPage* CreatePage(int id) override { return id == 0 ? nullptr : new RecordingPage(id); }
    void OnPageChanged(int id, bool activated) override { Changes.emplace_back(id, activated); }
};

} // namespace

class TestStackDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { g_calls.clear(); }
    void switchingPages();
    void reselectingTheVisiblePageHidesAndShowsIt();
    void aPageThatCannotBeMadeIsLeftOut();
    void destructionCallsKillThenDestroyForEveryPage();
};

void TestStackDialog::switchingPages()
{
    Container container;
    container.AddPage(1);
    container.AddPage(2);
    container.show();
    container.SetPage(1);
    container.SetPage(2);
    QCOMPARE(g_calls, QStringList({"create 1", "create 2", "set 1", "kill 1", "set 2"}));
    QVERIFY(!container.Page(1)->isVisible());
    QVERIFY(container.Page(2)->isVisible());
    QCOMPARE(container.ActivePageId(), 2);
    const std::vector<std::pair<int, bool>> expected{{1, true}, {1, false}, {2, true}};
    QVERIFY(container.Changes == expected);
}

void TestStackDialog::reselectingTheVisiblePageHidesAndShowsIt()
{
    Container container;
    container.AddPage(7);
    container.show();
    container.SetPage(7);
    g_calls.clear();
    container.SetPage(7);
    QCOMPARE(g_calls, QStringList({"kill 7", "set 7"}));
    QVERIFY(container.Page(7)->isVisible());
}

void TestStackDialog::aPageThatCannotBeMadeIsLeftOut()
{
    OrvexTest::TraceCapture capture;
    Container container;
    container.AddPage(1);
    container.AddPage(0);
    container.AddPage(3);
    QCOMPARE(container.PageIds(), std::vector<int>({1, 3}));
    QCOMPARE(capture.Lines().size(), 2);
    QVERIFY(capture.Lines().at(0).endsWith(QStringLiteral("pPage is FALSE")));
    QVERIFY(capture.Lines().at(1).endsWith(QStringLiteral("Error 0x8000FFFF")));
}

void TestStackDialog::destructionCallsKillThenDestroyForEveryPage()
{
    Container container;
    container.AddPage(1);
    container.AddPage(2);
    container.SetPage(2);
    g_calls.clear();
    container.Destroy();
    QCOMPARE(g_calls, QStringList({"kill 1", "destroy 1", "kill 2", "destroy 2"}));
    QVERIFY(container.PageIds().empty());
}

QTEST_MAIN(TestStackDialog)
#include "tst_stackdialog.moc"
