#include "ConfigWizardStep2Dlg.h"

#include "AppContext.h"
#include "CommandDatabase.h"
#include "ConfigFields.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "MainWindowServices.h"
#include "MotorChoice.h"
#include "MotorDatabase.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "ParameterLimits.h"
#include "UiServices.h"
#include "WizardState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace Orvex {

namespace {

using Field = MotorParameterCheck::Field;

const QString Rotary = QStringLiteral("Rotary");
const QString Linear = QStringLiteral("Linear");

// One edit of the page: its labels for rotary and linear motors (a null
// linear label is the same as the rotary one), a unit beside the box where
// the label has none, and what the box takes.
struct FieldInfo
{
    Field Which;
    const char* ObjectName;
    const char* RotaryLabel;
    const char* LinearLabel;
    NumericChars Chars;
};

// In the order the page shows them: two columns, top to bottom.
constexpr FieldInfo Fields[] = {
    {Field::RatedSpeed, "ratedSpeedEdit", "Motor Rated Speed (rps)", "Motor Rated Speed (mps)",
     NumericChars::Decimal},
    {Field::PolePairsOrPitch, "polePairsEdit", "Number of Motor Pole Pairs",
     "Electrical Pitch (mm)", NumericChars::Digits},
    {Field::InertiaOrMass, "inertiaEdit", "Motor Rotor Inertia ", "Forcer Mass",
     NumericChars::Decimal},
    {Field::Damping, "dampingEdit", "Motor Damping", nullptr, NumericChars::Decimal},
    {Field::MotorThermalTimeConstant, "motorThermalTimeConstantEdit",
     "Motor Thermal Time Constant (min)", nullptr, NumericChars::Decimal},
    {Field::WindingThermalTimeConstant, "windingThermalTimeConstantEdit",
     "Winding Thermal Time Constant (min)", nullptr, NumericChars::Decimal},
    {Field::ThermalResistance, "thermalResistanceEdit",
     "Thermal Resistance Winding/Case (\u00b0C/Watt)", nullptr, NumericChars::Decimal},
    {Field::AmbientTemperature, "ambientTemperatureEdit", "Motor Ambient Temp (\u00b0C)", nullptr,
     NumericChars::SignedDecimal},
    {Field::MaxWindingTemperature, "maxWindingTemperatureEdit", "Max Motor Winding Temp (\u00b0C)",
     nullptr, NumericChars::SignedDecimal},
    {Field::Ke, "keEdit", "Ke (V/krpm)", "Ke (V/m/s)", NumericChars::Decimal},
    {Field::ContinuousCurrent, "continuousCurrentEdit", "Continuous Current (Arms)", nullptr,
     NumericChars::Decimal},
    {Field::ContinuousCurrentDerating, "continuousCurrentDeratingEdit",
     "Continuous Current Derating (%)", nullptr, NumericChars::Decimal},
    {Field::PeakCurrent, "peakCurrentEdit", "Peak Current (Arms)", nullptr, NumericChars::Decimal},
    {Field::WindingResistance, "windingResistanceEdit", "Winding Resistance (Ohm)", nullptr,
     NumericChars::Decimal},
    {Field::MinInductance, "minInductanceEdit", "Minimum Inductance (mH)", nullptr,
     NumericChars::Decimal},
    {Field::MaxInductance, "maxInductanceEdit", "Maximum Inductance (mH)", nullptr,
     NumericChars::Decimal},
    {Field::FeedbackResolution, "feedbackResolutionEdit", "Feedback Resolution", nullptr,
     NumericChars::Digits},
};

const char* const FeedbackTypes[] = {
    MotorParameterCheck::RegularEncoder,
    MotorParameterCheck::SmartEncoder,
    MotorParameterCheck::AbsoluteEncoder,
    MotorParameterCheck::Resolver,
};

bool CountsWholeTurns(const QString& feedbackType)
{
    return feedbackType == QLatin1String(MotorParameterCheck::AbsoluteEncoder) ||
           feedbackType == QLatin1String(MotorParameterCheck::Resolver);
}

bool HallsApply(const QString& feedbackType)
{
    return feedbackType == QLatin1String(MotorParameterCheck::RegularEncoder) ||
           feedbackType == QLatin1String(MotorParameterCheck::SmartEncoder);
}

QString Decimal(float value)
{
    return QString::asprintf("%.2f", static_cast<double>(value));
}

} // namespace

