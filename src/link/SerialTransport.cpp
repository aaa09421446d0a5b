#include "SerialTransport.h"

#include "LinkLog.h"
#include "PortAccess.h"

namespace Orvex {

SerialTransport::LineSettings SerialTransport::DriveLineSettings()
{
    return LineSettings{};
}

SerialTransport::SerialTransport(const QString& systemLocation, QObject* parent)
    : SerialTransport(systemLocation, DriveLineSettings(), parent)
{}

SerialTransport::SerialTransport(const QString& systemLocation, const LineSettings& settings,
                                 QObject* parent)
    : ILinkTransport(parent), m_systemLocation(systemLocation), m_settings(settings)
{
    // A full path is kept as it is; QSerialPort only prefixes bare names.
    m_port.setPortName(systemLocation);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialTransport::OnReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::OnErrorOccurred);
}

SerialTransport::~SerialTransport()
{
    // No Lost from a transport that is going away on purpose.
    m_port.disconnect(this);
    m_port.close();
}

bool SerialTransport::Open()
{
    if (m_port.isOpen()) {
        return true;
    }
    m_error.clear();
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_error = DescribeOpenError(m_systemLocation, m_port.error(), m_port.errorString());
        qCInfo(lcLink).noquote() << "cannot open" << m_systemLocation << ":" << m_error;
        return false;
    }
    if (!ApplySettings()) {
        m_error = DescribeOpenError(m_systemLocation, m_port.error(), m_port.errorString());
        qCInfo(lcLink).noquote() << "cannot set up" << m_systemLocation << ":" << m_error;
        m_port.close();
        return false;
    }
    // Whatever the device collected before we opened it answers nobody's command.
    m_port.clear(QSerialPort::Input);
    qCDebug(lcLink).noquote() << "opened" << m_systemLocation;
    return true;
}

bool SerialTransport::ApplySettings()
{
    return m_port.setBaudRate(m_settings.BaudRate) && m_port.setDataBits(m_settings.DataBits) &&
           m_port.setParity(m_settings.Parity) && m_port.setStopBits(m_settings.StopBits) &&
           m_port.setFlowControl(m_settings.FlowControl);
}

void SerialTransport::Close()
{
    if (m_port.isOpen()) {
        m_port.close();
        qCDebug(lcLink).noquote() << "closed" << m_systemLocation;
    }
}

bool SerialTransport::IsOpen() const
{
    return m_port.isOpen();
}

bool SerialTransport::Write(const QByteArray& bytes)
{
    if (!m_port.isOpen()) {
        return false;
    }
    return m_port.write(bytes) == bytes.size();
}

QString SerialTransport::Error() const
{
    return m_error;
}

QString SerialTransport::Description() const
{
    return m_systemLocation;
}

void SerialTransport::OnReadyRead()
{
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty()) {
        Q_EMIT Received(bytes);
    }
}

void SerialTransport::OnErrorOccurred(QSerialPort::SerialPortError error)
{
    // A device that fails to read or write is gone (unplugged, or the other
    // end of a pseudo-terminal closed); left open, Qt would report the failed
    // read again on every turn of the event loop. Time-outs and parity or
    // framing errors leave the port usable, and a failed open is answered by
    // Open() itself.
    const bool broken = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                        error == QSerialPort::WriteError;
    if (!broken || !m_port.isOpen()) {
        return;
    }
    const QString problem = PortAccessProblem(m_systemLocation);
    m_error = QStringLiteral("The connection to %1 was lost: %2")
                  .arg(m_systemLocation, problem.isEmpty() ? m_port.errorString() : problem);
    qCWarning(lcLink).noquote() << m_error;
    m_port.close();
    Q_EMIT Lost(m_error);
}

} // namespace Orvex
