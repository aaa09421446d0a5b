#pragma once

#include "WizardContracts.h"

#include <QString>
#include <QStringList>

namespace OrvexTest {

// A wizard step or tuning page that writes each call into a log shared by
// all fakes, so a test sees the order in which the workflow drove them.
class FakeWizardStep final : public Orvex::IWizardStep, public Orvex::ITuningReload
{
public:
    FakeWizardStep(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}

    void FillFromConfig() override { Record("fill"); }
    void ResetToDefaults() override { Record("reset"); }
    void ResetToMotorDefaults() override { Record("motor"); }
    bool Validate() override
    {
        Record("validate");
        return Valid;
    }
    void WriteToConfig() override { Record("write"); }

    // What Validate answers.
    bool Valid = true;

private:
    void Record(const char* call) { m_log << m_name + QLatin1Char(' ') + QLatin1String(call); }

    QString m_name;
    QStringList& m_log;
};

} // namespace OrvexTest
