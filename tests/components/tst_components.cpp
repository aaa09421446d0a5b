#include "BoundedFile.h"
#include "ComponentFactory.h"
#include "ErrorReport.h"
#include "TraceCapture.h"
#include "TraceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <stdexcept>
#include <tuple>

using namespace Orvex;

namespace {

class IGreeter : public IComponent
{
public:
    virtual QString Hello() const = 0;
};

class Greeter final : public IGreeter
{
public:
    QString Hello() const override { return QStringLiteral("hello"); }
};

class Other final : public IComponent
{};

} // namespace

// The component factory, the program's error report and its file reads.
class TestComponents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every file the program takes in is read through ReadBoundedFile.
    void boundedRead_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason"); // empty: read whole
        static QTemporaryDir dir;
        const auto file = [](const char* name, qsizetype size) {
            QFile made(dir.filePath(QString::fromLatin1(name)));
            if (!made.open(QIODevice::WriteOnly) || made.write(QByteArray(size, 'x')) != size)
                qFatal("cannot write %s", name);
            return made.fileName();
        };
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QProcess::execute(QStringLiteral("mkfifo"), {pipe});
        QTest::newRow("at the limit") << file("limit", 2048) << QString();
        QTest::newRow("empty") << file("empty", 0) << QString();
        QTest::newRow("one byte more") << file("more", 2049) << "it is larger than 2 KB";
        QTest::newRow("device") << "/dev/zero"
                                << "it is not a regular file";
        QTest::newRow("pipe") << pipe << "it is not a regular file";
        QTest::newRow("folder") << dir.path() << "it is not a regular file";
        QTest::newRow("missing") << dir.filePath(QStringLiteral("none"))
                                 << "No such file or directory";
    }
    void boundedRead()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QString why;
        const std::optional<QByteArray> bytes = ReadBoundedFile(path, 2048, &why);
        QCOMPARE(why, reason);
        QCOMPARE(bytes.has_value(), reason.isEmpty());
        if (bytes)
            QCOMPARE(bytes->size(), QFileInfo(path).size());
    }
    void factory()
    {
        ComponentFactory factory;
        factory.Register("Test.Greeter", [] { return std::make_unique<Greeter>(); });
        factory.Register("Test.Other", [] { return std::make_unique<Other>(); });
        factory.Register("Test.Null", [] { return std::unique_ptr<IComponent>(); });
        const auto first = factory.Create<IGreeter>("Test.Greeter");
        QCOMPARE(first->Hello(), QStringLiteral("hello"));
        QVERIFY(first != factory.Create<IGreeter>("Test.Greeter"));
        const std::tuple<const char*, quint32, const char*> failures[] = {
            {"OrvexBridge.Config", ResultCode::ClassNotRegistered,
             "OrvexBridge.Config is not installed (class not registered)."},
            {"Test.Other", ResultCode::NoInterface,
             "Test.Other does not support the requested interface."},
            {"Test.Null", ResultCode::Fail, "Test.Null could not be created."}};
        for (const auto& [progId, code, description] : failures) {
            try {
                factory.Create<IGreeter>(progId);
                QFAIL(progId);
            } catch (const ComponentError& error) {
                QCOMPARE(error.Code(), code);
                QCOMPARE(error.Description(), description);
            }
        }
    }

    void traceLineFormat()
    {
        const auto line = [](const char* date, const QString& text) {
            return FormatTraceLine("OrvexSupportTool.cpp", 42, date, text);
        };
        const QString head = QStringLiteral("OrvexSupportTool.cpp(42) : {");
        QCOMPARE(line("Jan  5 2010", "Error 0x80004005"), head + "Jan 05 2010} Error 0x80004005\n");
        QCOMPARE(line("Dec 16 2026", "pApp is FALSE"), head + "Dec 16 2026} pApp is FALSE\n");
        QCOMPARE(line("Dec 16 2026", ""), head + "Dec 16 2026} ???\n");
        const QString longText(2000, QLatin1Char('x'));
        QCOMPARE(line("Jan 01 2026", longText), (head + "Jan 01 2026} " + longText).left(520));
    }

    // Whatever a guarded handler throws is traced once and answered with a code;
    // an aborted operation is answered silently.
    void guardedHandlerReportsEachKind()
    {
        const std::tuple<std::function<void()>, const char*, quint32> kinds[] = {
            {[] { throw ComponentError(0x80040154u, "Class not registered"); }, "Error 0x80040154",
             0x80040154u},
            {[] { throw FrameworkException("Disk full"); }, "Disk full", 0x80004005u},
            {[] { throw std::runtime_error("bad thing"); }, "bad thing", 0x80004005u},
            {[] { throw 17; }, "\"...\" exception caught", 0x80004005u},
            {[] { throw ComponentError(ResultCode::Aborted, "cancel"); }, "", ResultCode::Aborted}};
        for (const auto& [body, traced, answer] : kinds) {
            OrvexTest::TraceCapture capture;
            QCOMPARE(ORVEX_GUARDED(body), answer);
            const QStringList lines = capture.Lines();
            QCOMPARE(lines.size(), *traced ? 1 : 0);
            if (*traced) {
                QVERIFY2(lines.first().endsWith(QStringLiteral("} ") + traced),
                         qPrintable(lines[0]));
                QVERIFY(lines.first().contains(QStringLiteral("tst_components.cpp(")));
            }
        }
    }

    void checkOrThrowTracesAndRaisesUnexpected()
    {
        OrvexTest::TraceCapture capture;
        const void* pApp = nullptr;
        QCOMPARE(ORVEX_GUARDED([&] { CheckOrThrow(pApp); }), ResultCode::Unexpected);
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

    void systemErrors()
    {
        const std::pair<quint32, const char*> reports[] = {
            {0, "Unexpected error"},
            {1, "Unexpected error"},
            {2, "Error 0x2 (No such file or directory)"},
            {13, "Error 0xD (Permission denied)"}};
        for (const auto& [code, expected] : reports) {
            OrvexTest::TraceCapture capture;
            ORVEX_REPORT_SYSTEM_ERROR(code);
            QCOMPARE(capture.Lines().size(), 1);
            QVERIFY2(capture.Lines().first().endsWith(QStringLiteral("} ") + expected),
                     qPrintable(capture.Lines().first()));
        }
    }

    void traceFileReceivesTraceLines()
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
        QVERIFY(text.contains(QStringLiteral("tst_components.cpp(")));
        QVERIFY(text.contains(QStringLiteral("} Error 0x80004005")));
        QVERIFY(!text.contains(QStringLiteral("not copied")));
        QVERIFY(!InstallTraceFile(dir.filePath(QStringLiteral("missing/trace.log"))));
    }
};

QTEST_GUILESS_MAIN(TestComponents)
#include "tst_components.moc"
