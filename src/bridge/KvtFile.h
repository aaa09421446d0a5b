#pragma once

#include <QString>

namespace Orvex {

class ConfigurationValues;

// The .kvt configuration file: a first line "ORVEX-KVT 1", then one
// "Name=value" line per configuration property. Written atomically; read
// strictly, so a damaged or foreign file is refused with the line at fault
// and never half-applied.
class KvtFile
{
public:
    static constexpr int Version = 1;

    // Replaces the file with the configuration. Throws a ComponentError when
    // the file cannot be written (the old file, if any, is left as it was).
    static void Write(const QString& path, const ConfigurationValues& values);

    // Reads the file into values. Properties the file does not name take
    // their defaults. Throws a ComponentError naming the file and the line
    // ("<file>, line 12: unknown setting 'Foo'") and leaves values unchanged
    // when the file cannot be read or is not a valid configuration.
    static void Read(const QString& path, ConfigurationValues& values);
};

} // namespace Orvex
