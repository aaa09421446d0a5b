#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Orvex {

// An Orvex operating system image read from a .ops file: its revision and the
// payload the drive's boot loader is sent, checked against the file's CRC-32.
class OsImage
{
public:
    static constexpr char Magic[] = "ORVEXOS1";
    static constexpr int MagicSize = 8;
    static constexpr int RevisionSize = 16;
    static constexpr int HeaderSize = MagicSize + RevisionSize + 4 + 4;
    // As much as the drive's flash takes.
    static constexpr qint64 MaxPayload = 1024 * 1024;

    // Reads and checks a whole file; nothing, with a sentence naming the file
    // and what is wrong with it in *error, when it is not a sound image.
    static std::optional<OsImage> Load(const QString& path, QString* error);
    // The same for the file's bytes; error texts do not name a file.
    static std::optional<OsImage> Parse(const QByteArray& bytes, QString* error);

    // CRC-32 as zlib and the .ops header compute it.
    static quint32 Crc32(const QByteArray& data);

    QString Revision() const { return m_revision; }
    const QByteArray& Payload() const { return m_payload; }
    quint32 Crc() const { return m_crc; }

private:
    QString m_revision;
    QByteArray m_payload;
    quint32 m_crc = 0;
};

} // namespace Orvex
