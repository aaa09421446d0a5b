#pragma once

#include "ComponentError.h"
#include "LinkPort.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace OrvexTest {

// A serial link whose every step a test decides, recording what a page did.
class ScriptedLink final : public Orvex::ILinkPort
{
public:
    QString Version() const override { return QStringLiteral("2.0.0"); }
    bool IsOpen() const override { return m_open; }
    void Open(int port, bool flag) override
    {
        Opens.push_back({port, flag});
        if (!OpenError.isEmpty())
            throw Orvex::ComponentError(Orvex::ResultCode::Fail, OpenError);
        m_open = OpenSucceeds;
    }
    void Close() override
    {
        ++Closes;
        m_open = false;
    }
    QString Read() override { return std::exchange(Waiting, QString()); }
    void Write(const QString& text) override
    {
        if (!m_open)
            throw Orvex::ComponentError(Orvex::ResultCode::Fail,
                                        QStringLiteral("The port is gone."));
        Writes << text;
        if (LoseAfterWrites >= 0 && Writes.size() >= LoseAfterWrites)
            m_open = false;
    }
    void Receive(const QString& text)
    {
        Waiting += text;
        Q_EMIT DataWaiting();
    }

    std::vector<std::pair<int, bool>> Opens;
    int Closes = 0;
    QStringList Writes;
    QString Waiting;
    bool OpenSucceeds = true;
    // When set, Open throws a component error with this description.
    QString OpenError;
    qsizetype LoseAfterWrites = -1;

private:
    bool m_open = false;
};

} // namespace OrvexTest
