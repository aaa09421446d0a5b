// The page kit every page builds on: the drive sequence, a page's own link,
// and the typed-value boxes with their checks.
#include "ComponentFactory.h"
#include "DriveGate.h"
#include "FakeConfig.h"
#include "FakeMainWindow.h"
#include "FakeUiServices.h"
#include "FieldValidation.h"
#include "LinkSession.h"
#include "NumSpinCtrl.h"
#include "NumericEdit.h"
#include "ParameterLimits.h"
#include "ScriptedLink.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <array>

using namespace Orvex;
using OrvexTest::FakeUiServices;

namespace {

// What the user was told, one "caption: text" a message.
QStringList Told(const FakeUiServices& ui)
{
    QStringList told;
    for (const auto& message : ui.Messages)
        told << message.Caption + QStringLiteral(": ") + message.Text;
    return told;
}

// A factory whose links are ScriptedLinks the test can reach.
struct LinkRig
{
    LinkRig()
    {
        factory.Register(QString::fromLatin1(ProgId::LinkPort), [this] {
            auto link = std::make_unique<OrvexTest::ScriptedLink>();
            last = link.get();
            return link;
        });
    }
    ComponentFactory factory;
    FakeUiServices ui;
    OrvexTest::ScriptedLink* last = nullptr;
};

} // namespace