CConfigWizardStep2Dlg::CConfigWizardStep2Dlg(AppContext& context, IMainWindow& mainWindow,
                                             IConfigWorkflow& workflow, QWidget* parent)
    : TWizardStepPage(2, context, mainWindow, workflow, parent)
{
    setObjectName(QStringLiteral("configWizardStep2"));
    BuildControls();
    ResetToMotorDefaults();
}

void CConfigWizardStep2Dlg::BuildControls()
{
    m_pHeading = new QLabel(Heading, this);
    m_pHeading->setObjectName(QStringLiteral("heading"));
    QFont bold = m_pHeading->font();
    bold.setBold(true);
    m_pHeading->setFont(bold);
    Body()->addWidget(m_pHeading);

    // The motor's data in two columns of eight under the package; the
    // feedback device below them.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    Body()->addLayout(grid);
    constexpr int RowsPerColumn = 8;
    constexpr int FeedbackRow = RowsPerColumn + 1;
    const auto place = [grid](int row, int column, QWidget* label, QWidget* box, QWidget* unit) {
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
        if (unit)
            grid->addWidget(unit, row, column + 2);
    };

    m_pPackage = new QComboBox(this);
    m_pPackage->setObjectName(QStringLiteral("packageCombo"));
    m_pPackage->setAccessibleName(QStringLiteral("Motor Package"));
    m_pPackage->addItems({Rotary, Linear});
    auto* packageLabel = new QLabel(QStringLiteral("Motor Pac&kage"), this);
    packageLabel->setBuddy(m_pPackage);
    place(0, 0, packageLabel, m_pPackage, nullptr);
    connect(m_pPackage, &QComboBox::currentIndexChanged, this,
            [this] { ORVEX_GUARDED([&] { ShowForPackage(); }); });

    int placed = 0;
    for (const FieldInfo& info : Fields) {
        const auto index = static_cast<std::size_t>(info.Which);
        auto* edit = new NumericEdit(info.Chars, this);
        edit->setObjectName(QLatin1String(info.ObjectName));
        edit->setMaximumWidth(100);
        auto* label = new QLabel(QString::fromUtf8(info.RotaryLabel), this);
        label->setBuddy(edit);
        m_edits[index] = edit;
        m_labels[index] = label;
        QLabel* unit = nullptr;
        if (info.Which == Field::InertiaOrMass) {
            unit = m_pInertiaUnit = new QLabel(this);
        } else if (info.Which == Field::Damping) {
            unit = new QLabel(QStringLiteral("(\u00b5Nm/rad/s)"), this);
        } else if (info.Which == Field::FeedbackResolution) {
            m_pFeedbackType = new QComboBox(this);
            m_pFeedbackType->setObjectName(QStringLiteral("feedbackTypeCombo"));
            m_pFeedbackType->setAccessibleName(QStringLiteral("Feedback Type"));
            for (const char* type : FeedbackTypes)
                m_pFeedbackType->addItem(QLatin1String(type));
            auto* typeLabel = new QLabel(QStringLiteral("Feedback &Type"), this);
            typeLabel->setBuddy(m_pFeedbackType);
            place(FeedbackRow, 0, typeLabel, m_pFeedbackType, nullptr);
            connect(m_pFeedbackType, &QComboBox::currentIndexChanged, this,
                    [this] { ORVEX_GUARDED([&] { ShowForFeedbackType(true); }); });
            m_pResolutionUnit = new QLabel(this);
            m_pResolutionUnit->setObjectName(QStringLiteral("resolutionUnit"));
            grid->addWidget(label, FeedbackRow + 1, 0);
            grid->addWidget(edit, FeedbackRow + 1, 1);
            grid->addWidget(m_pResolutionUnit, FeedbackRow + 1, 2, 1, 5);
            continue;
        }
        const int column = placed < RowsPerColumn ? 0 : 4;
        place(1 + placed % RowsPerColumn, column, label, edit, unit);
        ++placed;
    }
    m_pInvertHalls = new QCheckBox(QStringLiteral("Invert Hall Signals"), this);
    m_pInvertHalls->setObjectName(QStringLiteral("invertHallCheck"));
    grid->addWidget(m_pInvertHalls, FeedbackRow, 4, 1, 3);
    // Tab walks the feedback rows as they read: type, Hall box, resolution.
    setTabOrder(m_pFeedbackType, m_pInvertHalls);
    setTabOrder(m_pInvertHalls, Edit(Field::FeedbackResolution));
    grid->setColumnMinimumWidth(3, 16);
    grid->setColumnStretch(7, 1);
    Body()->addStretch(1);

    m_pValidateAll = new QPushButton(QStringLiteral("Validate All Motors"), this);
    m_pValidateAll->setObjectName(QStringLiteral("validateAllMotorsButton"));
    m_pValidateAll->setVisible(m_context.TestMode);
    connect(m_pValidateAll, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { ValidateAllMotors(); }); });
    Body()->addWidget(m_pValidateAll, 0, Qt::AlignLeft);
    AddButtonRow(true, QStringLiteral("&Next >"));
    ShowForPackage();
    ShowForFeedbackType(false);
}

