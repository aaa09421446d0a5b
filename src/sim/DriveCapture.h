#pragma once

#include "DriveModel.h"

#include <vector>

namespace Orvex {

// The drive's test moves on a DriveModel: the current, velocity and position
// step captures the tuners graph, and the inertia measurement of auto tuning.
class DriveCapture
{
public:
    static constexpr int Samples = 512;

    struct Result
    {
        double PeriodMicroseconds = 0.0;
        std::vector<double> Commanded;
        std::vector<double> Actual;
    };

    // A square wave of +-amplitude A at frequency Hz into the flux axis, after
    // 1 ms at rest; samples every 62.5 us.
    static Result CurrentStep(const DriveModel::Settings& settings, const DriveModel::Load& load,
                              double amplitude, int frequency);
    // Velocity mode: a square wave between +velocity and -velocity rps at
    // frequency Hz, its edges ramped at acceleration rps/s; samples every
    // (48 / frequency) x 62.5 us, velocities in rps.
    static Result VelocityStep(const DriveModel::Settings& settings, const DriveModel::Load& load,
                               double acceleration, double velocity, int frequency);
    // Position mode: a move of distance counts with a trapezoidal profile of
    // acceleration rps/s and at most the velocity limit; samples every 0.25 ms
    // from 16 ms before the move, positions in counts from the start.
    static Result PositionStep(const DriveModel::Settings& settings, const DriveModel::Load& load,
                               double distance, double acceleration);

    // The load to rotor inertia ratio measured from the shaft's acceleration
    // under equal forward and reverse torque (which cancels friction),
    // averaged over iterations. NaN when no torque could be applied.
    static double MeasureInertiaRatio(const DriveModel::Settings& settings,
                                      const DriveModel::Load& load, int iterations);

private:
    static constexpr double InertiaPhaseSeconds = 0.02;
    // One forward and reverse run at testCurrent; phaseTicks is set to the
    // length of its phases. NaN when it gave no reading.
    static double MeasureInertiaOnce(const DriveModel::Settings& settings,
                                     const DriveModel::Load& load, double testCurrent,
                                     long long* phaseTicks);
};

} // namespace Orvex
