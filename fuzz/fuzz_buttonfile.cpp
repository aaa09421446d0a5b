// Feeds arbitrary bytes to the ".btn" reader, then writes what it read and
// reads that again: every value the writer can keep must come back unchanged.
#include "ButtonFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace Orvex;

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Values the format cannot carry as they stand: surrounding blanks and
// enclosing quotes are taken off by the reader, line breaks by the writer.
bool Keepable(const QString& value)
{
    if (value.contains(u'\r') || value.contains(u'\n'))
        return false;
    if (!value.isEmpty() && (IsBlank(value.front()) || IsBlank(value.back())))
        return false;
    return !(value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
             value.back() == value.front());
}

void Check(const QString& first, const QString& again)
{
    if (first.size() > Orvex::ButtonFileValueMaxLength || first.contains(u'\n'))
        __builtin_trap();
    if (Keepable(first) && again != first)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto entries = Orvex::ParseButtonFile(bytes);
    const auto again = Orvex::ParseButtonFile(Orvex::FormatButtonFile(entries));
    for (int k = 0; k < UserButtonCount; ++k) {
        Check(entries[k].Label, again[k].Label);
        Check(entries[k].Command, again[k].Command);
    }
    return 0;
}
