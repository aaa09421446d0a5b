#include "OrvexBridgeConfig.h"

#include "ComponentError.h"
#include "ConnectionResult.h"
#include "DriveExchange.h"
#include "KvtFile.h"

#include <QRegularExpression>

#include <map>
#include <optional>

namespace Orvex {

namespace {

ComponentError IncorrectUpload(const QString& detail)
{
    return ComponentError(ResultCode::Fail,
                          QStringLiteral("%1: %2").arg(ConnectionResultText(4), detail));
}

// The drive's refusal of a write that an enabled power stage locks.
constexpr int kNotAllowedWhileEnabled = 5;

ComponentError DriveIsEnabled()
{
    return ComponentError(
        ResultCode::Fail,
        QStringLiteral(
            "The Orvex drive is enabled. Disable it before downloading a configuration."));
}

} // namespace

COrvexBridgeConfig::COrvexBridgeConfig(PortHub& hub) : m_connection(hub) {}

COrvexBridgeConfig::~COrvexBridgeConfig() = default;

QString COrvexBridgeConfig::Version() const
{
    return QStringLiteral("1.0.0");
}

void COrvexBridgeConfig::SetPortNumber(int port)
{
    m_connection.SetPortNumber(port);
}

int COrvexBridgeConfig::TestConnection()
{
    return m_connection.TestConnection();
}

bool COrvexBridgeConfig::DriveConfigured()
{
    return m_connection.State().Configured;
}

bool COrvexBridgeConfig::DriveEnable()
{
    return m_connection.State().Enabled;
}

void COrvexBridgeConfig::SetDriveEnable(bool enable)
{
    m_connection.Run(enable ? QStringLiteral("ENABLE 1") : QStringLiteral("ENABLE 0"),
                     DriveExchange::PlainTimeoutMs);
}

bool COrvexBridgeConfig::DriveFaulted()
{
    return m_connection.State().Faulted;
}

bool COrvexBridgeConfig::EnableInputActive()
{
    return m_connection.State().EnableInput;
}

bool COrvexBridgeConfig::ResetDrive(bool clearFault, int timeoutMs)
{
    if (clearFault) {
        m_connection.Run(QStringLiteral("CLRFLT"), DriveExchange::PlainTimeoutMs);
    }
    return m_connection.RunWithin(QStringLiteral("RESET"), timeoutMs);
}

bool COrvexBridgeConfig::RestoreFactorySettings(int timeoutMs)
{
    return m_connection.RunWithin(QStringLiteral("FACTORY"), timeoutMs);
}

void COrvexBridgeConfig::LoadConfiguration(const QString& path)
{
    if (path.isEmpty()) {
        UploadFromDrive();
    } else {
        KvtFile::Read(path, m_values);
    }
}

void COrvexBridgeConfig::StoreConfiguration(bool toDrive, const QString& path)
{
    if (!toDrive && path.isEmpty()) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("No file name was given to save the configuration."));
    }
    if (toDrive) {
        DownloadToDrive();
    }
    if (!path.isEmpty()) {
        KvtFile::Write(path, m_values);
    }
}

QVariant COrvexBridgeConfig::Property(const ConfigField& field) const
{
    // The held row, not the caller's copy, says what the property is.
    const ConfigurationValues::Property& property = ConfigurationValues::Of(field);
    if (!property.Readable()) {
        throw ComponentError(
            ResultCode::Fail,
            QStringLiteral("%1 is written only.").arg(QLatin1String(property.Name)));
    }
    return m_values.Value(property);
}

void COrvexBridgeConfig::SetProperty(const ConfigField& field, const QVariant& value)
{
    const ConfigurationValues::Property& property = ConfigurationValues::Of(field);
    if (!property.Writable()) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("%1 is read only.").arg(QLatin1String(property.Name)));
    }
    if (!m_values.SetValue(property, value)) {
        throw ComponentError(ResultCode::Fail, QStringLiteral("%1 cannot take a value of type %2.")
                                                   .arg(QLatin1String(property.Name),
                                                        QLatin1String(value.metaType().name())));
    }
}

