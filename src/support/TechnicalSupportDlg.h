#pragma once

#include "StackedPage.h"
#include "SystemSnapshot.h"

#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

namespace Orvex {

struct AppContext;
class IMainWindow;

// The "Technical Support" page: opens the documents beside the program, shows
// how to reach support, opens the about box and saves a drive snapshot.
class CTechnicalSupportDlg final : public TStackedPage
{
    Q_OBJECT

public:
    // showAbout opens the about box over the window it is given.
    CTechnicalSupportDlg(AppContext& context, IMainWindow& mainWindow,
                         std::function<void(QWidget*)> showAbout, QWidget* parent = nullptr);

    void OnSetActive() override;

    // Where a document is opened from: the program's data folder, or beside
    // the executable when the data folder does not hold it.
    QString DocumentPath(const QString& fileName) const;

    // What the snapshot takes from outside the drive (clock, system line).
    void SetSnapshotEnvironment(SnapshotEnvironment environment);

    // The support contacts the page shows.
    static inline const QString SupportEmail = QStringLiteral("drive.support@tamsel.example");
    static inline const QString SupportWeb = QStringLiteral("https://www.tamsel.example/orvex");

private:
    void BuildControls();
    QLabel* MakeLink(const QString& text, const QString& name);
    void OpenDocument(const QString& fileName);
    void OpenQuickReferenceGuide();
    void OpenLink(const QString& text);
    void ShowOpenResult(int result);
    void TakeSnapshot();
    void SaveSnapshot(const QString& path, const QByteArray& bytes);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    std::function<void(QWidget*)> m_showAbout;
    SnapshotEnvironment m_environment;
    QPushButton* m_pSnapshot = nullptr;
};

} // namespace Orvex
