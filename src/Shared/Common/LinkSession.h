#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace Orvex {

class ComponentFactory;
class ILinkPort;
class IUiServices;

// The serial link one page owns ("ComHost2.LinkPort"): created through the
// component factory, opened on the selected port, reopened when the user
// picks another port or when its device comes back, and closed when the page
// goes. Received text is handed on through Received. Every failure the user
// must know of is shown under "Communications Error".
class LinkSession final : public QObject
{
    Q_OBJECT

public:
    static inline const QString CommunicationsError = QStringLiteral("Communications Error");
    static inline const QString NotOpen = QStringLiteral("COM port not open");

    // missingText is what a send says when the link object could not be
    // made ("ILinkPort not created", "Communications Server not created").
    LinkSession(ComponentFactory& factory, IUiServices& ui,
                QString missingText = QStringLiteral("ILinkPort not created"),
                QObject* parent = nullptr);
    ~LinkSession() override;

    // Makes the link object; a component error goes to the caller.
    void Create();
    // Makes the link object unless there is one; false, with the missing
    // text shown, when it cannot be made.
    bool EnsureCreated();
    bool Exists() const { return m_link != nullptr; }
    bool IsOpen() const;

    // Opens the link on the port unless it is open already; false, with the
    // link's own reason or "COM port not open" shown, when it stays closed.
    bool Open(int port, bool flag);
    // Closes the link and opens it on the port; the failure goes to the
    // caller, which reports it for every page at once.
    void Reopen(int port, bool flag);
    // Closes the link on purpose: a later Send does not reopen it.
    void Close();
    // Closes the link and lets the object go; Received stops.
    void Release();

    // Whether a send can go out now. A link whose device was lost is opened
    // again on its port first (unless reopenLost is false), so a drive that
    // comes back is reachable at once. False, with the reason shown, when it
    // cannot.
    bool CheckOpen(bool reopenLost = true);
    // Writes text as it stands once CheckOpen holds; false, with the reason
    // shown, when nothing went out. A run of lines that must not go on after
    // a lost link passes reopenLost false.
    bool Send(const QString& text, bool reopenLost = true);

Q_SIGNALS:
    void Received(const QString& text);

private:
    void OnDataWaiting();
    void Attach(std::unique_ptr<ILinkPort> link);

    ComponentFactory& m_factory;
    IUiServices& m_ui;
    QString m_missingText;
    std::unique_ptr<ILinkPort> m_link;
    // Where the link was last opened, so a lost device can be reopened.
    int m_port = 0;
    bool m_flag = true;
};

} // namespace Orvex
