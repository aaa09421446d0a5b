#pragma once

#include <QIcon>
#include <QPixmap>

namespace Orvex {

// The program's pictures, drawn rather than shipped as files.
QPixmap SplashPixmap();
QIcon ProgramIcon();

} // namespace Orvex
