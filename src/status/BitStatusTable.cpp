#include "BitStatusTable.h"

namespace Orvex {

const std::array<BitStatusRow, BitStatusRowCount> BitStatusTable = {
    BitStatusRow{"E0", 0, "Motor Configuration Warning"},
    BitStatusRow{"E1", 1, "Motor Configuration Error"},
    BitStatusRow{"E2", 1, "Invalid Current Loop Gains Error"},
    BitStatusRow{"E3", 1, "Maximum Inductance = 0 Error"},
    BitStatusRow{"E4", 1, "Rated Speed = 0 Error"},
    BitStatusRow{"E5", 1, "Dpole = 0 Error"},
    BitStatusRow{"E6", 1, "Resistance = 0 Error"},
    BitStatusRow{"E7", 1, "Ke = 0 Error"},
    BitStatusRow{"E8", 1, "Continuous Current = 0 Error"},
    BitStatusRow{"E9", 1, "Peak Current = 0 Error"},
    BitStatusRow{"E10", 0, "Continuous current of motor too high for power level of drive"},
    BitStatusRow{"E11", 0, "Torque rating too high for peak drive current"},
    BitStatusRow{"E12", 0, "Peak current set too high.  Used drive's value."},
    BitStatusRow{"E13", 1, "Inertia = 0 Error"},
    BitStatusRow{"E14", 1, "Damping = 0 Error"},
    BitStatusRow{"E15", 0, "Notch Filter Calculation Error"},
    BitStatusRow{"E16", 0, "Lead Frequency < Lag Frequency"},
    BitStatusRow{"E17", 0, "Lead Frequency >= 4 * Lag Frequency"},
    BitStatusRow{"E18", 0, "Lag Frequency < 20 Hz"},
    BitStatusRow{"E19", 2, "Reserved"},
    BitStatusRow{"E20", 2, "Reserved"},
    BitStatusRow{"E21", 2, "Reserved"},
    BitStatusRow{"E22", 2, "Reserved"},
    BitStatusRow{"E23", 2, "Reserved"},
    BitStatusRow{"E24", 2, "Reserved"},
    BitStatusRow{"E25", 4, "Excessive Command Voltage At Enable"},
    BitStatusRow{"E26", 4, "Drive Fault"},
    BitStatusRow{"E27", 4, "Bridge Hardware Fault"},
    BitStatusRow{"E28", 4, "Bridge Temperature Fault"},
    BitStatusRow{"E29", 4, "Drive Overvoltage Fault"},
    BitStatusRow{"E30", 4, "Drive Undervoltage Fault"},
    BitStatusRow{"E31", 3, "Bridge Foldback Warning"},
    BitStatusRow{"E32", 4, "Power Regenration Fault"},
    BitStatusRow{"E33", 4, "Encoder Out Failure"},
    BitStatusRow{"E34", 4, "Drive Temperature Fault"},
    BitStatusRow{"E35", 4, "Motor Thermal Model Fault"},
    BitStatusRow{"E36", 4, "Motor Temperature Fault"},
    BitStatusRow{"E37", 4, "Bad Hall State"},
    BitStatusRow{"E38", 4, "Feedback Failure"},
    BitStatusRow{"E39", 5, "Drive Disabled"},
    BitStatusRow{"E40", 4, "PWM Not Active"},
    BitStatusRow{"E41", 3, "Power Regeneration Warning"},
    BitStatusRow{"E42", 3, "Shaft Power Limited Warning"},
    BitStatusRow{"E43", 4, "Excessive Speed At Enable"},
    BitStatusRow{"E44", 4, "Excessive Position Error"},
    BitStatusRow{"E45", 4, "Excessive Velocity Error"},
    BitStatusRow{"E46", 5, "No Hardware Enable"},
    BitStatusRow{"E47", 4, "Low Voltage At Enable"},
    BitStatusRow{"E48", 5, "Control Power"},
    BitStatusRow{"E49", 6, "Reserved"},
    BitStatusRow{"E50", 6, "Reserved"},
    BitStatusRow{"E51", 6, "Reserved"},
    BitStatusRow{"E52", 6, "Reserved"},
    BitStatusRow{"E53", 6, "Reserved"},
    BitStatusRow{"E54", 6, "Reserved"},
    BitStatusRow{"E55", 6, "Reserved"},
    BitStatusRow{"E56", 6, "Reserved"},
    BitStatusRow{"E57", 6, "Reserved"},
    BitStatusRow{"E58", 6, "Reserved"},
    BitStatusRow{"E59", 6, "Reserved"},
    BitStatusRow{"E60", 6, "Reserved"},
    BitStatusRow{"E61", 6, "Reserved"},
    BitStatusRow{"E62", 6, "Reserved"},
    BitStatusRow{"E63", 6, "Reserved"},
    BitStatusRow{"S44.0", 5, "Drive Fault Output"},
    BitStatusRow{"S44.1", 5, "Brake Relay Energized"},
};

QColor StatusRed()
{
    return QColor(255, 0, 0);
}

QColor StatusYellow()
{
    return QColor(255, 255, 0);
}

QColor StatusGreen()
{
    return QColor(0, 255, 0);
}

QColor StatusLightGrey()
{
    return QColor(211, 211, 211);
}

BitStatusLook BitLook(int category, bool set)
{
    const bool reserved = category == ReservedFirst || category == ReservedSecond;
    if (!set) {
        if (reserved)
            return {QStringLiteral("Reserved (0)"), StatusLightGrey()};
        return {QStringLiteral("Ready"), StatusGreen()};
    }
    switch (category) {
    case ConfigurationWarning:
        return {QStringLiteral("Configuration Warning"), StatusYellow()};
    case ConfigurationError:
        return {QStringLiteral("Configuration Error"), StatusRed()};
    case OperationalWarning:
        return {QStringLiteral("Operational Warning"), StatusYellow()};
    case OperationalFault:
        return {QStringLiteral("Operational Fault"), StatusRed()};
    case NotReady:
        return {QStringLiteral("Not ready"), StatusRed()};
    case ReservedFirst:
    case ReservedSecond:
        return {QStringLiteral("Reserved (1)"), StatusLightGrey()};
    default:
        return {QStringLiteral("Unknown"), StatusLightGrey()};
    }
}

BitStatusLook OutputLook(bool on)
{
    if (on)
        return {QStringLiteral("Not ready"), StatusRed()};
    return {QStringLiteral("Ready"), StatusGreen()};
}

} // namespace Orvex
