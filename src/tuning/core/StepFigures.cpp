#include "StepFigures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace Orvex {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The commanded trace has left its starting level, or turned back from the
// step's level, once it is this fraction of its whole range away.
constexpr double LeaveFraction = 0.01;
constexpr double RiseLow = 0.1;
constexpr double RiseHigh = 0.9;
constexpr double SettleFraction = 0.02;
// The steady state is the mean of this last fraction of the step's samples.
constexpr double SteadyFraction = 0.1;

// The first step of a commanded trace and the samples that answer it.
struct Step
{
    std::size_t First = 0; // first sample off the starting level
    std::size_t End = 0;   // one past the step's last sample
    // The sample whose line to the next one covers the step's start: First,
    // or the sample before it when the step starts between the two.
    std::size_t Lead = 0;
    double StartMs = 0.0; // when the commanded trace leaves its starting level
    double From = 0.0;    // starting level
    double Level = 0.0;   // commanded level after the step
};

bool IncreasingTimes(std::span<const double> timesMs)
{
    for (std::size_t i = 0; i < timesMs.size(); ++i) {
        if (!std::isfinite(timesMs[i]) || (i > 0 && !(timesMs[i] > timesMs[i - 1])))
            return false;
    }
    return true;
}

// Finds the first step of the commanded trace; false when there is none or a
// sample it needs is not a number.
bool FindStep(std::span<const double> timesMs, std::span<const double> commanded, Step& step)
{
    const std::size_t n = commanded.size();
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (double c : commanded) {
        if (std::isfinite(c)) {
            low = std::min(low, c);
            high = std::max(high, c);
        }
    }
    const double from = commanded[0];
    if (!std::isfinite(from) || !(high > low))
        return false;
    const double tolerance = LeaveFraction * (high - low);

    std::size_t beyond = 1;
    for (; beyond < n; ++beyond) {
        if (!std::isfinite(commanded[beyond]))
            return false;
        if (std::abs(commanded[beyond] - from) > tolerance)
            break;
    }
    if (beyond == n)
        return false;
    const double direction = commanded[beyond] > from ? 1.0 : -1.0;
    const auto away = [&](std::size_t i) { return (commanded[i] - from) * direction; };

    // A ramp starts where its run of samples moving off the starting level
    // starts, not where it first clears the tolerance.
    std::size_t first = beyond;
    while (first > 1 && away(first - 1) > 0.0 && away(first - 1) <= away(first))
        --first;
    // Within the sample interval before, a ramp that keeps its pace started
    // as far back as its first move is a fraction of its second; a jump that
    // the next samples do not continue is a step at its first sample.
    step.StartMs = timesMs[first];
    if (first + 1 < n) {
        const double firstMove = away(first);
        const double nextMove = (commanded[first + 1] - commanded[first]) * direction;
        if (nextMove > 0.0 && firstMove <= nextMove)
            step.StartMs -= firstMove / nextMove * (timesMs[first] - timesMs[first - 1]);
    }

    // The step lasts until the commanded trace turns back from the furthest
    // it has gone, as a square wave does; that furthest point is its level.
    double furthest = commanded[beyond];
    std::size_t end = beyond + 1;
    for (; end < n; ++end) {
        const double c = commanded[end];
        if (!std::isfinite(c))
            return false;
        if ((furthest - c) * direction > tolerance)
            break;
        if ((c - furthest) * direction > 0.0)
            furthest = c;
    }
    step.First = first;
    step.Lead = timesMs[first] > step.StartMs ? first - 1 : first;
    step.End = end;
    step.From = from;
    step.Level = furthest;
    return true;
}

// When the actual trace, drawn as straight lines between its samples, first
// reaches the given fraction of the step at or after the step's start.
double Reaches(std::span<const double> timesMs, std::span<const double> actual, const Step& step,
               double fraction)
{
    const double target = step.From + fraction * (step.Level - step.From);
    const double direction = step.Level > step.From ? 1.0 : -1.0;
    for (std::size_t i = step.Lead; i < step.End; ++i) {
        const double progress = (actual[i] - target) * direction;
        if (!std::isfinite(progress))
            return NaN;
        if (progress < 0.0)
            continue;
        if (i == step.Lead)
            return step.StartMs;
        // The sample before is short of the target, or the loop would have stopped there.
        const double before = (actual[i - 1] - target) * direction;
        const double at =
            timesMs[i - 1] + before / (before - progress) * (timesMs[i] - timesMs[i - 1]);
        return std::max(at, step.StartMs);
    }
    return NaN;
}

double Overshoot(std::span<const double> actual, const Step& step)
{
    const double direction = step.Level > step.From ? 1.0 : -1.0;
    double peak = 0.0;
    for (std::size_t i = step.First; i < step.End; ++i) {
        const double beyond = (actual[i] - step.Level) * direction;
        if (!std::isfinite(beyond))
            return NaN;
        peak = std::max(peak, beyond);
    }
    return peak / std::abs(step.Level - step.From) * 100.0;
}

// From the step's start until the actual trace enters the band around the
// level for the last time; the entry is found on the line between samples.
double Settling(std::span<const double> timesMs, std::span<const double> actual, const Step& step)
{
    const double band = SettleFraction * std::abs(step.Level - step.From);
    std::size_t i = step.End;
    while (i > step.Lead) {
        const double error = actual[i - 1] - step.Level;
        if (!std::isfinite(error))
            return NaN;
        if (std::abs(error) > band)
            break;
        --i;
    }
    if (i == step.End)
        return NaN; // outside the band at the last sample
    if (i == step.Lead)
        return 0.0; // inside the band all along
    // Sample i - 1 is outside the band and sample i inside it.
    const double outside = actual[i - 1] - step.Level;
    const double edge = outside > 0.0 ? band : -band;
    const double inside = actual[i] - step.Level;
    const double at =
        timesMs[i - 1] + (outside - edge) / (outside - inside) * (timesMs[i] - timesMs[i - 1]);
    return std::max(at, step.StartMs) - step.StartMs;
}

double SteadyStateError(std::span<const double> actual, const Step& step)
{
    const std::size_t length = step.End - step.First;
    const std::size_t count =
        std::max<std::size_t>(1, static_cast<std::size_t>(SteadyFraction * double(length)));
    double sum = 0.0;
    for (std::size_t i = step.End - count; i < step.End; ++i)
        sum += actual[i];
    const double error = step.Level - sum / double(count);
    return std::isfinite(error) ? error : NaN;
}

} // namespace

StepFigures ComputeStepFigures(std::span<const double> timesMs, std::span<const double> commanded,
                               std::span<const double> actual)
{
    StepFigures figures{NaN, NaN, NaN, NaN};
    const std::size_t n = timesMs.size();
    if (n < 2 || commanded.size() != n || actual.size() != n || !IncreasingTimes(timesMs))
        return figures;
    Step step;
    if (!FindStep(timesMs, commanded, step))
        return figures;

    const double low = Reaches(timesMs, actual, step, RiseLow);
    const double high = Reaches(timesMs, actual, step, RiseHigh);
    figures.RiseTimeMs = high - low; // NaN when either is
    figures.OvershootPercent = Overshoot(actual, step);
    figures.SettlingTimeMs = Settling(timesMs, actual, step);
    figures.SteadyStateError = SteadyStateError(actual, step);
    return figures;
}

} // namespace Orvex
