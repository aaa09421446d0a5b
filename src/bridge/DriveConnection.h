#pragma once

#include "DriveExchange.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace Orvex {

class PortChannel;
class PortHub;

// The port a bridge object talks to the drive on: the port number its caller
// set, the shared channel it holds for it, the connection test and the
// commands both bridge objects send.
//
// The channel is taken from the hub on the first drive call after the port
// number is set and kept until the number changes, the link is lost or the
// object goes away, so a polling page does not reopen the port every second.
class DriveConnection
{
public:
    // The drive's state as STAT reports it.
    struct DriveState
    {
        bool Configured = false;
        bool Enabled = false;
        bool Faulted = false;
        bool EnableInput = false;
    };

    explicit DriveConnection(PortHub& hub);
    ~DriveConnection();

    DriveConnection(const DriveConnection&) = delete;
    DriveConnection& operator=(const DriveConnection&) = delete;

    void SetPortNumber(int port);
    int PortNumber() const { return m_port; }

    // -1 when the drive answered with a running operating system; otherwise
    // 1 unknown port, 2 cannot open, 3 no response, 4 incorrect response,
    // 5 operating system missing, 6 operating system corrupt.
    int TestConnection();
    // Runs the connection test and throws its text as a ComponentError
    // unless the drive answered.
    void RequireDrive();

    // Sends one command and answers whatever came back; throws only when the
    // port cannot be had or another exchange is waiting.
    DriveExchange::Answer Send(const QString& command, int timeoutMs);
    // Sends one command and answers the answer lines; throws a ComponentError
    // for a refusal, silence, garbage or a lost link.
    QStringList Run(const QString& command, int timeoutMs);
    // As Run, for a command answered by one "NAME=value" line; answers the value.
    QString Query(const QString& command, const QString& name);
    // Runs a command that may take long (restart, factory settings): answers
    // false when the drive did not answer within timeoutMs.
    bool RunWithin(const QString& command, int timeoutMs);

    DriveState State();

    // The held channel, for exchanges that run on its signals rather than
    // waiting (the OS download); throws a ComponentError when the port
    // cannot be had.
    std::shared_ptr<PortChannel> RequireChannel();

private:
    // The held channel, taken from the hub when needed; nothing on failure,
    // with the connection test's code and the hub's text.
    std::shared_ptr<PortChannel> Channel(int* failureCode, QString* error);

    PortHub& m_hub;
    int m_port = 0;
    std::shared_ptr<PortChannel> m_channel;
};

} // namespace Orvex
