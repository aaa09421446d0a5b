#pragma once

#include "Component.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace Orvex {

// Numbers of the motor record's text fields that the program reads.
namespace MotorField {
inline constexpr int PartNumber = 1;
inline constexpr int Series = 2;
inline constexpr int Frame = 3;
inline constexpr int Package = 4;
inline constexpr int RatedSpeed = 5;
inline constexpr int PolePairsOrPitch = 6;
inline constexpr int InertiaOrMass = 7;
inline constexpr int Damping = 8;
inline constexpr int MotorThermalTimeConstant = 9;
inline constexpr int WindingThermalTimeConstant = 10;
inline constexpr int ThermalResistance = 11;
inline constexpr int AmbientTemperature = 12;
inline constexpr int MaxWindingTemperature = 13;
inline constexpr int Ke = 14;
inline constexpr int ContinuousCurrent = 15;
inline constexpr int ContinuousCurrentDerating = 16;
inline constexpr int PeakCurrent = 17;
inline constexpr int WindingResistance = 18;
inline constexpr int MinInductance = 19;
inline constexpr int MaxInductance = 20;
inline constexpr int FeedbackResolution = 21;
inline constexpr int CurrentLoopKp = 22;
inline constexpr int CurrentLoopKi = 23;
inline constexpr int CustomWinding = 24;
inline constexpr int CoolingKey = 25;
inline constexpr int CustomPart = 26;
inline constexpr int Stack = 27;
inline constexpr int Winding = 28;
inline constexpr int Feedback = 29;
inline constexpr int BaseSeries = 30;
inline constexpr int Description = 31;
inline constexpr int BusVoltage = 32;
inline constexpr int MaxSpeed = 33;
inline constexpr int PwmFrequency = 34;
inline constexpr int CurrentLoopIntegralLimit = 35;
inline constexpr int Count = 35;
} // namespace MotorField

// One motor of the motor database, as numbered text fields (1 to
// MotorField::Count); a field the record does not have reads as empty.
class IOrvexMotor : public IComponent
{
public:
    virtual QString Field(int number) const = 0;
};

// The motor collection the server hands out: finds motors and lists them all
// in database order.
class IOrvexMotorCollection : public IComponent
{
public:
    virtual int Count() const = 0;
    // The motor at index 0..Count()-1, or null outside that range.
    virtual std::unique_ptr<IOrvexMotor> Item(int index) const = 0;
    // The motor of that part number, custom winding name ("W00012" or empty)
    // and cooling key, or null when there is none.
    virtual std::unique_ptr<IOrvexMotor> FindMotor(const QString& partNumber,
                                                   const QString& customWinding,
                                                   const QString& coolingKey) const = 0;
};

// The motor database server ("OrvexMotorDatabase.OrvexMotorServer"): loads the
// motor and cross-reference files and answers the wizard's cascade queries.
class IOrvexMotorServer : public IComponent
{
public:
    // Null when the server has no collection to hand out.
    virtual IOrvexMotorCollection* GetOrvexMotorCollection() = 0;
    virtual bool LoadMotorDatabase(const QString& path) = 0;
    virtual bool LoadCrossReference(const QString& path) = 0;
    // Why the last load failed: the file, the line and the fault.
    virtual QString LoadError() const = 0;

    virtual QStringList ListSeries() const = 0;
    virtual QStringList ListFrames(const QString& series) const = 0;
    virtual QStringList ListStacks(const QString& series, const QString& frame) const = 0;
    virtual QStringList ListWindings(const QString& series, const QString& frame,
                                     const QString& stack) const = 0;
    virtual QStringList ListFeedbacks(const QString& series, const QString& frame,
                                      const QString& stack, const QString& winding) const = 0;
    virtual QStringList ListCustomWindings(const QString& partNumber) const = 0;
    virtual QStringList ListCoolings(const QString& partNumber) const = 0;
    virtual QString CustomWindingOfPart(const QString& customEntry) const = 0;
    virtual QString CustomPartOfWinding(const QString& customWinding) const = 0;
    virtual QString BaseSeriesOfWinding(const QString& customWinding) const = 0;
};

} // namespace Orvex
