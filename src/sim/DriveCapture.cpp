#include "DriveCapture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace Orvex {

namespace {

constexpr double TickMicroseconds = DriveModel::TickSeconds * 1e6;

// A trapezoidal move: position, velocity and acceleration at time t.
struct Trapezoid
{
    double Distance = 0.0;     // counts, signed
    double Acceleration = 0.0; // counts/s2, positive
    double Cruise = 0.0;       // counts/s reached
    double RampTime = 0.0, CruiseTime = 0.0;

    Trapezoid(double distance, double acceleration, double maxSpeed)
        : Distance(distance), Acceleration(acceleration)
    {
        const double length = std::abs(distance);
        Cruise = std::min(maxSpeed, std::sqrt(length * acceleration));
        RampTime = Cruise / acceleration;
        CruiseTime = Cruise > 0.0 ? (length - Cruise * RampTime) / Cruise : 0.0;
    }

    void At(double t, double* position, double* speed, double* accel) const
    {
        const double sign = Distance < 0.0 ? -1.0 : 1.0;
        const double end = 2.0 * RampTime + CruiseTime;
        double p = 0.0, v = 0.0, a = 0.0;
        if (t <= 0.0) {
        } else if (t < RampTime) {
            a = Acceleration;
            v = Acceleration * t;
            p = 0.5 * Acceleration * t * t;
        } else if (t < RampTime + CruiseTime) {
            v = Cruise;
            p = 0.5 * Cruise * RampTime + Cruise * (t - RampTime);
        } else if (t < end) {
            const double left = end - t;
            a = -Acceleration;
            v = Acceleration * left;
            p = std::abs(Distance) - 0.5 * Acceleration * left * left;
        } else {
            p = std::abs(Distance);
        }
        *position = sign * p;
        *speed = sign * v;
        *accel = sign * a;
    }
};

// Least-squares parabola through (t, y): answers its second derivative.
double FittedAcceleration(const std::vector<double>& t, const std::vector<double>& y)
{
    const std::size_t n = t.size();
    if (n < 8)
        return std::numeric_limits<double>::quiet_NaN();
    const double mid = 0.5 * (t.front() + t.back());
    double s[5] = {}, r[3] = {};
    for (std::size_t i = 0; i < n; ++i) {
        const double x = t[i] - mid;
        double power = 1.0;
        for (int k = 0; k < 5; ++k) {
            s[k] += power;
            if (k < 3)
                r[k] += power * y[i];
            power *= x;
        }
    }
    // Normal equations [s0 s1 s2; s1 s2 s3; s2 s3 s4] c = r, by Cramer's rule for c2.
    const auto det3 = [](double a, double b, double c, double d, double e, double f, double g,
                         double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double det = det3(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
    if (det == 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    const double c2 = det3(s[0], s[1], r[0], s[1], s[2], r[1], s[2], s[3], r[2]) / det;
    return 2.0 * c2;
}

} // namespace

DriveCapture::Result DriveCapture::CurrentStep(const DriveModel::Settings& settings,
                                               const DriveModel::Load& load, double amplitude,
                                               int frequency)
{
    constexpr int RestSamples = 16;
    DriveModel model(settings, load);
    model.SetMode(DriveModel::Mode::FluxCurrent);
    const long long halfPeriodTicks =
        std::max<long long>(1, std::llround(0.5 / frequency / DriveModel::TickSeconds));
    Result result;
    result.PeriodMicroseconds = TickMicroseconds;
    for (int k = 0; k < Samples; ++k) {
        double reference = 0.0;
        if (k >= RestSamples)
            reference = ((k - RestSamples) / halfPeriodTicks) % 2 == 0 ? amplitude : -amplitude;
        model.SetCurrentReference(reference);
        result.Commanded.push_back(model.CurrentCommand());
        result.Actual.push_back(model.Current());
        model.Tick();
    }
    return result;
}

DriveCapture::Result DriveCapture::VelocityStep(const DriveModel::Settings& settings,
                                                const DriveModel::Load& load, double acceleration,
                                                double velocity, int frequency)
{
    DriveModel model(settings, load);
    model.SetMode(DriveModel::Mode::Velocity);
    const int ticksPerSample = std::max(1, 48 / std::max(frequency, 1));
    const double period = 1.0 / frequency;
    const double step = acceleration * DriveModel::TickSeconds;
    const double limit = settings.Machine.VelocityLimit;
    Result result;
    result.PeriodMicroseconds = ticksPerSample * TickMicroseconds;
    double reference = 0.0;
    for (long long tick = 0; tick < static_cast<long long>(Samples) * ticksPerSample; ++tick) {
        const double t = tick * DriveModel::TickSeconds;
        const double target =
            std::clamp(std::fmod(t, period) < 0.5 * period ? velocity : -velocity, -limit, limit);
        reference += std::clamp(target - reference, -step, step);
        model.SetVelocityReference(reference);
        if (tick % ticksPerSample == 0) {
            result.Commanded.push_back(reference);
            result.Actual.push_back(model.Velocity());
        }
        model.Tick();
    }
    return result;
}

DriveCapture::Result DriveCapture::PositionStep(const DriveModel::Settings& settings,
                                                const DriveModel::Load& load, double distance,
                                                double acceleration)
{
    constexpr int TicksPerSample = 4;
    constexpr int SamplesBeforeMove = 64;
    const double countsPerRev = settings.Machine.CountsPerRev;
    const Trapezoid move(distance, acceleration * countsPerRev,
                         settings.Machine.VelocityLimit * countsPerRev);
    DriveModel model(settings, load);
    model.SetMode(DriveModel::Mode::Position);
    Result result;
    result.PeriodMicroseconds = TicksPerSample * TickMicroseconds;
    const long long start = static_cast<long long>(SamplesBeforeMove) * TicksPerSample;
    for (long long tick = 0; tick < static_cast<long long>(Samples) * TicksPerSample; ++tick) {
        double position = 0.0, speed = 0.0, accel = 0.0;
        move.At((tick - start) * DriveModel::TickSeconds, &position, &speed, &accel);
        model.SetPositionReference(position, speed / countsPerRev, accel / countsPerRev);
        if (tick % TicksPerSample == 0) {
            result.Commanded.push_back(std::round(position));
            result.Actual.push_back(std::round(model.Position()));
        }
        model.Tick();
    }
    return result;
}

double DriveCapture::MeasureInertiaRatio(const DriveModel::Settings& settings,
                                         const DriveModel::Load& load, int iterations)
{
    const DriveModel::Motor& motor = settings.Machine;
    const long long fullPhaseTicks = std::llround(InertiaPhaseSeconds / DriveModel::TickSeconds);
    double testCurrent = 0.3 * motor.PeakCurrent;
    if (testCurrent <= 0.0 || motor.TorqueConstant <= 0.0 || motor.RotorInertia <= 0.0)
        return std::numeric_limits<double>::quiet_NaN();

    // A light load reaches the speed cap within a few milliseconds, too soon
    // for the shaft's ringing to die down and average out: the first run then
    // finds the current that lets a phase last its full time.
    long long phaseTicks = 0;
    DriveModel::Settings runSettings = settings;
    const double first = MeasureInertiaOnce(runSettings, load, testCurrent, &phaseTicks);
    if (std::isfinite(first) && phaseTicks < fullPhaseTicks)
        testCurrent = std::max(0.02 * motor.PeakCurrent,
                               0.8 * testCurrent * phaseTicks / double(fullPhaseTicks));

    double sum = 0.0;
    int runs = 0;
    for (int run = 0; run < std::max(iterations, 1); ++run) {
        // Each run has noise of its own.
        runSettings.Imperfect.Seed = settings.Imperfect.Seed + 0x9E3779B97F4A7C15ULL * (run + 1);
        const double ratio = MeasureInertiaOnce(runSettings, load, testCurrent, &phaseTicks);
        if (!std::isfinite(ratio))
            continue;
        sum += ratio;
        ++runs;
    }
    return runs > 0 ? sum / runs : std::numeric_limits<double>::quiet_NaN();
}

double DriveCapture::MeasureInertiaOnce(const DriveModel::Settings& settings,
                                        const DriveModel::Load& load, double testCurrent,
                                        long long* phaseTicks)
{
    const DriveModel::Motor& motor = settings.Machine;
    // Each phase stops early rather than run past a third of the speed limit.
    const double speedCap = motor.VelocityLimit / 3.0;
    DriveModel model(settings, load);
    model.SetMode(DriveModel::Mode::Torque);
    double accelerations[2] = {};
    double torques[2] = {};
    *phaseTicks = std::llround(InertiaPhaseSeconds / DriveModel::TickSeconds);
    for (int phase = 0; phase < 2; ++phase) {
        model.SetCurrentReference(phase == 0 ? testCurrent : -testCurrent);
        std::vector<double> times, counts, currents;
        for (long long k = 0; k < *phaseTicks; ++k) {
            model.Tick();
            if (phase == 0 && std::abs(model.Velocity()) > speedCap) {
                *phaseTicks = k + 1;
                break;
            }
            times.push_back(k * DriveModel::TickSeconds);
            counts.push_back(model.Position()); // whole encoder counts
            currents.push_back(model.Current());
        }
        // The first quarter of the phase as it ran, also when the speed cap
        // ended it early, holds the current's rise and the shaft's ringing.
        const auto settled = static_cast<std::ptrdiff_t>(*phaseTicks / 4);
        times.erase(times.begin(), times.begin() + settled);
        counts.erase(counts.begin(), counts.begin() + settled);
        currents.erase(currents.begin(), currents.begin() + settled);
        accelerations[phase] =
            FittedAcceleration(times, counts) / motor.CountsPerRev * 2.0 * std::numbers::pi;
        const double currentSum = std::accumulate(currents.begin(), currents.end(), 0.0);
        torques[phase] =
            currents.empty() ? 0.0 : motor.TorqueConstant * currentSum / currents.size();
    }
    const double change = accelerations[0] - accelerations[1];
    if (!std::isfinite(change) || change <= 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    const double inertia = (torques[0] - torques[1]) / change;
    return inertia / motor.RotorInertia - 1.0;
}

} // namespace Orvex
