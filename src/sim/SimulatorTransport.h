#pragma once

#include "LinkTransport.h"

#include <QElapsedTimer>
#include <QTimer>

#include <deque>
#include <memory>

namespace Orvex {

class SimulatedDrive;

// A link to the simulated drive inside the program: writes go to the drive,
// its answers come back through Received a little later, paced like a
// serial line when a baud rate is set.
class SimulatorTransport final : public ILinkTransport
{
    Q_OBJECT

public:
    explicit SimulatorTransport(std::shared_ptr<SimulatedDrive> drive, QObject* parent = nullptr);
    ~SimulatorTransport() override;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_Open; }
    bool Write(const QByteArray& bytes) override;
    QString Error() const override { return m_Error; }
    QString Description() const override;

    // Answers arrive no faster than baud / 10 bytes a second; 0 delivers
    // them at once (on the next turn of the event loop).
    void SetBaudRate(int baud);
    int BaudRate() const { return m_Baud; }
    // Cuts the link once this many bytes went over it, both ways counted
    // from now; negative never cuts it.
    void SetLoseLinkAfter(qint64 bytes);
    // Lets this many more answer bytes through, then drops every answer
    // while the link stays up; negative lets everything through.
    void SetMuteAfter(qint64 bytes) { m_MuteLeft = bytes < 0 ? -1 : bytes; }
    // Applies the link switches the drive was given (baud, mute, cut),
    // counting from the answer to the switch; queuedBefore is what was on
    // its way before that answer.
    void ApplyLinkSwitches(qint64 queuedBefore = 0);

    SimulatedDrive& Drive() const { return *m_Drive; }

private:
    void ScheduleDelivery();
    void Deliver();
    // Trims bytes to what may still pass before the link is cut.
    QByteArray Allowed(const QByteArray& bytes);
    void CutIfDue();
    qint64 QueuedBytes() const;

    std::shared_ptr<SimulatedDrive> m_Drive;
    bool m_Open = false;
    QString m_Error;
    int m_Baud = 0;
    qint64 m_BytesLeft = -1;
    qint64 m_MuteLeft = -1;
    bool m_CutPending = false;

    // Answer bytes on their way; with a baud rate each run of bytes carries
    // the time its first byte is due, on a line clock shared by both
    // directions (the link is half duplex: a request, then its answer).
    struct Segment
    {
        qint64 FirstDueNs = 0;
        QByteArray Bytes;
    };
    qint64 NanosecondsPerByte() const;
    void ArmPacer(qint64 nowNs);

    QByteArray m_Pending; // unpaced answers
    std::deque<Segment> m_Segments;
    QTimer m_Pacer;
    bool m_DeliveryScheduled = false;
    QElapsedTimer m_Clock;
    qint64 m_LineFreeNs = 0;
};

} // namespace Orvex
