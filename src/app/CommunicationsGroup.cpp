#include "CommunicationsGroup.h"

#include "AppContext.h"
#include "BuiltInComponents.h"
#include "ErrorReport.h"
#include "PortAccess.h"
#include "PortRegistry.h"
#include "UiServices.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace Orvex {

namespace {

QLabel* MakeErrorLabel(const QString& text, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
    QFont font = label->font();
    font.setPointSize(10);
    font.setBold(bold);
    label->setFont(font);
    label->setAutoFillBackground(false);
    label->hide();
    return label;
}

// The number of a list item "COM%d".
int PortOfItem(const QString& text)
{
    return text.isEmpty() ? 0 : text.mid(3).toInt();
}

} // namespace

CCommunicationsGroup::CCommunicationsGroup(AppContext& context, PortRegistry& ports,
                                           QWidget* parent)
    : QWidget(parent), m_context(context), m_ports(ports)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* comms = new QGroupBox(QStringLiteral("Communications"), this);
    comms->setObjectName(QStringLiteral("communicationsGroup"));
    comms->setMaximumWidth(320);
    auto* layout = new QGridLayout(comms);
    auto* portLabel = new QLabel(QStringLiteral("&Port"), comms);
    m_pPortList = new QComboBox(comms);
    m_pPortList->setObjectName(QStringLiteral("portList"));
    m_pPortList->setMinimumContentsLength(8);
    portLabel->setBuddy(m_pPortList);
    // The items are "COM%d"; the open list shows each port's description
    // beside its number, so a port can be found without trying them all.
    m_pPortModel = new QStandardItemModel(0, 2, m_pPortList);
    m_pPortList->setModel(m_pPortModel);
    auto* view = new QTableView(m_pPortList);
    view->setObjectName(QStringLiteral("portListView"));
    view->setAccessibleName(QStringLiteral("Ports"));
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setShowGrid(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pPortList->setView(view);
    m_pNoPorts = new QLabel(QStringLiteral("No Ports Found"), comms);
    m_pNoPorts->setObjectName(QStringLiteral("noPortsLabel"));
    m_pNoPorts->hide();
    m_pTest = new QPushButton(QStringLiteral("Test"), comms);
    m_pTest->setObjectName(QStringLiteral("testButton"));
    m_pFindPorts = new QPushButton(QStringLiteral("Find Ports"), comms);
    m_pFindPorts->setObjectName(QStringLiteral("findPortsButton"));
    m_pAddPort = new QPushButton(QStringLiteral("Add Port..."), comms);
    m_pAddPort->setObjectName(QStringLiteral("addPortButton"));
    m_pAddPort->setToolTip(
        QStringLiteral("Add a serial device path, such as /dev/pts/3, as a port"));
    m_pPortDescription = new QLabel(comms);
    m_pPortDescription->setObjectName(QStringLiteral("portDescription"));
    m_pPortDescription->setWordWrap(true);
    m_pPortPath = new QLabel(comms);
    m_pPortPath->setObjectName(QStringLiteral("portPath"));
    m_pPortPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pPortProblem = new QLabel(comms);
    m_pPortProblem->setObjectName(QStringLiteral("portProblem"));
    m_pPortProblem->setWordWrap(true);
    m_pPortProblem->hide();
    layout->addWidget(portLabel, 0, 0);
    layout->addWidget(m_pPortList, 0, 1);
    layout->addWidget(m_pTest, 0, 2);
    layout->addWidget(m_pNoPorts, 1, 0, 1, 3);
    layout->addWidget(m_pPortDescription, 2, 0, 1, 3);
    layout->addWidget(m_pPortPath, 3, 0, 1, 3);
    layout->addWidget(m_pPortProblem, 4, 0, 1, 3);
    layout->addWidget(m_pFindPorts, 5, 0, 1, 2);
    layout->addWidget(m_pAddPort, 5, 2);
    outer->addWidget(comms);

    m_pConnectionError = MakeErrorLabel(QStringLiteral("CONNECTION ERROR"), true, this);
    m_pConnectionError->setObjectName(QStringLiteral("connectionErrorLabel"));
    m_pConnectionStatus =
        MakeErrorLabel(QStringLiteral("Status:  No Response from Orvex drive."), false, this);
    m_pConnectionStatus->setObjectName(QStringLiteral("connectionStatusLabel"));
    m_pConnectionStatus->setWordWrap(true);
    outer->addWidget(m_pConnectionError);
    outer->addWidget(m_pConnectionStatus);

    for (QPushButton* button : {m_pTest, m_pFindPorts, m_pAddPort})
        button->setAutoDefault(false);
    connect(m_pTest, &QPushButton::clicked, this, &CCommunicationsGroup::TestRequested);
    connect(m_pFindPorts, &QPushButton::clicked, this, &CCommunicationsGroup::FindPorts);
    connect(m_pAddPort, &QPushButton::clicked, this, &CCommunicationsGroup::AddPortPath);
    connect(m_pPortList, &QComboBox::activated, this, &CCommunicationsGroup::ApplyPortSelection);
}

