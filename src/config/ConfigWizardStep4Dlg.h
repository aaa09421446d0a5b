#pragma once

#include "ThermalSensor.h"
#include "WizardStepPage.h"

class QCheckBox;
class QComboBox;

namespace Orvex {

class NumericEdit;

// Step 4 of the configuration wizard: the drive's fault output (fault on
// disable, excessive startup voltage, brake delay), the in-position output
// and the motor thermal sensor input. The typed values are checked against
// the drive's parameter limits before they are written, whether or not their
// output is enabled.
class CConfigWizardStep4Dlg final : public TWizardStepPage
{
    Q_OBJECT

public:
    CConfigWizardStep4Dlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                          QWidget* parent = nullptr);

    void FillFromConfig() override;
    void ResetToDefaults() override;
    bool Validate() override;
    void WriteToConfig() override;

    QCheckBox* FaultOnDriveDisableBox() const { return m_pFaultOnDriveDisable; }
    NumericEdit* StartupVoltageEdit() const { return m_pStartupVoltage; }
    NumericEdit* BrakeDelayEdit() const { return m_pBrakeDelay; }
    QCheckBox* InPositionEnableBox() const { return m_pInPositionEnable; }
    NumericEdit* InPositionDeadbandEdit() const { return m_pInPositionDeadband; }
    NumericEdit* InPositionTimeoutEdit() const { return m_pInPositionTimeout; }
    QCheckBox* ThermalSensorDisableBox() const { return m_pThermalSensorDisable; }
    QComboBox* SensorTypeCombo() const { return m_pSensorType; }
    QComboBox* SensorConstructionCombo() const { return m_pSensorConstruction; }

protected:
    void OnNext() override;
    void OnBack() override;

private:
    void BuildControls();
    // The constructions of the type shown, the first one selected.
    void FillConstructions();
    void ShowSensor(const ThermalSensor::Choice& sensor);

    QCheckBox* m_pFaultOnDriveDisable = nullptr;
    NumericEdit* m_pStartupVoltage = nullptr;
    NumericEdit* m_pBrakeDelay = nullptr;
    QCheckBox* m_pInPositionEnable = nullptr;
    NumericEdit* m_pInPositionDeadband = nullptr;
    NumericEdit* m_pInPositionTimeout = nullptr;
    QCheckBox* m_pThermalSensorDisable = nullptr;
    QComboBox* m_pSensorType = nullptr;
    QComboBox* m_pSensorConstruction = nullptr;
};

} // namespace Orvex
