#include "ButtonFile.h"
#include "FakeUiServices.h"
#include "UserButtonsDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Orvex;

namespace {

std::array<CUserButtonInfo, 12> PageEntries()
{
    std::array<CUserButtonInfo, 12> entries;
    for (int k = 0; k < UserButtonCount; ++k)
        entries[k] = {QStringLiteral("Page %1").arg(k + 1), QStringLiteral("P0%1").arg(k + 10)};
    return entries;
}

struct Controls
{
    QComboBox* Select = nullptr;
    QLineEdit* Label = nullptr;
    QLineEdit* Command = nullptr;
};

Controls Find(CUserButtonsDlg& dialog)
{
    return {dialog.findChild<QComboBox*>(QStringLiteral("selectButton")),
            dialog.findChild<QLineEdit*>(QStringLiteral("buttonLabel")),
            dialog.findChild<QLineEdit*>(QStringLiteral("buttonCommand"))};
}

QPushButton* Button(CUserButtonsDlg& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

class TestUserButtonsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheFirstEntry();
    void selectionShowsTheEntry();
    void editingStoresAtOnce_data();
    void editingStoresAtOnce();
    void clearAllGivesDefaults();
    void cancelLeavesThePageUnchanged_data();
    void cancelLeavesThePageUnchanged();
    void fileDialogs_data();
    void fileDialogs();
    void openReadsTheFile();
    void saveWritesTheFile();
    void fileFailuresAreShown_data();
    void fileFailuresAreShown();
};

void TestUserButtonsDlg::opensOnTheFirstEntry()
{
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    const Controls c = Find(dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit User Buttons"));
    QCOMPARE(c.Select->count(), 12);
    for (int k = 0; k < 12; ++k)
        QCOMPARE(c.Select->itemText(k), QStringLiteral("User Button %1").arg(k + 1));
    QCOMPARE(c.Select->currentIndex(), 0);
    QCOMPARE(c.Label->text(), QStringLiteral("Page 1"));
    QCOMPARE(c.Command->text(), QStringLiteral("P010"));
    for (const char* text : {"OK", "Cancel", "Clear All", "Open...", "Save..."})
        QVERIFY2(Button(dialog, QString::fromLatin1(text)), text);
    // Every input has its label as buddy, for the keyboard and screen readers.
    const QList<std::pair<QString, QWidget*>> captions = {
        {QStringLiteral("Select Button"), c.Select},
        {QStringLiteral("Edit Button Label"), c.Label},
        {QStringLiteral("Edit Orvex Command"), c.Command}};
    for (const auto& [caption, input] : captions) {
        const auto labels = dialog.findChildren<QLabel*>();
        const auto label = std::find_if(labels.begin(), labels.end(),
                                        [&](QLabel* l) { return l->text() == caption; });
        QVERIFY2(label != labels.end() && (*label)->buddy() == input, qPrintable(caption));
    }
}

void TestUserButtonsDlg::selectionShowsTheEntry()
{
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    const Controls c = Find(dialog);
    c.Select->setCurrentIndex(11);
    QCOMPARE(c.Label->text(), QStringLiteral("Page 12"));
    QCOMPARE(c.Command->text(), QStringLiteral("P021"));
    c.Select->setCurrentIndex(4);
    QCOMPARE(c.Label->text(), QStringLiteral("Page 5"));
    QCOMPARE(c.Command->text(), QStringLiteral("P014"));
    // Showing an entry is not an edit of it.
    QCOMPARE(dialog.Entries(), PageEntries());
}

void TestUserButtonsDlg::editingStoresAtOnce_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("label");
    QTest::newRow("label of button 1") << 0 << true;
    QTest::newRow("command of button 7") << 6 << false;
    QTest::newRow("label of button 12") << 11 << true;
}

void TestUserButtonsDlg::editingStoresAtOnce()
{
    QFETCH(int, button);
    QFETCH(bool, label);
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    const Controls c = Find(dialog);
    c.Select->setCurrentIndex(button);
    QLineEdit* edit = label ? c.Label : c.Command;
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("AB"));
    const CUserButtonInfo& entry = dialog.Entries()[button];
    QCOMPARE(label ? entry.Label : entry.Command, QStringLiteral("AB"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(label ? entry.Label : entry.Command, QStringLiteral("A"));
    // Other entries and the combo's item names stay as they were.
    std::array<CUserButtonInfo, 12> expected = PageEntries();
    (label ? expected[button].Label : expected[button].Command) = QStringLiteral("A");
    QCOMPARE(dialog.Entries(), expected);
    QCOMPARE(c.Select->itemText(button), QStringLiteral("User Button %1").arg(button + 1));
    // The edit survives switching away and back.
    c.Select->setCurrentIndex((button + 1) % 12);
    c.Select->setCurrentIndex(button);
    QCOMPARE(edit->text(), QStringLiteral("A"));
}

void TestUserButtonsDlg::clearAllGivesDefaults()
{
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    const Controls c = Find(dialog);
    c.Select->setCurrentIndex(5);
    QTest::mouseClick(Button(dialog, QStringLiteral("Clear All")), Qt::LeftButton);
    QCOMPARE(dialog.Entries(), DefaultUserButtons());
    QCOMPARE(c.Select->currentIndex(), 0);
    QCOMPARE(c.Label->text(), QStringLiteral("User Button 1"));
    QCOMPARE(c.Command->text(), QString());
}

void TestUserButtonsDlg::cancelLeavesThePageUnchanged_data()
{
    QTest::addColumn<QString>("closeWith");
    QTest::addColumn<bool>("taken");
    QTest::newRow("Clear All then Cancel") << QStringLiteral("Cancel") << false;
    QTest::newRow("Clear All then OK") << QStringLiteral("OK") << true;
}

void TestUserButtonsDlg::cancelLeavesThePageUnchanged()
{
    QFETCH(QString, closeWith);
    QFETCH(bool, taken);
    // What the terminal page does with the dialog.
    std::array<CUserButtonInfo, 12> page = PageEntries();
    OrvexTest::FakeUiServices ui;
    ui.OnModal = [&](QDialog& modal) {
        auto& dialog = static_cast<CUserButtonsDlg&>(modal);
        QTest::mouseClick(Button(dialog, QStringLiteral("Clear All")), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, closeWith), Qt::LeftButton);
        return dialog.result();
    };
    CUserButtonsDlg dialog(page, ui);
    if (ui.RunModal(dialog) == QDialog::Accepted)
        page = dialog.Entries();
    QCOMPARE(page, taken ? DefaultUserButtons() : PageEntries());
}

void TestUserButtonsDlg::fileDialogs_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("overwritePrompt");
    QTest::newRow("Open...") << QStringLiteral("Open...") << false;
    QTest::newRow("Save...") << QStringLiteral("Save...") << true;
}

