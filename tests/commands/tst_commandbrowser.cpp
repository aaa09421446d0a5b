#include "FakeUiServices.h"
#include "OrvexCommandDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Orvex;

namespace {

const QStringList DetailCaptions = {QStringLiteral("Equivalent Command"),
                                    QStringLiteral("Data Format"),
                                    QStringLiteral("Units"),
                                    QStringLiteral("Minimum"),
                                    QStringLiteral("Maximum"),
                                    QStringLiteral("Default")};

QByteArray Row(const QByteArray& rowName, const QList<QPair<int, QByteArray>>& fields)
{
    QByteArray row = "<" + rowName + ">";
    for (const auto& [column, data] : fields)
        row += "<F" + QByteArray::number(column) + ">" + data + "</F" + QByteArray::number(column) +
               ">";
    return row + "</" + rowName + ">\n";
}

QByteArray ParameterRow(const QByteArray& number, const QByteArray& name,
                        const QByteArray& equivalent, const QByteArray& minimum)
{
    return Row("Parameter_Table", {{2, number},
                                   {4, equivalent},
                                   {6, name},
                                   {9, "%.2lf"},
                                   {10, "rps"},
                                   {11, minimum},
                                   {12, "100"},
                                   {13, "5"},
                                   {15, "Y"}});
}

// Parameters with a regular number, one written without leading zeros, the
// factory key P150, a duplicated number and one without a name.
const QByteArray SmallDatabase =
    "<?xml version=\"1.0\"?>\n<database name=\"Parameter Tables.xls\">\n<table>\n" +
    Row("Error_Table", {{2, "05"}, {5, "Dpole = 0 Error"}, {9, "Y"}}) +
    Row("Error_Table", {{2, "07"}, {9, "Y"}}) + "</table>\n<table>\n" +
    ParameterRow("007", "Foo", "SPEED", "-10") + ParameterRow("9", "Nine", "NINE", "9") +
    ParameterRow("150", "Factory Key", "FACTKEY", "0") +
    ParameterRow("020", "First", "FIRST", "1") + ParameterRow("020", "Second", "SECOND", "2") +
    ParameterRow("030", "", "THIRTY", "3") + "</table>\n<table>\n" +
    Row("Status_Table",
        {{2, "03"}, {4, "VBUS"}, {6, "Bus Voltage"}, {7, "%d"}, {8, "V"}, {10, "Y"}}) +
    "</table>\n<table>\n" +
    Row("X_Command_Table", {{2, "01"}, {3, "SAVE"}, {4, "Save"}, {6, "Y"}}) +
    "</table>\n</database>\n";

QString DataDir()
{
    return qEnvironmentVariable("ORVEX_DATA_DIR");
}

// The input a label with this exact text is the buddy of.
template <class Widget> Widget* Field(const QDialog& dialog, const QString& caption)
{
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text() == caption && label->buddy() != nullptr)
            return qobject_cast<Widget*>(label->buddy());
    }
    return nullptr;
}

QStringList Details(const QDialog& dialog)
{
    QStringList texts;
    for (const QString& caption : DetailCaptions) {
        const auto* value = Field<QLabel>(dialog, caption);
        texts << (value != nullptr ? value->text() : QStringLiteral("<missing>"));
    }
    return texts;
}

QStringList Entries(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts << combo.itemText(i);
    return texts;
}

QList<int> ItemData(const QComboBox& combo)
{
    QList<int> data;
    for (int i = 0; i < combo.count(); ++i)
        data << combo.itemData(i).toInt();
    return data;
}

