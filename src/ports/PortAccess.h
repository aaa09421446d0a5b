#pragma once

#include <QSerialPort>
#include <QString>

namespace Orvex {

// Why the current user cannot open a serial device, in words the user can act
// on; empty when the device can be opened for reading and writing.
QString PortAccessProblem(const QString& systemLocation);

// Why a path the user offers as a port is none: it must name a character
// device that is present now (a serial adapter, a pseudo-terminal). Empty
// when it does.
QString DevicePathProblem(const QString& path);

// The same kind of message for a failed QSerialPort::open(); systemText is the
// port's errorString(), used when there is nothing more specific to say.
QString DescribeOpenError(const QString& systemLocation, QSerialPort::SerialPortError error,
                          const QString& systemText = QString());

} // namespace Orvex
