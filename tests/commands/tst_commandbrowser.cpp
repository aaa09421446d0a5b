#include "FakeUiServices.h"
#include "OrvexCommandDlg.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Orvex;

namespace {

// A row of F-elements written "column=text|column=text|...".
QByteArray Row(const char* name, const QByteArray& fields)
{
    QByteArray row = QByteArray("<") + name + ">";
    for (const QByteArray& field : fields.split('|')) {
        const QByteArray f = "F" + field.left(field.indexOf('='));
        row += "<" + f + ">" + field.mid(field.indexOf('=') + 1) + "</" + f + ">";
    }
    return row + "</" + name + ">\n";
}

QByteArray ParameterRow(const QByteArray& number, const QByteArray& name,
                        const QByteArray& equivalent, const QByteArray& minimum)
{
    return Row("Parameter_Table", "2=" + number + "|4=" + equivalent + "|6=" + name +
                                      "|9=%.2lf|10=rps|11=" + minimum + "|12=100|13=5|15=Y");
}

const QByteArray XCommandRow = Row("X_Command_Table", "2=01|3=SAVE|4=Save|6=Y");

// Parameters with a regular number, one written without leading zeros, the
// factory key P150, a duplicated number and one without a name.
const QByteArray SmallDatabase =
    "<?xml version=\"1.0\"?>\n<database name=\"Parameter Tables.xls\">\n<table>\n" +
    Row("Error_Table", "2=05|5=Dpole = 0 Error|9=Y") + Row("Error_Table", "2=07|9=Y") +
    "</table>\n<table>\n" + ParameterRow("007", "Foo", "SPEED", "-10") +
    ParameterRow("9", "Nine", "NINE", "9") + ParameterRow("150", "Factory Key", "FACTKEY", "0") +
    ParameterRow("020", "First", "FIRST", "1") + ParameterRow("020", "Second", "SECOND", "2") +
    ParameterRow("030", "", "THIRTY", "3") + "</table>\n<table>\n" +
    Row("Status_Table", "2=03|4=VBUS|6=Bus Voltage|7=%d|8=V|10=Y") + "</table>\n<table>\n" +
    XCommandRow + "</table>\n</database>\n";

const QStringList NoDetails{"", "", "", "", "", ""};

} // namespace

