#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QDBusConnection;
class QTableWidget;

namespace Orvex {

// Where the automation object finds the status grids: the main window's bit
// and numeric status pages. Either may be null (no window yet, page missing).
class IStatusGrids
{
public:
    virtual ~IStatusGrids() = default;
    virtual const QTableWidget* BitStatusGrid() const = 0;
    virtual const QTableWidget* NumericStatusGrid() const = 0;
};

// The text a caller reads from a grid cell: "Invalid row number" for a row
// past the grid's row count, "Invalid column number" for a column past its
// column count, else the cell's text, empty for a cell that does not exist
// (a negative index, or one equal to the count). A missing grid has no rows.
QString StatusGridCellText(const QTableWidget* grid, int row, int column);

inline constexpr char AutomationService[] = "com.tamsel.OrvexSupportTool";
inline constexpr char AutomationPath[] = "/KVTProxy";
inline constexpr char AutomationInterface[] = "com.tamsel.OrvexSupportTool.KVTProxy";

// The automation object: lets an outside test program read what the status
// panels show. Calls arrive on the UI thread, between the panels' updates.
class CKVTProxy final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.tamsel.OrvexSupportTool.KVTProxy")

public:
    explicit CKVTProxy(QObject* parent = nullptr);

    // The grids to read; null until the main window exists.
    void SetGrids(const IStatusGrids* grids) { m_grids = grids; }

public Q_SLOTS:
    QString GetBitStatus(int row, int column) const;
    QString GetNumericStatus(int row, int column) const;
    // Only checks the row: the numeric panel's ticks stay the user's.
    QString EnableNumericStatus(int row, bool enable) const;

private:
    const IStatusGrids* m_grids = nullptr;
};

// Offers the automation object on a bus under the program's service name.
// A program that cannot offer it (no session bus, another copy running
// already) goes on without it; Register says why on the "orvex.automation"
// logging category.
class AutomationServer
{
public:
    AutomationServer();
    ~AutomationServer();
    AutomationServer(const AutomationServer&) = delete;
    AutomationServer& operator=(const AutomationServer&) = delete;

    // Answers whether the object is on the bus under the service name.
    bool Register(const QDBusConnection& bus);
    // Registers on the user's session bus when there is one. It never
    // launches a bus of its own: no client would look for the object there.
    bool RegisterOnSessionBus();
    bool IsRegistered() const { return m_registered; }
    void SetGrids(const IStatusGrids* grids) { m_proxy->SetGrids(grids); }
    CKVTProxy& Proxy() const { return *m_proxy; }

private:
    void Unregister();

    std::unique_ptr<CKVTProxy> m_proxy;
    std::unique_ptr<QDBusConnection> m_bus;
    bool m_registered = false;
};

} // namespace Orvex
