#include "StackDialog.h"
#include "TraceCapture.h"

#include <QTest>
#include <QVBoxLayout>

using namespace Orvex;

namespace {

QStringList g_calls;

class RecordingPage final : public TStackedPage
{
public:
    explicit RecordingPage(int id) : m_id(id) {}
    void OnSetActive() override { Record("set"); }
    void OnKillActive() override { Record("kill"); }
    void OnCreatePage() override { Record("create"); }
    void OnDestroyPage() override { Record("destroy"); }

private:
    void Record(const char* what) const { g_calls << QStringLiteral("%1 %2").arg(what).arg(m_id); }
    int m_id;
};

class Container final : public TStackedDialog
{
public:
    Container()
    {
        auto* placeholder = new QWidget(this);
        (new QVBoxLayout(this))->addWidget(placeholder);
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
    void pagesFromCreationToDestruction();
};

void TestStackDialog::pagesFromCreationToDestruction()
{
    OrvexTest::TraceCapture capture;
    Container container;
    container.AddPage(1);
    container.AddPage(0); // cannot be made: reported and left out
    container.AddPage(2);
    QCOMPARE(container.PageIds(), std::vector<int>({1, 2}));
    QCOMPARE(capture.Lines().size(), 2);
    QVERIFY(capture.Lines().at(0).endsWith(QStringLiteral("pPage is FALSE")));
    QVERIFY(capture.Lines().at(1).endsWith(QStringLiteral("Error 0x8000FFFF")));

    container.show();
    container.SetPage(1);
    container.SetPage(2);
    QCOMPARE(g_calls, QStringList({"create 1", "create 2", "set 1", "kill 1", "set 2"}));
    QVERIFY(!container.Page(1)->isVisible());
    QVERIFY(container.Page(2)->isVisible());
    QCOMPARE(container.ActivePageId(), 2);
    const std::vector<std::pair<int, bool>> changes{{1, true}, {1, false}, {2, true}};
    QVERIFY(container.Changes == changes);
    // Choosing the visible page again hides and shows it.
    g_calls.clear();
    container.SetPage(2);
    QCOMPARE(g_calls, QStringList({"kill 2", "set 2"}));
    QVERIFY(container.Page(2)->isVisible());
    // Every page is killed, then destroyed, in creation order.
    g_calls.clear();
    container.Destroy();
    QCOMPARE(g_calls, QStringList({"kill 1", "destroy 1", "kill 2", "destroy 2"}));
    QVERIFY(container.PageIds().empty());
}

QTEST_MAIN(TestStackDialog)
#include "tst_stackdialog.moc"
