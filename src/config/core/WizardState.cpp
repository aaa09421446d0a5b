#include "WizardState.h"

#include <QFileInfo>

namespace Orvex {

namespace {

QString TitleOf(const QString& what)
{
    return QStringLiteral("Configuration - ") + what;
}

} // namespace

void WizardState::StartDefaultProfile()
{
    m_origin = Origin::Default;
    m_title = TitleOf(QStringLiteral("Default Profile"));
    m_loadPath.clear();
}

void WizardState::OpenedFile(const QString& path)
{
    m_origin = Origin::File;
    m_title = TitleOf(QFileInfo(path).fileName());
    m_loadPath = path;
}

void WizardState::ReopenedFile(const QString& path)
{
    SavedFile(path);
}

void WizardState::SavedFile(const QString& path)
{
    m_origin = Origin::File;
    m_title = TitleOf(path);
    m_loadPath = path;
}

void WizardState::UploadedFromDrive()
{
    m_origin = Origin::Drive;
    m_title = TitleOf(QStringLiteral("Uploaded from Orvex Drive"));
}

bool WizardState::UsesAutoTuningPositionTuner() const
{
    // False for NaN as well.
    return Step1Value >= AutoTuningGeneration;
}

} // namespace Orvex
