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

// As the simulated drive runs its moves: a fine encoder with its speed
// filtered, current sensor noise, torque ripple and stiction.
DriveModel::Settings Noisy()
{
    DriveModel::Settings settings = Tuned();
    settings.Machine.CountsPerRev = 1'000'000.0;
    settings.Machine.SpeedFilterHz = 1000.0;
    settings.Imperfect = {0.01, 50.0 / 4096.0, 0.01, 0.02, 1};
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

// The longest capture with everything on.
void NoisyVelocityCapture(benchmark::State& state)
{
    DriveModel::Settings settings = Noisy();
    for (auto _ : state) {
        ++settings.Imperfect.Seed;
        benchmark::DoNotOptimize(
            DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000.0, 5.0, 1));
    }
}

void NoisyInertiaMeasurement(benchmark::State& state)
{
    DriveModel::Settings settings = Noisy();
    for (auto _ : state) {
        ++settings.Imperfect.Seed;
        benchmark::DoNotOptimize(
            DriveCapture::MeasureInertiaRatio(settings, DriveModel::Load(), 10));
    }
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
BENCHMARK(NoisyVelocityCapture)->Unit(benchmark::kMillisecond);
BENCHMARK(PositionCapture)->Unit(benchmark::kMillisecond);
BENCHMARK(InertiaMeasurement)->Unit(benchmark::kMillisecond);
BENCHMARK(NoisyInertiaMeasurement)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
