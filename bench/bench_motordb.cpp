// The wizard's cascade queries and FindMotor on a 10,000-motor database: every
// query must answer in well under 50 microseconds so the combos refill at once.
#include "OrvexMotorServer.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Orvex;

namespace {

constexpr int MotorCount = 10000;
constexpr int Frames = 8;
constexpr int Stacks = 4;
constexpr int Windings = 4;
constexpr int Feedbacks = 4;
const char* const StandardSeries[] = {"BE", "K", "Vantor", "HX"};
const char* const FeedbackCodes[] = {"E", "R", "6D", "3E"};
const char* const Coolings[] = {"HS", "NHS"};

struct Query
{
    QString Series, Frame, Stack, Winding, Feedback, Part, CustomWinding, Cooling;
};

// The generated files and the queries that walk them.
struct Fixture
{
    QTemporaryDir Dir;
    QString MotorPath;
    QString CrossReferencePath;
    std::vector<Query> Standard; // one per standard motor
    std::vector<Query> Custom;   // one per custom winding motor
    std::unique_ptr<COrvexMotorServer> Server;
};

QString PartNumber(const QString& s, const QString& f, const QString& k, const QString& w,
                   const QString& b)
{
    if (s == QLatin1String("K")) {
        return s + f + k + QLatin1Char('-') + w + b;
    }
    if (s == QLatin1String("Vantor")) {
        return f + QLatin1Char('-') + k + w + b;
    }
    return s + f + k + w + b;
}

QByteArray MotorElement(const Query& q, int n)
{
    QByteArray xml = "  <Motor PartNumber=\"" + q.Part.toLatin1() + "\" Series=\"" +
                     q.Series.toLatin1() + "\" Frame=\"" + q.Frame.toLatin1() + "\" Stack=\"" +
                     q.Stack.toLatin1() + "\" Winding=\"" + q.Winding.toLatin1() +
                     "\" Feedback=\"" + q.Feedback.toLatin1() + "\" CoolingKey=\"" +
                     q.Cooling.toLatin1() + "\" Package=\"Rotary\"";
    if (!q.CustomWinding.isEmpty()) {
        xml += " CustomWinding=\"" + q.CustomWinding.toLatin1() + "\"";
    }
    xml += " RatedSpeed=\"50.00\" PolePairsOrPitch=\"4\" InertiaOrMass=\"" +
           QByteArray::number(10 + n % 900) +
           "\" Damping=\"10\" MotorThermalTimeConstant=\"20\" WindingThermalTimeConstant=\"1\""
           " ThermalResistance=\"1.2\" AmbientTemperature=\"40\" MaxWindingTemperature=\"155\""
           " Ke=\"40\" ContinuousCurrent=\"3\" ContinuousCurrentDerating=\"0\""
           " PeakCurrent=\"9\" WindingResistance=\"2\" MinInductance=\"4\" MaxInductance=\"5\""
           " FeedbackResolution=\"8000\" CurrentLoopKp=\"13.32\" CurrentLoopKi=\"0.38\""
           " CurrentLoopIntegralLimit=\"128\" PwmFrequency=\"16\"/>\n";
    return xml;
}

bool WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

Fixture& TheFixture()
{
    static Fixture* fixture = [] {
        auto* f = new Fixture;
        f->MotorPath = f->Dir.filePath(QStringLiteral("OrvexMotorDatabase.xml"));
        f->CrossReferencePath = f->Dir.filePath(QStringLiteral("WindNum CustomNum CrossRef.xml"));
        QByteArray motors = "<?xml version=\"1.0\"?>\n<OrvexMotorDatabase version=\"1\">\n";
        QByteArray windings = "<?xml version=\"1.0\"?>\n<WindNumCustomNumCrossRef version=\"1\">\n";
        int n = 0;
        // Standard motors: 4 series x 8 frames x 4 stacks x 4 windings x 4 feedbacks x 2 coolings.
        for (const char* s : StandardSeries) {
            for (int fi = 0; fi < Frames; ++fi) {
                for (int ki = 0; ki < Stacks; ++ki) {
                    for (int wi = 0; wi < Windings; ++wi) {
                        for (const char* b : FeedbackCodes) {
                            for (const char* cooling : Coolings) {
                                Query q{QString::fromLatin1(s),
                                        QString::number(fi + 1),
                                        QString(QLatin1Char(char('A' + ki))),
                                        QString::number(wi + 1),
                                        QString::fromLatin1(b),
                                        {},
                                        {},
                                        QString::fromLatin1(cooling)};
                                q.Part =
                                    PartNumber(q.Series, q.Frame, q.Stack, q.Winding, q.Feedback);
                                motors += MotorElement(q, n++);
                                f->Standard.push_back(q);
                            }
                        }
                    }
                }
            }
        }
        // The rest are custom windings of series CM with stack "X", dealt
        // round its 128 part numbers.
        for (int w = 1; n < MotorCount; ++w, ++n) {
            const int p = w % (Frames * Windings * Feedbacks);
            Query q{QStringLiteral("CM"),
                    QString::number(p / (Windings * Feedbacks) + 1),
                    QStringLiteral("X"),
                    QString::number(p / Feedbacks % Windings + 1),
                    QString::fromLatin1(FeedbackCodes[p % Feedbacks]),
                    {},
                    QString::asprintf("W%05d", w),
                    QStringLiteral("HS")};
            q.Part = PartNumber(q.Series, q.Frame, q.Stack, q.Winding, q.Feedback);
            motors += MotorElement(q, n);
            windings += "  <Winding Name=\"" + q.CustomWinding.toLatin1() + "\" CustomPart=\"C-" +
                        QByteArray::number(w) + "\" BaseSeries=\"\"/>\n";
            f->Custom.push_back(q);
        }
        motors += "</OrvexMotorDatabase>\n";
        windings += "</WindNumCustomNumCrossRef>\n";
        if (!f->Dir.isValid() || !WriteFile(f->MotorPath, motors) ||
            !WriteFile(f->CrossReferencePath, windings)) {
            std::fprintf(stderr, "cannot write the generated database\n");
            std::abort();
        }
        f->Server = std::make_unique<COrvexMotorServer>();
        if (!f->Server->LoadMotorDatabase(f->MotorPath) ||
            !f->Server->LoadCrossReference(f->CrossReferencePath) ||
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
        benchmark::DoNotOptimize(server.LoadMotorDatabase(f.MotorPath));
        benchmark::DoNotOptimize(server.LoadCrossReference(f.CrossReferencePath));
    }
}

void BM_ListSeries(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard,
               [](COrvexMotorServer& s, const Query&) { return s.ListSeries(); });
}

void BM_ListFrames(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard,
               [](COrvexMotorServer& s, const Query& q) { return s.ListFrames(q.Series); });
}

