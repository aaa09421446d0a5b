#pragma once

#include <QString>

#include <cstdint>

namespace Orvex {

// What the system says about one serial device, and the identity under which
// the port registry remembers its number.
struct SerialDeviceInfo
{
    QString SystemLocation;   // "/dev/ttyUSB0"; "COM3" on Windows
    QString PortName;         // "ttyUSB0"; "COM3" on Windows
    QString Description;      // the system's description, may be empty
    QString Manufacturer;     // may be empty
    QString SerialNumber;     // may be empty
    QString PhysicalLocation; // where the device hangs on its bus (USB port path), may be empty
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    bool HasVendorId = false;
    bool HasProductId = false;

    bool HasUsbIds() const { return HasVendorId && HasProductId; }

    // The identity that follows the device itself: its serial number when it
    // has one, so it keeps its number on any USB port and under any /dev name.
    // Without one it falls back to LocationIdentity().
    QString StableIdentity() const
    {
        if (!SerialNumber.isEmpty()) {
            return HasUsbIds() ? QStringLiteral("usb:%1:sn:%2").arg(UsbIds(), SerialNumber)
                               : QStringLiteral("sn:%1").arg(SerialNumber);
        }
        return LocationIdentity();
    }

    // The identity of the place the device is plugged into: vendor/product at
    // a bus location, else the system path. Used on its own when two present
    // devices claim the same serial number (cloned adapters do).
    QString LocationIdentity() const
    {
        const QString where = PhysicalLocation.isEmpty() ? SystemLocation : PhysicalLocation;
        if (HasUsbIds()) {
            return QStringLiteral("usb:%1@%2").arg(UsbIds(), where);
        }
        return QStringLiteral("path:%1").arg(where);
    }

private:
    QString UsbIds() const
    {
        return QStringLiteral("%1:%2")
            .arg(VendorId, 4, 16, QLatin1Char('0'))
            .arg(ProductId, 4, 16, QLatin1Char('0'));
    }
};

} // namespace Orvex
