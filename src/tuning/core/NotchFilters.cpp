#include "NotchFilters.h"

namespace Orvex::NotchFilters {

const std::array<RowInfo, RowCount>& Rows()
{
    static const std::array<RowInfo, RowCount> rows{{
        {Row::DepthA, Kind::Depth, "Notch Filter #1", "Depth", 72, "DNOTAD", 0.0, 1.0, 0.0001, 0.0,
         "%.4lf", 0.0},
        {Row::FrequencyA, Kind::Frequency, "Notch Filter #1", "Frequency (Hz)", 74, "DNOTAF", 0.0,
         1000.0, 1.0, 0.0, "%.0lf", 60.0},
        {Row::QualityA, Kind::Quality, "Notch Filter #1", "Quality Factor", 75, "DNOTAQ", 0.5, 2.5,
         0.01, 1.0, "%.2lf", 0.0},
        {Row::DepthB, Kind::Depth, "Notch Filter #2", "Depth", 77, "DNOTBD", 0.0, 1.0, 0.0001, 0.0,
         "%.4lf", 0.0},
        {Row::FrequencyB, Kind::Frequency, "Notch Filter #2", "Frequency (Hz)", 79, "DNOTBF", 0.0,
         1000.0, 1.0, 0.0, "%.0lf", 60.0},
        {Row::QualityB, Kind::Quality, "Notch Filter #2", "Quality Factor", 80, "DNOTBQ", 0.5, 2.5,
         0.01, 1.0, "%.2lf", 0.0},
        {Row::Lead, Kind::Frequency, "Notch Lead/Lag Filter", "Lead Break Frequency (Hz)", 82,
         "DNOTLD", 0.0, 1000.0, 1.0, 0.0, "%.0lf", 80.0},
        {Row::Lag, Kind::Frequency, "Notch Lead/Lag Filter", "Lag Break Frequency (Hz)", 83,
         "DNOTLG", 0.0, 1000.0, 1.0, 0.0, "%.0lf", 20.0},
    }};
    return rows;
}

const RowInfo& Info(Row row)
{
    return Rows()[static_cast<std::size_t>(row)];
}

double SnapEntered(Row row, double value)
{
    const RowInfo& info = Info(row);
    switch (info.Type) {
    case Kind::Frequency:
        return value < info.Threshold ? 0.0 : value;
    case Kind::Quality:
        return value < QualityFloor ? QualityFloor : value;
    case Kind::Depth:
        break;
    }
    return value;
}

double SnapStepped(Row row, double value, int steps)
{
    const RowInfo& info = Info(row);
    if (info.Type == Kind::Frequency && value < info.Threshold)
        return steps > 0 ? info.Threshold : 0.0;
    return SnapEntered(row, value);
}

QString ValueCommand(Row row, double value)
{
    const RowInfo& info = Info(row);
    return QString::fromLatin1(info.Command) + QLatin1Char(' ') +
           QString::asprintf(info.Format, value) + QLatin1Char('\r');
}

QString TypedDepthCommand(Row row, const QString& text)
{
    return QString::fromLatin1(Info(row).Command) + QLatin1Char('=') + text + QLatin1Char('\r');
}

bool LeadLagHolds(double lead, double lag)
{
    return lead <= 4.0 * lag;
}

} // namespace Orvex::NotchFilters
