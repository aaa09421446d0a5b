// The step-response figures the tuning pages show beside the graph: all four
// sessions are figured each time the graph is drawn, so together they must
// take well under 1 ms.
#include "StepFigures.h"
#include "TuningSession.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace Orvex;

namespace {

struct Session
{
    std::vector<double> TimesMs, Commanded, Actual;
};

// A second-order response of damping zeta and natural frequency wn (rad/ms)
// to a step of 3 A 1 ms into the current test's window, with a little
// measurement noise well inside the settling band.
Session SecondOrderSession(double zeta, double wn)
{
    constexpr double SampleMs = 0.0625;
    constexpr int StepAt = 16;
    constexpr double Amplitude = 3.0;
    const double root = std::sqrt(1.0 - zeta * zeta);
    std::uint32_t noise = 12345;
    Session session;
    for (int i = 0; i < TraceLength; ++i) {
        const double since = (i - StepAt) * SampleMs;
        double response = 0.0;
        if (since > 0.0) {
            const double wd = wn * root;
            response = 1.0 - std::exp(-zeta * wn * since) *
                                 (std::cos(wd * since) + zeta / root * std::sin(wd * since));
        }
        noise = noise * 1664525u + 1013904223u;
        const double jitter = (double(noise >> 8) / double(1u << 24) - 0.5) * 0.002;
        session.TimesMs.push_back(i * SampleMs);
        session.Commanded.push_back(since >= 0.0 ? Amplitude : 0.0);
        session.Actual.push_back(Amplitude * (response + jitter));
    }
    return session;
}

void FourSessions(benchmark::State& state)
{
    const std::array<Session, TuningSessionCount> sessions = {
        SecondOrderSession(0.3, 2.0), SecondOrderSession(0.5, 3.0), SecondOrderSession(0.7, 1.5),
        SecondOrderSession(0.9, 4.0)};
    for (auto _ : state) {
        for (const Session& s : sessions)
            benchmark::DoNotOptimize(ComputeStepFigures(s.TimesMs, s.Commanded, s.Actual));
    }
}

} // namespace

BENCHMARK(FourSessions)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
