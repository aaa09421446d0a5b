// The command database's XML reader against pugixml on the same bytes: a
// command-database-shaped document of about 5 MB. The figure that counts is
// the whole path, file to records: the program's loader against pugixml
// reading the same cells of the same file into the same kind of strings. The
// parse and the walk alone are printed for reference.
#include "CommandDatabase.h"
#include "Markup.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct TableShape
{
    std::string_view RowName;
    std::vector<int> Columns;                  // all columns a row carries
    std::vector<std::string_view> ReadColumns; // what the loader reads
};

const std::vector<TableShape>& Shapes()
{
    static const std::vector<TableShape> shapes{
        {"Error_Table", {1, 2, 3, 4, 5, 6, 7, 8, 9}, {"F2", "F5", "F9"}},
        {"Parameter_Table",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
         {"F2", "F4", "F6", "F9", "F10", "F11", "F12", "F13", "F15"}},
        {"Status_Table", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {"F2", "F4", "F6", "F7", "F8", "F10"}},
        {"X_Command_Table", {1, 2, 3, 4, 5, 6}, {"F2", "F3", "F4", "F6"}},
    };
    return shapes;
}

// Concatenation by appending; GCC 12 warns falsely (-Wrestrict) on chains of
// std::string operator+ at -O3.
std::string Join(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

// Cell text of one column: numbers, formats, names with entities, now and then
// a CDATA section or a non-ASCII byte sequence.
std::string Cell(int row, int column)
{
    switch ((row * 7 + column) % 9) {
    case 0:
        return std::to_string(row % 1000);
    case 1:
        return "%.2lf";
    case 2:
        return Join({"Peak current &amp; limit &lt;", std::to_string(column), "&gt;"});
    case 3:
        return "<![CDATA[x<y & z>w]]>";
    case 4:
        return Join({"-", std::to_string(row), ".25"});
    case 5:
        return "\xc2\xb0"
               "C/s \xe2\x82\xac &copy;";
    case 6:
        return "Y";
    case 7:
        return "  velocity loop proportional gain, scaled by the inertia ratio  ";
    default:
        return std::string();
    }
}

std::string MakeDocument(std::size_t targetBytes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
                       "<!-- generated for benchmarking -->\r\n"
                       "<database name=\"Parameter Tables.xls\" version='2'>\r\n";
    const std::size_t perTable = targetBytes / Shapes().size();
    int row = 0;
    for (const TableShape& shape : Shapes()) {
        const std::size_t tableStart = text.size();
        text += "  <table sheet=\"";
        text += shape.RowName;
        text += "\">\r\n";
        while (text.size() - tableStart < perTable) {
            ++row;
            text += "    <";
            text += shape.RowName;
            if (row % 5 == 0)
                text += " revised='yes' note=\"a &quot;quoted&quot; note\"";
            text += ">\r\n";
            if (row % 11 == 0)
                text += Join({"      <!-- row ", std::to_string(row), " checked -->\r\n"});
            for (int column : shape.Columns) {
                const std::string cell = Cell(row, column);
                const std::string name = Join({"F", std::to_string(column)});
                if (cell.empty())
                    text += Join({"      <", name, "/>\r\n"});
                else
                    text += Join({"      <", name, ">", cell, "</", name, ">\r\n"});
            }
            text += "    </";
            text += shape.RowName;
            text += ">\r\n";
        }
        text += "  </table>\r\n";
    }
    text += "</database>\r\n";
    return text;
}

const std::string& Document()
{
    static const std::string document = MakeDocument(5 * 1024 * 1024);
    return document;
}

void BM_MarkupParse(benchmark::State& state)
{
    const std::string& text = Document();
    std::size_t elements = 0;
    for (auto _ : state) {
        Orvex::CMarkup markup;
        if (!markup.ParseDocument(text))
            state.SkipWithError(markup.Error().c_str());
        elements = markup.ElementCount();
        benchmark::DoNotOptimize(markup);
    }
    state.counters["elements"] = static_cast<double>(elements);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_PugixmlParse(benchmark::State& state)
{
    const std::string& text = Document();
    for (auto _ : state) {
        pugi::xml_document document;
        const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
        if (!result)
            state.SkipWithError(result.description());
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The loader's walk: every table by position, every row by name, the read
// columns by forward search, each cell's data as a string.
void BM_MarkupWalk(benchmark::State& state)
{
    const std::string& text = Document();
    std::size_t cells = 0;
    for (auto _ : state) {
        // A fresh parse puts the position back at the start.
        state.PauseTiming();
        Orvex::CMarkup walker;
        walker.ParseDocument(text);
        state.ResumeTiming();
        cells = 0;
        walker.FindSibling("database");
        walker.EnterElement();
        for (const TableShape& shape : Shapes()) {
            if (!walker.FindSibling("table"))
                continue;
            walker.EnterElement();
            while (walker.FindSibling(shape.RowName)) {
                walker.EnterElement();
                for (std::string_view column : shape.ReadColumns) {
                    if (walker.FindSibling(column)) {
                        benchmark::DoNotOptimize(walker.ElementText());
                        ++cells;
                    }
                }
                walker.LeaveElement();
            }
            walker.LeaveElement();
        }
        state.PauseTiming();
        walker = Orvex::CMarkup();
        state.ResumeTiming();
    }
    state.counters["cells"] = static_cast<double>(cells);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_PugixmlWalk(benchmark::State& state)
{
    const std::string& text = Document();
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size());
    std::size_t cells = 0;
    for (auto _ : state) {
        cells = 0;
        pugi::xml_node table = document.child("database").child("table");
        for (const TableShape& shape : Shapes()) {
            if (!table)
                break;
            const std::string rowName(shape.RowName);
            for (pugi::xml_node row : table.children(rowName.c_str())) {
                pugi::xml_node field = row.first_child();
                for (std::string_view column : shape.ReadColumns) {
                    const std::string name(column);
                    pugi::xml_node found = field;
                    while (found && std::string_view(found.name()) != column)
                        found = found.next_sibling();
                    if (found) {
                        benchmark::DoNotOptimize(std::string(found.child_value()));
                        ++cells;
                        field = found;
                    }
                }
            }
            table = table.next_sibling("table");
        }
    }
    state.counters["cells"] = static_cast<double>(cells);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The folder holding the document as the program's command database.
const QString& DatabaseFolder()
{
    static QTemporaryDir dir;
    static const bool written = [] {
        QFile file(Orvex::CommandDatabasePath(dir.path()));
        const std::string& text = Document();
        return file.open(QIODevice::WriteOnly) &&
               file.write(text.data(), qint64(text.size())) == qint64(text.size());
    }();
    static const QString folder = written ? dir.path() : QString();
    return folder;
}

void BM_LoaderWholePath(benchmark::State& state)
{
    const QString& folder = DatabaseFolder();
    std::size_t records = 0;
    for (auto _ : state) {
        Orvex::CommandDatabaseLists lists;
        if (!Orvex::LoadCommandDatabase(lists, folder, {}))
            state.SkipWithError("the loader refused the document");
        records = lists.Errors.size() + lists.Parameters.size() + lists.Status.size() +
                  lists.XCommands.size();
        benchmark::DoNotOptimize(lists);
    }
    state.counters["records"] = static_cast<double>(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Document().size()));
}

// The same cells from the same file with pugixml: every read column of every
// included row, decoded from the file's single-byte code page into QString.
void BM_PugixmlWholePath(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(Orvex::CommandDatabasePath(DatabaseFolder()));
    std::size_t records = 0;
    for (auto _ : state) {
        pugi::xml_document document;
        if (!document.load_file(path.constData()))
            state.SkipWithError("pugixml refused the document");
        std::vector<QStringList> rows;
        pugi::xml_node table = document.child("database").child("table");
        for (const TableShape& shape : Shapes()) {
            if (!table)
                break;
            const std::string rowName(shape.RowName);
            for (pugi::xml_node row : table.children(rowName.c_str())) {
                QStringList fields;
                for (std::string_view column : shape.ReadColumns) {
                    const std::string name(column);
                    fields << QString::fromLatin1(row.child(name.c_str()).child_value());
                }
                if (fields.last().trimmed() == QLatin1String("Y"))
                    rows.push_back(std::move(fields));
            }
            table = table.next_sibling("table");
        }
        records = rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["records"] = static_cast<double>(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Document().size()));
}

BENCHMARK(BM_LoaderWholePath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlWholePath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkupParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkupWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlWalk)->Unit(benchmark::kMillisecond);

// Keeps the fastest real time per benchmark so the parse ratio can be printed
// after the runs.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            const double time = run.GetAdjustedRealTime();
            // Single runs give the figure; with only aggregates shown, the median does.
            if (run.run_type == Run::RT_Iteration)
                Keep(m_times, name, time);
            else if (run.aggregate_name == "median")
                Keep(m_medians, name, time);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double Time(const std::string& name) const
    {
        for (const auto* times : {&m_times, &m_medians}) {
            const auto it = times->find(name);
            if (it != times->end())
                return it->second;
        }
        return 0.0;
    }

private:
    static void Keep(std::map<std::string, double>& times, const std::string& name, double time)
    {
        const auto [it, inserted] = times.emplace(name, time);
        if (!inserted && time < it->second)
            it->second = time;
    }

    std::map<std::string, double> m_times;
    std::map<std::string, double> m_medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("document: %.2f MB\n", static_cast<double>(Document().size()) / (1024.0 * 1024.0));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double loader = reporter.Time("BM_LoaderWholePath");
    const double pugixmlPath = reporter.Time("BM_PugixmlWholePath");
    if (loader > 0.0 && pugixmlPath > 0.0)
        std::printf("file to records, loader/pugixml time ratio: %.2f (target <= 2.00) %s\n",
                    loader / pugixmlPath, loader <= 2.0 * pugixmlPath ? "met" : "MISSED");
    const double markup = reporter.Time("BM_MarkupParse");
    const double pugixml = reporter.Time("BM_PugixmlParse");
    if (markup > 0.0 && pugixml > 0.0)
        std::printf("parse only, markup/pugixml time ratio: %.2f\n", markup / pugixml);
    const double markupWalk = reporter.Time("BM_MarkupWalk");
    const double pugixmlWalk = reporter.Time("BM_PugixmlWalk");
    if (markupWalk > 0.0 && pugixmlWalk > 0.0)
        std::printf("walk markup/pugixml time ratio: %.2f\n", markupWalk / pugixmlWalk);
    benchmark::Shutdown();
    return 0;
}
