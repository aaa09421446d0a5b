// The "Technical Support" page on the simulated drive: the documents beside
// the program, the support links, the about box and the snapshot file.
#include "PageIds.h"
#include "SimulatedProgram.h"
#include "SupportDocuments.h"
#include "SystemSnapshot.h"
#include "TechnicalSupportDlg.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Orvex;

namespace {

// Stands in for the desktop: records what the page asks it to open.
class Desktop final : public QObject
{
    Q_OBJECT

public:
    Desktop()
    {
        for (const char* scheme : {"file", "mailto", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "Open");
    }
    ~Desktop() override
    {
        for (const char* scheme : {"file", "mailto", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> Opened;

public Q_SLOTS:
    void Open(const QUrl& url) { Opened << url; }
};

struct Support : OrvexTest::SimulatedWindow
{
    Support()
    {
        window.SetPage(PageId::TechnicalSupport);
        SnapshotEnvironment environment;
        environment.SystemLine = [] { return std::optional<QString>(QStringLiteral("Test")); };
        Page().SetSnapshotEnvironment(environment);
    }
    CTechnicalSupportDlg& Page() const
    {
        return *dynamic_cast<CTechnicalSupportDlg*>(window.Page(PageId::TechnicalSupport));
    }
    void Click(const char* name) { Child<QPushButton>(name)->click(); }
    QTemporaryDir files;
};

} // namespace

class TestTechnicalSupport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documents_data();
    void documents();
    void linksAndAbout();
    void openFailures_data();
    void openFailures();
    void snapshotFile_data();
    void snapshotFile();
};

void TestTechnicalSupport::documents_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("model"); // -1: no model asked; 99: the dialog is cancelled
    QTest::addColumn<QString>("file");
    QTest::newRow("release notes") << "releaseNotesButton" << -1 << "KVTReleaseNotes.wri";
    QTest::newRow("user guide") << "userGuideButton" << -1 << "OrvexDriveUserGuide.pdf";
    QTest::newRow("KD-A1P") << "quickReferenceButton" << 0 << "Orvex KD-A1_A5P QRG.pdf";
    QTest::newRow("KD-A5P") << "quickReferenceButton" << 4 << "Orvex KD-A1_A5P QRG.pdf";
    QTest::newRow("KD-B1") << "quickReferenceButton" << 5 << "Orvex KD-B1_B2P QRG.pdf";
    QTest::newRow("KD-B2") << "quickReferenceButton" << 6 << "Orvex KD-B1_B2P QRG.pdf";
    QTest::newRow("KD-A1S") << "quickReferenceButton" << 7 << "Orvex KD-A1_A5S QRG.pdf";
    QTest::newRow("KD-A5S") << "quickReferenceButton" << 11 << "Orvex KD-A1_A5S QRG.pdf";
    QTest::newRow("cancelled") << "quickReferenceButton" << 99 << "";
}

void TestTechnicalSupport::documents()
{
    QFETCH(QString, button);
    QFETCH(int, model);
    QFETCH(QString, file);
    Support s;
    Desktop desktop;
    QStringList models;
    s.ui.OnModal = [&](QDialog& dialog) {
        const QList<QRadioButton*> radios = dialog.findChildren<QRadioButton*>();
        for (QRadioButton* radio : radios)
            models << radio->text();
        // The first model is chosen when the dialog opens.
        if (!radios.isEmpty() && !radios.first()->isChecked())
            return -1;
        if (model == 99)
            return int(QDialog::Rejected);
        dialog.findChild<QRadioButton*>(QStringLiteral("model%1").arg(model))->setChecked(true);
        return int(QDialog::Accepted);
    };
    s.Click(qPrintable(button));
    QVERIFY(s.ui.Messages.empty());
    if (model >= 0) {
        QCOMPARE(models.size(), 12);
        QCOMPARE(models.at(3), QStringLiteral("KD-A4P(750 W)"));
    }
    if (file.isEmpty()) {
        QVERIFY(desktop.Opened.isEmpty());
        return;
    }
    // The document the page opens is the one shipped beside the program.
    QCOMPARE(desktop.Opened.size(), 1);
    const QString path = desktop.Opened.first().toLocalFile();
    QCOMPARE(path, QDir(QCoreApplication::applicationDirPath()).filePath(file));
    QFile document(path);
    QVERIFY(document.open(QIODevice::ReadOnly));
    const QByteArray start = document.read(8);
    QVERIFY(start.startsWith(file.endsWith(".pdf") ? "%PDF-" : "{\\rtf1"));
}

void TestTechnicalSupport::linksAndAbout()
{
    Support s;
    Desktop desktop;
    QCOMPARE(s.window.findChild<QGroupBox*>("pageFrame")->title(),
             QStringLiteral("Technical Support"));
    for (const char* name : {"supportEmailLink", "supportWebLink"}) {
        auto* link = s.Child<QLabel>(name);
        QVERIFY(!link->accessibleName().isEmpty());
        Q_EMIT link->linkActivated(link->accessibleName());
    }
    QCOMPARE(desktop.Opened, QList<QUrl>({QUrl("mailto:" + CTechnicalSupportDlg::SupportEmail),
                                          QUrl(CTechnicalSupportDlg::SupportWeb)}));
    QString shown;
    s.ui.OnModal = [&](QDialog& dialog) {
        shown = dialog.windowTitle();
        return int(QDialog::Accepted);
    };
    s.Click("aboutButton");
    QCOMPARE(shown, QStringLiteral("About Orvex Support Tool"));
}

void TestTechnicalSupport::openFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("desktopOpens");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");
    const QString here = QCoreApplication::applicationDirPath();
    const QString guide = QDir(here).filePath(SupportDocuments::DriveUserGuide);
    QTest::newRow("opened") << guide << true << SupportDocuments::OpenedResult << "";
    QTest::newRow("no such file") << here + "/Missing.pdf" << true << 2
                                  << "The specified file was not found.";
    QTest::newRow("no such folder")
        << here + "/missing/Guide.pdf" << true << 3 << "The specified path was not found.";
    QTest::newRow("nothing opens it")
        << guide << false << 31
        << "There is no application associated with the given file name extension. This error "
           "will also be returned if you attempt to print a file that is not printable.";
}

void TestTechnicalSupport::openFailures()
{
    QFETCH(QString, path);
    QFETCH(bool, desktopOpens);
    QFETCH(int, result);
    QFETCH(QString, text);
    const int answer = SupportDocuments::OpenResult(QUrl::fromLocalFile(path),
                                                    [&](const QUrl&) { return desktopOpens; });
    QCOMPARE(answer, result);
    if (!text.isEmpty())
        QCOMPARE(SupportDocuments::OpenErrorText(answer), text);
    QCOMPARE(SupportDocuments::OpenErrorText(99),
             QStringLiteral("An unknown error occurred (99)."));
}

void TestTechnicalSupport::snapshotFile_data()
{
    QTest::addColumn<QString>("fileName"); // empty: the dialog is cancelled
    QTest::addColumn<bool>("silentBeforeStatus");
    QTest::addColumn<QString>("message");
    QTest::newRow("saved") << "drive.txt" << false << "";
    QTest::newRow("cancelled") << "" << false << "";
    QTest::newRow("unwritable") << "missing/drive.txt" << false
                                << "Orvex Snapshot: Unable to save the snapshot file";
    QTest::newRow("drive stops answering")
        << "drive.txt" << true << "Communications Error: No response from Orvex drive";
}

void TestTechnicalSupport::snapshotFile()
{
    QFETCH(QString, fileName);
    QFETCH(bool, silentBeforeStatus);
    QFETCH(QString, message);
    Support s;
    const QString path = s.files.filePath(fileName);
    if (!fileName.isEmpty())
        s.ui.FileAnswers.push_back(path);
    int pauses = 0;
    s.ui.OnPause = [&](int) {
        // After the configuration upload's pause, before the status object tests.
        if (++pauses == 2 && silentBeforeStatus)
            QVERIFY(s.Drive().ApplySwitch("noanswer", nullptr));
    };
    s.Click("snapshotButton");
    QVERIFY(s.Child<QPushButton>("snapshotButton")->isEnabled());
    QCOMPARE(s.ui.OpenWaitWindows, 0);
    const QStringList messages = OrvexTest::Messages(s.ui);
    if (message.isEmpty()) {
        QVERIFY(messages.isEmpty());
    } else {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().startsWith(message), qPrintable(messages.first()));
    }
    // The drive was read before the file was asked for; a failed read asks nothing.
    QCOMPARE(s.ui.FileRequests.size(), silentBeforeStatus ? std::size_t(0) : std::size_t(1));
    if (!silentBeforeStatus) {
        const FileDialogRequest& request = s.ui.FileRequests.front();
        QCOMPARE(request.Filter, QStringLiteral("Orvex Snapshot Files(*.txt)|*.txt||"));
        QCOMPARE(request.InitialName, QStringLiteral("*.txt"));
        QVERIFY(request.OverwritePrompt);
        QVERIFY(s.ui.WaitTexts.contains("Uploading Orvex numeric status..."));
    }
    const bool saved = fileName == QLatin1String("drive.txt") && !silentBeforeStatus;
    // Nothing but the file asked for, and only when it was written whole.
    QCOMPARE(QDir(s.files.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             saved ? QStringList{"drive.txt"} : QStringList{});
    if (saved) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith(QByteArray(SnapshotSeparator) + "\r\n; Orvex Drive Snapshot\r\n"));
        QVERIFY(bytes.contains("\r\nTest\r\n"));
        QVERIFY(bytes.endsWith("\r\n\r\n"));
        QCOMPARE(s.ui.WaitTexts.last(), QStringLiteral("Saving Orvex snapshot file..."));
    }
}

QTEST_MAIN(TestTechnicalSupport)
#include "tst_technicalsupport.moc"
