#include "NotchTuningDlg.h"

#include "AppContext.h"
#include "CommandDatabase.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "NumSpinCtrl.h"
#include "OrvexConfig.h"
#include "UiServices.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orvex {

namespace {

using NotchFilters::Kind;
using NotchFilters::Row;

const QString NotchTuningTitle = QStringLiteral("Notch Filter Tuning");
const QString LeadLagMessage =
    QStringLiteral("Lead Break Frequency must be <= 4 * Lag Break Frequency");

bool InNotchDeadBand(double value)
{
    return value >= 1.0 && value <= 59.0;
}
bool InLeadDeadBand(double value)
{
    return value >= 1.0 && value <= 79.0;
}
bool InLagDeadBand(double value)
{
    return value >= 1.0 && value <= 19.0;
}

// The object name of a row's box: "notch1DepthSpin", "leadFrequencySpin".
QString SpinName(Row row)
{
    switch (row) {
    case Row::DepthA:
        return QStringLiteral("notch1DepthSpin");
    case Row::FrequencyA:
        return QStringLiteral("notch1FrequencySpin");
    case Row::QualityA:
        return QStringLiteral("notch1QualitySpin");
    case Row::DepthB:
        return QStringLiteral("notch2DepthSpin");
    case Row::FrequencyB:
        return QStringLiteral("notch2FrequencySpin");
    case Row::QualityB:
        return QStringLiteral("notch2QualitySpin");
    case Row::Lead:
        return QStringLiteral("leadFrequencySpin");
    case Row::Lag:
        break;
    }
    return QStringLiteral("lagFrequencySpin");
}

QString TextOf(const NumSpinCtrl* spin)
{
    return FieldValidation::TextOf(spin);
}

} // namespace

CNotchTuningDlg::CNotchTuningDlg(AppContext& context, IMainWindow& mainWindow,
                                 IConfigWorkflow& workflow, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_tuning(context, mainWindow, workflow),
      m_link(context.Factory, context.Ui, QStringLiteral("Communications Server not created"))
{
    setObjectName(QStringLiteral("notchTuning"));
    BuildControls();
    ResetToDefaults();
    workflow.RegisterTuningPage(*this);
}

CNotchTuningDlg::~CNotchTuningDlg() = default;

void CNotchTuningDlg::BuildControls()
{
    auto* outer = new QVBoxLayout(this);

    auto* groups = new QHBoxLayout;
    QGroupBox* group = nullptr;
    QGridLayout* grid = nullptr;
    int line = 0;
    for (const NotchFilters::RowInfo& info : NotchFilters::Rows()) {
        const QString groupTitle = QString::fromLatin1(info.Group);
        if (!group || group->title() != groupTitle) {
            group = new QGroupBox(groupTitle, this);
            grid = new QGridLayout(group);
            groups->addWidget(group);
            line = 0;
        }
        const NumericChars chars =
            info.Type == Kind::Frequency ? NumericChars::Digits : NumericChars::Decimal;
        auto* spin =
            new NumSpinCtrl(chars, {info.Minimum, info.Maximum, info.Step, info.Format}, group);
        const Row row = info.Id;
        spin->setObjectName(SpinName(row));
        spin->setAccessibleName(groupTitle + QLatin1Char(' ') + QString::fromLatin1(info.Label));
        spin->SetStepSnap([row](double stepped, int steps) {
            return NotchFilters::SnapStepped(row, stepped, steps);
        });
        auto* label = new QLabel(QString::fromLatin1(info.Label), group);
        label->setBuddy(spin);
        auto* star = new QLabel(QStringLiteral("*"), group);
        star->setStyleSheet(QStringLiteral("color: red;"));
        star->setAccessibleName(QStringLiteral("Active on Enter and on spin"));
        grid->addWidget(label, line, 0);
        grid->addWidget(spin, line, 1);
        grid->addWidget(star, line, 2);
        ++line;
        m_spins[static_cast<std::size_t>(row)] = spin;
        connect(spin, &NumSpinCtrl::EnterReleased, this,
                [this, row] { ORVEX_GUARDED([&] { EnterAction(row); }); });
        connect(spin, &NumSpinCtrl::Stepped, this,
                [this, row] { ORVEX_GUARDED([&] { SpinAction(row); }); });
    }
    // The lead/lag rule sits under its group's boxes.
    auto* note = new QLabel(
        QStringLiteral("Note:  Lead Break Frequency must be <= 4 * Lag Break Frequency"), group);
    note->setObjectName(QStringLiteral("leadLagNote"));
    note->setStyleSheet(QStringLiteral("color: blue;"));
    note->setWordWrap(true);
    grid->addWidget(note, line, 0, 1, 3);
    outer->addLayout(groups);

    auto* footnote = new QLabel(QStringLiteral("* Edit controls are active on Enter key, and spin "
                                               "controls are active on up/down selections"),
                                this);
    footnote->setObjectName(QStringLiteral("activeFootnote"));
    footnote->setStyleSheet(QStringLiteral("color: red;"));
    footnote->setWordWrap(true);
    outer->addWidget(footnote);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddButton("enableDriveButton", QStringLiteral("Enable Drive"),
                                 &CNotchTuningDlg::EnableDrive));
    buttons->addWidget(AddButton("disableDriveButton", QStringLiteral("Disable Drive"),
                                 &CNotchTuningDlg::DisableDrive));
    buttons->addWidget(
        AddButton("resetDriveButton", QStringLiteral("Reset Drive"), &CNotchTuningDlg::ResetDrive));
    buttons->addWidget(AddButton("saveConfigAsButton", QStringLiteral("Save Config As..."),
                                 &CNotchTuningDlg::SaveConfigAs));
    outer->addLayout(buttons);
    outer->addStretch(1);
}

