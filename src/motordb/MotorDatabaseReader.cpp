#include "MotorDatabaseReader.h"

#include "BoundedFile.h"
#include "Markup.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace Orvex {

namespace {

const QLatin1String MotorRoot("OrvexMotorDatabase");
const QLatin1String MotorElement("Motor");
const QLatin1String CrossReferenceRoot("WindNumCustomNumCrossRef");
const QLatin1String WindingElement("Winding");
const QLatin1String FormatVersion("1");

// The motor files are a few hundred kilobytes; a file far larger is not one
// and would only fill the memory.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

using Attributes = std::vector<std::pair<QString, QString>>;

// Walks one file: root element of a known version whose children are empty
// elements of one kind, each handed to the caller's reader.
class StrictReader
{
public:
    explicit StrictReader(const QString& path) : m_path(path) {}

    template <class ReadElement>
    bool Read(const QByteArray& bytes, QLatin1String root, QLatin1String element,
              ReadElement readElement)
    {
        if (!m_xml.ParseDocument(std::string_view(bytes.constData(), std::size_t(bytes.size()))))
            return Fail(QString::fromStdString(m_xml.Error()));
        if (!m_xml.NextSibling() || !IsNamed(root))
            return Fail(QStringLiteral("expected the element %1").arg(root));
        Attributes rootAttributes;
        if (!ReadAttributes(rootAttributes))
            return false;
        if (rootAttributes.size() != 1 || rootAttributes[0].first != QLatin1String("version") ||
            rootAttributes[0].second != FormatVersion) {
            return Fail(
                QStringLiteral("%1 must carry exactly version=\"%2\"").arg(root, FormatVersion));
        }
        m_xml.EnterElement();
        Attributes attributes;
        while (m_xml.NextSibling()) {
            if (!IsNamed(element)) {
                return Fail(QStringLiteral("unexpected element %1")
                                .arg(QString::fromUtf8(m_xml.CurrentName().data(),
                                                       qsizetype(m_xml.CurrentName().size()))));
            }
            // The element must be empty: no text, no children.
            if (!m_xml.IsEmptyElement())
                return Fail(QStringLiteral("%1 must be empty").arg(element));
            if (!ReadAttributes(attributes) || !readElement(attributes))
                return false;
        }
        m_xml.LeaveElement();
        if (m_xml.NextSibling())
            return Fail(QStringLiteral("content after the end of %1").arg(root));
        return true;
    }

    bool Fail(const QString& why)
    {
        // A parse fault has its own line; a fault found later, its element's.
        const std::size_t line = m_xml.ErrorLine() != 0 ? m_xml.ErrorLine() : m_xml.CurrentLine();
        m_error = line == 0 ? QStringLiteral("%1: %2").arg(m_path, why)
                            : QStringLiteral("%1, line %2: %3").arg(m_path).arg(line).arg(why);
        return false;
    }

    const QString& Error() const { return m_error; }

private:
    bool IsNamed(QLatin1String name) const
    {
        const std::string_view current = m_xml.CurrentName();
        return current == std::string_view(name.data(), std::size_t(name.size()));
    }

    bool ReadAttributes(Attributes& attributes)
    {
        attributes.clear();
        const bool wellFormed =
            m_xml.ForEachAttribute([&](std::string_view name, std::string value) {
                attributes.emplace_back(QString::fromUtf8(name.data(), qsizetype(name.size())),
                                        QString::fromStdString(value));
            });
        return wellFormed || Fail(QStringLiteral("malformed attributes"));
    }

    QString m_path;
    CMarkup m_xml;
    QString m_error;
};

void SetError(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
}

std::optional<QByteArray> ReadFile(const QString& path, QString* error)
{
    QString reason;
    std::optional<QByteArray> bytes = ReadBoundedFile(path, kMaxFileSize, &reason);
    if (!bytes)
        SetError(error, QStringLiteral("%1: %2").arg(path, reason));
    return bytes;
}

} // namespace

