#pragma once

#include <QSplashScreen>

class QProgressBar;

namespace Orvex {

// The start-up splash: the program's picture with a thin progress bar along
// its bottom edge.
class CHMIProgressSplashWnd final : public QSplashScreen
{
    Q_OBJECT

public:
    CHMIProgressSplashWnd();

    void SetRange(int low, int high);
    void SetPos(int position);
    int Position() const;

private:
    QProgressBar* m_pProgress = nullptr;
};

} // namespace Orvex
