#include "ProgressSplashWnd.h"

#include "Artwork.h"

#include <QProgressBar>

namespace Orvex {

CHMIProgressSplashWnd::CHMIProgressSplashWnd() : QSplashScreen(SplashPixmap())
{
    setObjectName(QStringLiteral("splash"));
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("splashProgress"));
    m_pProgress->setTextVisible(false);
    m_pProgress->setGeometry(0, height() - 10, width(), 10);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
}

void CHMIProgressSplashWnd::SetRange(int low, int high)
{
    m_pProgress->setRange(low, high);
}

void CHMIProgressSplashWnd::SetPos(int position)
{
    m_pProgress->setValue(position);
}

int CHMIProgressSplashWnd::Position() const
{
    return m_pProgress->value();
}

} // namespace Orvex