bool CConfigWizardStep2Dlg::IsLinear() const
{
    return m_pPackage->currentText() == Linear;
}

void CConfigWizardStep2Dlg::ShowForPackage()
{
    const bool linear = IsLinear();
    m_workflow.State().Linear = linear;
    for (const FieldInfo& info : Fields) {
        const auto index = static_cast<std::size_t>(info.Which);
        const char* text = linear && info.LinearLabel ? info.LinearLabel : info.RotaryLabel;
        m_labels[index]->setText(QString::fromUtf8(text));
        m_edits[index]->setAccessibleName(QString::fromUtf8(text).trimmed());
    }
    m_pInertiaUnit->setText(linear ? QStringLiteral("(kg)") : QStringLiteral("(kgm\u00b2e-6)"));
    // The electrical pitch is a length in mm with decimals; pole pairs are a count.
    NumericEdit* pitch = Edit(Field::PolePairsOrPitch);
    pitch->setValidator(
        new NumericValidator(linear ? NumericChars::Decimal : NumericChars::Digits, pitch));
    ShowForFeedbackType(false);
}

void CConfigWizardStep2Dlg::ShowForFeedbackType(bool fromUser)
{
    const QString type = m_pFeedbackType->currentText();
    const bool counts = CountsWholeTurns(type);
    QString unit;
    if (IsLinear())
        unit = counts ? QStringLiteral("(counts/elec. pitch)")
                      : QStringLiteral("(post-quad pulses/elec. pitch)");
    else
        unit = counts ? QStringLiteral("(counts/rev)") : QStringLiteral("(post-quad pulses/rev)");
    m_pResolutionUnit->setText(unit);
    Edit(Field::FeedbackResolution)
        ->setAccessibleName(QStringLiteral("Feedback Resolution ") + unit);
    if (!fromUser)
        return;
    // The Hall signals only matter to encoders that commutate with them.
    if (HallsApply(type)) {
        m_pInvertHalls->setEnabled(true);
    } else {
        m_pInvertHalls->setChecked(false);
        m_pInvertHalls->setEnabled(false);
    }
    if (type == QLatin1String(MotorParameterCheck::Resolver))
        Edit(Field::FeedbackResolution)->setText(QStringLiteral("4096"));
}

void CConfigWizardStep2Dlg::SetPackage(bool linear)
{
    const QSignalBlocker quiet(m_pPackage);
    m_pPackage->setCurrentText(linear ? Linear : Rotary);
    ShowForPackage();
}

void CConfigWizardStep2Dlg::SetFeedbackType(const QString& type)
{
    const QSignalBlocker quiet(m_pFeedbackType);
    m_pFeedbackType->setCurrentText(type);
    ShowForFeedbackType(false);
}

void CConfigWizardStep2Dlg::EnableChoices(bool enable)
{
    m_pPackage->setEnabled(enable);
    m_pFeedbackType->setEnabled(enable);
}

