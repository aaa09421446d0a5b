#pragma once

#include <QDialog>

class QLabel;

namespace Orvex {

class ComponentFactory;
class IOrvexConfig;
class IUiServices;

// "About Orvex Support Tool": the program's version and the versions of the
// drive bridge and the serial link it talks through.
class CAboutDlg final : public QDialog
{
    Q_OBJECT

public:
    CAboutDlg(IOrvexConfig& config, ComponentFactory& factory, IUiServices& ui,
              QWidget* parent = nullptr);

    // The three version lines as the box fills them, line ends included.
    QString ProductVersionLine() const;
    QString BridgeVersionLine() const;
    QString LinkVersionLine() const;

private:
    void FillVersions(IOrvexConfig& config, ComponentFactory& factory, IUiServices& ui);
    static void SetLine(QLabel* label, const QString& line);

    QLabel* m_pProductVersion = nullptr;
    QLabel* m_pBridgeVersion = nullptr;
    QLabel* m_pLinkVersion = nullptr;
};

} // namespace Orvex
