#pragma once

#include <span>

namespace Orvex {

// How an actual trace answers the first step of its commanded trace: the
// figures a tuning engineer reads off a step response. A figure that the
// traces cannot give (no step in the commanded trace, a response that never
// reaches the level) is NaN.
//
// The step starts where the commanded trace leaves its first sample's level
// by more than 1 % of the trace's range; a ramp starts where its run of
// samples off that level starts. The step lasts until the commanded trace
// turns back by more than 1 % of its range from the furthest it has gone (the
// second half of a square wave) or the trace ends, and that furthest value is
// the commanded level. Every figure is read within the step; the actual trace
// is taken as straight lines between its samples.
struct StepFigures
{
    // Time from 10 % to 90 % of the step, in ms.
    double RiseTimeMs;
    // How far the actual trace goes beyond the commanded level, in % of the
    // step; 0 when it never does.
    double OvershootPercent;
    // Time from the step's start until the actual trace stays within 2 % of
    // the step around the commanded level to the step's end, in ms.
    double SettlingTimeMs;
    // Commanded level less the actual trace's level at the end of the step
    // (the mean of the step's last 10 % of samples), in the trace's own unit.
    double SteadyStateError;
};

// The figures of one session's traces; timesMs gives each sample's time,
// rising. Spans of different lengths, shorter than 2 samples or with times
// that do not rise give no figures.
StepFigures ComputeStepFigures(std::span<const double> timesMs, std::span<const double> commanded,
                               std::span<const double> actual);

} // namespace Orvex
