#include "LinkSession.h"

#include "Component.h"
#include "ComponentFactory.h"
#include "ErrorReport.h"
#include "LinkPort.h"
#include "UiServices.h"

#include <utility>

namespace Orvex {

LinkSession::LinkSession(ComponentFactory& factory, IUiServices& ui, QString missingText,
                         QObject* parent)
    : QObject(parent), m_factory(factory), m_ui(ui), m_missingText(std::move(missingText))
{}

LinkSession::~LinkSession()
{
    ORVEX_GUARDED([this] { Release(); });
}

void LinkSession::Create()
{
    Attach(m_factory.Create<ILinkPort>(QString::fromLatin1(ProgId::LinkPort)));
}

bool LinkSession::EnsureCreated()
{
    if (m_link)
        return true;
    try {
        Create();
    } catch (const ComponentError& error) {
        ORVEX_TRACE_ERROR(error.Description());
    }
    if (!m_link)
        ShowErrorMessage(m_ui, CommunicationsError, m_missingText);
    return m_link != nullptr;
}

void LinkSession::Attach(std::unique_ptr<ILinkPort> link)
{
    Release();
    m_link = std::move(link);
    if (m_link)
        connect(m_link.get(), &ILinkPort::DataWaiting, this, &LinkSession::OnDataWaiting);
}

bool LinkSession::IsOpen() const
{
    return m_link && m_link->IsOpen();
}

bool LinkSession::Open(int port, bool flag)
{
    if (!EnsureCreated())
        return false;
    if (!m_link->IsOpen()) {
        m_port = port;
        m_flag = flag;
        // The link's own reason beats a bare "not open".
        if (!RunShowingErrors(m_ui, CommunicationsError, [&] { m_link->Open(port, flag); }))
            return false;
    }
    if (!m_link->IsOpen()) {
        ShowErrorMessage(m_ui, CommunicationsError, NotOpen);
        return false;
    }
    return true;
}

void LinkSession::Reopen(int port, bool flag)
{
    if (!m_link)
        return;
    m_port = port;
    m_flag = flag;
    m_link->Close();
    m_link->Open(port, flag);
}

void LinkSession::Close()
{
    // Closed on purpose: a later send does not open it behind the page's back.
    m_port = 0;
    if (m_link && m_link->IsOpen())
        m_link->Close();
}

void LinkSession::Release()
{
    if (!m_link)
        return;
    m_port = 0;
    const std::unique_ptr<ILinkPort> link = std::move(m_link);
    disconnect(link.get(), nullptr, this, nullptr);
    if (link->IsOpen())
        link->Close();
}

bool LinkSession::CheckOpen(bool reopenLost)
{
    if (!m_link) {
        ShowErrorMessage(m_ui, CommunicationsError, m_missingText);
        return false;
    }
    if (reopenLost && !m_link->IsOpen() && m_port > 0) {
        // The device went and may be back; a failure here is the same "not
        // open" as before.
        try {
            m_link->Open(m_port, m_flag);
        } catch (const ComponentError& error) {
            ORVEX_TRACE_ERROR(error.Description());
        }
    }
    if (!m_link->IsOpen()) {
        ShowErrorMessage(m_ui, CommunicationsError, NotOpen);
        return false;
    }
    return true;
}

bool LinkSession::Send(const QString& text, bool reopenLost)
{
    // A port lost under the write says so in the same box.
    return CheckOpen(reopenLost) &&
           RunShowingErrors(m_ui, CommunicationsError, [&] { m_link->Write(text); });
}

void LinkSession::OnDataWaiting()
{
    ORVEX_GUARDED([this] {
        if (m_link)
            Q_EMIT Received(m_link->Read());
    });
}

} // namespace Orvex
