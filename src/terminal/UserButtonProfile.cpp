#include "UserButtonProfile.h"

#include <QSettings>

namespace Orvex {

namespace {

const QString Section = QStringLiteral("UserButtons");

QString LabelKey(int number)
{
    return QStringLiteral("Label%1").arg(number);
}

QString CommandKey(int number)
{
    return QStringLiteral("Command%1").arg(number);
}

} // namespace

std::array<CUserButtonInfo, 12> ReadUserButtons(QSettings& settings)
{
    std::array<CUserButtonInfo, 12> entries = DefaultUserButtons();
    settings.beginGroup(Section);
    for (int k = 0; k < UserButtonCount; ++k) {
        CUserButtonInfo& entry = entries[k];
        entry.Label = settings.value(LabelKey(k + 1), entry.Label).toString();
        entry.Command = settings.value(CommandKey(k + 1), entry.Command).toString();
    }
    settings.endGroup();
    return entries;
}

void WriteUserButtons(QSettings& settings, const std::array<CUserButtonInfo, 12>& entries)
{
    settings.beginGroup(Section);
    for (int k = 0; k < UserButtonCount; ++k) {
        settings.setValue(LabelKey(k + 1), entries[k].Label);
        settings.setValue(CommandKey(k + 1), entries[k].Command);
    }
    settings.endGroup();
}

} // namespace Orvex
