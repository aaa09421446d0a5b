#include "ConfigWizardStep4Dlg.h"

#include "AppContext.h"
#include "ConfigFields.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "MainWindowServices.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"
#include "PageIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace Orvex {

namespace {

// A group of the page: its rows in a grid of label, box and unit, the last
// column taking the spare width.
QGridLayout* AddGroup(QVBoxLayout* body, QWidget* page, const char* objectName,
                      const QString& title)
{
    auto* group = new QGroupBox(title, page);
    group->setObjectName(QLatin1String(objectName));
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(3, 1);
    body->addWidget(group);
    return grid;
}

QCheckBox* AddCheck(QGridLayout* grid, int row, const char* objectName, const QString& text)
{
    auto* box = new QCheckBox(text, grid->parentWidget());
    box->setObjectName(QLatin1String(objectName));
    grid->addWidget(box, row, 0, 1, 3);
    return box;
}

// A typed value: the label (with its mnemonic), the box and its unit.
NumericEdit* AddEdit(QGridLayout* grid, int row, const char* objectName, const QString& label,
                     const QString& unit, NumericChars chars)
{
    QWidget* group = grid->parentWidget();
    auto* edit = new NumericEdit(chars, group);
    edit->setObjectName(QLatin1String(objectName));
    edit->setMaximumWidth(100);
    auto* caption = new QLabel(label, group);
    caption->setBuddy(edit);
    edit->setAccessibleName(QString(label).remove(QLatin1Char('&')) + QStringLiteral(" (") + unit +
                            QLatin1Char(')'));
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(unit, group), row, 2);
    return edit;
}

QComboBox* AddCombo(QGridLayout* grid, int row, const char* objectName, const QString& label)
{
    QWidget* group = grid->parentWidget();
    auto* combo = new QComboBox(group);
    combo->setObjectName(QLatin1String(objectName));
    combo->setAccessibleName(QString(label).remove(QLatin1Char('&')));
    // Wide enough for the longest entry of either type, so the box keeps its
    // size when the constructions are refilled.
    std::size_t longest = 0;
    for (const auto& names : ThermalSensor::ConstructionNames) {
        for (const char* name : names)
            longest = std::max(longest, std::strlen(name));
    }
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(static_cast<int>(longest));
    auto* caption = new QLabel(label, group);
    caption->setBuddy(combo);
    grid->addWidget(caption, row, 0);
    grid->addWidget(combo, row, 1, 1, 2);
    return combo;
}

QString Decimal(float value)
{
    return QString::asprintf("%.2f", static_cast<double>(value));
}

} // namespace

CConfigWizardStep4Dlg::CConfigWizardStep4Dlg(AppContext& context, IMainWindow& mainWindow,
                                             IConfigWorkflow& workflow, QWidget* parent)
    : TWizardStepPage(4, context, mainWindow, workflow, parent)
{
    setObjectName(QStringLiteral("configWizardStep4"));
    BuildControls();
    ResetToDefaults();
}

void CConfigWizardStep4Dlg::BuildControls()
{
    QGridLayout* fault = AddGroup(Body(), this, "faultOutputGroup", QStringLiteral("Fault Output"));
    m_pFaultOnDriveDisable = AddCheck(fault, 0, "faultOnDriveDisableCheck",
                                      QStringLiteral("Enable &Fault On Drive Disable"));
    m_pStartupVoltage = AddEdit(fault, 1, "startupVoltageEdit",
                                QStringLiteral("Fault On Excessive Startup &Voltage"),
                                QStringLiteral("volts"), NumericChars::Decimal);
    m_pBrakeDelay = AddEdit(fault, 2, "brakeDelayEdit", QStringLiteral("Output Brake &Delay"),
                            QStringLiteral("milliseconds"), NumericChars::Digits);

    QGridLayout* inPosition =
        AddGroup(Body(), this, "inPositionGroup", QStringLiteral("In-Position Output"));
    m_pInPositionEnable = AddCheck(inPosition, 0, "inPositionEnableCheck",
                                   QStringLiteral("Enable &In-Position Output"));
    m_pInPositionDeadband =
        AddEdit(inPosition, 1, "inPositionDeadbandEdit", QStringLiteral("In-Position D&eadband"),
                QStringLiteral("feedback counts"), NumericChars::Digits);
    m_pInPositionTimeout = AddEdit(inPosition, 2, "inPositionTimeoutEdit",
                                   QStringLiteral("In-Position &Timeout Value"),
                                   QStringLiteral("milliseconds"), NumericChars::Digits);

    QGridLayout* sensor =
        AddGroup(Body(), this, "thermalSensorGroup", QStringLiteral("Motor Thermal Sensor"));
    m_pThermalSensorDisable = AddCheck(sensor, 0, "thermalSensorDisableCheck",
                                       QStringLiteral("Disable Motor Thermal &Sensor"));
    m_pSensorType =
        AddCombo(sensor, 1, "sensorTypeCombo", QStringLiteral("Motor Thermal Sensor T&ype"));
    for (const char* type : ThermalSensor::TypeNames)
        m_pSensorType->addItem(QLatin1String(type));
    m_pSensorConstruction = AddCombo(sensor, 2, "sensorConstructionCombo",
                                     QStringLiteral("Motor Thermal Sensor &Construction"));
    connect(m_pSensorType, &QComboBox::currentIndexChanged, this,
            [this] { ORVEX_GUARDED([&] { FillConstructions(); }); });

    // The boxes of the three groups line up under each other.
    int widest = 0;
    for (const QLabel* label : findChildren<QLabel*>()) {
        if (label->buddy())
            widest = std::max(widest, label->sizeHint().width());
    }
    for (QGridLayout* grid : {fault, inPosition, sensor})
        grid->setColumnMinimumWidth(0, widest);

    Body()->addStretch(1);
    AddButtonRow(true, QStringLiteral("&Next >"));
    FillConstructions();
}

