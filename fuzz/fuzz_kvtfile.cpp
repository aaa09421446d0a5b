// Feeds arbitrary bytes to the configuration file reader. A file it accepts
// must come back as the same configuration once written and read again, and
// reading must never fail in any way but with its own error.
#include "ComponentError.h"
#include "ConfigurationValues.h"
#include "KvtFile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace Orvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ConfigurationValues values;
    try {
        KvtFile::Parse(bytes, QStringLiteral("fuzz.kvt"), values);
    } catch (const ComponentError&) {
        return 0;
    }
    ConfigurationValues again;
    KvtFile::Parse(KvtFile::Format(values), QStringLiteral("again.kvt"), again);
    if (!(again == values))
        __builtin_trap();
    return 0;
}
