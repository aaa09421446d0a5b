#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace Orvex {

// The rules of the wizard's motor choice without its widgets: how a motor's
// part number is put together from the motor database's codes, which
// feedback codes need setting up by hand, the drive's feedback type and
// cooling methods, and the custom winding names.
namespace MotorChoice {

// The series whose motor is typed in freely rather than picked.
inline constexpr char OtherSeries[] = "Other";

// One cooling method of the drive: the key the motor database lists, the
// name the user sees and the code the drive keeps.
struct Cooling
{
    const char* Key;
    const char* Name;
    int Code;
};
inline constexpr std::array<Cooling, 10> Coolings{{
    {"NHS", "No Heat Sink", 1},
    {"HS", "Heat Sink", 0},
    {"Water", "Water Cooled", 2},
    {"AIR", "Air Cooled", 3},
    {"Dynamic", "Dynamically Cooled", 4},
    {"Table", "Table", 0},
    {"Table-CL1", "Table-CL1", 5},
    {"Table-CL2", "Table-CL2", 6},
    {"Table-CL3", "Table-CL3", 7},
    {"Table-CL4", "Table-CL4", 8},
}};
// The cooling method of key; null for a key the drive does not know.
const Cooling* CoolingOfKey(QStringView key);
// The first key with code, "Table" left out (it shares code 0 with "HS");
// empty for a code no key has.
QString KeyOfCode(int code);
// The cooling key chosen for a motor when its cooling list is filled:
// "Table-CL1" for a "4...D22..." part, "Dynamic" for a part with both "-"
// and "_" that does not start with "K", "Table" for any other part starting
// with "4", else "HS".
QString DefaultCoolingKey(QStringView partNumber);

// The codes the user picked; an empty text is a combo with nothing picked.
struct Codes
{
    QString Series;
    QString Frame;
    QString Stack;
    QString Winding;
    QString Feedback;
    QString BaseSeries;
};
// The motor's part number, or userDefined for the "Other" series. Empty
// while a code it needs is not picked.
QString PartNumber(const Codes& codes, const QString& userDefined);

// A "CM" motor whose stack or winding is "X" has a custom winding: the page
// then offers the custom parts instead of the base series.
bool HasCustomWinding(const Codes& codes);
bool OffersBaseSeries(const Codes& codes);

// The drive's feedback type, 1 to 6, for a feedback code of series.
int FeedbackType(QStringView feedbackCode, QStringView series);
// Feedback the user must set up in the advanced motor page.
bool IsCustomFeedback(QStringView feedbackCode, QStringView series);

// "W00012" for 12; the custom winding number of a name, read as the page
// reads it ("W00012" and "W12" give 12, anything else its leading digits).
QString CustomWindingName(int number);
int CustomWindingNumber(const QString& name);

} // namespace MotorChoice

} // namespace Orvex