void COrvexBridgeConfig::UploadFromDrive()
{
    m_connection.RequireDrive();
    const QStringList lines =
        m_connection.Run(QStringLiteral("CFGUP"), DriveExchange::ListingTimeoutMs);

    static const QRegularExpression parameterLine(QStringLiteral("^P(\\d{1,3})=(.*)$"),
                                                  QRegularExpression::CaseInsensitiveOption);
    const QString partPrefix = QStringLiteral("MPART=");
    std::map<int, QString> parameters;
    std::optional<QString> motorPart;
    int reportedCount = -1;
    for (const QString& line : lines) {
        if (reportedCount >= 0) {
            throw IncorrectUpload(QStringLiteral("text after the end of the configuration"));
        }
        if (line.startsWith(QLatin1String("CFGEND="), Qt::CaseInsensitive)) {
            bool ok = false;
            reportedCount = line.mid(7).toInt(&ok);
            if (!ok || reportedCount < 0) {
                throw IncorrectUpload(QStringLiteral("'%1'").arg(line));
            }
            continue;
        }
        if (line.startsWith(partPrefix, Qt::CaseInsensitive)) {
            motorPart = line.mid(partPrefix.size());
            continue;
        }
        const QRegularExpressionMatch match = parameterLine.match(line);
        if (!match.hasMatch()) {
            // Other named values (the motor name) are the drive's, not the
            // configuration's.
            if (line.contains(u'=')) {
                continue;
            }
            throw IncorrectUpload(QStringLiteral("'%1'").arg(line));
        }
        const int number = match.captured(1).toInt();
        if (number > 255 || !parameters.emplace(number, match.captured(2)).second) {
            throw IncorrectUpload(QStringLiteral("'%1'").arg(line));
        }
    }
    // A short upload (a link that dropped bytes) must not pass for a whole one.
    if (reportedCount != static_cast<int>(parameters.size())) {
        throw IncorrectUpload(QStringLiteral("the configuration arrived incomplete"));
    }
    // The listing leaves out the drive's read-only parameters.
    for (const int number : ConfigurationValues::UploadOnlyParameters()) {
        const QString name = QStringLiteral("P%1").arg(number, 3, 10, QLatin1Char('0'));
        parameters[number] = m_connection.Query(name, name);
    }

    int badParameter = 0;
    if (!m_values.ApplyUpload(parameters, motorPart ? &*motorPart : nullptr, &badParameter)) {
        throw IncorrectUpload(QStringLiteral("unreadable value '%1' for P%2")
                                  .arg(parameters[badParameter])
                                  .arg(badParameter, 3, 10, QLatin1Char('0')));
    }
}

void COrvexBridgeConfig::DownloadToDrive()
{
    m_connection.RequireDrive();
    // An enabled drive locks the motor data and the power stage settings, so
    // a download would stop part way through; it is not started.
    if (m_connection.State().Enabled) {
        throw DriveIsEnabled();
    }
    for (const ConfigurationValues::DriveWrite& write : m_values.DownloadWrites()) {
        const DriveExchange::Answer answer =
            m_connection.Send(write.Command, DriveExchange::PlainTimeoutMs);
        if (answer.Result == DriveExchange::Outcome::Refused) {
            // Enabled after all: the writes so far stay unsaved, and the drive
            // goes back to its saved configuration at its next reset.
            if (answer.Code == kNotAllowedWhileEnabled) {
                throw DriveIsEnabled();
            }
            throw ComponentError(ResultCode::Fail, QStringLiteral("The drive refused %1 (%2): %3")
                                                       .arg(QLatin1String(write.Source->Name),
                                                            write.Command, answer.Text));
        }
        DriveExchange::ThrowFor(answer, write.Command);
    }
    m_connection.Run(QStringLiteral("CFGSAVE"), DriveExchange::LongTimeoutMs);
}

} // namespace Orvex
