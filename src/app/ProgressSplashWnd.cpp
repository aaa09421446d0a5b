#include "ProgressSplashWnd.h"

#include "Artwork.h"

#include <QProgressBar>

#include <algorithm>

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
    // The last step asks for one past the end; the bar fills rather than
    // ignoring a value outside its range.
    m_pProgress->setValue(std::clamp(position, m_pProgress->minimum(), m_pProgress->maximum()));
}

int CHMIProgressSplashWnd::Position() const
{
    return m_pProgress->value();
}

} // namespace Orvex