class tst_CommandBrowser : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Folder;
    OrvexTest::FakeUiServices m_Ui;
    std::unique_ptr<COrvexCommandDlg> m_Dialog;
    QComboBox* m_Category = nullptr;
    QComboBox* m_Command = nullptr;

    bool Open(const QByteArray& database)
    {
        QFile file(QDir(m_Folder.path()).filePath("OrvexCommandDatabase.xml"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(database) != database.size())
            return false;
        file.close();
        m_Dialog = std::make_unique<COrvexCommandDlg>(m_Folder.path(), m_Ui);
        m_Category = m_Dialog->findChild<QComboBox*>("categoryCombo");
        m_Command = m_Dialog->findChild<QComboBox*>("commandCombo");
        return m_Dialog->IsLoaded();
    }

    // The command list as "text=number" entries.
    QStringList Commands() const
    {
        QStringList entries;
        for (int i = 0; i < m_Command->count(); ++i)
            entries << m_Command->itemText(i) + '=' + m_Command->itemData(i).toString();
        return entries;
    }

    // The six detail fields as a screen reader meets them, from Equivalent
    // Command to Default: their names, or the values they expose.
    static QStringList Details(const QDialog& dialog, QAccessible::Text what = QAccessible::Value)
    {
        QStringList texts;
        for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
            if (field->isReadOnly())
                texts << QAccessible::queryAccessibleInterface(field)->text(what);
        }
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        m_Ui = OrvexTest::FakeUiServices();
        QVERIFY(m_Folder.isValid());
        QVERIFY(Open(SmallDatabase));
        QVERIFY(m_Ui.Messages.empty());
        QCOMPARE(Details(*m_Dialog, QAccessible::Name),
                 (QStringList{"Equivalent Command", "Data Format", "Units", "Minimum", "Maximum",
                              "Default"}));
    }

    void categoryListsItsCommands_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("parameters without P150")
            << 0
            << QStringList{"P007 (Foo)=7", "P9 (Nine)=9", "P020 (First)=20", "P020 (Second)=20",
                           "P030=30"};
        QTest::newRow("status") << 1 << QStringList{"S03 (Bus Voltage)=3"};
        QTest::newRow("errors") << 2 << QStringList{"E05 (Dpole = 0 Error)=5", "E07=7"};
        QTest::newRow("x commands") << 3 << QStringList{"X01 (Save)=1"};
    }

    void categoryListsItsCommands()
    {
        QFETCH(int, category);
        QFETCH(QStringList, commands);
        // Go through another category first so the list is really refilled.
        m_Category->setCurrentIndex(category == 3 ? 2 : 3);
        m_Category->setCurrentIndex(category);
        QCOMPARE(Commands(), commands);
        QCOMPARE(m_Command->currentIndex(), 0);
    }

    void selectionShowsDetails_data()
    {
        QTest::addColumn<int>("category"); // -1: as the dialog opens
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QStringList>("details");
        QTest::newRow("first parameter on opening")
            << -1 << 0 << "P007" << QStringList{"SPEED", "%.2lf", "rps", "-10", "100", "5"};
        QTest::newRow("P7 written without zeros") << 0 << 1 << "P009" << NoDetails;
        QTest::newRow("duplicate number, last wins")
            << 0 << 2 << "P020" << QStringList{"SECOND", "%.2lf", "rps", "2", "100", "5"};
        QTest::newRow("parameter without name")
            << 0 << 4 << "P030" << QStringList{"THIRTY", "%.2lf", "rps", "3", "100", "5"};
        QTest::newRow("status") << 1 << 0 << "S03" << QStringList{"VBUS", "%d", "V", "", "", ""};
        QTest::newRow("error E05") << 2 << 0 << "E05" << NoDetails;
        QTest::newRow("x command") << 3 << 0 << "X01" << QStringList{"SAVE", "", "", "", "", ""};
    }

    void selectionShowsDetails()
    {
        QFETCH(int, category);
        QFETCH(int, command);
        QFETCH(QString, edit);
        QFETCH(QStringList, details);
        if (category >= 0) {
            m_Category->setCurrentIndex(category);
            m_Command->setCurrentIndex(command);
        }
        QCOMPARE(m_Command->currentIndex(), command);
        QCOMPARE(m_Dialog->CommandText(), edit);
        QCOMPARE(Details(*m_Dialog), details);
    }

    void editedTextIsSent()
    {
        for (const auto& [button, result] :
             {std::pair{"Send", QDialog::Accepted}, std::pair{"Cancel", QDialog::Rejected}}) {
            m_Ui.OnModal = [button = QString(button)](QDialog& shown) {
                auto* edit = shown.findChild<QLineEdit*>();
                edit->clear();
                QTest::keyClicks(edit, QStringLiteral("P007=2.5"));
                for (QPushButton* candidate : shown.findChildren<QPushButton*>()) {
                    if (candidate->text() == button)
                        candidate->click();
                }
                return shown.result();
            };
            QCOMPARE(m_Ui.RunModal(*m_Dialog), int(result));
            QCOMPARE(m_Dialog->CommandText(), QStringLiteral("P007=2.5"));
        }
    }

    void emptyCategoryOffersNothingToSend()
    {
        QVERIFY(Open(QByteArray(SmallDatabase).replace(XCommandRow, QByteArray())));
        m_Category->setCurrentIndex(3);
        QCOMPARE(m_Command->count(), 0);
        QCOMPARE(m_Dialog->CommandText(), QString());
        QCOMPARE(Details(*m_Dialog), NoDetails);
    }

    void failedLoadShowsLoaderMessage()
    {
        QVERIFY(!Open("<database name=\"parameter tables.xls\"></database>"));
        QCOMPARE(m_Ui.Messages.size(), std::size_t(1));
        QCOMPARE(m_Ui.Messages[0].Caption, QStringLiteral("Orvex Support Tool"));
        QCOMPARE(m_Ui.Messages[0].Text, QStringLiteral("Invalid attribute"));
        QCOMPARE(m_Command->count(), 0);
        QCOMPARE(m_Dialog->CommandText(), QString());
    }
};

QTEST_MAIN(tst_CommandBrowser)
#include "tst_commandbrowser.moc"
