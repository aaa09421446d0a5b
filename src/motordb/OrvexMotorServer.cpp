#include "OrvexMotorServer.h"

#include "MotorDatabaseReader.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMotorDb, "orvex.motordb", QtInfoMsg)

namespace Orvex {

COrvexMotorServer::COrvexMotorServer() : m_collection(m_table, m_crossReference) {}

IOrvexMotorCollection* COrvexMotorServer::GetOrvexMotorCollection()
{
    return &m_collection;
}

bool COrvexMotorServer::LoadMotorDatabase(const QString& path)
{
    m_loadError.clear();
    std::optional<MotorTable> table = MotorDatabaseReader::ReadMotorFile(path, &m_loadError);
    if (!table) {
        qCWarning(lcMotorDb).noquote() << "Motor database not loaded:" << m_loadError;
        return false;
    }
    m_table = std::move(*table);
    return true;
}

bool COrvexMotorServer::LoadCrossReference(const QString& path)
{
    m_loadError.clear();
    std::optional<CrossReference> crossReference =
        MotorDatabaseReader::ReadCrossReferenceFile(path, &m_loadError);
    if (!crossReference) {
        qCWarning(lcMotorDb).noquote() << "Cross reference not loaded:" << m_loadError;
        return false;
    }
    m_crossReference = std::move(*crossReference);
    return true;
}

QStringList COrvexMotorServer::ListSeries() const
{
    return m_table.Series();
}

QStringList COrvexMotorServer::ListFrames(const QString& series) const
{
    return m_table.Frames(series);
}

QStringList COrvexMotorServer::ListStacks(const QString& series, const QString& frame) const
{
    return m_table.Stacks(series, frame);
}

QStringList COrvexMotorServer::ListWindings(const QString& series, const QString& frame,
                                            const QString& stack) const
{
    return m_table.Windings(series, frame, stack);
}

QStringList COrvexMotorServer::ListFeedbacks(const QString& series, const QString& frame,
                                             const QString& stack, const QString& winding) const
{
    return m_table.Feedbacks(series, frame, stack, winding);
}

QStringList COrvexMotorServer::ListCustomWindings(const QString& partNumber) const
{
    return m_table.CustomWindings(partNumber);
}

QStringList COrvexMotorServer::ListCoolings(const QString& partNumber) const
{
    return m_table.Coolings(partNumber);
}

QString COrvexMotorServer::CustomWindingOfPart(const QString& customEntry) const
{
    return m_crossReference.CustomWindingOfPart(customEntry);
}

QString COrvexMotorServer::CustomPartOfWinding(const QString& customWinding) const
{
    return m_crossReference.CustomPartOfWinding(customWinding);
}

QString COrvexMotorServer::BaseSeriesOfWinding(const QString& customWinding) const
{
    return m_crossReference.BaseSeriesOfWinding(customWinding);
}

} // namespace Orvex
