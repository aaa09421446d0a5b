// Feeds arbitrary bytes to the motor database reader: the motor file, or with
// ORVEX_FUZZ_CROSS_REFERENCE the custom winding cross reference. Nothing may
// crash or read out of bounds, and a refusal must say why.
#include "MotorDatabaseReader.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace Orvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
#ifdef ORVEX_FUZZ_CROSS_REFERENCE
    const bool read =
        MotorDatabaseReader::ParseCrossReferenceFile(bytes, QStringLiteral("fuzz"), &error)
            .has_value();
#else
    const bool read =
        MotorDatabaseReader::ParseMotorFile(bytes, QStringLiteral("fuzz"), &error).has_value();
#endif
    if (!read && error.isEmpty())
        __builtin_trap();
    return 0;
}
