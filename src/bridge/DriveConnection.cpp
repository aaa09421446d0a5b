#include "DriveConnection.h"

#include "ConnectionResult.h"

#include "ComponentError.h"
#include "DriveExchange.h"
#include "PortHub.h"

namespace Orvex {

namespace {

ComponentError IncorrectResponse()
{
    return ComponentError(ResultCode::Fail, ConnectionResultText(4));
}

} // namespace

DriveConnection::DriveConnection(PortHub& hub) : m_hub(hub) {}

DriveConnection::~DriveConnection() = default;

void DriveConnection::SetPortNumber(int port)
{
    if (port != m_port) {
        m_channel.reset();
    }
    m_port = port;
}

std::shared_ptr<PortChannel> DriveConnection::Channel(int* failureCode, QString* error)
{
    if (m_channel && !m_channel->IsOpen()) {
        m_channel.reset();
    }
    if (!m_channel) {
        PortHub::Failure failure = PortHub::Failure::None;
        m_channel = m_hub.Acquire(m_port, error, &failure);
        if (!m_channel) {
            *failureCode = failure == PortHub::Failure::OpenFailed ? 2 : 1;
        }
    }
    return m_channel;
}

std::shared_ptr<PortChannel> DriveConnection::RequireChannel()
{
    int code = 1;
    QString error;
    std::shared_ptr<PortChannel> channel = Channel(&code, &error);
    if (!channel) {
        throw ComponentError(ResultCode::Fail,
                             error.isEmpty() ? ConnectionResultText(code) : error);
    }
    return channel;
}

int DriveConnection::TestConnection()
{
    int failure = 1;
    // Held here as well, so the channel outlives the waits below even if the
    // port number changes meanwhile.
    const std::shared_ptr<PortChannel> channel = Channel(&failure, nullptr);
    if (!channel) {
        return failure;
    }
    const auto codeFor = [](const DriveExchange::Answer& answer) {
        switch (answer.Result) {
        case DriveExchange::Outcome::NoResponse:
        case DriveExchange::Outcome::StoppedAnswering:
        case DriveExchange::Outcome::LinkLost:
            return 3;
        case DriveExchange::Outcome::IncorrectResponse:
        case DriveExchange::Outcome::Refused:
            return 4;
        case DriveExchange::Outcome::Answered:
            break;
        }
        return 0;
    };

    // The empty line also flushes whatever half-line the drive may hold.
    const DriveExchange::Answer prompt = DriveExchange::Send(*channel, QString());
    if (const int code = codeFor(prompt); code != 0) {
        return code;
    }
    const DriveExchange::Answer version = DriveExchange::Send(*channel, QStringLiteral("VER"));
    if (const int code = codeFor(version); code != 0) {
        return code;
    }
    const QString line = version.Lines.value(0);
    if (version.Lines.size() != 1 || !line.startsWith(QLatin1String("VER=ORVEX "))) {
        return 4;
    }
    if (line.endsWith(QLatin1String(" OS MISSING"))) {
        return 5;
    }
    if (line.endsWith(QLatin1String(" OS CORRUPT"))) {
        return 6;
    }
    return -1;
}

void DriveConnection::RequireDrive()
{
    const int code = TestConnection();
    if (code != -1) {
        throw ComponentError(ResultCode::Fail, ConnectionResultText(code));
    }
}

DriveExchange::Answer DriveConnection::Send(const QString& command, int timeoutMs)
{
    const std::shared_ptr<PortChannel> channel = RequireChannel();
    return DriveExchange::Send(*channel, command, timeoutMs);
}

QStringList DriveConnection::Run(const QString& command, int timeoutMs)
{
    const std::shared_ptr<PortChannel> channel = RequireChannel();
    return DriveExchange::Run(*channel, command, timeoutMs);
}

QString DriveConnection::Query(const QString& command, const QString& name)
{
    return DriveExchange::ValueOf(Run(command, DriveExchange::PlainTimeoutMs), name);
}

bool DriveConnection::RunWithin(const QString& command, int timeoutMs)
{
    const std::shared_ptr<PortChannel> channel = RequireChannel();
    const DriveExchange::Answer answer = DriveExchange::Send(
        *channel, command, timeoutMs > 0 ? timeoutMs : DriveExchange::LongTimeoutMs);
    if (answer.Result == DriveExchange::Outcome::NoResponse ||
        answer.Result == DriveExchange::Outcome::StoppedAnswering ||
        answer.Result == DriveExchange::Outcome::IncorrectResponse) {
        return false;
    }
    DriveExchange::ThrowFor(answer, command);
    return true;
}

DriveConnection::DriveState DriveConnection::State()
{
    const QStringList fields = Query(QStringLiteral("STAT"), QStringLiteral("STAT")).split(u',');
    if (fields.size() != 4) {
        throw IncorrectResponse();
    }
    bool flags[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (fields[i] != QLatin1String("0") && fields[i] != QLatin1String("1")) {
            throw IncorrectResponse();
        }
        flags[i] = fields[i] == QLatin1String("1");
    }
    return {flags[0], flags[1], flags[2], flags[3]};
}

} // namespace Orvex