void CConfigWizardStep4Dlg::FillConstructions()
{
    const int type = std::max(m_pSensorType->currentIndex(), 0);
    m_pSensorConstruction->clear();
    for (const char* name : ThermalSensor::ConstructionNames[static_cast<std::size_t>(type)])
        m_pSensorConstruction->addItem(QLatin1String(name));
    m_pSensorConstruction->setCurrentIndex(0);
}

void CConfigWizardStep4Dlg::ShowSensor(const ThermalSensor::Choice& sensor)
{
    {
        const QSignalBlocker quiet(m_pSensorType);
        m_pSensorType->setCurrentIndex(sensor.Type);
    }
    FillConstructions();
    m_pSensorConstruction->setCurrentIndex(sensor.Construction);
}

// --- The wizard's entry points ---

void CConfigWizardStep4Dlg::ResetToDefaults()
{
    m_pFaultOnDriveDisable->setChecked(true);
    m_pStartupVoltage->setText(QStringLiteral("10.00"));
    m_pBrakeDelay->setText(QStringLiteral("0"));
    m_pInPositionEnable->setChecked(false);
    m_pInPositionDeadband->setText(QStringLiteral("0"));
    m_pInPositionTimeout->setText(QStringLiteral("0"));
    m_pThermalSensorDisable->setChecked(false);
    ShowSensor(ThermalSensor::Choice());
}

void CConfigWizardStep4Dlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    m_pFaultOnDriveDisable->setChecked(config.FaultOnDriveDisable());
    m_pStartupVoltage->setText(Decimal(config.StartupVoltageFault()));
    m_pBrakeDelay->SetInteger(config.BrakeDelay());
    m_pInPositionEnable->setChecked(config.InPositionEnable());
    m_pInPositionDeadband->SetInteger(config.InPositionDeadband());
    m_pInPositionTimeout->SetInteger(config.InPositionTimeout());
    m_pThermalSensorDisable->setChecked(config.ThermalSensorDisable());
    ShowSensor(ThermalSensorOfCode(config.ThermalSensorCode()));
}

bool CConfigWizardStep4Dlg::Validate()
{
    // Every box is checked, also when its output is switched off: the drive
    // keeps the value either way.
    namespace F = ConfigFields;
    const FieldRule rules[] = {
        {m_pStartupVoltage, F::StartupVoltageFault.Parameter, 0, 0,
         "Fault On Excessive Startup Voltage must be between %.2lf and %.2lf volts", nullptr,
         false},
        {m_pBrakeDelay, F::BrakeDelay.Parameter, 0, 0,
         "Fault Output Brake Delay must be between %.0lf and %.0lf milliseconds", nullptr, true},
        {m_pInPositionDeadband, F::InPositionDeadband.Parameter, 0, 0,
         "In-Position Deadband must be between %.0lf and %.0lf feedback counts", nullptr, true},
        {m_pInPositionTimeout, F::InPositionTimeout.Parameter, 0, 0,
         "In-Position Timeout Value must be between %.0lf and %.0lf milliseconds", nullptr, true},
    };
    return FieldValidation::Run(m_context.Ui, rules, m_context.Limits);
}

void CConfigWizardStep4Dlg::WriteToConfig()
{
    IOrvexConfig& config = m_context.Config;
    config.SetFaultOnDriveDisable(m_pFaultOnDriveDisable->isChecked());
    config.SetStartupVoltageFault(static_cast<float>(m_pStartupVoltage->Decimal()));
    config.SetBrakeDelay(m_pBrakeDelay->Integer());
    config.SetInPositionEnable(m_pInPositionEnable->isChecked());
    config.SetInPositionDeadband(m_pInPositionDeadband->Integer());
    config.SetInPositionTimeout(m_pInPositionTimeout->Integer());
    config.SetThermalSensorDisable(m_pThermalSensorDisable->isChecked());
    config.SetThermalSensorCode(
        ThermalSensorCode(m_pSensorType->currentIndex(), m_pSensorConstruction->currentIndex()));
}

// --- The page ---

void CConfigWizardStep4Dlg::OnNext()
{
    if (!Validate())
        return;
    WriteToConfig();
    m_mainWindow.SetPage(PageId::ConfigWizardStep5);
}

void CConfigWizardStep4Dlg::OnBack()
{
    m_mainWindow.SetPage(PageId::ConfigWizardStep3);
}

} // namespace Orvex
