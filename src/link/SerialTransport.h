#pragma once

#include "LinkTransport.h"

#include <QSerialPort>
#include <QString>

namespace Orvex {

// A byte stream to a drive on a real serial device (or anything that looks
// like one, such as a pseudo-terminal), driven by QSerialPort's signals.
class SerialTransport final : public ILinkTransport
{
    Q_OBJECT

public:
    struct LineSettings
    {
        qint32 BaudRate = 115200;
        QSerialPort::DataBits DataBits = QSerialPort::Data8;
        QSerialPort::Parity Parity = QSerialPort::NoParity;
        QSerialPort::StopBits StopBits = QSerialPort::OneStop;
        QSerialPort::FlowControl FlowControl = QSerialPort::NoFlowControl;
    };

    // The drive's line: 115200 baud, 8 data bits, no parity, 1 stop bit, no
    // flow control.
    static LineSettings DriveLineSettings();

    explicit SerialTransport(const QString& systemLocation, QObject* parent = nullptr);
    SerialTransport(const QString& systemLocation, const LineSettings& settings,
                    QObject* parent = nullptr);
    ~SerialTransport() override;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const QByteArray& bytes) override;
    QString Error() const override;
    QString Description() const override;

    const LineSettings& Settings() const { return m_settings; }

private:
    void OnReadyRead();
    void OnErrorOccurred(QSerialPort::SerialPortError error);
    bool ApplySettings();

    QString m_systemLocation;
    LineSettings m_settings;
    QSerialPort m_port;
    QString m_error;
};

} // namespace Orvex
