#pragma once

#include "SerialDeviceSource.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <set>
#include <vector>

class QSettings;

namespace Orvex {

// Gives every serial port the program can use a "COM%d" number: the system's
// own where it names ports "COMn", otherwise a number remembered in the
// profile per device, per user-added device path and per in-process port.
class PortRegistry
{
public:
    struct PortEntry
    {
        int Number = 0;
        QString Description;
        QString SystemLocation; // the device path, or the key of a virtual port
        bool Virtual = false;
    };

    // The settings object must be at its top level; the registry keeps its
    // numbers in the group "Communications/PortNumbers".
    PortRegistry(const ISerialDeviceSource& source, QSettings& settings);

    // Present devices in discovery order, then the user-added device paths
    // that exist, then the virtual ports. New devices get numbers here.
    std::vector<PortEntry> EnumerateSerialPorts();

    // Adds a device path as a numbered port and answers its number (the
    // existing one when the path, or the present device behind it, is already
    // numbered); 0 for an empty path.
    int AddDevicePath(const QString& path);
    void RemoveDevicePath(const QString& path);
    QStringList DevicePaths() const;

    // Registers an in-process port under a key (listed while registered) and
    // answers its number, which is remembered like a device's.
    int AddVirtualPort(const QString& key, const QString& description);
    void RemoveVirtualPort(const QString& key);

    // Look-ups in the last enumeration.
    std::optional<PortEntry> Find(int number) const;
    QString SystemLocationOf(int number) const;

    // The number of a port name "COM" (any letter case) followed by decimal
    // digits and nothing else; nothing for any other name.
    static std::optional<int> ParseComPortName(const QString& portName);

    // The maker's other controller family shows up as a serial port; the port
    // list never offers it.
    static QString ExcludedDeviceDescription();

private:
    struct VirtualPort
    {
        QString Key;
        QString Description;
    };

    std::vector<PortEntry> Enumerate();
    int NumberForNewIdentity(const QString& identity, const std::set<int>& alsoTaken);
    std::set<int> PresentComNumbers() const;
    void Load();
    void Save();

    const ISerialDeviceSource& m_source;
    QSettings& m_settings;
    std::map<QString, int> m_numbers; // identity -> number, for all but COM-named devices
    QStringList m_devicePaths;        // user-added, in the order they were added
    std::vector<VirtualPort> m_virtualPorts;
    std::vector<PortEntry> m_lastPorts;
};

} // namespace Orvex
