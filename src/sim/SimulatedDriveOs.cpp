// The simulated drive's boot loader side of an operating system download.
#include "SimulatedDrive.h"

#include "DriveCommandLine.h"

#include <QRegularExpression>

#include <cmath>
#include <utility>

#include <zlib.h>

namespace Orvex {

namespace {

QByteArray Line(const QString& text)
{
    return text.toLatin1() + "\r\n";
}

const QByteArray NoOperatingSystem = "?7 No operating system\r\n";
const QByteArray NoDownload = "?8 Failed no download in progress\r\n";

bool IsRevision(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,6}$"));
    return pattern.match(text).hasMatch();
}

quint32 Crc32(const QByteArray& data)
{
    return static_cast<quint32>(crc32(0L, reinterpret_cast<const Bytef*>(data.constData()),
                                      static_cast<uInt>(data.size())));
}

} // namespace

QByteArray SimulatedDrive::OsDownloadStart(const DriveCommandLine& command)
{
    // A drive whose flash failed its check must be power-cycled before the
    // boot loader will write it again.
    if (m_OsState == OsState::Corrupt)
        return NoOperatingSystem;
    if (m_Enabled)
        return "?5 Not allowed while enabled\r\n";
    const QStringList fields = command.Value.split(u',');
    if (!command.HasValue || fields.size() != 3)
        return "?3 Bad value\r\n";
    const std::optional<double> bytes = DriveCommandLine::Number(fields[0].trimmed());
    const std::optional<quint32> crc = DriveCommandLine::PrefixedHex(fields[1].trimmed());
    const QString revision = fields[2].trimmed();
    if (!bytes || *bytes != std::floor(*bytes) || !crc || !IsRevision(revision))
        return "?3 Bad value\r\n";
    if (*bytes < 1.0 || *bytes > static_cast<double>(MaxOsBytes))
        return Line(QStringLiteral("?2 Out of range 1 to %1").arg(MaxOsBytes));

    // The boot loader takes over: from here on the old OS is gone.
    m_OsState = OsState::Missing;
    m_OsDownload = {};
    m_OsDownload.Active = true;
    m_OsDownload.Expected = static_cast<qint64>(*bytes);
    m_OsDownload.Crc = *crc;
    m_OsDownload.Revision = revision;
    m_OsDownload.Data.reserve(m_OsDownload.Expected);
    return "OSDL=READY\r\n";
}

QByteArray SimulatedDrive::OsDownloadData(const DriveCommandLine& command)
{
    if (m_OsState == OsState::Corrupt)
        return NoOperatingSystem;
    if (!m_OsDownload.Active)
        return NoDownload;
    const QString& hex = command.Value;
    static const QRegularExpression hexDigits(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    if (!command.HasValue || !hexDigits.match(hex).hasMatch())
        return "?3 Bad value\r\n";
    const qint64 left = m_OsDownload.Expected - m_OsDownload.Data.size();
    if (hex.size() / 2 > left)
        return Line(QStringLiteral("?2 Out of range 1 to %1").arg(left));
    m_OsDownload.Data += QByteArray::fromHex(hex.toLatin1());
    return {};
}

QByteArray SimulatedDrive::OsDownloadEnd(const DriveCommandLine& command)
{
    if (m_OsState == OsState::Corrupt)
        return NoOperatingSystem;
    if (command.HasValue)
        return "?3 Bad value\r\n";
    if (!m_OsDownload.Active)
        return NoDownload;
    const OsDownloadSession session = std::exchange(m_OsDownload, {});
    // A short or damaged image is not started; the boot loader keeps waiting
    // for a new download.
    if (session.Data.size() != session.Expected)
        return "?8 Failed length\r\n";
    if (Crc32(session.Data) != session.Crc)
        return "?8 Failed checksum\r\n";
    m_InstalledOs = session.Revision;
    m_OsState = OsState::Valid;
    Restart(); // the new OS starts from the stored configuration
    return Line(QStringLiteral("OSEND=OK ") + m_InstalledOs);
}

QByteArray SimulatedDrive::OsDownloadAbort(const DriveCommandLine& command)
{
    if (m_OsState == OsState::Corrupt)
        return NoOperatingSystem;
    if (command.HasValue)
        return "?3 Bad value\r\n";
    // The old OS was erased at OSDL, so an aborted download leaves none; with
    // no download running there is nothing to stop.
    m_OsDownload = {};
    return {};
}

} // namespace Orvex