int CCommunicationsGroup::ListedPort() const
{
    return PortOfItem(m_pPortList->currentText());
}

void CCommunicationsGroup::ShowConnectionError(bool show, const QString& text)
{
    m_pConnectionStatus->setText(QStringLiteral("Status: ") + text);
    m_pConnectionError->setVisible(show);
    m_pConnectionStatus->setVisible(show);
    repaint();
}

void CCommunicationsGroup::EnableCommControls(bool enable)
{
    m_pPortList->setEnabled(enable);
    m_pTest->setEnabled(enable);
}

void CCommunicationsGroup::FindPorts()
{
    ORVEX_GUARDED([&] {
        m_pPortList->clear();
        std::vector<PortRegistry::PortEntry> entries = m_ports.EnumerateSerialPorts();
        // The ports built into the program come first: with no port
        // remembered, a first start lands on the simulated drive, which is
        // there for everyone, rather than on a device the user may not open.
        std::stable_partition(entries.begin(), entries.end(),
                              [](const PortRegistry::PortEntry& entry) { return entry.Virtual; });
        for (const PortRegistry::PortEntry& entry : entries) {
            if (entry.Description == PortRegistry::ExcludedDeviceDescription())
                continue;
            auto* number = new QStandardItem(QStringLiteral("COM%1").arg(entry.Number));
            auto* description = new QStandardItem(entry.Description);
            number->setToolTip(entry.Description);
            description->setToolTip(entry.Description);
            m_pPortModel->appendRow({number, description});
        }
        // The open list is as wide as its widest description.
        auto* view = static_cast<QTableView*>(m_pPortList->view());
        view->resizeColumnsToContents();
        view->setMinimumWidth(view->horizontalHeader()->length() + 2 * view->frameWidth() +
                              view->verticalScrollBar()->sizeHint().width());
        if (m_pPortList->count() == 0) {
            EnableCommControls(false);
            m_pNoPorts->show();
            UpdatePortDetails();
            return;
        }
        EnableCommControls(true);
        m_pNoPorts->hide();
        int index = -1;
        if (m_selectedPort > 0)
            index = m_pPortList->findText(QStringLiteral("COM%1").arg(m_selectedPort),
                                          Qt::MatchExactly | Qt::MatchCaseSensitive);
        m_pPortList->setCurrentIndex(index >= 0 ? index : 0);
        ApplyPortSelection();
    });
}

void CCommunicationsGroup::ApplyPortSelection()
{
    const QString text = m_pPortList->currentText();
    if (!text.isEmpty() && PortOfItem(text) != m_selectedPort) {
        m_selectedPort = PortOfItem(text);
        // A connection error said something of the old port only.
        ShowConnectionError(false, QString());
    }
    UpdatePortDetails();
    Q_EMIT PortSelected(m_selectedPort);
}

void CCommunicationsGroup::UpdatePortDetails()
{
    const auto entry = m_pPortList->count() > 0 ? m_ports.Find(m_selectedPort) : std::nullopt;
    if (!entry) {
        m_pPortDescription->clear();
        m_pPortPath->clear();
        m_pPortProblem->hide();
        return;
    }
    m_pPortDescription->setText(entry->Description);
    m_pPortDescription->setVisible(entry->Description != entry->SystemLocation);
    m_pPortPath->setText(entry->Virtual ? QStringLiteral("built into this program")
                                        : entry->SystemLocation);
    ShowPortProblem(entry->Virtual ? QString() : PortAccessProblem(entry->SystemLocation));
}

void CCommunicationsGroup::ShowPortProblem(const QString& problem)
{
    m_pPortProblem->setText(problem);
    m_pPortProblem->setVisible(!problem.isEmpty());
}

void CCommunicationsGroup::AddPortPath()
{
    ORVEX_GUARDED([&] {
        const QString path =
            m_context.Ui.AskText(QStringLiteral("Add Port"),
                                 QStringLiteral("Serial device path (for example /dev/pts/3):"),
                                 QStringLiteral("/dev/"));
        if (path.isEmpty() || path == QStringLiteral("/dev/"))
            return;
        // A path that is no present device is refused before it gets a
        // number, so nothing is remembered and the selection stays.
        if (const QString problem = DevicePathProblem(path); !problem.isEmpty()) {
            ShowErrorMessage(m_context.Ui, QStringLiteral("Add Port"), problem);
            return;
        }
        const int number = m_ports.AddDevicePath(path);
        if (number <= 0)
            return;
        m_selectedPort = number;
        FindPorts();
    });
}

void CCommunicationsGroup::OfferSimulator(bool offer)
{
    ORVEX_GUARDED([&] {
        BuiltInComponents::OfferSimulator(m_ports, m_context.Settings, offer);
        FindPorts();
    });
}

} // namespace Orvex