MotorParameterCheck::Texts CConfigWizardStep2Dlg::Texts() const
{
    MotorParameterCheck::Texts texts;
    texts.Linear = IsLinear();
    texts.FeedbackType = m_pFeedbackType->currentText();
    texts.InvertHallSignals = m_pInvertHalls->isChecked();
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        texts.Fields[i] = m_edits[i]->text();
    return texts;
}

void CConfigWizardStep2Dlg::SetTexts(const MotorParameterCheck::Texts& texts)
{
    SetPackage(texts.Linear);
    SetFeedbackType(texts.FeedbackType);
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        m_edits[i]->setText(texts.Fields[i]);
    const bool halls = HallsApply(texts.FeedbackType);
    m_pInvertHalls->setEnabled(halls);
    m_pInvertHalls->setChecked(halls && texts.InvertHallSignals);
}

// --- The wizard's entry points ---

void CConfigWizardStep2Dlg::ResetToMotorDefaults()
{
    const WizardState& state = m_workflow.State();
    if (state.Series == QLatin1String(MotorChoice::OtherSeries)) {
        // A motor described by hand starts from nothing.
        SetTexts(MotorParameterCheck::Texts());
        EnableChoices(true);
        return;
    }
    // A motor the database does not have leaves the fields as they are.
    if (!state.Motor)
        return;
    SetTexts(MotorParameterCheck::FromMotor(*state.Motor));
    EnableChoices(false);
}

void CConfigWizardStep2Dlg::ResetToDefaults()
{
    ResetToMotorDefaults();
}

void CConfigWizardStep2Dlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    const WizardState& state = m_workflow.State();
    MotorParameterCheck::Texts texts;
    texts.Linear = config.MotorIsLinear() != 0;
    texts[Field::PolePairsOrPitch] =
        texts.Linear ? Decimal(config.ElectricalPitch()) : QString::number(config.MotorPolePairs());
    texts[Field::RatedSpeed] = Decimal(config.MotorRatedSpeed());
    texts[Field::InertiaOrMass] = Decimal(config.MotorInertia());
    texts[Field::Damping] = Decimal(config.MotorDamping());
    texts[Field::MotorThermalTimeConstant] = Decimal(config.MotorThermalTimeConstant());
    texts[Field::WindingThermalTimeConstant] = Decimal(config.WindingThermalTimeConstant());
    texts[Field::ThermalResistance] = Decimal(config.ThermalResistance());
    texts[Field::AmbientTemperature] = Decimal(config.AmbientTemperature());
    texts[Field::MaxWindingTemperature] = Decimal(config.MaxWindingTemperature());
    texts[Field::Ke] = Decimal(config.MotorKe());
    texts[Field::ContinuousCurrent] = Decimal(config.ContinuousCurrent());
    texts[Field::ContinuousCurrentDerating] = Decimal(config.ContinuousCurrentDerating());
    texts[Field::PeakCurrent] = Decimal(config.PeakCurrent());
    texts[Field::WindingResistance] = Decimal(config.WindingResistance());
    texts[Field::MaxInductance] = Decimal(config.MaxInductance());
    texts[Field::MinInductance] = Decimal(config.MaxInductance() * config.InductanceRatio());
    texts.FeedbackType = MotorParameterCheck::FeedbackTypeOfCode(state.FeedbackCode);
    texts[Field::FeedbackResolution] = QString::number(config.FeedbackResolution());
    texts.InvertHallSignals = config.InvertHallSignals() != 0;
    SetTexts(texts);
    EnableChoices(state.Series == QLatin1String(MotorChoice::OtherSeries));
}

bool CConfigWizardStep2Dlg::Validate()
{
    const MotorParameterCheck::Result result =
        MotorParameterCheck::Validate(Texts(), m_context.Limits);
    if (result.Ok)
        return true;
    NumericEdit* edit = Edit(result.Failed);
    ShowErrorMessage(m_context.Ui, FieldValidation::Caption, result.Message);
    FieldValidation::Flag(edit);
    edit->selectAll();
    edit->setFocus();
    return false;
}

