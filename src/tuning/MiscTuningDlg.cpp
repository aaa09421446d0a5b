#include "MiscTuningDlg.h"

#include "AppContext.h"
#include "CommandDatabase.h"
#include "ErrorReport.h"
#include "OrvexConfig.h"
#include "PositionSignalDlg.h"
#include "TorqueSignalDlg.h"
#include "UiServices.h"
#include "VelocitySignalDlg.h"
#include "WizardState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStringList>
#include <QVBoxLayout>

#include <utility>

namespace Orvex {

namespace {

const QString Normal = QStringLiteral("Normal");
const QString Reversed = QStringLiteral("Reversed");
const QString NotInverted = QStringLiteral("Not Inverted");
const QString Inverted = QStringLiteral("Inverted");

QString DirectionText(bool reversed)
{
    return reversed ? Reversed : Normal;
}

QString InversionText(bool inverted)
{
    return inverted ? Inverted : NotInverted;
}

// "a", "a and b", "a, b and c".
QString JoinedInWords(const QStringList& parts)
{
    if (parts.size() < 2)
        return parts.join(QString());
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           parts.last();
}

} // namespace

QString DescribeAlignment(const AlignmentValues& before, const AlignmentValues& after)
{
    QStringList changed;
    QStringList unchanged;
    const auto compare = [&](const QString& name, const QString& was, const QString& now) {
        if (was == now)
            unchanged << name;
        else
            changed << QStringLiteral("%1 changed from %2 to %3").arg(name, was, now);
    };
    compare(QStringLiteral("the hall sensor direction"), DirectionText(before.HallReversed),
            DirectionText(after.HallReversed));
    compare(QStringLiteral("the hall sensor inversion"), InversionText(before.HallInverted),
            InversionText(after.HallInverted));
    compare(QStringLiteral("the encoder offset"), QString::number(before.EncoderOffset),
            QString::number(after.EncoderOffset));
    compare(QStringLiteral("the encoder polarity"), DirectionText(before.EncoderReversed),
            DirectionText(after.EncoderReversed));
    if (changed.isEmpty())
        return QStringLiteral("Alignment finished: nothing changed, the hall sensors and the "
                              "encoder are as they were.");
    QString text = QStringLiteral("Alignment finished: ") + JoinedInWords(changed);
    if (!unchanged.isEmpty()) {
        text += QStringLiteral("; ") + JoinedInWords(unchanged) +
                (unchanged.size() == 1 ? QStringLiteral(" is unchanged")
                                       : QStringLiteral(" are unchanged"));
    }
    return text + QLatin1Char('.');
}

CMiscTuningDlg::CMiscTuningDlg(AppContext& context, IMainWindow& mainWindow,
                               IConfigWorkflow& workflow, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_tuning(context, mainWindow, workflow),
      m_link(context.Factory, context.Ui, QStringLiteral("Communications Server not created"))
{
    setObjectName(QStringLiteral("miscTuning"));
    // The panels of this page draw no graph.
    m_tuning.Redraw = [] {};
    BuildControls();
    ResetToDefaults();
    workflow.RegisterTuningPage(*this);
}

CMiscTuningDlg::~CMiscTuningDlg() = default;

void CMiscTuningDlg::BuildControls()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* alignment = new QGroupBox(QStringLiteral("Alignment Tuning"), this);
    alignment->setObjectName(QStringLiteral("alignmentGroup"));
    auto* grid = new QGridLayout(alignment);
    auto* align = new QPushButton(QStringLiteral("Align"), alignment);
    align->setObjectName(QStringLiteral("alignButton"));
    connect(align, &QPushButton::clicked, this, [this] { ORVEX_GUARDED([&] { Align(); }); });
    grid->addWidget(align, 0, 0);
    const std::array<std::pair<QLabel**, std::pair<const char*, QString>>, 4> values{{
        {&m_pHallDirection, {"hallDirectionLabel", QStringLiteral("Hall Sensor Direction")}},
        {&m_pHallInversion, {"hallInversionLabel", QStringLiteral("Hall Sensor Inversion")}},
        {&m_pEncoderOffset, {"encoderOffsetLabel", QStringLiteral("Encoder Offset")}},
        {&m_pEncoderPolarity, {"encoderPolarityLabel", QStringLiteral("Encoder Polarity")}},
    }};
    int row = 1;
    for (const auto& [label, info] : values) {
        *label = AddValueLabel(alignment, info.first, info.second);
        auto* caption = new QLabel(info.second, alignment);
        caption->setBuddy(*label);
        grid->addWidget(caption, row, 0);
        grid->addWidget(*label, row, 1);
        ++row;
    }
    m_pAlignmentResult = new QLabel(alignment);
    m_pAlignmentResult->setObjectName(QStringLiteral("alignmentResultLabel"));
    m_pAlignmentResult->setWordWrap(true);
    m_pAlignmentResult->setAccessibleName(QStringLiteral("Alignment Result"));
    m_pAlignmentResult->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                                Qt::TextSelectableByKeyboard);
    // What the last alignment changed, beside the values.
    grid->addWidget(m_pAlignmentResult, 1, 2, row - 1, 1, Qt::AlignTop);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(2, 200);
    outer->addWidget(alignment);

