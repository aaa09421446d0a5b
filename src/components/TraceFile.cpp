#include "TraceFile.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QtGlobal>

#include <memory>

namespace Orvex {

namespace {

QMutex g_mutex;
std::unique_ptr<QFile> g_file;
QtMessageHandler g_previous = nullptr;
bool g_installed = false;

void WriteTrace(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    {
        QMutexLocker lock(&g_mutex);
        if (g_file && context.category && qstrncmp(context.category, "orvex.", 6) == 0) {
            const QString line = QStringLiteral("%1 %2: %3\n")
                                     .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs),
                                          QString::fromLatin1(context.category), message);
            g_file->write(line.toUtf8());
            g_file->flush();
        }
    }
    if (g_previous)
        g_previous(type, context, message);
}

} // namespace

bool InstallTraceFile(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    QMutexLocker lock(&g_mutex);
    g_file = std::move(file);
    if (!g_installed) {
        g_previous = qInstallMessageHandler(WriteTrace);
        g_installed = true;
    }
    return true;
}

void RemoveTraceFile()
{
    QMutexLocker lock(&g_mutex);
    g_file.reset();
}

} // namespace Orvex
