#include "TraceCapture.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QtGlobal>

namespace OrvexTest {

namespace {

QMutex g_mutex;
QStringList g_lines;
QtMessageHandler g_previous = nullptr;

void Capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && qstrcmp(context.category, "orvex.trace") == 0) {
        QMutexLocker lock(&g_mutex);
        g_lines << message;
        return;
    }
    if (g_previous)
        g_previous(type, context, message);
}

} // namespace

TraceCapture::TraceCapture()
{
    QMutexLocker lock(&g_mutex);
    g_lines.clear();
    g_previous = qInstallMessageHandler(Capture);
}

TraceCapture::~TraceCapture()
{
    qInstallMessageHandler(g_previous);
}

QStringList TraceCapture::Lines() const
{
    QMutexLocker lock(&g_mutex);
    return g_lines;
}

} // namespace OrvexTest
