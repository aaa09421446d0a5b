#pragma once

#include "LinkTransport.h"

#include <QByteArrayList>
#include <QString>

namespace OrvexTest {

// What happened to the fake transports of one port, for the test to assert on
// and to steer: open failures, and the live transport to push bytes through.
struct TransportLog
{
    int Opens = 0, Closes = 0, Alive = 0;
    bool FailOpen = false;
    QString OpenError;
    QByteArrayList Written;
    class FakeTransport* Current = nullptr;
};

// A stream with no device behind it: records what is written, and sends or
// loses only when the test says so.
class FakeTransport final : public Orvex::ILinkTransport
{
    Q_OBJECT

public:
    FakeTransport(TransportLog& log, QString description)
        : m_log(log), m_description(std::move(description))
    {
        ++m_log.Alive;
    }
    ~FakeTransport() override
    {
        --m_log.Alive;
        if (m_log.Current == this) {
            m_log.Current = nullptr;
        }
    }

    bool Open() override
    {
        m_error = m_log.FailOpen ? m_log.OpenError : QString();
        m_open = !m_log.FailOpen;
        m_log.Opens += m_open ? 1 : 0;
        m_log.Current = m_open ? this : m_log.Current;
        return m_open;
    }
    void Close() override
    {
        m_log.Closes += m_open ? 1 : 0;
        m_open = false;
    }
    bool IsOpen() const override { return m_open; }
    bool Write(const QByteArray& bytes) override
    {
        if (m_open) {
            m_log.Written.append(bytes);
        }
        return m_open;
    }
    QString Error() const override { return m_error; }
    QString Description() const override { return m_description; }

    void Send(const QByteArray& bytes) { Q_EMIT Received(bytes); }
    void Lose(const QString& reason) { Q_EMIT Lost(reason); }

private:
    TransportLog& m_log;
    QString m_description, m_error;
    bool m_open = false;
};

} // namespace OrvexTest