bool MotorDatabaseReader::IsCustomWindingName(const QString& name)
{
    if (name.size() != 6 || name.at(0) != QLatin1Char('W') || name == QLatin1String("W00000")) {
        return false;
    }
    for (int i = 1; i < 6; ++i) {
        if (name.at(i) < QLatin1Char('0') || name.at(i) > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

std::optional<MotorTable> MotorDatabaseReader::ReadMotorFile(const QString& path, QString* error)
{
    const std::optional<QByteArray> bytes = ReadFile(path, error);
    return bytes ? ParseMotorFile(*bytes, path, error) : std::nullopt;
}

std::optional<CrossReference> MotorDatabaseReader::ReadCrossReferenceFile(const QString& path,
                                                                          QString* error)
{
    const std::optional<QByteArray> bytes = ReadFile(path, error);
    return bytes ? ParseCrossReferenceFile(*bytes, path, error) : std::nullopt;
}

std::optional<MotorTable> MotorDatabaseReader::ParseMotorFile(const QByteArray& bytes,
                                                              const QString& name, QString* error)
{
    // Fields the cascade needs to place and find a motor.
    static constexpr int Required[] = {
        MotorField::PartNumber, MotorField::Series,  MotorField::Frame,    MotorField::Package,
        MotorField::Stack,      MotorField::Winding, MotorField::Feedback, MotorField::CoolingKey};
    MotorTable table;
    StrictReader reader(name);
    const bool ok = reader.Read(bytes, MotorRoot, MotorElement, [&](const Attributes& attributes) {
        MotorRecord record;
        for (const auto& [name, value] : attributes) {
            const int number = MotorRecord::FieldNumber(name);
            if (number == 0) {
                return reader.Fail(QStringLiteral("unknown motor field %1").arg(name));
            }
            // Custom part and base series belong to the winding, so only the
            // cross reference file holds them.
            if (number == MotorField::CustomPart || number == MotorField::BaseSeries) {
                return reader.Fail(
                    QStringLiteral("%1 belongs in the cross reference file").arg(name));
            }
            record.SetField(number, value);
        }
        for (int number : Required) {
            if (record.Field(number).isEmpty()) {
                return reader.Fail(
                    QStringLiteral("motor without %1").arg(MotorRecord::FieldName(number)));
            }
        }
        const QString& winding = record.Field(MotorField::CustomWinding);
        if (!winding.isEmpty() && !IsCustomWindingName(winding)) {
            return reader.Fail(QStringLiteral("invalid custom winding name %1").arg(winding));
        }
        if (!table.Add(record)) {
            return reader.Fail(QStringLiteral("motor %1 %2 %3 listed twice")
                                   .arg(record.Field(MotorField::PartNumber), winding,
                                        record.Field(MotorField::CoolingKey)));
        }
        return true;
    });
    if (!ok) {
        SetError(error, reader.Error());
        return std::nullopt;
    }
    return table;
}

std::optional<CrossReference> MotorDatabaseReader::ParseCrossReferenceFile(const QByteArray& bytes,
                                                                           const QString& name,
                                                                           QString* error)
{
    CrossReference crossReference;
    StrictReader reader(name);
    const bool ok =
        reader.Read(bytes, CrossReferenceRoot, WindingElement, [&](const Attributes& attributes) {
            CrossReference::Entry entry;
            for (const auto& [name, value] : attributes) {
                if (name == QLatin1String("Name")) {
                    entry.CustomWinding = value;
                } else if (name == QLatin1String("CustomPart")) {
                    entry.CustomPart = value;
                } else if (name == QLatin1String("BaseSeries")) {
                    entry.BaseSeries = value;
                } else {
                    return reader.Fail(QStringLiteral("unknown winding attribute %1").arg(name));
                }
            }
            if (!IsCustomWindingName(entry.CustomWinding)) {
                return reader.Fail(
                    QStringLiteral("invalid custom winding name \"%1\"").arg(entry.CustomWinding));
            }
            if (!crossReference.Add(entry)) {
                return reader.Fail(QStringLiteral("winding %1 or custom part \"%2\" listed twice")
                                       .arg(entry.CustomWinding, entry.CustomPart));
            }
            return true;
        });
    if (!ok) {
        SetError(error, reader.Error());
        return std::nullopt;
    }
    return crossReference;
}

} // namespace Orvex