void CConfigWizardStep2Dlg::WriteToConfig()
{
    if (m_pFeedbackType->currentText() == QLatin1String(MotorParameterCheck::Resolver))
        Edit(Field::FeedbackResolution)->setText(QStringLiteral("4096"));
    const MotorParameterCheck::Values v = MotorParameterCheck::ToValues(Texts());
    IOrvexConfig& config = m_context.Config;
    config.SetMotorIsLinear(v.MotorIsLinear);
    config.SetMotorPolePairs(v.MotorPolePairs);
    config.SetElectricalPitch(v.ElectricalPitch);
    config.SetMotorRatedSpeed(v.MotorRatedSpeed);
    config.SetMotorInertia(v.MotorInertia);
    config.SetMotorDamping(v.MotorDamping);
    config.SetMotorThermalTimeConstant(v.MotorThermalTimeConstant);
    config.SetWindingThermalTimeConstant(v.WindingThermalTimeConstant);
    config.SetThermalResistance(v.ThermalResistance);
    config.SetAmbientTemperature(v.AmbientTemperature);
    config.SetMaxWindingTemperature(v.MaxWindingTemperature);
    config.SetMotorKe(v.MotorKe);
    config.SetContinuousCurrent(v.ContinuousCurrent);
    config.SetContinuousCurrentDerating(v.ContinuousCurrentDerating);
    config.SetPeakCurrent(v.PeakCurrent);
    config.SetWindingResistance(v.WindingResistance);
    config.SetMaxInductance(v.MaxInductance);
    config.SetInductanceRatio(v.InductanceRatio);
    config.SetFeedbackAuxiliary(v.FeedbackAuxiliary);
    config.SetFeedbackResolution(v.FeedbackResolution);
    config.SetInvertHallSignals(v.InvertHallSignals);
}

// --- The page ---

void CConfigWizardStep2Dlg::OnSetActive()
{
    TWizardStepPage::OnSetActive();
    const WizardState& state = m_workflow.State();
    if (!MotorChoice::IsCustomFeedback(state.FeedbackCode, state.Series))
        return;
    // Feedback the database cannot describe: the user picks the device.
    const QString resolution = Edit(Field::FeedbackResolution)->text();
    if (resolution.trimmed().isEmpty() ||
        !m_context.Limits.Contains(ConfigFields::FeedbackResolution.Parameter,
                                   LeadingInteger(resolution))) {
        m_pFeedbackType->setEnabled(true);
        m_context.Ui.ShowMessage(
            QStringLiteral("Custom Feedback"),
            QStringLiteral(
                "Select Feedback Type and edit Feedback Resolution for your feedback device."));
    }
}

void CConfigWizardStep2Dlg::OnNext()
{
    if (!Validate())
        return;
    WriteToConfig();
    m_mainWindow.SetPage(PageId::ConfigWizardStep3);
}

void CConfigWizardStep2Dlg::OnBack()
{
    m_mainWindow.SetPage(PageId::ConfigWizardStep1);
}

int CConfigWizardStep2Dlg::ValidateAllMotors()
{
    const IOrvexMotorCollection* motors = m_context.MotorCollection;
    IWizardStep* step1 = m_workflow.Step(1);
    if (!motors || !step1 || m_validatingAll)
        return 0;
    m_validatingAll = true;
    m_pValidateAll->setEnabled(false);
    int failed = 0;
    const auto finish = qScopeGuard([&] {
        m_pHeading->setText(Heading);
        m_pValidateAll->setEnabled(true);
        m_validatingAll = false;
    });
    IOrvexConfig& config = m_context.Config;
    const int count = motors->Count();
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<IOrvexMotor> motor = motors->Item(i);
        if (!motor)
            continue;
        const QString part = motor->Field(MotorField::PartNumber);
        const QString winding = motor->Field(MotorField::CustomWinding);
        m_pHeading->setText(QStringLiteral("Validating Motor: %1 (%2)").arg(part, winding));
        config.SetMotorPartNumber(part);
        config.SetCustomWindingNumber(MotorChoice::CustomWindingNumber(winding));
        const MotorChoice::Cooling* cooling =
            MotorChoice::CoolingOfKey(motor->Field(MotorField::CoolingKey));
        config.SetCoolingCode(cooling ? cooling->Code : 0);
        step1->FillFromConfig();
        ResetToMotorDefaults();
        QCoreApplication::processEvents();
        if (!Validate())
            ++failed;
    }
    return failed;
}

} // namespace Orvex
