// The motor model behind each capture and auto tuning: the drive answers a
// capture command at once, so each must compute in well under 50 ms.
#include "DriveCapture.h"

#include <benchmark/benchmark.h>

using Orvex::DriveCapture;
using Orvex::DriveModel;

namespace {

DriveModel::Settings Tuned()
{
    DriveModel::Settings settings;
    settings.Velocity.InertiaRatio = 2.5;
    settings.Filter.A = {600.0, 0.8, 1.0};
    settings.Filter.LeadHz = 400.0;
    settings.Filter.LagHz = 200.0;
    return settings;
}

void CurrentCapture(benchmark::State& state)
{
    const DriveModel::Settings settings = Tuned();
    for (auto _ : state)
        benchmark::DoNotOptimize(DriveCapture::CurrentStep(settings, DriveModel::Load(), 3.0, 500));
}

// Frequency 1 Hz is the longest window: 512 samples 3 ms apart.
void VelocityCapture(benchmark::State& state)
{
    const DriveModel::Settings settings = Tuned();
    const int frequency = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000.0, 5.0, frequency));
}

void PositionCapture(benchmark::State& state)
{
    const DriveModel::Settings settings = Tuned();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DriveCapture::PositionStep(settings, DriveModel::Load(), 8000.0, 10000.0));
}

// The drive's default of 10 iterations.
void InertiaMeasurement(benchmark::State& state)
{
    const DriveModel::Settings settings = Tuned();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DriveCapture::MeasureInertiaRatio(settings, DriveModel::Load(), 10));
}

} // namespace

BENCHMARK(CurrentCapture)->Unit(benchmark::kMillisecond);
BENCHMARK(VelocityCapture)->Arg(1)->Arg(10)->Arg(48)->Unit(benchmark::kMillisecond);
BENCHMARK(PositionCapture)->Unit(benchmark::kMillisecond);
BENCHMARK(InertiaMeasurement)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
