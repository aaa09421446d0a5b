#include "SignalPanel.h"

#include "AppContext.h"
#include "ErrorReport.h"
#include "OrvexConfig.h"
#include "TunerPage.h"
#include "UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace Orvex {

namespace {

// The analog input's zero reference is a voltage of the input's range.
constexpr double ZeroReferenceMinimum = 0.0;
constexpr double ZeroReferenceMaximum = 10.0;
constexpr int DeadbandParameter = 56;

QLabel* AddNote(QGridLayout* grid, int row, const QString& note)
{
    auto* label = new QLabel(note, grid->parentWidget());
    grid->addWidget(label, row, 2);
    return label;
}

} // namespace

TSignalPanel::TSignalPanel(TunerContext& tuning, ISignalCommands& commands, QWidget* parent)
    : QWidget(parent), m_tuning(tuning), m_commands(commands)
{}

bool TSignalPanel::Validate()
{
    const std::vector<FieldRule> rules = Rules();
    return FieldValidation::Run(m_tuning.Ui(), rules, m_tuning.App.Limits, m_linear);
}

NumericEdit* TSignalPanel::AddEdit(QGridLayout* grid, int row, const QString& label,
                                   NumericChars chars, const char* objectName, const QString& note,
                                   const char* command, QLabel** captionOut)
{
    auto* edit = new NumericEdit(chars, this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setMaximumWidth(110);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    edit->setAccessibleName(label);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    AddNote(grid, row, note);
    if (captionOut != nullptr)
        *captionOut = caption;
    if (command != nullptr) {
        // The text goes as typed: the drive checks it, the page checks only
        // what it saves.
        connect(edit, &QLineEdit::returnPressed, this, [this, edit, command] {
            ORVEX_GUARDED([&] {
                m_commands.SendLinkCommand(QString::fromLatin1(command).arg(edit->text()));
            });
        });
    }
    return edit;
}

void TSignalPanel::AddDirection(QGridLayout* grid, int row)
{
    m_pDirection = new QComboBox(this);
    m_pDirection->setObjectName(QStringLiteral("directionCombo"));
    const QString label = QStringLiteral("Set Commanded Direction");
    m_pDirection->setAccessibleName(label);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(m_pDirection);
    grid->addWidget(caption, row, 0);
    grid->addWidget(m_pDirection, row, 1);
    AddNote(grid, row, ActiveOnSelection);
    // Only the user's choice is sent, not the page filling the box.
    connect(m_pDirection, &QComboBox::activated, this, [this](int index) {
        ORVEX_GUARDED([&] {
            m_commands.SendLinkCommand(index == 0 ? QStringLiteral("CMDDIR 0\r")
                                                  : QStringLiteral("CMDDIR 1\r"));
        });
    });
}

void TSignalPanel::ShowDirection(bool linear, int index)
{
    m_pDirection->clear();
    if (linear) {
        m_pDirection->addItems({QStringLiteral("Move Default Direction for Positive Command"),
                                QStringLiteral("Move Opposite Direction for Positive Command")});
    } else {
        m_pDirection->addItems({QStringLiteral("Move CW for Positive Command"),
                                QStringLiteral("Move CCW for Positive Command")});
    }
    m_pDirection->setCurrentIndex(index);
}

// --- Torque and velocity ---

TAnalogSignalPanel::TAnalogSignalPanel(TunerContext& tuning, ISignalCommands& commands,
                                       Scaling scaling, QWidget* parent)
    : TSignalPanel(tuning, commands, parent), m_scaling(std::move(scaling))
{
    auto* grid = new QGridLayout(this);
    m_pZeroReference = AddEdit(grid, 0, m_scaling.ZeroReferenceLabel, NumericChars::Decimal,
                               "zeroReferenceEdit", ActiveOnEnter, "DCMDZ=%1\r");
    m_pZeroReference->setReadOnly(true);
    m_pSetZero = new QPushButton(QStringLiteral("Set Zero Reference"), this);
    m_pSetZero->setObjectName(QStringLiteral("setZeroReferenceButton"));
    grid->addWidget(m_pSetZero, 1, 1);
    connect(m_pSetZero, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { SetZeroReference(); }); });

    m_pDeadband =
        AddEdit(grid, 2, QStringLiteral("Set Analog Center Deadband Voltage (V)"),
                NumericChars::Decimal, "deadbandEdit", ActiveOnEnterAndReset, "ANICDB %1\r");
    m_pScaling = AddEdit(grid, 3, m_scaling.RotaryLabel, NumericChars::Decimal, "scalingEdit",
                         ActiveOnEnterAndReset, m_scaling.Command, &m_pScalingLabel);
    m_pScalingLabel->setObjectName(QStringLiteral("scalingLabel"));
    AddDirection(grid, 4);

    m_pInvert = new QCheckBox(QStringLiteral("Invert Analog Input"), this);
    m_pInvert->setObjectName(QStringLiteral("invertAnalogInputCheck"));
    grid->addWidget(m_pInvert, 5, 0, 1, 2);
    AddNote(grid, 5, ActiveOnSelection);
    connect(m_pInvert, &QCheckBox::clicked, this, [this](bool ticked) {
        ORVEX_GUARDED([&] {
            m_commands.SendLinkCommand(ticked ? QStringLiteral("IANI 1\r")
                                              : QStringLiteral("IANI 0\r"));
        });
    });
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);
}

