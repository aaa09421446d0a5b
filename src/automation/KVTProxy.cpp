#include "KVTProxy.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTableWidget>

Q_LOGGING_CATEGORY(lcOrvexAutomation, "orvex.automation")

namespace Orvex {

QString StatusGridCellText(const QTableWidget* grid, int row, int column)
{
    const int rows = grid ? grid->rowCount() : 0;
    const int columns = grid ? grid->columnCount() : 0;
    if (row > rows)
        return QStringLiteral("Invalid row number");
    if (column > columns)
        return QStringLiteral("Invalid column number");
    if (!grid || row < 0 || column < 0 || row >= rows || column >= columns)
        return {};
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

CKVTProxy::CKVTProxy(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("kvtProxy"));
}

QString CKVTProxy::GetBitStatus(int row, int column) const
{
    return StatusGridCellText(m_grids ? m_grids->BitStatusGrid() : nullptr, row, column);
}

QString CKVTProxy::GetNumericStatus(int row, int column) const
{
    return StatusGridCellText(m_grids ? m_grids->NumericStatusGrid() : nullptr, row, column);
}

QString CKVTProxy::EnableNumericStatus(int row, bool) const
{
    const QTableWidget* grid = m_grids ? m_grids->NumericStatusGrid() : nullptr;
    if (row > (grid ? grid->rowCount() : 0))
        return QStringLiteral("Invalid row number");
    return QStringLiteral("Success");
}

AutomationServer::AutomationServer() : m_proxy(std::make_unique<CKVTProxy>()) {}

AutomationServer::~AutomationServer()
{
    Unregister();
}

bool AutomationServer::Register(const QDBusConnection& bus)
{
    Unregister();
    if (!bus.isConnected()) {
        qCInfo(lcOrvexAutomation, "Automation is off: no session bus (%s)",
               qUtf8Printable(bus.lastError().message()));
        return false;
    }
    m_bus = std::make_unique<QDBusConnection>(bus);
    const QString path = QString::fromLatin1(AutomationPath);
    if (!m_bus->registerObject(path, m_proxy.get(), QDBusConnection::ExportAllSlots)) {
        qCWarning(lcOrvexAutomation, "Automation is off: %s is taken on the bus",
                  qUtf8Printable(path));
        m_bus.reset();
        return false;
    }
    // The object is in place before the name is, so a client that sees the
    // name can call at once.
    const QString service = QString::fromLatin1(AutomationService);
    if (!m_bus->registerService(service)) {
        const QString why = m_bus->lastError().message();
        qCWarning(lcOrvexAutomation, "Automation is off: %s is owned by another program%s",
                  qUtf8Printable(service),
                  qUtf8Printable(why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
        m_bus->unregisterObject(path);
        m_bus.reset();
        return false;
    }
    m_registered = true;
    return true;
}

bool AutomationServer::RegisterOnSessionBus()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus")))) {
        qCInfo(lcOrvexAutomation, "Automation is off: no session bus");
        return false;
    }
    return Register(QDBusConnection::sessionBus());
}

void AutomationServer::Unregister()
{
    if (!m_bus)
        return;
    if (m_registered)
        m_bus->unregisterService(QString::fromLatin1(AutomationService));
    m_bus->unregisterObject(QString::fromLatin1(AutomationPath));
    m_bus.reset();
    m_registered = false;
}

} // namespace Orvex
