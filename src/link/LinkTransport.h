#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace Orvex {

// One open byte stream to a drive: a serial device, or the simulated drive
// inside the program. Received bytes arrive through the Received signal on the
// thread that owns the transport; nothing here blocks.
class ILinkTransport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~ILinkTransport() override = default;

    // Opens the stream; on failure answers false and Error() says why in
    // words a user can act on.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Queues bytes for sending; false when the stream is not open.
    virtual bool Write(const QByteArray& bytes) = 0;
    virtual QString Error() const = 0;
    // What the stream is, for messages ("/dev/ttyUSB0", "Orvex Drive Simulator").
    virtual QString Description() const = 0;

Q_SIGNALS:
    void Received(const QByteArray& bytes);
    // The stream went away (device unplugged, simulated link cut).
    void Lost(const QString& reason);
};

} // namespace Orvex
