#include "ButtonFile.h"
#include "FakeUiServices.h"
#include "UserButtonsDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Orvex;

namespace {

using Entries = std::array<CUserButtonInfo, 12>;

// What the terminal page hands the dialog.
Entries PageEntries()
{
    Entries entries;
    for (int k = 0; k < 12; ++k)
        entries[k] = {QStringLiteral("Page %1").arg(k + 1), QStringLiteral("P0%1").arg(k + 10)};
    return entries;
}

// The dialog on the page's entries, with its inputs.
struct Dialog
{
    QPushButton* Button(const QString& text) const
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == text)
                return button;
        }
        return nullptr;
    }
    void Click(const char* text) const
    {
        QTest::mouseClick(Button(QString::fromLatin1(text)), Qt::LeftButton);
    }

    OrvexTest::FakeUiServices ui;
    CUserButtonsDlg dialog{PageEntries(), ui};
    QComboBox* Select = dialog.findChild<QComboBox*>(QStringLiteral("selectButton"));
    QLineEdit* Label = dialog.findChild<QLineEdit*>(QStringLiteral("buttonLabel"));
    QLineEdit* Command = dialog.findChild<QLineEdit*>(QStringLiteral("buttonCommand"));
};

} // namespace

class TestUserButtonsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheFirstEntryAndShowsTheSelected()
    {
        Dialog d;
        QCOMPARE(d.dialog.windowTitle(), "Edit User Buttons");
        QCOMPARE(d.Select->count(), 12);
        for (int k = 0; k < 12; ++k)
            QCOMPARE(d.Select->itemText(k), QStringLiteral("User Button %1").arg(k + 1));
        QCOMPARE(d.Select->currentIndex(), 0);
        QCOMPARE(d.Label->text(), "Page 1");
        QCOMPARE(d.Command->text(), "P010");
        for (const char* text : {"OK", "Cancel", "Clear All", "Open...", "Save..."})
            QVERIFY2(d.Button(QString::fromLatin1(text)), text);
        // Every input has its label as buddy, for the keyboard and screen readers.
        const std::map<QString, QWidget*> buddies = {
            {QStringLiteral("Select Button"), d.Select},
            {QStringLiteral("Edit Button Label"), d.Label},
            {QStringLiteral("Edit Orvex Command"), d.Command}};
        for (QLabel* label : d.dialog.findChildren<QLabel*>())
            QVERIFY2(buddies.count(label->text()) && label->buddy() == buddies.at(label->text()),
                     qPrintable(label->text()));
        QCOMPARE(d.dialog.findChildren<QLabel*>().size(), 3);

        d.Select->setCurrentIndex(11);
        QCOMPARE(d.Label->text(), "Page 12");
        QCOMPARE(d.Command->text(), "P021");
        d.Select->setCurrentIndex(4);
        QCOMPARE(d.Label->text(), "Page 5");
        QCOMPARE(d.Command->text(), "P014");
        // Showing an entry is not an edit of it.
        QCOMPARE(d.dialog.Entries(), PageEntries());
    }

    void editingStoresAtOnce()
    {
        for (const auto& [button, label] : {std::pair{0, true}, {6, false}, {11, true}}) {
            Dialog d;
            d.Select->setCurrentIndex(button);
            QLineEdit* edit = label ? d.Label : d.Command;
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("AB"));
            const CUserButtonInfo& entry = d.dialog.Entries()[button];
            QCOMPARE(label ? entry.Label : entry.Command, "AB");
            QTest::keyClick(edit, Qt::Key_Backspace);
            // Other entries and the combo's item names stay as they were.
            Entries expected = PageEntries();
            (label ? expected[button].Label : expected[button].Command) = QStringLiteral("A");
            QCOMPARE(d.dialog.Entries(), expected);
            QCOMPARE(d.Select->itemText(button), QStringLiteral("User Button %1").arg(button + 1));
            // The edit survives switching away and back.
            d.Select->setCurrentIndex((button + 1) % 12);
            d.Select->setCurrentIndex(button);
            QCOMPARE(edit->text(), "A");
        }
    }

    // What the terminal page does with the dialog: only OK hands its entries back.
    void clearAllThenOkOrCancel()
    {
        Entries defaults;
        for (int k = 0; k < 12; ++k)
            defaults[k].Label = QStringLiteral("User Button %1").arg(k + 1);
        for (const char* closeWith : {"Cancel", "OK"}) {
            Dialog d;
            d.Select->setCurrentIndex(5);
            d.Click("Clear All");
            QCOMPARE(d.dialog.Entries(), defaults);
            QCOMPARE(d.Select->currentIndex(), 0);
            QCOMPARE(d.Label->text(), "User Button 1");
            QCOMPARE(d.Command->text(), QString());
            d.ui.OnModal = [&](QDialog&) {
                d.Click(closeWith);
                return d.dialog.result();
            };
            Entries page = PageEntries();
            if (d.ui.RunModal(d.dialog) == QDialog::Accepted)
                page = d.dialog.Entries();
            QCOMPARE(page, qstrcmp(closeWith, "OK") == 0 ? defaults : PageEntries());
        }
    }

    void fileDialogs()
    {
        for (const char* button : {"Open...", "Save..."}) {
            const bool save = qstrcmp(button, "Save...") == 0;
            Dialog d;
            d.Click(button);
            QCOMPARE(d.ui.FileRequests.size(), std::size_t(1));
            const FileDialogRequest& request = d.ui.FileRequests.front();
            QCOMPARE(request.Filter, "Button Files(*.btn)|*.btn||");
            QCOMPARE(request.DefaultExtension, "*.btn");
            QCOMPARE(request.InitialName, "*.btn");
            QCOMPARE(request.OverwritePrompt, save);
            // No file answer: the user cancelled, and nothing changes.
            QVERIFY(d.ui.Messages.empty());
            QCOMPARE(d.dialog.Entries(), PageEntries());

            // A file that cannot be used is named in the message, and nothing changes.
            QTemporaryDir dir;
            d.ui.FileAnswers.push_back(dir.filePath(QStringLiteral("no/such/file.btn")));
            d.Click(button);
            QCOMPARE(d.ui.Messages.size(), std::size_t(1));
            QCOMPARE(d.ui.Messages.front().Caption, "Edit User Buttons");
            const QString text = d.ui.Messages.front().Text;
            QVERIFY2(text.startsWith(save ? "Unable to save the button file"
                                          : "Unable to open the button file"),
                     qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("file.btn")));
            QCOMPARE(d.dialog.Entries(), PageEntries());
        }
    }

    void openReadsAndSaveWritesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mine.btn"));
        Dialog d;
        d.Select->setCurrentIndex(8);
        d.Command->selectAll();
        QTest::keyClicks(d.Command, QStringLiteral("S1=2, 3"));
        d.ui.FileAnswers.push_back(path);
        d.Click("Save...");
        QVERIFY(d.ui.Messages.empty());
        Entries stored = PageEntries();
        stored[8].Command = QStringLiteral("S1=2, 3");
        QCOMPARE(ReadButtonFile(path).value_or(Entries{}), stored);

        stored[0] = {QStringLiteral("Home"), QStringLiteral("HOME")};
        QVERIFY(WriteButtonFile(path, stored));
        Dialog other;
        other.Select->setCurrentIndex(3);
        other.ui.FileAnswers.push_back(path);
        other.Click("Open...");
        QCOMPARE(other.dialog.Entries(), stored);
        QCOMPARE(other.Select->currentIndex(), 0);
        QCOMPARE(other.Label->text(), "Home");
        QCOMPARE(other.Command->text(), "HOME");
        QVERIFY(other.ui.Messages.empty());
    }
};

QTEST_MAIN(TestUserButtonsDlg)
#include "tst_userbuttonsdlg.moc"
