#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;

namespace Orvex {

struct AppContext;
class PortRegistry;

// The main window's "Communications" group and the red connection error
// labels below it: the port list with each port's description and path,
// "Test", "Find Ports", "Add Port..." and the simulated drive's port.
// The group holds the selected port number that every page uses.
class CCommunicationsGroup final : public QWidget
{
    Q_OBJECT

public:
    CCommunicationsGroup(AppContext& context, PortRegistry& ports, QWidget* parent = nullptr);

    int SelectedPort() const { return m_selectedPort; }
    // The port to pick when the list is next built (the remembered one).
    void SetSelectedPort(int port) { m_selectedPort = port; }
    // The number of the port the list shows; 0 when it is empty.
    int ListedPort() const;

    // Lists the present ports again and selects the selected one, or the
    // first when it is gone.
    void FindPorts();
    // Takes the list's port as the selected one and announces it.
    void ApplyPortSelection();
    // Asks for a device path and adds it as a numbered port.
    void AddPortPath();
    // Offers or withdraws the simulated drive's port and lists the ports again.
    void OfferSimulator(bool offer);

    void ShowConnectionError(bool show, const QString& text);
    void EnableCommControls(bool enable);
    // Why the selected port cannot be used, under its path; empty hides it.
    void ShowPortProblem(const QString& problem);

Q_SIGNALS:
    // The selected port changed (or was chosen again): links reopen on it.
    void PortSelected(int port);
    // "Test" was pressed.
    void TestRequested();

private:
    void UpdatePortDetails();

    AppContext& m_context;
    PortRegistry& m_ports;
    int m_selectedPort = 0;

    QComboBox* m_pPortList = nullptr;
    QStandardItemModel* m_pPortModel = nullptr;
    QLabel* m_pNoPorts = nullptr;
    QLabel* m_pPortDescription = nullptr;
    QLabel* m_pPortPath = nullptr;
    QLabel* m_pPortProblem = nullptr;
    QPushButton* m_pTest = nullptr;
    QPushButton* m_pFindPorts = nullptr;
    QPushButton* m_pAddPort = nullptr;
    QLabel* m_pConnectionError = nullptr;
    QLabel* m_pConnectionStatus = nullptr;
};

} // namespace Orvex
