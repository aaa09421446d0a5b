#include "SimulatedDrive.h"

#include <QStringList>

namespace Orvex {

bool SimulatedDrive::ApplySwitch(const QString& text, QString* error)
{
    const QStringList parts = text.trimmed().split(u':');
    const QString name = parts.first().trimmed().toLower();
    const QString value = parts.size() == 2 ? parts.last().trimmed().toLower() : QString();
    const auto fail = [&](const QString& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    const auto number = [&value](qint64 minimum, qint64* result) {
        bool ok = false;
        *result = value.toLongLong(&ok);
        return ok && *result >= minimum;
    };
    if (parts.size() > 2)
        return fail(QStringLiteral("One value at most: %1").arg(text.trimmed()));

    const bool bare = parts.size() == 1;
    qint64 amount = 0;
    if (name == QLatin1String("noanswer") && bare) {
        m_NoAnswer = true;
    } else if (name == QLatin1String("garbage") && bare) {
        m_WrongAnswer = true;
    } else if (name == QLatin1String("unconfigured") && bare) {
        m_Configured = false;
        Disable();
    } else if (name == QLatin1String("noenable") && bare) {
        SetEnableInput(false);
    } else if (name == QLatin1String("clear") && bare) {
        m_NoAnswer = m_WrongAnswer = false;
        SetEnableInput(true);
        m_LinkSwitches.MuteAfter = -1;
        m_LinkSwitches.CutAfter = -1;
    } else if (name == QLatin1String("os") && !bare) {
        if (value == QLatin1String("missing"))
            m_OsState = OsState::Missing;
        else if (value == QLatin1String("corrupt"))
            m_OsState = OsState::Corrupt;
        else if (value == QLatin1String("valid"))
            m_OsState = OsState::Valid;
        else
            return fail(QStringLiteral("os takes missing, corrupt or valid"));
    } else if (name == QLatin1String("fault") && !bare) {
        if (!number(0, &amount) || amount > 63 || !LatchFault(int(amount)))
            return fail(QStringLiteral("fault takes an error bit the drive can latch"));
    } else if (name == QLatin1String("mute") && !bare) {
        if (!number(0, &amount))
            return fail(QStringLiteral("mute takes a number of bytes"));
        m_LinkSwitches.MuteAfter = amount;
    } else if (name == QLatin1String("cut") && !bare) {
        if (!number(0, &amount))
            return fail(QStringLiteral("cut takes a number of bytes"));
        m_LinkSwitches.CutAfter = amount;
    } else if (name == QLatin1String("baud") && !bare) {
        if (!number(0, &amount) || amount > 10'000'000)
            return fail(QStringLiteral("baud takes a rate in bits a second, 0 for no pacing"));
        m_LinkSwitches.Baud = int(amount);
    } else if (name == QLatin1String("noise") && !bare) {
        if (value != QLatin1String("on") && value != QLatin1String("off"))
            return fail(QStringLiteral("noise takes on or off"));
        m_Imperfect = value == QLatin1String("on");
    } else if (name == QLatin1String("truemotor") && !bare) {
        if (!ApplyTrueMotor(value))
            return fail(QStringLiteral("truemotor takes fitted or <MRES, MLMAX, MKT, MKE, MJ or "
                                       "MFRIC>=<factor from 0.1 to 10>"));
    } else {
        return fail(QStringLiteral("No such switch: %1").arg(text.trimmed()));
    }
    return true;
}

bool SimulatedDrive::ApplyTrueMotor(const QString& value)
{
    DriveModel::MotorFactors& factors = m_TrueMotor;
    if (value == QLatin1String("fitted")) {
        factors = {};
        return true;
    }
    const QStringList parts = value.split(u'=');
    if (parts.size() != 2)
        return false;
    bool ok = false;
    const double factor = parts.last().trimmed().toDouble(&ok);
    if (!ok || !(factor >= 0.1 && factor <= 10.0))
        return false;
    const QString mnemonic = parts.first().trimmed();
    double* target = nullptr;
    if (mnemonic == QLatin1String("mres"))
        target = &factors.Resistance;
    else if (mnemonic == QLatin1String("mlmax"))
        target = &factors.Inductance;
    else if (mnemonic == QLatin1String("mkt"))
        target = &factors.TorqueConstant;
    else if (mnemonic == QLatin1String("mke"))
        target = &factors.BackEmfConstant;
    else if (mnemonic == QLatin1String("mj"))
        target = &factors.RotorInertia;
    else if (mnemonic == QLatin1String("mfric"))
        target = &factors.Friction;
    if (target == nullptr)
        return false;
    *target = factor;
    return true;
}

} // namespace Orvex
