// The configuration object's operating system download: the image is read and
// checked here, then OsDownload sends it while the caller polls.
#include "OrvexBridgeConfig.h"

#include "ComponentError.h"
#include "OsImage.h"

namespace Orvex {

void COrvexBridgeConfig::StartOsDownload(const QString& path)
{
    // A second start must not overwrite the record of the one running.
    if (m_osDownload.IsActive())
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("An operating system download is already running."));
    QString error;
    std::optional<OsImage> image = OsImage::Load(path, &error);
    if (!image) {
        m_osDownload.SetFileError(error);
        throw ComponentError(ResultCode::Fail, error);
    }
    m_osDownload.Start(m_connection.RequireChannel(), std::move(*image));
}

int COrvexBridgeConfig::GetOsDownloadProgress(int& total, int& done)
{
    return m_osDownload.Progress(total, done);
}

void COrvexBridgeConfig::AbortOsDownload()
{
    m_osDownload.Abort();
}

} // namespace Orvex