void TAnalogSignalPanel::ShowScalingLabel()
{
    m_pScalingLabel->setText(m_linear ? m_scaling.LinearLabel : m_scaling.RotaryLabel);
    m_pScaling->setAccessibleName(m_pScalingLabel->text());
}

void TAnalogSignalPanel::SetDefaults()
{
    m_linear = false;
    m_pZeroReference->setText(QStringLiteral("0.000"));
    m_pDeadband->setText(QStringLiteral("0.04"));
    m_pScaling->setText(m_scaling.Default);
    m_pInvert->setChecked(false);
    ShowDirection(false, 0);
    ShowScalingLabel();
}

void TAnalogSignalPanel::FillFromConfiguration()
{
    const IOrvexConfig& config = m_tuning.Config();
    m_linear = config.MotorIsLinear() != 0;
    m_pZeroReference->SetDecimal(config.ZeroReferenceVoltage(), 3);
    m_pDeadband->SetDecimal(config.AnalogCenterDeadband());
    m_pScaling->SetDecimal(ScalingOf());
    m_pInvert->setChecked(config.InvertAnalogInput());
    ShowDirection(m_linear, config.CommandDirection());
    ShowScalingLabel();
}

std::vector<FieldRule> TAnalogSignalPanel::Rules() const
{
    FieldRule deadband;
    deadband.Edit = m_pDeadband;
    deadband.Parameter = DeadbandParameter;
    deadband.Message = "Analog Center Deadband Voltage must be between %.2lf and %.2lf volts";
    FieldRule zero;
    zero.Edit = m_pZeroReference;
    zero.Minimum = ZeroReferenceMinimum;
    zero.Maximum = ZeroReferenceMaximum;
    zero.Message = "Zero Reference Voltage must be between %.3lf and %.3lf volts";
    FieldRule scaling;
    scaling.Edit = m_pScaling;
    scaling.Parameter = m_scaling.Parameter;
    scaling.Message = m_scaling.Message;
    scaling.LinearMessage = m_scaling.LinearMessage;
    return {deadband, zero, scaling};
}

void TAnalogSignalPanel::WriteToConfiguration()
{
    IOrvexConfig& config = m_tuning.Config();
    config.SetCommandDirection(DirectionCombo()->currentIndex());
    config.SetAnalogCenterDeadband(static_cast<float>(m_pDeadband->Decimal()));
    config.SetInvertAnalogInput(m_pInvert->isChecked());
    config.SetZeroReferenceVoltage(static_cast<float>(m_pZeroReference->Decimal()));
    SetScalingOf(static_cast<float>(m_pScaling->Decimal()));
}

void TAnalogSignalPanel::SetZeroReference()
{
    if (!m_tuning.CheckDriveConnection())
        return;
    // The drive's answer is only read back when the command went out.
    if (!m_commands.SendLinkCommand(QStringLiteral("DCMDZ\r")))
        return;
    m_tuning.RunDriveAction([this] {
        m_tuning.Ui().Pause(ZeroReferencePauseMs);
        m_pZeroReference->SetDecimal(m_tuning.Config().ReadZeroReference(), 3);
    });
}

} // namespace Orvex
