#include "SerialDeviceSource.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace Orvex {

namespace {

// Where the device hangs in the kernel's device tree (for a USB adapter the
// hub and port it is plugged into). Stable across replugging into the same
// socket, unlike the /dev name, which the kernel hands out in arrival order.
QString PhysicalLocationOf(const QString& portName)
{
#ifdef Q_OS_LINUX
    const QString link = QStringLiteral("/sys/class/tty/%1/device").arg(portName);
    const QString target = QFileInfo(link).canonicalFilePath();
    const QString devices = QStringLiteral("/sys/devices/");
    if (target.startsWith(devices)) {
        return target.mid(devices.size());
    }
    return target;
#else
    Q_UNUSED(portName);
    return {};
#endif
}

} // namespace

std::vector<SerialDeviceInfo> QtSerialDeviceSource::PresentDevices() const
{
    std::vector<SerialDeviceInfo> devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    devices.reserve(static_cast<std::size_t>(ports.size()));
    for (const QSerialPortInfo& port : ports) {
        SerialDeviceInfo info;
        info.SystemLocation = port.systemLocation();
        info.PortName = port.portName();
        info.Description = port.description();
        info.Manufacturer = port.manufacturer();
        info.SerialNumber = port.serialNumber();
        info.PhysicalLocation = PhysicalLocationOf(port.portName());
        info.HasVendorId = port.hasVendorIdentifier();
        info.VendorId = port.vendorIdentifier();
        info.HasProductId = port.hasProductIdentifier();
        info.ProductId = port.productIdentifier();
        devices.push_back(std::move(info));
    }
    return devices;
}

} // namespace Orvex
