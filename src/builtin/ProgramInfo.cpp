#include "ProgramInfo.h"

namespace Orvex {

QString ProductVersion()
{
    return QStringLiteral(ORVEX_VERSION_STRING);
}

QString TitleVersion(const QString& productVersion)
{
    return productVersion.size() > 5 ? productVersion.left(productVersion.size() - 5) : QString();
}

} // namespace Orvex
