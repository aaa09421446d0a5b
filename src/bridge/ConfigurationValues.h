#pragma once

#include "ConfigFields.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstddef>
#include <map>
#include <span>
#include <vector>

namespace Orvex {

// One drive configuration held in memory: every configuration property of the
// bridge's configuration object, described by one table that the property
// accessors, the .kvt file and the transfers to and from the drive all read.
class ConfigurationValues
{
public:
    using ValueType = ConfigType;

    // How a property's value travels to and from its drive parameter.
    enum class Transfer
    {
        None,                   // kept by the bridge only; the drive has no such parameter
        MotorPartCommand,       // the text the drive keeps under its MPART command
        Direct,                 // written and read back as it stands
        UploadOnly,             // a read-only parameter: read back, never written
        LinearMotorOnly,        // only a linear motor has it; 0 for a rotary one
        ZeroReferenceCounts,    // volts in the bridge, (counts - 230) / 3276.8 in the drive
        VelocityModeIntegral,   // shares its parameter: the one used in velocity mode
        NotVelocityModeIntegral // shares its parameter: the one used in the other modes
    };

    // A configuration property with how it travels and its default.
    struct Property : ConfigField
    {
        Transfer Way;
        double Default;
    };

    // One write of a download: the command line and the property it sends.
    struct DriveWrite
    {
        QString Command; // "P016=50", "MPART=AKM21C"
        const Property* Source;
    };

    // Every configuration property, in dispatch id order.
    static std::span<const Property> Properties();
    static const Property& Of(const ConfigField& field);
    static const Property* FindByName(QStringView name);
    static const Property* FindById(int dispatchId);

    // A configuration with every property at its default.
    ConfigurationValues();

    int Int(int dispatchId) const;
    float Float(int dispatchId) const;
    bool Bool(int dispatchId) const;
    QString Text(int dispatchId) const;
    void SetInt(int dispatchId, int value);
    void SetFloat(int dispatchId, float value);
    void SetBool(int dispatchId, bool value);
    void SetText(int dispatchId, const QString& value);

    // The value in a QVariant of the property's type: int, float, bool or
    // QString.
    QVariant Value(const Property& property) const;
    // Takes a QVariant holding exactly the property's type; false (value
    // unchanged) for any other.
    bool SetValue(const Property& property, const QVariant& value);

    // The value as the .kvt file holds it: integers in decimal, floats with
    // nine significant digits (exact for a 32-bit float), booleans 0 or 1, and
    // text with backslash, CR and LF escaped.
    QString FileText(const Property& property) const;
    // Reads a value written by FileText; false (value unchanged) when the text
    // is not a value of the property's type.
    bool SetFromFileText(const Property& property, QStringView text);
    // True when every value can be written to a file and read back; otherwise
    // names the first property that cannot (a float that is not finite).
    bool CanBeStored(QString* offendingName) const;

    // The writes that send this configuration to the drive: the motor part
    // text, then the parameters in number order.
    std::vector<DriveWrite> DownloadWrites() const;
    // The parameters read one by one after an upload, because the drive's
    // configuration listing leaves read-only parameters out.
    static std::vector<int> UploadOnlyParameters();
    // The zero command reference in volts from the drive's analog reading.
    static float ZeroReferenceVolts(double counts);
    // Takes what a drive reported: parameters (number -> value text as the
    // drive printed it) and the motor part text when given. What is not given
    // leaves its property as it is. Answers false, changing nothing, when a
    // value cannot be read; then *badParameter names the parameter.
    bool ApplyUpload(const std::map<int, QString>& parameters, const QString* motorPart,
                     int* badParameter);

    bool operator==(const ConfigurationValues& other) const = default;

private:
    // The table row of a property of the given type; a wrong id or type is a
    // programming error and throws.
    static std::size_t RowOf(int dispatchId, ValueType type);
    static QString DriveText(const Property& property, double value);

    // One slot per table row; a number row leaves its text empty, a text row
    // its number 0.
    std::vector<double> m_numbers;
    std::vector<QString> m_texts;
};

} // namespace Orvex