class TestPageKit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void driveGate_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("labels");
        QTest::addColumn<bool>("stopStatus");
        // "labels: ..." or "Communications Error: ...", or nothing when reached.
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* name, int answer, bool labels, const char* outcome,
                            bool stopStatus = true, const char* error = "") {
            QTest::newRow(name) << answer << QString(error) << labels << stopStatus
                                << QString(outcome);
        };
        row("answered", -1, true, "");
        row("1", 1, true, "labels: Invalid COM port number");
        row("2", 2, true, "labels: Unable to open COM port");
        row("3", 3, true, "labels: No response from Orvex drive");
        row("4", 4, false, "Communications Error: Incorrect response from Orvex drive");
        row("5", 5, false, "Communications Error: OS needs to be downloaded");
        row("6", 6, false, "Communications Error: Cycle power and download OS");
        row("0", 0, false, "Communications Error: Unexpected error");
        row("-2", -2, true, "labels: Unexpected error");
        row("99", 99, false, "Communications Error: Unexpected error");
        row("status page", 3, false, "Communications Error: No response from Orvex drive", false);
        row("component error", -1, true, "Communications Error: COM7 is gone.", true,
            "COM7 is gone.");
    }

    void driveGate()
    {
        QFETCH(bool, labels);
        QFETCH(bool, stopStatus);
        QFETCH(QString, outcome);
        FakeUiServices ui;
        OrvexTest::FakeMainWindow window;
        window.Port = 7;
        window.LabelsShown = true;
        OrvexTest::FakeConfig config;
        QFETCH(int, answer);
        QFETCH(QString, error);
        config.TestAnswer = answer;
        config.TestError = error;
        int waitsOpenAtMessage = -1;
        ui.OnMessage = [&](const auto&) { waitsOpenAtMessage = ui.OpenWaitWindows; };

        DriveGate gate(ui, window);
        const bool reached = gate.Reach(
            config, labels ? DriveGate::Report::ConnectionLabels : DriveGate::Report::MessageBox,
            DriveGate::CommunicationsError, stopStatus);

        QCOMPARE(reached, outcome.isEmpty());
        QCOMPARE(window.StopRequests, stopStatus ? 1 : 0);
        QCOMPARE(config.PortNumbers, std::vector<int>{7});
        QCOMPARE(ui.WaitTexts, QStringList{QStringLiteral("Testing Orvex connection...")});
        QCOMPARE(ui.OpenWaitWindows, 0);
        const bool onLabels = outcome.startsWith(QLatin1String("labels: "));
        // A success hides the labels; a message leaves them as they were.
        QCOMPARE(window.LabelsShown, onLabels || !labels || !error.isEmpty());
        QCOMPARE(window.LabelText, onLabels ? outcome.mid(8) : QString());
        QCOMPARE(Told(ui), onLabels || outcome.isEmpty() ? QStringList() : QStringList{outcome});
        if (!ui.Messages.empty())
            QCOMPARE(waitsOpenAtMessage, 0);
    }

    void linkSessionOpenFailures_data()
    {
        QTest::addColumn<QString>("openError");
        QTest::addColumn<QString>("message");
        QTest::newRow("device refuses") << "Unable to open COM3: Permission denied"
                                        << "Unable to open COM3: Permission denied";
        QTest::newRow("stays closed") << QString() << "COM port not open";
    }

    void linkSessionOpenFailures()
    {
        QFETCH(QString, openError);
        QFETCH(QString, message);
        LinkRig rig;
        LinkSession session(rig.factory, rig.ui);
        session.Create();
        rig.last->OpenError = openError;
        rig.last->OpenSucceeds = false;
        QVERIFY(!session.Open(3, true));
        QVERIFY(!session.Send(QStringLiteral("TERRLG\r")));
        QVERIFY(rig.last->Writes.isEmpty());
        QCOMPARE(Told(rig.ui), (QStringList{"Communications Error: " + message,
                                            "Communications Error: COM port not open"}));
    }

    void linkSessionReopensLostDevice()
    {
        LinkRig rig;
        LinkSession session(rig.factory, rig.ui);
        QSignalSpy received(&session, &LinkSession::Received);
        QVERIFY(session.Open(4, false));
        OrvexTest::ScriptedLink& link = *rig.last;
        link.LoseAfterWrites = 1;
        QVERIFY(session.Send(QStringLiteral("VER\r")));
        QVERIFY(!link.IsOpen());
        // The device is back: the next send opens the link again as it was.
        QVERIFY(session.Send(QStringLiteral("ERRS\r")));
        QCOMPARE(link.Opens, (std::vector<std::pair<int, bool>>{{4, false}, {4, false}}));
        QCOMPARE(link.Writes, (QStringList{"VER\r", "ERRS\r"}));
        link.Receive(QStringLiteral("ERRS=0\r\n\x05"));
        QCOMPARE(received.size(), 1);
        QCOMPARE(received[0][0].toString(), QStringLiteral("ERRS=0\r\n\x05"));
        // Closed on purpose, it stays closed.
        session.Close();
        QVERIFY(!session.Send(QStringLiteral("VER\r")));
        QCOMPARE(link.Opens.size(), size_t(2));
        QCOMPARE(Told(rig.ui), QStringList{"Communications Error: COM port not open"});
    }

    void linkSessionWithoutLinkObject()
    {
        FakeUiServices ui;
        ComponentFactory factory; // nothing registered
        LinkSession session(factory, ui, QStringLiteral("Communications Server not created"));
        QVERIFY(!session.Send(QStringLiteral("DNOTAF 60\r")));
        QVERIFY(!session.Open(1, true));
        QCOMPARE(Told(ui),
                 QStringList(2, "Communications Error: Communications Server not created"));
    }

    void fieldCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<QString>("message");
        const QString gain = QStringLiteral("Proportional Gain must be between 0.50 and 9.00");
        const QString band =
            QStringLiteral("Frequency must be 0 (disabled) or between 60 and 1000");
        QTest::newRow("minimum") << "0.5" << 53 << false << false << QString();
        QTest::newRow("maximum") << "9" << 53 << false << false << QString();
        QTest::newRow("below") << "0.49" << 53 << false << false << gain;
        QTest::newRow("above") << "9.01" << 53 << false << false << gain;
        QTest::newRow("empty") << "" << 53 << false << false << gain;
        QTest::newRow("read like atof") << "1.2.3" << 53 << false << false << QString();
        QTest::newRow("read like atoi") << "9.9" << 53 << true << false << QString();
        QTest::newRow("linear text")
            << "12" << 53 << false << true << "Force Gain must be between 0.50 and 9.00";
        QTest::newRow("fixed range") << "1001" << -1 << true << false << band;
        QTest::newRow("dead band") << "59" << -1 << true << false << band;
        QTest::newRow("dead band edge") << "60" << -1 << true << false << QString();
        QTest::newRow("disabled") << "0" << -1 << true << false << QString();
    }

    void fieldCheck()
    {
        QFETCH(QString, text);
        QFETCH(int, parameter);
        QFETCH(bool, integer);
        QFETCH(bool, linear);
        QFETCH(QString, message);
        ParameterLimits limits;
        limits[53] = {0.5, 9.0, 1.0};
        FieldRule rule{.Parameter = parameter,
                       .Message = "Proportional Gain must be between %.2lf and %.2lf",
                       .LinearMessage = "Force Gain must be between %.2lf and %.2lf",
                       .Integer = integer};
        if (parameter < 0) {
            rule.Maximum = 1000;
            rule.Message = "Frequency must be %.0lf (disabled) or between 60 and %.0lf";
            rule.Refuses = [](double value) { return value > 0.0 && value < 60.0; };
        }
        QCOMPARE(FieldValidation::Check(rule, text, limits, linear).value_or(QString()), message);
    }

    void fieldValidationFocusesFirstFailure()
    {
        FakeUiServices ui;
        ParameterLimits limits;
        limits[53] = {0.5, 9.0, 1.0};
        limits[54] = {0.0, 2.0, 0.0};
        QWidget page;
        auto* kp = new NumericEdit(NumericChars::Decimal, &page);
        auto* ki = new NumSpinCtrl(NumericChars::Decimal, {0, 2, 0.01, "%.2lf"}, &page);
        auto* limit = new NumericEdit(NumericChars::Digits, &page);
        kp->setText(QStringLiteral("4"));
        ki->SetValue(2.5);
        const std::array rules{
            FieldRule{kp, 53, 0, 0, "Kp must be between %.2lf and %.2lf"},
            FieldRule{ki, 54, 0, 0, "Ki must be between %.2lf and %.2lf"},
            FieldRule{limit, -1, 1, 100, "Limit must be between %.0lf and %.0lf", nullptr, true},
        };
        page.show();
        QApplication::setActiveWindow(&page);
        QVERIFY(QTest::qWaitForWindowActive(&page));

        QVERIFY(!FieldValidation::Run(ui, rules, limits));
        QCOMPARE(Told(ui), QStringList{"Data Validation Error: Ki must be between 0.00 and 2.00"});
        QTRY_VERIFY(ki->hasFocus());

        ki->SetValue(1.25);
        limit->setText(QStringLiteral("100"));
        QVERIFY(FieldValidation::Run(ui, rules, limits));
        QCOMPARE(ui.Messages.size(), size_t(1));
    }

    void numericChars_data()
    {
        QTest::addColumn<NumericChars>("chars");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        using enum NumericChars;
        QTest::newRow("digits") << Digits << "0123456789" << true;
        QTest::newRow("point in digits") << Digits << "1.5" << false;
        QTest::newRow("point") << Decimal << "1.5" << true;
        QTest::newRow("minus in decimal") << Decimal << "-1" << false;
        QTest::newRow("leading minus") << SignedDecimal << "-1.5" << true;
        QTest::newRow("inner minus") << SignedDecimal << "1-5" << false;
        QTest::newRow("letter") << Decimal << "1e5" << false;
        QTest::newRow("blank") << Decimal << " 1" << false;
        QTest::newRow("arabic digit") << Digits << QString(QChar(0x0663)) << false;
        QTest::newRow("empty") << Digits << "" << true;
    }

    void numericChars()
    {
        QFETCH(NumericChars, chars);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(NumericValidator::Accepts(chars, text), accepted);
        // The box refuses what the rule refuses (key clicks exist for ASCII only).
        if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
            return;
        NumericEdit edit(chars);
        QTest::keyClicks(&edit, text);
        QCOMPARE(edit.text() == text, accepted || text.isEmpty());
    }

    void spinSteps_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("result");
        QTest::newRow("up from empty") << "%.0lf" << 1.0 << "" << 1 << "1";
        QTest::newRow("non-numeric reads 0") << "%.0lf" << 1.0 << "." << 1 << "1";
        QTest::newRow("clamped at maximum") << "%.0lf" << 1.0 << "1000" << 1 << "1000";
        QTest::newRow("clamped at minimum") << "%.2lf" << 0.01 << "0.5" << -1 << "0.50";
        QTest::newRow("typed value stepped") << "%.2lf" << 0.01 << "1.5" << 1 << "1.51";
        QTest::newRow("page step") << "%.4lf" << 0.0001 << "0.25" << 10 << "0.2510";
    }

    void spinSteps()
    {
        QFETCH(QString, format);
        QFETCH(double, step);
        QFETCH(QString, start);
        QFETCH(int, steps);
        QFETCH(QString, result);
        const QByteArray printf = format.toLatin1();
        const double minimum = step == 0.01 ? 0.5 : 0.0;
        NumSpinCtrl spin(NumericChars::Decimal, {minimum, 1000, step, printf.constData()});
        QSignalSpy stepped(&spin, &NumSpinCtrl::Stepped);
        spin.findChild<QLineEdit*>()->setText(start);
        spin.stepBy(steps);
        QCOMPARE(spin.text(), result);
        QCOMPARE(stepped.size(), 1);
        QCOMPARE(stepped[0][0].toInt(), steps);
    }

    void spinStepSnap()
    {
        // A dead band up to 60 that a step jumps across.
        NumSpinCtrl spin(NumericChars::Digits, {0, 1000, 1, "%.0lf"});
        spin.SetStepSnap(
            [](double value, int steps) { return value < 60 ? (steps > 0 ? 60 : 0) : value; });
        QSignalSpy stepped(&spin, &NumSpinCtrl::Stepped);
        spin.stepBy(1);
        QCOMPARE(spin.text(), QStringLiteral("60"));
        spin.stepBy(-1);
        QCOMPARE(spin.text(), QStringLiteral("0"));
        QCOMPARE(stepped.size(), 2);
    }

    void spinSignalsAndValue()
    {
        NumSpinCtrl spin(NumericChars::Digits, {0, 1000, 1, "%.0lf"});
        QSignalSpy stepped(&spin, &NumSpinCtrl::Stepped);
        QSignalSpy enter(&spin, &NumSpinCtrl::EnterReleased);
        spin.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spin));
        // The keyboard steps like the arrows do.
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(spin.text(), QStringLiteral("1"));
        QTest::keyClicks(&spin, QStringLiteral("2x"));
        QCOMPARE(spin.text(), QStringLiteral("12"));
        QCOMPARE(stepped.size(), 1);
        QTest::keyClick(&spin, Qt::Key_Return);
        QCOMPARE(enter.size(), 1);
        // Assistive technologies read and set the value through its property.
        QCOMPARE(spin.property("value").toDouble(), 12.0);
        spin.setProperty("value", 250.0);
        QCOMPARE(spin.text(), QStringLiteral("250"));
    }
};

QTEST_MAIN(TestPageKit)
#include "tst_pagekit.moc"
