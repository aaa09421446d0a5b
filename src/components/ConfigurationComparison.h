#pragma once

#include "ConfigFields.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace Orvex {

class ComponentFactory;
class IOrvexConfig;

// A setting whose value differs between the program's configuration and the
// drive's, both values as the pages show them.
struct ConfigurationDifference
{
    QString Name;
    QString ProgramValue;
    QString DriveValue;

    bool operator==(const ConfigurationDifference&) const = default;
};
using ConfigurationDifferences = QList<ConfigurationDifference>;

// A property's value as the pages show it: floats with two decimals, integers
// in decimal, booleans "Yes" or "No", texts as they are.
QString ShownValue(ConfigType type, const QVariant& value);

// The settings whose shown values differ, in table order. Settings are the
// properties that are both read and written: the put-only ones cannot be read
// back, and the drive's configuration checksum is the drive's own. Floats that
// differ only below the two decimals shown are equal.
ConfigurationDifferences CompareConfigurations(const IOrvexConfig& program,
                                               const IOrvexConfig& drive);

// Reads the configuration of the drive on portNumber into a configuration
// object of its own, made through the factory, and compares the program's
// with it. That object starts as a copy of the program's settings, so what a
// drive does not report (the loop integral limit of the control modes it is
// not in) reads the same on both sides: the differences are what an upload
// would change in the program's configuration, and a download in the drive.
// Throws a ComponentError with the connection test's text when the drive does
// not answer, and whatever the upload throws.
ConfigurationDifferences CompareWithDrive(const ComponentFactory& factory,
                                          const IOrvexConfig& program, int portNumber);

} // namespace Orvex