void BM_ListStacks(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.ListStacks(q.Series, q.Frame);
    });
}

void BM_ListWindings(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.ListWindings(q.Series, q.Frame, q.Stack);
    });
}

void BM_ListFeedbacks(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.ListFeedbacks(q.Series, q.Frame, q.Stack, q.Winding);
    });
}

void BM_ListCustomWindings(benchmark::State& state)
{
    RunQueries(state, TheFixture().Custom,
               [](COrvexMotorServer& s, const Query& q) { return s.ListCustomWindings(q.Part); });
}

void BM_ListCoolings(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard,
               [](COrvexMotorServer& s, const Query& q) { return s.ListCoolings(q.Part); });
}

void BM_FindMotor(benchmark::State& state)
{
    RunQueries(state, TheFixture().Custom, [](COrvexMotorServer& s, const Query& q) {
        return s.GetOrvexMotorCollection()->FindMotor(q.Part, q.CustomWinding, q.Cooling) !=
               nullptr;
    });
}

void BM_FindMotorStandard(benchmark::State& state)
{
    RunQueries(state, TheFixture().Standard, [](COrvexMotorServer& s, const Query& q) {
        return s.GetOrvexMotorCollection()->FindMotor(q.Part, QString(), q.Cooling) != nullptr;
    });
}

void BM_CustomPartOfWinding(benchmark::State& state)
{
    RunQueries(state, TheFixture().Custom, [](COrvexMotorServer& s, const Query& q) {
        return s.CustomPartOfWinding(q.CustomWinding);
    });
}

void BM_BaseSeriesOfWinding(benchmark::State& state)
{
    RunQueries(state, TheFixture().Custom, [](COrvexMotorServer& s, const Query& q) {
        return s.BaseSeriesOfWinding(q.CustomWinding);
    });
}

void BM_CustomWindingOfPart(benchmark::State& state)
{
    std::vector<Query> parts = TheFixture().Custom;
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
