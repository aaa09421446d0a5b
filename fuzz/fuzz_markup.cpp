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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Orvex::CMarkup markup;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool parsed = markup.ParseDocument(text);
    if (parsed == !markup.Error().empty())
        __builtin_trap(); // an error text exactly when the parse fails
    Walk(markup, 4096);
    // A second parse on the same reader must start from a clean state.
    markup.ParseDocument(text.substr(0, size / 2));
    Walk(markup, 1024);
    return 0;
}