    m_pSignals = new QStackedWidget(this);
    m_pSignals->setObjectName(QStringLiteral("signalPlaceholder"));
    m_pTorque = new CTorqueSignalDlg(m_tuning, *this, m_pSignals);
    m_pPosition = new CPositionSignalDlg(m_tuning, *this, m_pSignals);
    m_pVelocity = new CVelocitySignalDlg(m_tuning, *this, m_pSignals);
    for (QWidget* panel : {static_cast<QWidget*>(m_pTorque), static_cast<QWidget*>(m_pPosition),
                           static_cast<QWidget*>(m_pVelocity)})
        m_pSignals->addWidget(panel);
    outer->addWidget(m_pSignals, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddButton("enableDriveButton", QStringLiteral("Enable Drive"),
                                 &CMiscTuningDlg::EnableDrive));
    buttons->addWidget(AddButton("disableDriveButton", QStringLiteral("Disable Drive"),
                                 &CMiscTuningDlg::DisableDrive));
    buttons->addWidget(
        AddButton("resetDriveButton", QStringLiteral("Reset Drive"), &CMiscTuningDlg::ResetDrive));
    buttons->addWidget(AddButton("saveConfigAsButton", QStringLiteral("Save Config As..."),
                                 &CMiscTuningDlg::SaveConfigAs));
    outer->addLayout(buttons);
}

QPushButton* CMiscTuningDlg::AddButton(const char* name, const QString& text,
                                       void (CMiscTuningDlg::*handler)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    connect(button, &QPushButton::clicked, this,
            [this, handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
    return button;
}

QLabel* CMiscTuningDlg::AddValueLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(caption);
    label->setMinimumWidth(110);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 0));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    // Reachable from the keyboard, so a screen reader can read the value.
    label->setFocusPolicy(Qt::TabFocus);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

// --- Panels and labels ---

TSignalPanel* CMiscTuningDlg::PanelForMode(int controlMode) const
{
    if (controlMode == WizardState::VelocityMode)
        return m_pVelocity;
    if (controlMode == WizardState::StepDirectionMode ||
        controlMode == WizardState::StepReversedDirectionMode)
        return m_pPosition;
    return m_pTorque;
}

TSignalPanel* CMiscTuningDlg::CurrentPanel() const
{
    return static_cast<TSignalPanel*>(m_pSignals->currentWidget());
}

void CMiscTuningDlg::ShowPanel(TSignalPanel* panel)
{
    m_pSignals->setCurrentWidget(panel);
}

void CMiscTuningDlg::ShowAlignment(const AlignmentValues& values)
{
    m_pHallDirection->setText(DirectionText(values.HallReversed));
    m_pHallInversion->setText(InversionText(values.HallInverted));
    m_pEncoderOffset->setText(QString::asprintf("%d", values.EncoderOffset));
    m_pEncoderPolarity->setText(DirectionText(values.EncoderReversed));
}

AlignmentValues CMiscTuningDlg::ShownAlignment() const
{
    AlignmentValues values;
    values.HallReversed = m_pHallDirection->text() != Normal;
    values.HallInverted = m_pHallInversion->text() != NotInverted;
    values.EncoderOffset = LeadingInteger(m_pEncoderOffset->text());
    values.EncoderReversed = m_pEncoderPolarity->text() != Normal;
    return values;
}

AlignmentValues CMiscTuningDlg::ConfigAlignment() const
{
    const IOrvexConfig& config = m_context.Config;
    AlignmentValues values;
    values.HallReversed = config.HallSensorDirection() != 0;
    values.HallInverted = config.InvertHallSignals() != 0;
    values.EncoderOffset = config.EncoderOffset();
    values.EncoderReversed = config.EncoderPolarity() != 0;
    return values;
}

