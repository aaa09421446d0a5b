// Feeds arbitrary bytes to the command database's XML reader and walks
// whatever it accepts the way the loader does.
#include "Markup.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Names the loader looks for, plus whatever name the first element has.
constexpr std::string_view Names[] = {
    "database", "table", "Error_Table", "Parameter_Table", "F2", "F4", "F9", "a", "b"};

void Walk(Orvex::CMarkup& markup, std::size_t budget)
{
    // Depth-first over every element reachable by name, iteratively, with a
    // budget so a huge document cannot keep one input running for long.
    int depth = 0;
    while (budget-- > 0) {
        bool found = false;
        for (std::string_view name : Names) {
            if (markup.FindSibling(name)) {
                found = true;
                volatile std::size_t sink = markup.ElementText().size();
                sink = sink + markup.AttributeValue("name").size();
                sink = sink + markup.AttributeValue("x").size();
                (void)sink;
                break;
            }
        }
        if (found) {
            if (markup.EnterElement())
                ++depth;
            continue;
        }
        if (depth == 0 || !markup.LeaveElement())
            return;
        --depth;
    }
}

// Visits every element in document order by position, the way the motor
// database reads its files, touching each element's attributes.
void WalkAll(Orvex::CMarkup& markup, std::size_t budget)
{
    int depth = 0;
    while (budget-- > 0) {
        if (markup.NextSibling()) {
            volatile std::size_t sink = markup.CurrentName().size() + markup.CurrentLine();
            sink = sink + (markup.IsEmptyElement() ? 1 : 0);
            markup.ForEachAttribute([&](std::string_view name, std::string value) {
                sink = sink + name.size() + value.size();
            });
            (void)sink;
            if (markup.EnterElement())
                ++depth;
            continue;
        }
        if (depth == 0 || !markup.LeaveElement())
            return;
        --depth;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Orvex::CMarkup markup;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool parsed = markup.ParseDocument(text);
    if (parsed == !markup.Error().empty())
        __builtin_trap(); // an error text exactly when the parse fails
    Walk(markup, 4096);
    Orvex::CMarkup again;
    again.ParseDocument(text);
    WalkAll(again, 4096);
    // A second parse on the same reader must start from a clean state.
    markup.ParseDocument(text.substr(0, size / 2));
    Walk(markup, 1024);
    return 0;
}
