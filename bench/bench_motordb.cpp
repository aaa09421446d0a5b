// The wizard's cascade queries and FindMotor on a 10,000-motor database: every
// query must answer in well under 50 microseconds so the combos refill at once.
#include "GeneratedMotors.h"
#include "OrvexMotorServer.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Orvex;

namespace {

constexpr int MotorCount = OrvexBench::GeneratedMotorCount;
using Query = OrvexBench::MotorQuery;

// The generated files and the queries that walk them.
struct Fixture
{
    QTemporaryDir Dir;
    OrvexBench::GeneratedMotors Files;
    std::unique_ptr<COrvexMotorServer> Server;
};

Fixture& TheFixture()
{
    static Fixture* fixture = [] {
        auto* f = new Fixture;
        if (!f->Dir.isValid()) {
            std::fprintf(stderr, "cannot make a folder for the generated database\n");
            std::abort();
        }
        f->Files = OrvexBench::WriteGeneratedMotors(f->Dir.path());
        f->Server = std::make_unique<COrvexMotorServer>();
        if (!f->Server->LoadMotorDatabase(f->Files.MotorPath) ||
            !f->Server->LoadCrossReference(f->Files.CrossReferencePath) ||
            f->Server->GetOrvexMotorCollection()->Count() != MotorCount) {
            std::fprintf(stderr, "cannot load the generated database\n");
            std::abort();
        }
        return f;
    }();
    return *fixture;
}

// Runs one query per iteration, walking all the motors' keys in turn.
template <class Call>
void RunQueries(benchmark::State& state, const std::vector<Query>& queries, Call call)
{
    COrvexMotorServer& server = *TheFixture().Server;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(server, queries[i]));
        if (++i == queries.size()) {
            i = 0;
        }
    }
}

void BM_LoadMotorDatabase(benchmark::State& state)
{
    const Fixture& f = TheFixture();
    for (auto _ : state) {
        COrvexMotorServer server;
        benchmark::DoNotOptimize(server.LoadMotorDatabase(f.Files.MotorPath));
        benchmark::DoNotOptimize(server.LoadCrossReference(f.Files.CrossReferencePath));
    }
}

void BM_ListSeries(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard,
               [](COrvexMotorServer& s, const Query&) { return s.ListSeries(); });
}

void BM_ListFrames(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard,
               [](COrvexMotorServer& s, const Query& q) { return s.ListFrames(q.Series); });
}

void BM_ListStacks(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.ListStacks(q.Series, q.Frame);
    });
}

void BM_ListWindings(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.ListWindings(q.Series, q.Frame, q.Stack);
    });
}

void BM_ListFeedbacks(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.ListFeedbacks(q.Series, q.Frame, q.Stack, q.Winding);
    });
}

void BM_ListCustomWindings(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Custom,
               [](COrvexMotorServer& s, const Query& q) { return s.ListCustomWindings(q.Part); });
}

void BM_ListCoolings(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard,
               [](COrvexMotorServer& s, const Query& q) { return s.ListCoolings(q.Part); });
}

void BM_FindMotor(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Custom, [](COrvexMotorServer& s, const Query& q) {
        return s.GetOrvexMotorCollection()->FindMotor(q.Part, q.CustomWinding, q.Cooling) !=
               nullptr;
    });
}

void BM_FindMotorStandard(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.GetOrvexMotorCollection()->FindMotor(q.Part, QString(), q.Cooling) != nullptr;
    });
}

void BM_CustomPartOfWinding(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Custom, [](COrvexMotorServer& s, const Query& q) {
        return s.CustomPartOfWinding(q.CustomWinding);
    });
}

void BM_BaseSeriesOfWinding(benchmark::State& state)
{
    RunQueries(state, TheFixture().Files.Custom, [](COrvexMotorServer& s, const Query& q) {
        return s.BaseSeriesOfWinding(q.CustomWinding);
    });
}

void BM_CustomWindingOfPart(benchmark::State& state)
{
    std::vector<Query> parts = TheFixture().Files.Custom;
    for (Query& q : parts) {
        q.Part = TheFixture().Server->CustomPartOfWinding(q.CustomWinding);
    }
    RunQueries(state, parts,
               [](COrvexMotorServer& s, const Query& q) { return s.CustomWindingOfPart(q.Part); });
}

} // namespace

BENCHMARK(BM_LoadMotorDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListSeries);
BENCHMARK(BM_ListFrames);
BENCHMARK(BM_ListStacks);
BENCHMARK(BM_ListWindings);
BENCHMARK(BM_ListFeedbacks);
BENCHMARK(BM_ListCustomWindings);
BENCHMARK(BM_ListCoolings);
BENCHMARK(BM_FindMotor);
BENCHMARK(BM_FindMotorStandard);
BENCHMARK(BM_CustomPartOfWinding);
BENCHMARK(BM_BaseSeriesOfWinding);
BENCHMARK(BM_CustomWindingOfPart);

BENCHMARK_MAIN();
