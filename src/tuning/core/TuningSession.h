#pragma once

#include <QtGlobal>

#include <array>

namespace Orvex {

// Every tuner keeps four tests side by side.
inline constexpr int TuningSessionCount = 4;
// Samples in each trace of a test.
inline constexpr int TraceLength = 512;

// One tuning session: the gains and test profile of the most recent test run
// in it, and that test's commanded and actual traces. A reset session holds
// the tuner's defaults and all-zero traces.
template <class Values, class Sample> struct TuningSession
{
    using Trace = std::array<Sample, TraceLength>;

    Values Page;
    Trace Commanded{};
    Trace Actual{};

    void Reset(const Values& defaults)
    {
        Page = defaults;
        Commanded.fill(Sample{});
        Actual.fill(Sample{});
    }
};

// The values of the current loop tuner's page.
struct CurrentTestValues
{
    double Kp = 20.0;
    double Ki = 0.33;
    int IntegralLimit = 128;
    int AutoGains = 1;
    int Bandwidth = 1200;
    double Amplitude = 3.0; // A
    int Frequency = 500;    // Hz
};

// The values of the velocity loop tuner's page.
struct VelocityTestValues
{
    double Kp = 1.0;
    double Ki = 1.0;
    int IntegralLimit = 100;
    double InertiaRatio = 0.0;
    double Acceleration = 10000.0; // rev/s^2
    double Velocity = 10.0;        // rev/s
    int Frequency = 10;            // Hz
    double MaxVelocityError = 0.0; // rev/s
};

// The values of the position loop tuner's page.
struct PositionTestValues
{
    double Kp = 0.6;
    double Ki = 1.0;
    int IntegralLimit = 1;
    double Kv = 1.4;
    double InertiaRatio = 0.0;
    int Distance = 200;          // counts
    int Direction = 0;           // 0 CW, 1 CCW
    int MaxPositionError = 4000; // counts
};

using CurrentSession = TuningSession<CurrentTestValues, float>;
using VelocitySession = TuningSession<VelocityTestValues, float>;
using PositionSession = TuningSession<PositionTestValues, qint32>;

} // namespace Orvex