void CMiscTuningDlg::FillFromConfig()
{
    TSignalPanel* panel = PanelForMode(m_context.Config.ControlMode());
    ShowPanel(panel);
    panel->FillFromConfiguration();
    ShowAlignment(ConfigAlignment());
    m_pAlignmentResult->clear();
}

void CMiscTuningDlg::ResetToDefaults()
{
    ShowPanel(m_pTorque);
    for (TSignalPanel* panel :
         {static_cast<TSignalPanel*>(m_pTorque), static_cast<TSignalPanel*>(m_pPosition),
          static_cast<TSignalPanel*>(m_pVelocity)})
        panel->SetDefaults();
    ShowAlignment(AlignmentValues{});
    m_pAlignmentResult->clear();
}

// --- The link ---

bool CMiscTuningDlg::SendLinkCommand(const QString& text)
{
    // The link is made at the first command and stays open between commands.
    return m_link.Open(m_mainWindow.SelectedPort(), true) && m_link.Send(text);
}

void CMiscTuningDlg::ReopenLink(int portNumber)
{
    m_link.Reopen(portNumber, true);
}

void CMiscTuningDlg::OnDestroyPage()
{
    if (std::exchange(m_destroyed, true))
        return;
    ORVEX_GUARDED([&] { m_link.Release(); });
}

// --- The page and the drive ---

void CMiscTuningDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(QStringLiteral("Miscellaneous Tuning"));
    // The page shows before the drive is asked anything.
    QMetaObject::invokeMethod(
        this, [this] { ORVEX_GUARDED([&] { Activate(); }); }, Qt::QueuedConnection);
}

void CMiscTuningDlg::Activate()
{
    if (!m_tuning.CheckDriveConnection())
        return;
    bool uploaded = false;
    m_tuning.RunDriveAction([&] {
        // Alignment and the signal settings need no enabled drive: an enable
        // input that is off or a fault only warns, and the configuration is
        // read all the same.
        if (!m_tuning.WarnDriveState())
            return;
        m_tuning.UploadConfiguration();
        uploaded = true;
    });
    if (!uploaded)
        return;
    m_tuning.Workflow.CheckConfigurationMatch();
    m_tuning.RunDriveAction([&] { FillFromConfig(); });
}

void CMiscTuningDlg::Align()
{
    // The drive runs the alignment in whatever state it is in; it refuses
    // itself when it cannot.
    const AlignmentValues before = ShownAlignment();
    AlignmentValues after;
    const bool aligned = m_tuning.RunDriveAction([&] {
        {
            const auto wait =
                m_context.Ui.ShowWait(QStringLiteral("Performing alignment operation..."));
            m_context.Config.AlignMotor();
        }
        after = ConfigAlignment();
    });
    if (!aligned) {
        m_pAlignmentResult->clear();
        return;
    }
    ShowAlignment(after);
    m_pAlignmentResult->setText(DescribeAlignment(before, after));
}

void CMiscTuningDlg::EnableDrive()
{
    if (!m_tuning.CheckDriveConnection())
        return;
    m_tuning.Workflow.CheckConfigurationMatch();
    m_tuning.SwitchDrive(true, [this] { return m_tuning.CheckDriveState(); });
}

void CMiscTuningDlg::DisableDrive()
{
    if (m_tuning.CheckDriveConnection())
        m_tuning.SwitchDrive(false);
}

void CMiscTuningDlg::ResetDrive()
{
    m_tuning.ResetDrive();
}

void CMiscTuningDlg::SaveConfigAs()
{
    TSignalPanel* panel = PanelForMode(m_context.Config.ControlMode());
    // The panel checked is the one on show, so the failing box can take the focus.
    ShowPanel(panel);
    if (!panel->Validate())
        return;
    const AlignmentValues alignment = ShownAlignment();
    m_tuning.SaveConfigurationAs([&] {
        IOrvexConfig& config = m_context.Config;
        panel->WriteToConfiguration();
        config.SetHallSensorDirection(alignment.HallReversed ? 1 : 0);
        config.SetInvertHallSignals(alignment.HallInverted ? 1 : 0);
        config.SetEncoderOffset(alignment.EncoderOffset);
        config.SetEncoderPolarity(alignment.EncoderReversed ? 1 : 0);
    });
}

} // namespace Orvex
