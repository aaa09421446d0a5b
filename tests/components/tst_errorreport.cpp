#include "ComponentError.h"
#include "ErrorReport.h"
#include "TraceCapture.h"
#include "TraceFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <QTest>

#include <stdexcept>

using namespace Orvex;

class TestErrorReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void traceLineFormat_data();
    void traceLineFormat();
    void traceLineIsCutAt520();
    void guardedHandlerReportsEachKind_data();
    void guardedHandlerReportsEachKind();
    void abortedIsSilent();
    void checkOrThrowTracesAndRaisesUnexpected();
    void systemErrors_data();
    void systemErrors();
    void traceFileReceivesTraceLines();
};

void TestErrorReport::traceLineFormat_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded day") << "Jan  5 2010"
                                << "Error 0x80004005"
                                << "OrvexSupportTool.cpp(42) : {Jan 05 2010} Error 0x80004005\n";
    QTest::newRow("two-digit day") << "Dec 16 2026"
                                   << "pApp is FALSE"
                                   << "OrvexSupportTool.cpp(42) : {Dec 16 2026} pApp is FALSE\n";
    QTest::newRow("missing message") << "Dec 16 2026"
                                     << ""
                                     << "OrvexSupportTool.cpp(42) : {Dec 16 2026} ???\n";
}

void TestErrorReport::traceLineFormat()
{
    QFETCH(QString, date);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FormatTraceLine("OrvexSupportTool.cpp", 42, date.toLatin1().constData(), text),
             expected);
}

void TestErrorReport::traceLineIsCutAt520()
{
    const QString line =
        FormatTraceLine("a.cpp", 1, "Jan 01 2026", QString(2000, QLatin1Char('x')));
    QCOMPARE(line.size(), 520);
}

void TestErrorReport::guardedHandlerReportsEachKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("traced");
    QTest::addColumn<quint32>("answer");
    QTest::newRow("component error") << 0 << "Error 0x80040154" << 0x80040154u;
    QTest::newRow("framework exception") << 1 << "Disk full" << 0x80004005u;
    QTest::newRow("standard exception") << 2 << "bad thing" << 0x80004005u;
    QTest::newRow("anything else") << 3 << "\"...\" exception caught" << 0x80004005u;
}

void TestErrorReport::guardedHandlerReportsEachKind()
{
    QFETCH(int, kind);
    QFETCH(QString, traced);
    QFETCH(quint32, answer);
    OrvexTest::TraceCapture capture;
    bool after = false;
    const std::uint32_t code = ORVEX_GUARDED([&] {
        switch (kind) {
        case 0:
            throw ComponentError(0x80040154u, QStringLiteral("Class not registered"));
        case 1:
            throw FrameworkException(QStringLiteral("Disk full"));
        case 2:
            throw std::runtime_error("bad thing");
        default:
            throw 17;
        }
        after = true;
    });
    QVERIFY(!after);
    QCOMPARE(code, answer);
    QCOMPARE(capture.Lines().size(), 1);
    QVERIFY2(capture.Lines().first().endsWith(QStringLiteral("} ") + traced),
             qPrintable(capture.Lines().first()));
    QVERIFY(capture.Lines().first().contains(QStringLiteral("tst_errorreport.cpp(")));
}

void TestErrorReport::abortedIsSilent()
{
    OrvexTest::TraceCapture capture;
    const std::uint32_t code =
        ORVEX_GUARDED([] { throw ComponentError(ResultCode::Aborted, QStringLiteral("cancel")); });
    QCOMPARE(code, ResultCode::Aborted);
    QVERIFY(capture.Lines().isEmpty());
}

void TestErrorReport::checkOrThrowTracesAndRaisesUnexpected()
{
    OrvexTest::TraceCapture capture;
    const void* pApp = nullptr;
    const std::uint32_t code = ORVEX_GUARDED([&] { CheckOrThrow(pApp); });
    QCOMPARE(code, ResultCode::Unexpected);
    const QStringList lines = capture.Lines();
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).endsWith(QStringLiteral("} pApp is FALSE")));
    QVERIFY(lines.at(1).endsWith(QStringLiteral("} Error 0x8000FFFF")));

    try {
        CheckOrThrow(pApp != nullptr);
        QFAIL("no exception");
    } catch (const ComponentError& error) {
        QCOMPARE(error.Description(), QStringLiteral("pApp != nullptr is FALSE"));
    }
}

void TestErrorReport::systemErrors_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0u << "Unexpected error";
    QTest::newRow("1") << 1u << "Unexpected error";
    QTest::newRow("ENOENT") << 2u << "Error 0x2 (No such file or directory)";
    QTest::newRow("EACCES") << 13u << "Error 0xD (Permission denied)";
}

void TestErrorReport::systemErrors()
{
    QFETCH(quint32, code);
    QFETCH(QString, expected);
    OrvexTest::TraceCapture capture;
    ORVEX_REPORT_SYSTEM_ERROR(code);
    QCOMPARE(capture.Lines().size(), 1);
    QVERIFY2(capture.Lines().first().endsWith(QStringLiteral("} ") + expected),
             qPrintable(capture.Lines().first()));
}

void TestErrorReport::traceFileReceivesTraceLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    QVERIFY(InstallTraceFile(path));
    ORVEX_TRACE_ERROR(QStringLiteral("Error 0x80004005"));
    RemoveTraceFile();
    ORVEX_TRACE_ERROR(QStringLiteral("not copied"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral("orvex.trace: ")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("tst_errorreport.cpp(")));
    QVERIFY(text.contains(QStringLiteral("} Error 0x80004005")));
    QVERIFY(!text.contains(QStringLiteral("not copied")));
    QVERIFY(!InstallTraceFile(dir.filePath(QStringLiteral("missing/trace.log"))));
}

QTEST_GUILESS_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
