#include "MotorChoice.h"

#include "CommandDatabase.h"

#include <algorithm>
#include <initializer_list>

namespace Orvex::MotorChoice {

namespace {

bool IsOneOf(QStringView code, std::initializer_list<const char*> codes)
{
    return std::any_of(codes.begin(), codes.end(),
                       [code](const char* listed) { return code == QLatin1String(listed); });
}

} // namespace

const Cooling* CoolingOfKey(QStringView key)
{
    const auto found = std::find_if(Coolings.begin(), Coolings.end(), [key](const Cooling& c) {
        return key == QLatin1String(c.Key);
    });
    return found == Coolings.end() ? nullptr : &*found;
}

QString KeyOfCode(int code)
{
    for (const Cooling& cooling : Coolings) {
        if (cooling.Code == code && QLatin1String(cooling.Key) != QLatin1String("Table"))
            return QLatin1String(cooling.Key);
    }
    return QString();
}

QString DefaultCoolingKey(QStringView partNumber)
{
    const bool tableMotor = partNumber.startsWith(u'4');
    int code = 0;
    if (tableMotor && partNumber.contains(u"D22"))
        code = 5;
    if (partNumber.contains(u'-') && partNumber.contains(u'_') && !partNumber.startsWith(u'K'))
        code = 4;
    if (code == 0 && tableMotor)
        return QStringLiteral("Table");
    return KeyOfCode(code);
}

QString PartNumber(const Codes& codes, const QString& userDefined)
{
    const QString& s = codes.Series;
    if (s == QLatin1String(OtherSeries))
        return userDefined;
    for (const QString* code : {&s, &codes.Frame, &codes.Stack, &codes.Winding, &codes.Feedback}) {
        if (code->isEmpty())
            return QString();
    }
    const QString& f = codes.Frame;
    const QString& k = codes.Stack;
    const QString& w = codes.Winding;
    const QString& b = codes.Feedback;
    if (s == QLatin1String("K"))
        return s + f + k + u'-' + w + b;
    if (s == QLatin1String("Vantor"))
        return f + u'-' + k + w + b;
    const QLatin1String x("X");
    if (s == QLatin1String("CM") && k != x && w != x && b != x && b != QLatin1String("XX") &&
        !codes.BaseSeries.isEmpty())
        return codes.BaseSeries + f + k + w + b;
    return s + f + k + w + b;
}

bool HasCustomWinding(const Codes& codes)
{
    return codes.Series == QLatin1String("CM") &&
           (codes.Stack == QLatin1String("X") || codes.Winding == QLatin1String("X"));
}

bool OffersBaseSeries(const Codes& codes)
{
    return codes.Series == QLatin1String("CM") && !HasCustomWinding(codes);
}

int FeedbackType(QStringView feedbackCode, QStringView series)
{
    if (series == QLatin1String(OtherSeries))
        return 1;
    if (IsOneOf(feedbackCode,
                {"___JN", "___JQ", "1E", "2F", "E", "E2", "E3", "E4", "ENC", "J", "L"}))
        return 2;
    if (IsOneOf(feedbackCode, {"41", "___G", "R"}))
        return 3;
    if (IsOneOf(feedbackCode, {"3E", "Q"}))
        return 5;
    if (IsOneOf(feedbackCode, {"6D", "9D"}))
        return 6;
    return 1;
}

bool IsCustomFeedback(QStringView feedbackCode, QStringView series)
{
    return series != QLatin1String(OtherSeries) &&
           IsOneOf(feedbackCode, {"X", "XX", "H", "E1", "N", "_", "R", "41", "___G"});
}

QString CustomWindingName(int number)
{
    return QStringLiteral("W%1").arg(number, 5, 10, QLatin1Char('0'));
}

int CustomWindingNumber(const QString& name)
{
    if (name.isEmpty())
        return 0;
    return LeadingInteger(QString(name).replace(0, 1, u'0'));
}

} // namespace Orvex::MotorChoice