QPushButton* CNotchTuningDlg::AddButton(const char* name, const QString& text,
                                        void (CNotchTuningDlg::*handler)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    // Enter in a box sends its value; it never presses a button.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this,
            [this, handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
    return button;
}

// --- The page and the configuration ---

void CNotchTuningDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(NotchTuningTitle);
    // The page shows before the drive is asked anything.
    QMetaObject::invokeMethod(
        this, [this] { ORVEX_GUARDED([&] { Load(); }); }, Qt::QueuedConnection);
}

void CNotchTuningDlg::OnDestroyPage()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    ORVEX_GUARDED([&] { m_link.Release(); });
}

void CNotchTuningDlg::ReopenLink(int portNumber)
{
    m_link.Reopen(portNumber, true);
}

void CNotchTuningDlg::Load()
{
    if (!m_tuning.CheckDriveConnection())
        return;
    bool loaded = false;
    m_tuning.RunDriveAction([&] {
        if (!m_tuning.WarnDriveState())
            return;
        m_tuning.UploadConfiguration();
        loaded = true;
    });
    if (loaded)
        FillFromConfig();
}

void CNotchTuningDlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    Spin(Row::DepthA)->SetValue(config.NotchADepth());
    Spin(Row::FrequencyA)->SetValue(config.NotchAFrequency());
    Spin(Row::QualityA)->SetValue(config.NotchAQuality());
    Spin(Row::DepthB)->SetValue(config.NotchBDepth());
    Spin(Row::FrequencyB)->SetValue(config.NotchBFrequency());
    Spin(Row::QualityB)->SetValue(config.NotchBQuality());
    Spin(Row::Lead)->SetValue(config.NotchLeadFrequency());
    Spin(Row::Lag)->SetValue(config.NotchLagFrequency());
}

void CNotchTuningDlg::ResetToDefaults()
{
    for (const NotchFilters::RowInfo& info : NotchFilters::Rows())
        Spin(info.Id)->SetValue(info.Initial);
}

void CNotchTuningDlg::StoreToConfig()
{
    IOrvexConfig& config = m_context.Config;
    const auto decimal = [this](Row row) { return static_cast<float>(Spin(row)->Value()); };
    const auto integer = [this](Row row) { return LeadingInteger(TextOf(Spin(row))); };
    config.SetNotchADepth(decimal(Row::DepthA));
    config.SetNotchAFrequency(integer(Row::FrequencyA));
    config.SetNotchAQuality(decimal(Row::QualityA));
    config.SetNotchBDepth(decimal(Row::DepthB));
    config.SetNotchBFrequency(integer(Row::FrequencyB));
    config.SetNotchBQuality(decimal(Row::QualityB));
    config.SetNotchLeadFrequency(integer(Row::Lead));
    config.SetNotchLagFrequency(integer(Row::Lag));
}

// --- Sending values ---

