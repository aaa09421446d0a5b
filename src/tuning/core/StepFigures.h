#pragma once

#include <span>

namespace Orvex {

// How an actual trace answers the first step of its commanded trace: the
// figures a tuning engineer reads off a step response. A figure that the
// traces cannot give (no step in the commanded trace, a response that never
// reaches the level) is NaN.
struct StepFigures
{
    // Time from 10 % to 90 % of the step, in ms.
    double RiseTimeMs;
    // How far the actual trace goes beyond the commanded level, in % of the step.
    double OvershootPercent;
    // Time from the step until the actual trace stays within 2 % of the step
    // around the commanded level, in ms.
    double SettlingTimeMs;
    // Commanded level less the actual trace's level at the end of the step,
    // in the trace's own unit.
    double SteadyStateError;
};

// The figures of one session's traces; timesMs gives each sample's time.
// The three spans have the same length.
StepFigures ComputeStepFigures(std::span<const double> timesMs, std::span<const double> commanded,
                               std::span<const double> actual);

} // namespace Orvex