QPushButton* Button(const QDialog& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

class tst_CommandBrowser : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_Folder;
    OrvexTest::FakeUiServices m_Ui;

    std::unique_ptr<COrvexCommandDlg> Open(const QByteArray& database)
    {
        QFile file(QDir(m_Folder.path()).filePath(QStringLiteral("OrvexCommandDatabase.xml")));
        if (!file.open(QIODevice::WriteOnly) || file.write(database) != database.size())
            return nullptr;
        file.close();
        return std::make_unique<COrvexCommandDlg>(m_Folder.path(), m_Ui);
    }

    static void Select(COrvexCommandDlg& dialog, int category, int command)
    {
        Field<QComboBox>(dialog, QStringLiteral("Select Category"))->setCurrentIndex(category);
        Field<QComboBox>(dialog, QStringLiteral("Select Command"))->setCurrentIndex(command);
    }

private Q_SLOTS:
    void init()
    {
        m_Ui = OrvexTest::FakeUiServices();
        QVERIFY(m_Folder.isValid());
    }

    void opensOnFirstParameter()
    {
        const auto dialog = Open(SmallDatabase);
        QVERIFY(dialog && dialog->IsLoaded());
        QCOMPARE(dialog->windowTitle(),
                 QStringLiteral("Orvex Commands (from ParameterTables.xls, version 3.01.17)"));
        const auto* category = Field<QComboBox>(*dialog, QStringLiteral("Select Category"));
        QVERIFY(category);
        QCOMPARE(Entries(*category), (QStringList{"Parameter Commands", "Status Commands",
                                                  "Error Commands", "X Commands"}));
        QCOMPARE(category->currentIndex(), 0);
        QCOMPARE(Field<QComboBox>(*dialog, QStringLiteral("Select Command"))->currentText(),
                 QStringLiteral("P007 (Foo)"));
        QCOMPARE(Field<QLineEdit>(*dialog, QStringLiteral("Edit Command"))->text(),
                 QStringLiteral("P007"));
        QCOMPARE(Details(*dialog), (QStringList{"SPEED", "%.2lf", "rps", "-10", "100", "5"}));
        QVERIFY(m_Ui.Messages.empty());
    }

    void categoryListsItsCommands_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("parameters without P150")
            << 0 << QStringList{"P007 (Foo)", "P9 (Nine)", "P020 (First)", "P020 (Second)", "P030"}
            << QList<int>{7, 9, 20, 20, 30};
        QTest::newRow("status") << 1 << QStringList{"S03 (Bus Voltage)"} << QList<int>{3};
        QTest::newRow("errors") << 2 << QStringList{"E05 (Dpole = 0 Error)", "E07"}
                                << QList<int>{5, 7};
        QTest::newRow("x commands") << 3 << QStringList{"X01 (Save)"} << QList<int>{1};
    }

    void categoryListsItsCommands()
    {
        QFETCH(int, category);
        QFETCH(QStringList, entries);
        QFETCH(QList<int>, numbers);
        const auto dialog = Open(SmallDatabase);
        QVERIFY(dialog && dialog->IsLoaded());
        auto* categories = Field<QComboBox>(*dialog, QStringLiteral("Select Category"));
        // Go through another category first so the list is really refilled.
        categories->setCurrentIndex(category == 3 ? 2 : 3);
        categories->setCurrentIndex(category);
        const auto* commands = Field<QComboBox>(*dialog, QStringLiteral("Select Command"));
        QCOMPARE(Entries(*commands), entries);
        QCOMPARE(ItemData(*commands), numbers);
        QCOMPARE(commands->currentIndex(), 0);
    }

    void selectionShowsDetails_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QStringList>("details");
        const QStringList none{"", "", "", "", "", ""};
        QTest::newRow("P7 written without zeros") << 0 << 1 << "P009" << none;
        QTest::newRow("duplicate number, last wins")
            << 0 << 2 << "P020" << QStringList{"SECOND", "%.2lf", "rps", "2", "100", "5"};
        QTest::newRow("parameter without name")
            << 0 << 4 << "P030" << QStringList{"THIRTY", "%.2lf", "rps", "3", "100", "5"};
        QTest::newRow("status") << 1 << 0 << "S03" << QStringList{"VBUS", "%d", "V", "", "", ""};
        QTest::newRow("error E05") << 2 << 0 << "E05" << none;
        QTest::newRow("x command") << 3 << 0 << "X01" << QStringList{"SAVE", "", "", "", "", ""};
    }

    void selectionShowsDetails()
    {
        QFETCH(int, category);
        QFETCH(int, command);
        QFETCH(QString, edit);
        QFETCH(QStringList, details);
        const auto dialog = Open(SmallDatabase);
        QVERIFY(dialog && dialog->IsLoaded());
        Select(*dialog, category, command);
        QCOMPARE(dialog->CommandText(), edit);
        QCOMPARE(Details(*dialog), details);
    }

    void editedTextIsSent_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("Send") << "Send" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "Cancel" << int(QDialog::Rejected);
    }

    void editedTextIsSent()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        const auto dialog = Open(SmallDatabase);
        QVERIFY(dialog && dialog->IsLoaded());
        m_Ui.OnModal = [&](QDialog& shown) {
            auto* edit = Field<QLineEdit>(shown, QStringLiteral("Edit Command"));
            edit->clear();
            QTest::keyClicks(edit, QStringLiteral("P007=2.5"));
            Button(shown, button)->click();
            return shown.result();
        };
        QCOMPARE(m_Ui.RunModal(*dialog), result);
        QCOMPARE(dialog->CommandText(), QStringLiteral("P007=2.5"));
    }

    void emptyCategoryOffersNothingToSend()
    {
        QByteArray database = SmallDatabase;
        database.replace(Row("X_Command_Table", {{2, "01"}, {3, "SAVE"}, {4, "Save"}, {6, "Y"}}),
                         QByteArray());
        const auto dialog = Open(database);
        QVERIFY(dialog && dialog->IsLoaded());
        Field<QComboBox>(*dialog, QStringLiteral("Select Category"))->setCurrentIndex(3);
        QCOMPARE(Field<QComboBox>(*dialog, QStringLiteral("Select Command"))->count(), 0);
        QCOMPARE(dialog->CommandText(), QString());
        QCOMPARE(Details(*dialog), (QStringList{"", "", "", "", "", ""}));
    }

    void failedLoadShowsLoaderMessage_data()
    {
        QTest::addColumn<bool>("writeFile");
        QTest::addColumn<QByteArray>("database");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << false << QByteArray() << "Unable to locate %1.";
        QTest::newRow("other table name")
            << true << QByteArray("<database name=\"parameter tables.xls\"></database>")
            << "Invalid attribute";
    }

    void failedLoadShowsLoaderMessage()
    {
        QFETCH(bool, writeFile);
        QFETCH(QByteArray, database);
        QFETCH(QString, message);
        const QString path =
            QDir(m_Folder.path()).filePath(QStringLiteral("OrvexCommandDatabase.xml"));
        std::unique_ptr<COrvexCommandDlg> dialog;
        if (writeFile) {
            dialog = Open(database);
        } else {
            QFile::remove(path);
            dialog = std::make_unique<COrvexCommandDlg>(m_Folder.path(), m_Ui);
        }
        QVERIFY(dialog);
        QVERIFY(!dialog->IsLoaded());
        QCOMPARE(m_Ui.Messages.size(), std::size_t(1));
        QCOMPARE(m_Ui.Messages[0].Caption, QStringLiteral("Orvex Support Tool"));
        QCOMPARE(m_Ui.Messages[0].Text, message.contains(QLatin1String("%1"))
                                            ? message.arg(QDir::toNativeSeparators(path))
                                            : message);
        QCOMPARE(Field<QComboBox>(*dialog, QStringLiteral("Select Command"))->count(), 0);
        QCOMPARE(dialog->CommandText(), QString());
    }

    void shippedDatabase()
    {
        const QString folder = DataDir();
        if (folder.isEmpty())
            QSKIP("ORVEX_DATA_DIR is not set");
        COrvexCommandDlg dialog(folder, m_Ui);
        QVERIFY(dialog.IsLoaded());
        QVERIFY(m_Ui.Messages.empty());
        // Long command names must not make the window outgrow a 1366x768 screen.
        QVERIFY(dialog.sizeHint().width() <= 1366);
        QVERIFY(dialog.sizeHint().height() <= 700);
        const auto* commands = Field<QComboBox>(dialog, QStringLiteral("Select Command"));
        QCOMPARE(commands->itemText(0), QStringLiteral("P000 (Drive Address)"));
        QCOMPARE(Details(dialog), (QStringList{"DADDR", "Integer", "", "0", "255", "0"}));
        const QStringList entries = Entries(*commands);
        QVERIFY(std::none_of(entries.begin(), entries.end(),
                             [](const QString& entry) { return entry.startsWith("P150"); }));
        Select(dialog, 3, 1);
        QCOMPARE(dialog.CommandText(), QStringLiteral("X02"));
        QCOMPARE(Details(dialog).first(), QStringLiteral("RESET"));
    }
};

QTEST_MAIN(tst_CommandBrowser)
#include "tst_commandbrowser.moc"
