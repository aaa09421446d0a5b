#include "OsImage.h"

#include "BoundedFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <zlib.h>

namespace Orvex {

quint32 OsImage::Crc32(const QByteArray& data)
{
    return static_cast<quint32>(crc32(0L, reinterpret_cast<const Bytef*>(data.constData()),
                                      static_cast<uInt>(data.size())));
}

std::optional<OsImage> OsImage::Parse(const QByteArray& bytes, QString* error)
{
    const auto fail = [error](const QString& text) {
        if (error != nullptr)
            *error = text;
        return std::nullopt;
    };
    if (bytes.size() < HeaderSize || !bytes.startsWith(QByteArray(Magic, MagicSize)))
        return fail(QStringLiteral("it is not an Orvex operating system image"));

    QByteArray revision = bytes.mid(MagicSize, RevisionSize);
    const qsizetype end = revision.indexOf('\0');
    if (end >= 0) {
        // Only NUL padding may follow the text.
        if (revision.mid(end).count('\0') != revision.size() - end)
            return fail(QStringLiteral("its revision field is damaged"));
        revision.truncate(end);
    }
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,6}$"));
    const QString revisionText = QString::fromLatin1(revision);
    if (!pattern.match(revisionText).hasMatch())
        return fail(QStringLiteral("its revision field is damaged"));

    const char* numbers = bytes.constData() + MagicSize + RevisionSize;
    const quint32 length = qFromLittleEndian<quint32>(numbers);
    const quint32 crc = qFromLittleEndian<quint32>(numbers + 4);
    if (length == 0 || length > MaxPayload)
        return fail(QStringLiteral("its length field is damaged"));
    const qint64 expected = HeaderSize + static_cast<qint64>(length);
    if (bytes.size() < expected)
        return fail(QStringLiteral("it is shorter than its header says (%1 of %2 bytes)")
                        .arg(bytes.size())
                        .arg(expected));
    if (bytes.size() > expected)
        return fail(QStringLiteral("it is longer than its header says (%1 of %2 bytes)")
                        .arg(bytes.size())
                        .arg(expected));

    OsImage image;
    image.m_payload = bytes.mid(HeaderSize);
    if (Crc32(image.m_payload) != crc)
        return fail(QStringLiteral("its checksum does not match; the file is damaged"));
    image.m_revision = revisionText;
    image.m_crc = crc;
    return image;
}

std::optional<OsImage> OsImage::Load(const QString& path, QString* error)
{
    const QString name = QFileInfo(path).fileName();
    // Anything larger than the biggest image cannot be one.
    QString readError;
    const std::optional<QByteArray> bytes =
        ReadBoundedFile(path, HeaderSize + MaxPayload, &readError);
    if (!bytes) {
        if (error != nullptr)
            *error = QStringLiteral("Error reading from file %1: %2").arg(name, readError);
        return std::nullopt;
    }
    QString reason;
    std::optional<OsImage> image = Parse(*bytes, &reason);
    if (!image && error != nullptr)
        *error = QStringLiteral("Error reading from file %1: %2.").arg(name, reason);
    return image;
}

} // namespace Orvex
