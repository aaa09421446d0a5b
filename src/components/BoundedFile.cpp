#include "BoundedFile.h"

#include <QFile>
#include <QFileInfo>

namespace Orvex {

std::optional<QByteArray> ReadBoundedFile(const QString& path, qint64 maxBytes, QString* reason)
{
    const auto refuse = [reason](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return std::nullopt;
    };
    // Checked before opening: opening a pipe waits for its writer.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return refuse(QStringLiteral("it is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > maxBytes)
        return refuse(QStringLiteral("it is larger than %1").arg(SizeText(maxBytes)));
    return bytes;
}

QString SizeText(qint64 bytes)
{
    constexpr qint64 kKilo = 1024;
    if (bytes >= kKilo * kKilo && bytes % (kKilo * kKilo) == 0)
        return QStringLiteral("%1 MB").arg(bytes / (kKilo * kKilo));
    if (bytes >= kKilo && bytes % kKilo == 0)
        return QStringLiteral("%1 KB").arg(bytes / kKilo);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace Orvex
