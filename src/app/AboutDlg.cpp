#include "AboutDlg.h"

#include "ComponentFactory.h"
#include "ErrorReport.h"
#include "LinkPort.h"
#include "OrvexConfig.h"
#include "ProgramInfo.h"
#include "UiServices.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace Orvex {

CAboutDlg::CAboutDlg(IOrvexConfig& config, ComponentFactory& factory, IUiServices& ui,
                     QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Orvex Support Tool"));
    setObjectName(QStringLiteral("aboutDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Orvex Support Tool"), this);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    name->setFont(nameFont);
    layout->addWidget(name);
    m_pProductVersion = new QLabel(this);
    m_pProductVersion->setObjectName(QStringLiteral("productVersion"));
    m_pBridgeVersion = new QLabel(this);
    m_pBridgeVersion->setObjectName(QStringLiteral("bridgeVersion"));
    m_pLinkVersion = new QLabel(this);
    m_pLinkVersion->setObjectName(QStringLiteral("linkVersion"));
    for (QLabel* label : {m_pProductVersion, m_pBridgeVersion, m_pLinkVersion}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    layout->addWidget(new QLabel(QStringLiteral("Licensed under the GNU General Public License, "
                                                "version 3 or later."),
                                 this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    FillVersions(config, factory, ui);
}

void CAboutDlg::FillVersions(IOrvexConfig& config, ComponentFactory& factory, IUiServices& ui)
{
    RunShowingErrors(ui, QString::fromLatin1(ProgramName), [&] {
        SetLine(m_pProductVersion, QStringLiteral("Product Version %1\r\n").arg(ProductVersion()));
        SetLine(m_pBridgeVersion,
                QStringLiteral("OrvexBridge.dll, Version %1\r\n").arg(config.Version()));
        const auto link = factory.Create<ILinkPort>(QString::fromLatin1(ProgId::LinkPort));
        SetLine(m_pLinkVersion,
                QStringLiteral("ComHost2.exe, Version %1\r\n").arg(link->Version()));
    });
}

void CAboutDlg::SetLine(QLabel* label, const QString& line)
{
    // The line ends in a line break, which a label would show as an empty line.
    label->setProperty("line", line);
    label->setText(line.trimmed());
}

QString CAboutDlg::ProductVersionLine() const
{
    return m_pProductVersion->property("line").toString();
}

QString CAboutDlg::BridgeVersionLine() const
{
    return m_pBridgeVersion->property("line").toString();
}

QString CAboutDlg::LinkVersionLine() const
{
    return m_pLinkVersion->property("line").toString();
}

} // namespace Orvex