void CNotchTuningDlg::EnterAction(Row row)
{
    NumSpinCtrl* spin = Spin(row);
    const NotchFilters::RowInfo& info = NotchFilters::Info(row);
    if (info.Type == Kind::Depth) {
        SendCommand(NotchFilters::TypedDepthCommand(row, TextOf(spin)));
        return;
    }
    const double typed = spin->Value();
    const double value = NotchFilters::SnapEntered(row, typed);
    if (value != typed)
        spin->SetValue(value);
    if ((row == Row::Lead || row == Row::Lag) && !LeadLagAccepted())
        return;
    SendCommand(NotchFilters::ValueCommand(row, value));
}

void CNotchTuningDlg::SpinAction(Row row)
{
    // The spin control has already moved the value across a dead band.
    if ((row == Row::Lead || row == Row::Lag) && !LeadLagAccepted())
        return;
    SendCommand(NotchFilters::ValueCommand(row, Spin(row)->Value()));
}

bool CNotchTuningDlg::LeadLagAccepted()
{
    if (NotchFilters::LeadLagHolds(Spin(Row::Lead)->Value(), Spin(Row::Lag)->Value()))
        return true;
    ShowErrorMessage(m_context.Ui, FieldValidation::Caption, LeadLagMessage);
    return false;
}

void CNotchTuningDlg::SendCommand(const QString& command)
{
    if (m_link.Open(m_mainWindow.SelectedPort(), true))
        m_link.Send(command);
}

// --- Checks and drive actions ---

bool CNotchTuningDlg::Validate()
{
    const std::array<FieldRule, NotchFilters::RowCount> rules{{
        {Spin(Row::DepthA), 72, 0, 0,
         "Notch Filter #1 Depth must be between %.4lf (disabled) and %.4lf", nullptr, false,
         nullptr},
        {Spin(Row::FrequencyA), 74, 0, 0,
         "Notch Filter #1 Frequency must be %.0lf (disabled) or between 60 and %.0lf", nullptr,
         true, InNotchDeadBand},
        {Spin(Row::QualityA), 75, 0, 0,
         "Notch Filter #1 Quality Factor must be between %.2lf and %.2lf", nullptr, false, nullptr},
        {Spin(Row::DepthB), 77, 0, 0,
         "Notch Filter #2 Depth must be between %.4lf (disabled) and %.4lf", nullptr, false,
         nullptr},
        {Spin(Row::FrequencyB), 79, 0, 0,
         "Notch Filter #2 Frequency must be %.0lf (disabled) or between 60 and %.0lf", nullptr,
         true, InNotchDeadBand},
        {Spin(Row::QualityB), 80, 0, 0,
         "Notch Filter #2 Quality Factor must be between %.2lf and %.2lf", nullptr, false, nullptr},
        {Spin(Row::Lead), 82, 0, 0,
         "Notch Lead Filter Frequency must be %.0lf (disabled) or between 80 and %.0lf", nullptr,
         true, InLeadDeadBand},
        {Spin(Row::Lag), 83, 0, 0,
         "Notch Lag Filter Frequency must be %.0lf (disabled) or between 20 and %.0lf", nullptr,
         true, InLagDeadBand},
    }};
    if (!FieldValidation::Run(m_context.Ui, rules, m_context.Limits))
        return false;
    NumSpinCtrl* lead = Spin(Row::Lead);
    if (NotchFilters::LeadLagHolds(LeadingInteger(TextOf(lead)),
                                   LeadingInteger(TextOf(Spin(Row::Lag)))))
        return true;
    ShowErrorMessage(m_context.Ui, FieldValidation::Caption,
                     QStringLiteral("Notch Lead Filter Frequency must be less than or equal to 4 "
                                    "times the Notch Lag Filter Frequency"));
    FieldValidation::Flag(lead);
    lead->selectAll();
    lead->setFocus();
    return false;
}

void CNotchTuningDlg::EnableDrive()
{
    if (m_tuning.CheckDriveConnection())
        m_tuning.SwitchDrive(true, [this] { return m_tuning.CheckDriveState(); });
}

void CNotchTuningDlg::DisableDrive()
{
    if (m_tuning.CheckDriveConnection())
        m_tuning.SwitchDrive(false);
}

void CNotchTuningDlg::ResetDrive()
{
    m_tuning.ResetDrive();
}

void CNotchTuningDlg::SaveConfigAs()
{
    if (!Validate())
        return;
    m_tuning.SaveConfigurationAs([this] { StoreToConfig(); });
}

} // namespace Orvex
