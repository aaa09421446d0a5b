#pragma once

#include "LinkTransport.h"
#include "PortRegistry.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QProcess;

namespace OrvexBench {

// A port registry that finds no serial device of the machine's own.
class NoDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// Another link transport, counting the bytes and command lines that pass.
class CountingTransport final : public Orvex::ILinkTransport
{
    Q_OBJECT

public:
    explicit CountingTransport(std::unique_ptr<Orvex::ILinkTransport> inner);

    bool Open() override { return m_inner->Open(); }
    void Close() override { m_inner->Close(); }
    bool IsOpen() const override { return m_inner->IsOpen(); }
    QString Error() const override { return m_inner->Error(); }
    QString Description() const override { return m_inner->Description(); }
    bool Write(const QByteArray& bytes) override;

    void ResetCounts() { m_out = m_in = m_lines = 0; }
    qint64 BytesOut() const { return m_out; }
    qint64 BytesIn() const { return m_in; }
    qint64 Lines() const { return m_lines; }

private:
    std::unique_ptr<Orvex::ILinkTransport> m_inner;
    qint64 m_out = 0;
    qint64 m_in = 0;
    qint64 m_lines = 0;
};

// Starts the standalone simulated drive on the shipped data at a baud rate,
// with any further arguments; the pseudo-terminal it serves, or nothing when
// it did not start within 10 s.
QString StartStandaloneSimulator(QProcess& simulator, int baud, const QStringList& arguments = {});

} // namespace OrvexBench
