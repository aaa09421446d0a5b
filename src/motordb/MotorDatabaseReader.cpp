#include "MotorDatabaseReader.h"

#include <QFile>
#include <QXmlStreamReader>

namespace Orvex {

namespace {

const QLatin1String MotorRoot("OrvexMotorDatabase");
const QLatin1String MotorElement("Motor");
const QLatin1String CrossReferenceRoot("WindNumCustomNumCrossRef");
const QLatin1String WindingElement("Winding");
const QLatin1String FormatVersion("1");

// Walks one file: root element of a known version whose children are empty
// elements of one kind, each handed to the caller's reader.
class StrictReader
{
public:
    explicit StrictReader(const QString& path) : m_path(path) {}

    template <class ReadElement>
    bool Read(QLatin1String root, QLatin1String element, ReadElement readElement)
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("%1: %2").arg(m_path, file.errorString());
            return false;
        }
        m_xml.setDevice(&file);
        if (!NextElement() || m_xml.name() != root) {
            return Fail(QStringLiteral("expected the element %1").arg(root));
        }
        if (m_xml.attributes().size() != 1 ||
            m_xml.attributes().value(QLatin1String("version")) != FormatVersion) {
            return Fail(
                QStringLiteral("%1 must carry exactly version=\"%2\"").arg(root, FormatVersion));
        }
        while (NextElement()) {
            if (m_xml.name() != element) {
                return Fail(QStringLiteral("unexpected element %1").arg(m_xml.name()));
            }
            if (!readElement(m_xml.attributes())) {
                return false;
            }
            // The element must be empty: no text, no children.
            if (NextElement()) {
                return Fail(QStringLiteral("%1 must be empty").arg(element));
            }
            if (m_failed) {
                return false;
            }
        }
        if (m_failed) {
            return false;
        }
        // Past the root's end only comments and white space may follow.
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement() || IsText()) {
                return Fail(QStringLiteral("content after the end of %1").arg(root));
            }
        }
        if (m_xml.hasError()) {
            return Fail(m_xml.errorString());
        }
        return true;
    }

    bool Fail(const QString& why)
    {
        m_failed = true;
        m_error = QStringLiteral("%1:%2: %3").arg(m_path).arg(m_xml.lineNumber()).arg(why);
        return false;
    }

    const QString& Error() const { return m_error; }

private:
    bool IsText() const { return m_xml.isCharacters() && !m_xml.isWhitespace(); }

    // Moves to the next start element; false at the enclosing end element, at
    // the end of the document or on an error (then m_failed is set).
    bool NextElement()
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.hasError()) {
                Fail(m_xml.errorString());
                return false;
            }
            if (m_xml.isStartElement()) {
                return true;
            }
            if (m_xml.isEndElement()) {
                return false;
            }
            if (IsText()) {
                Fail(QStringLiteral("unexpected text"));
                return false;
            }
            if (m_xml.isDTD() || m_xml.isEntityReference()) {
                Fail(QStringLiteral("document type declarations and entities are not allowed"));
                return false;
            }
        }
        if (m_xml.hasError()) {
            Fail(m_xml.errorString());
        }
        return false;
    }

    QString m_path;
    QXmlStreamReader m_xml;
    QString m_error;
    bool m_failed = false;
};

void SetError(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
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
    // Fields the cascade needs to place and find a motor.
    static constexpr int Required[] = {
        MotorField::PartNumber, MotorField::Series,  MotorField::Frame,    MotorField::Package,
        MotorField::Stack,      MotorField::Winding, MotorField::Feedback, MotorField::CoolingKey};
    MotorTable table;
    StrictReader reader(path);
    const bool ok =
        reader.Read(MotorRoot, MotorElement, [&](const QXmlStreamAttributes& attributes) {
            MotorRecord record;
            for (const QXmlStreamAttribute& attribute : attributes) {
                const int number = MotorRecord::FieldNumber(attribute.name());
                if (number == 0) {
                    return reader.Fail(
                        QStringLiteral("unknown motor field %1").arg(attribute.name()));
                }
                // Custom part and base series belong to the winding, so only the
                // cross reference file holds them.
                if (number == MotorField::CustomPart || number == MotorField::BaseSeries) {
                    return reader.Fail(QStringLiteral("%1 belongs in the cross reference file")
                                           .arg(attribute.name()));
                }
                record.SetField(number, attribute.value().toString());
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

std::optional<CrossReference> MotorDatabaseReader::ReadCrossReferenceFile(const QString& path,
                                                                          QString* error)
{
    CrossReference crossReference;
    StrictReader reader(path);
    const bool ok = reader.Read(
        CrossReferenceRoot, WindingElement, [&](const QXmlStreamAttributes& attributes) {
            CrossReference::Entry entry;
            for (const QXmlStreamAttribute& attribute : attributes) {
                if (attribute.name() == QLatin1String("Name")) {
                    entry.CustomWinding = attribute.value().toString();
                } else if (attribute.name() == QLatin1String("CustomPart")) {
                    entry.CustomPart = attribute.value().toString();
                } else if (attribute.name() == QLatin1String("BaseSeries")) {
                    entry.BaseSeries = attribute.value().toString();
                } else {
                    return reader.Fail(
                        QStringLiteral("unknown winding attribute %1").arg(attribute.name()));
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