void TestUserButtonsDlg::fileDialogs()
{
    QFETCH(QString, button);
    QFETCH(bool, overwritePrompt);
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
    QCOMPARE(ui.FileRequests.size(), std::size_t(1));
    const Orvex::FileDialogRequest& request = ui.FileRequests.front();
    QCOMPARE(request.Filter, QStringLiteral("Button Files(*.btn)|*.btn||"));
    QCOMPARE(request.DefaultExtension, QStringLiteral("*.btn"));
    QCOMPARE(request.InitialName, QStringLiteral("*.btn"));
    QCOMPARE(request.OverwritePrompt, overwritePrompt);
    // No file answer: the user cancelled, and nothing changes.
    QVERIFY(ui.Messages.empty());
    QCOMPARE(dialog.Entries(), PageEntries());
}

void TestUserButtonsDlg::openReadsTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mine.btn"));
    std::array<CUserButtonInfo, 12> stored = DefaultUserButtons();
    stored[0] = {QStringLiteral("Home"), QStringLiteral("HOME")};
    stored[2].Command = QStringLiteral("P016");
    QVERIFY(Orvex::WriteButtonFile(path, stored));

    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    const Controls c = Find(dialog);
    c.Select->setCurrentIndex(3);
    ui.FileAnswers.push_back(path);
    QTest::mouseClick(Button(dialog, QStringLiteral("Open...")), Qt::LeftButton);
    QCOMPARE(dialog.Entries(), stored);
    QCOMPARE(c.Select->currentIndex(), 0);
    QCOMPARE(c.Label->text(), QStringLiteral("Home"));
    QCOMPARE(c.Command->text(), QStringLiteral("HOME"));
    QVERIFY(ui.Messages.empty());
}

void TestUserButtonsDlg::saveWritesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.btn"));
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    const Controls c = Find(dialog);
    c.Select->setCurrentIndex(8);
    c.Command->selectAll();
    QTest::keyClicks(c.Command, QStringLiteral("S1=2, 3"));
    ui.FileAnswers.push_back(path);
    QTest::mouseClick(Button(dialog, QStringLiteral("Save...")), Qt::LeftButton);
    QVERIFY(ui.Messages.empty());
    const auto read = Orvex::ReadButtonFile(path);
    QVERIFY(read.has_value());
    QCOMPARE(*read, dialog.Entries());
    QCOMPARE((*read)[8].Command, QStringLiteral("S1=2, 3"));
}

void TestUserButtonsDlg::fileFailuresAreShown_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("missing file") << QStringLiteral("Open...")
                                  << QStringLiteral("Unable to open the button file");
    QTest::newRow("folder that does not exist")
        << QStringLiteral("Save...") << QStringLiteral("Unable to save the button file");
}

void TestUserButtonsDlg::fileFailuresAreShown()
{
    QFETCH(QString, button);
    QFETCH(QString, textStart);
    QTemporaryDir dir;
    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog(PageEntries(), ui);
    ui.FileAnswers.push_back(dir.filePath(QStringLiteral("no/such/file.btn")));
    QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
    QCOMPARE(ui.Messages.size(), std::size_t(1));
    QCOMPARE(ui.Messages.front().Caption, QStringLiteral("Edit User Buttons"));
    QVERIFY2(ui.Messages.front().Text.startsWith(textStart), qPrintable(ui.Messages.front().Text));
    QVERIFY(ui.Messages.front().Text.contains(QStringLiteral("file.btn")));
    QCOMPARE(dialog.Entries(), PageEntries());
}

QTEST_MAIN(TestUserButtonsDlg)
#include "tst_userbuttonsdlg.moc"
