#include "PortRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

#include <algorithm>
#include <limits>

Q_LOGGING_CATEGORY(lcPorts, "orvex.ports", QtInfoMsg)

namespace Orvex {

namespace {

const QString kGroup = QStringLiteral("Communications/PortNumbers");
const QString kDevicesArray = QStringLiteral("Devices");
const QString kPathsArray = QStringLiteral("Paths");
const QString kIdentityKey = QStringLiteral("Identity");
const QString kPathKey = QStringLiteral("Path");
const QString kNumberKey = QStringLiteral("Number");

// Identities of what is not a device the system lists; device identities begin
// "usb:", "sn:" or "path:", so these never collide with them.
const QString kAddedPrefix = QStringLiteral("added:");
const QString kVirtualPrefix = QStringLiteral("virtual:");

QString AddedIdentity(const QString& path)
{
    return kAddedPrefix + path;
}

QString VirtualIdentity(const QString& key)
{
    return kVirtualPrefix + key;
}

bool StartsWithCom(const QString& portName)
{
    return portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive);
}

// The file a path ends at, so "/dev/serial/by-id/..." and the /dev/ttyUSB0 it
// points to count as one device.
QString SameFileKey(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

QString DescriptionOf(const SerialDeviceInfo& device)
{
    if (!device.Description.isEmpty()) {
        return device.Description;
    }
    if (!device.Manufacturer.isEmpty()) {
        return device.Manufacturer;
    }
    return device.SystemLocation;
}

int LowestFree(const std::set<int>& taken)
{
    int number = 1;
    while (taken.count(number) != 0) {
        ++number;
    }
    return number;
}

} // namespace

PortRegistry::PortRegistry(const ISerialDeviceSource& source, QSettings& settings)
    : m_source(source), m_settings(settings)
{
    Load();
}

std::optional<int> PortRegistry::ParseComPortName(const QString& portName)
{
    if (portName.size() <= 3 || !StartsWithCom(portName)) {
        return std::nullopt;
    }
    qint64 number = 0;
    for (qsizetype i = 3; i < portName.size(); ++i) {
        const char16_t c = portName.at(i).unicode();
        // Only ASCII digits: QChar::isDigit() would also take other scripts' digits.
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        number = number * 10 + (c - u'0');
        if (number > std::numeric_limits<int>::max()) {
            return std::nullopt;
        }
    }
    // 0 is the program's "no port"; a device claiming it could never be selected.
    if (number == 0) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

QString PortRegistry::ExcludedDeviceDescription()
{
    return QStringLiteral("Tamsel Dulcomb KQV Device");
}

std::vector<PortRegistry::PortEntry> PortRegistry::EnumerateSerialPorts()
{
    m_lastPorts = Enumerate();
    return m_lastPorts;
}

std::vector<PortRegistry::PortEntry> PortRegistry::Enumerate()
{
    struct Candidate
    {
        PortEntry Entry;
        QString Identity; // empty for a COM-named device, whose number is the system's
    };

    const std::vector<SerialDeviceInfo> devices = m_source.PresentDevices();
    std::vector<Candidate> candidates;
    std::set<int> comNumbers;
    std::set<QString> claimed;
    std::set<QString> listedFiles;

    for (const SerialDeviceInfo& device : devices) {
        if (device.SystemLocation.isEmpty()) {
            continue; // nothing anyone could open
        }
        Candidate candidate;
        candidate.Entry.Description = DescriptionOf(device);
        candidate.Entry.SystemLocation = device.SystemLocation;
        if (StartsWithCom(device.PortName)) {
            const std::optional<int> number = ParseComPortName(device.PortName);
            if (!number) {
                continue;
            }
            candidate.Entry.Number = *number;
            comNumbers.insert(*number);
        } else {
            // Two present adapters can report one serial number (clones do);
            // the second is then told apart by where it is plugged in.
            QString identity = device.StableIdentity();
            if (claimed.count(identity) != 0) {
                identity = device.LocationIdentity();
            }
            if (claimed.count(identity) != 0) {
                identity = QStringLiteral("path:") + device.SystemLocation;
            }
            claimed.insert(identity);
            candidate.Identity = identity;
        }
        listedFiles.insert(SameFileKey(device.SystemLocation));
        candidates.push_back(std::move(candidate));
    }

    for (const QString& path : std::as_const(m_devicePaths)) {
        if (!QFileInfo::exists(path) || listedFiles.count(SameFileKey(path)) != 0) {
            continue;
        }
        listedFiles.insert(SameFileKey(path));
        Candidate candidate;
        candidate.Entry.Description = path;
        candidate.Entry.SystemLocation = path;
        candidate.Identity = AddedIdentity(path);
        candidates.push_back(std::move(candidate));
    }

    for (const VirtualPort& port : m_virtualPorts) {
        Candidate candidate;
        candidate.Entry.Description = port.Description;
        candidate.Entry.SystemLocation = port.Key;
        candidate.Entry.Virtual = true;
        candidate.Identity = VirtualIdentity(port.Key);
        candidates.push_back(std::move(candidate));
    }

    // Remembered numbers first, so a new device can never take one of them;
    // a remembered number a COM-named device now has goes to the COM device.
    std::set<int> usedNow;
    for (Candidate& candidate : candidates) {
        if (candidate.Identity.isEmpty()) {
            continue;
        }
        const auto known = m_numbers.find(candidate.Identity);
        if (known != m_numbers.end() && comNumbers.count(known->second) == 0 &&
            usedNow.count(known->second) == 0) {
            candidate.Entry.Number = known->second;
            usedNow.insert(known->second);
        }
    }

    bool changed = false;
    for (Candidate& candidate : candidates) {
        if (candidate.Identity.isEmpty() || candidate.Entry.Number != 0) {
            continue;
        }
        candidate.Entry.Number = NumberForNewIdentity(candidate.Identity, comNumbers);
        qCDebug(lcPorts).noquote()
            << candidate.Entry.SystemLocation << "is now"
            << QStringLiteral("COM%1").arg(candidate.Entry.Number) << "as" << candidate.Identity;
        changed = true;
    }
    if (changed) {
        Save();
    }

    std::vector<PortEntry> ports;
    ports.reserve(candidates.size());
    for (Candidate& candidate : candidates) {
        ports.push_back(std::move(candidate.Entry));
    }
    return ports;
}

int PortRegistry::NumberForNewIdentity(const QString& identity, const std::set<int>& alsoTaken)
{
    // A number stays remembered for its identity even while the device is
    // away, so it comes back under the same number.
    std::set<int> taken = alsoTaken;
    for (const auto& [otherIdentity, number] : m_numbers) {
        if (otherIdentity != identity) {
            taken.insert(number);
        }
    }
    const int number = LowestFree(taken);
    m_numbers[identity] = number;
    return number;
}

std::set<int> PortRegistry::PresentComNumbers() const
{
    std::set<int> numbers;
    for (const SerialDeviceInfo& device : m_source.PresentDevices()) {
        const std::optional<int> number = ParseComPortName(device.PortName);
        if (number && !device.SystemLocation.isEmpty()) {
            numbers.insert(*number);
        }
    }
    return numbers;
}

int PortRegistry::AddDevicePath(const QString& path)
{
    const QString cleanPath = QDir::cleanPath(path.trimmed());
    if (path.trimmed().isEmpty()) {
        return 0;
    }
    // A path to a device the system lists already has that device's number;
    // a second entry would show one device twice.
    const std::vector<PortEntry> ports = Enumerate();
    const QString file = SameFileKey(cleanPath);
    for (const PortEntry& port : ports) {
        if (!port.Virtual && SameFileKey(port.SystemLocation) == file) {
            return port.Number;
        }
    }
    const QString identity = AddedIdentity(cleanPath);
    if (m_devicePaths.contains(cleanPath)) {
        const auto known = m_numbers.find(identity);
        if (known != m_numbers.end()) {
            return known->second;
        }
    } else {
        m_devicePaths.append(cleanPath);
    }
    const int number = NumberForNewIdentity(identity, PresentComNumbers());
    Save();
    return number;
}

void PortRegistry::RemoveDevicePath(const QString& path)
{
    const QString cleanPath = QDir::cleanPath(path.trimmed());
    if (m_devicePaths.removeAll(cleanPath) == 0) {
        return;
    }
    m_numbers.erase(AddedIdentity(cleanPath));
    Save();
}

QStringList PortRegistry::DevicePaths() const
{
    return m_devicePaths;
}

int PortRegistry::AddVirtualPort(const QString& key, const QString& description)
{
    auto existing = std::find_if(m_virtualPorts.begin(), m_virtualPorts.end(),
                                 [&key](const VirtualPort& port) { return port.Key == key; });
    if (existing != m_virtualPorts.end()) {
        existing->Description = description;
    } else {
        m_virtualPorts.push_back({key, description});
    }
    const QString identity = VirtualIdentity(key);
    // A remembered number stands without asking the system for its devices
    // (slow); the next enumeration moves it should a COM port have taken it.
    const auto known = m_numbers.find(identity);
    if (known != m_numbers.end()) {
        return known->second;
    }
    const int number = NumberForNewIdentity(identity, PresentComNumbers());
    Save();
    return number;
}

void PortRegistry::RemoveVirtualPort(const QString& key)
{
    // The number stays remembered, so switching the port back on keeps it.
    std::erase_if(m_virtualPorts, [&key](const VirtualPort& port) { return port.Key == key; });
}

std::optional<PortRegistry::PortEntry> PortRegistry::Find(int number) const
{
    for (const PortEntry& port : m_lastPorts) {
        if (port.Number == number) {
            return port;
        }
    }
    return std::nullopt;
}

QString PortRegistry::SystemLocationOf(int number) const
{
    const std::optional<PortEntry> port = Find(number);
    return port ? port->SystemLocation : QString();
}

void PortRegistry::Load()
{
    // The profile can be edited by hand: entries without an identity or a
    // usable number are dropped, and of two entries with one number the first
    // keeps it. A user-added path is never dropped for a bad number; it gets a
    // new one.
    std::set<int> taken;
    auto remember = [this, &taken](const QString& identity, int number) {
        if (number < 1 || taken.count(number) != 0 || m_numbers.count(identity) != 0) {
            return;
        }
        taken.insert(number);
        m_numbers[identity] = number;
    };

    m_settings.beginGroup(kGroup);
    const int pathCount = m_settings.beginReadArray(kPathsArray);
    for (int i = 0; i < pathCount; ++i) {
        m_settings.setArrayIndex(i);
        const QString path = QDir::cleanPath(m_settings.value(kPathKey).toString().trimmed());
        if (path.isEmpty() || path == QLatin1String(".") || m_devicePaths.contains(path)) {
            continue;
        }
        m_devicePaths.append(path);
        bool ok = false;
        const int number = m_settings.value(kNumberKey).toInt(&ok);
        if (ok) {
            remember(AddedIdentity(path), number);
        }
    }
    m_settings.endArray();

    const int deviceCount = m_settings.beginReadArray(kDevicesArray);
    for (int i = 0; i < deviceCount; ++i) {
        m_settings.setArrayIndex(i);
        const QString identity = m_settings.value(kIdentityKey).toString();
        bool ok = false;
        const int number = m_settings.value(kNumberKey).toInt(&ok);
        if (!identity.isEmpty() && !identity.startsWith(kAddedPrefix) && ok) {
            remember(identity, number);
        }
    }
    m_settings.endArray();
    m_settings.endGroup();

    bool repaired = false;
    for (const QString& path : std::as_const(m_devicePaths)) {
        if (m_numbers.count(AddedIdentity(path)) == 0) {
            NumberForNewIdentity(AddedIdentity(path), {});
            repaired = true;
        }
    }
    if (repaired) {
        Save();
    }
}

void PortRegistry::Save()
{
    m_settings.beginGroup(kGroup);
    m_settings.remove(QString());

    m_settings.beginWriteArray(kPathsArray, static_cast<int>(m_devicePaths.size()));
    for (int i = 0; i < m_devicePaths.size(); ++i) {
        m_settings.setArrayIndex(i);
        m_settings.setValue(kPathKey, m_devicePaths.at(i));
        m_settings.setValue(kNumberKey, m_numbers.at(AddedIdentity(m_devicePaths.at(i))));
    }
    m_settings.endArray();

    m_settings.beginWriteArray(kDevicesArray);
    int index = 0;
    for (const auto& [identity, number] : m_numbers) {
        if (identity.startsWith(kAddedPrefix)) {
            continue;
        }
        m_settings.setArrayIndex(index++);
        m_settings.setValue(kIdentityKey, identity);
        m_settings.setValue(kNumberKey, number);
    }
    m_settings.endArray();
    m_settings.endGroup();
    m_settings.sync();
}

} // namespace Orvex
