#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

namespace OrvexTest {

// Collects the trace lines written while it exists.
class TraceCapture
{
public:
    TraceCapture()
    {
        QMutexLocker lock(&s_mutex);
        s_lines.clear();
        s_previous = qInstallMessageHandler(Capture);
    }
    ~TraceCapture() { qInstallMessageHandler(s_previous); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    QStringList Lines() const
    {
        QMutexLocker lock(&s_mutex);
        return s_lines;
    }

private:
    static void Capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (context.category && qstrcmp(context.category, "orvex.trace") == 0) {
            QMutexLocker lock(&s_mutex);
            s_lines << message;
        } else if (s_previous) {
            s_previous(type, context, message);
        }
    }

    static inline QMutex s_mutex;
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

} // namespace OrvexTest
