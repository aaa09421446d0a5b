#include "ConfigWizardStep1Dlg.h"

#include "AppContext.h"
#include "ComponentError.h"
#include "ConfigDifferencesView.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "MotorDatabase.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "UiServices.h"
#include "WizardState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString LoadPathKey = QStringLiteral("Communications/LoadPath");
const QString KvtFilter = QStringLiteral("Orvex Configuration Files(*.kvt)|*.kvt||");

int Index(CConfigWizardStep1Dlg::List list)
{
    return static_cast<int>(list);
}

} // namespace

CConfigWizardStep1Dlg::CConfigWizardStep1Dlg(AppContext& context, IMainWindow& mainWindow,
                                             IConfigWorkflow& workflow, QWidget* parent)
    : TWizardStepPage(1, context, mainWindow, workflow, parent)
{
    setObjectName(QStringLiteral("configWizardStep1"));
    BuildControls();
    ResetToDefaults();
    m_workflow.State().SetLoadPath(context.Settings.value(LoadPathKey).toString());
}

void CConfigWizardStep1Dlg::BuildControls()
{
    m_pProfileTitle = new QLabel(this);
    m_pProfileTitle->setObjectName(QStringLiteral("profileTitle"));
    QFont bold = m_pProfileTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_pProfileTitle->setFont(bold);
    Body()->addWidget(m_pProfileTitle);

    auto* source = new QHBoxLayout;
    const auto addButton = [this, source](const char* name, const QString& text, auto handler) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this,
                [this, handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
        source->addWidget(button);
    };
    addButton("createNewButton", QStringLiteral("Create New Configuration"),
              &CConfigWizardStep1Dlg::CreateNewConfiguration);
    addButton("openFileButton", QStringLiteral("Open Configuration File..."),
              &CConfigWizardStep1Dlg::OpenConfigurationFile);
    addButton("getFromDriveButton", QStringLiteral("Get Configuration From Drive"),
              &CConfigWizardStep1Dlg::GetConfigurationFromDrive);
    addButton("compareWithDriveButton", QStringLiteral("Compare with Drive..."),
              &CConfigWizardStep1Dlg::CompareWithDrive);
    source->addStretch(1);
    Body()->addLayout(source);

    auto* motor = new QGroupBox(QStringLiteral("Motor"), this);
    motor->setObjectName(QStringLiteral("motorGroup"));
    auto* grid = new QGridLayout(motor);
    struct Column
    {
        List Which;
        const char* Name;
        const char* Caption;
        const char* Mnemonic;
    };
    // One column per code of the part number, in the order they are read.
    const Column columns[] = {
        {List::Series, "seriesCombo", "Series", "&Series"},
        {List::Frame, "frameCombo", "Frame", "F&rame"},
        {List::Stack, "stackCombo", "Stack", "S&tack"},
        {List::Winding, "windingCombo", "Winding", "&Winding"},
        {List::Feedback, "feedbackCombo", "Feedback", "&Feedback"},
    };
    int column = 0;
    for (const Column& c : columns) {
        QComboBox* combo = AddCombo(c.Which, c.Name, QLatin1String(c.Caption), motor);
        auto* label = new QLabel(QLatin1String(c.Mnemonic), motor);
        label->setBuddy(combo);
        m_labels[Index(c.Which)] = label;
        grid->addWidget(label, 0, column);
        grid->addWidget(combo, 1, column);
        ++column;
    }
    m_pSeparator = new QLabel(QStringLiteral("-"), motor);
    m_pSeparator->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_pSeparator, 1, column++);
    QComboBox* custom = AddCombo(List::Custom, "customCombo", QStringLiteral("Custom"), motor);
    auto* customLabel = new QLabel(QStringLiteral("C&ustom"), motor);
    customLabel->setBuddy(custom);
    m_labels[Index(List::Custom)] = customLabel;
    grid->addWidget(customLabel, 0, column);
    grid->addWidget(custom, 1, column);
    // The base series takes the custom part's place: only one of them shows.
    QComboBox* base =
        AddCombo(List::BaseSeries, "baseSeriesCombo", QStringLiteral("Base Series"), motor);
    auto* baseLabel = new QLabel(QStringLiteral("&Base Series"), motor);
    baseLabel->setBuddy(base);
    m_labels[Index(List::BaseSeries)] = baseLabel;
    grid->addWidget(baseLabel, 0, column + 1);
    grid->addWidget(base, 1, column + 1);
    grid->setColumnStretch(column + 2, 1);

    QComboBox* winding = AddCombo(List::CustomWindingNumber, "customWindingNumberCombo",
                                  QStringLiteral("Custom Winding Number"), motor);
    auto* windingLabel = new QLabel(QStringLiteral("Custom Winding Number"), motor);
    m_labels[Index(List::CustomWindingNumber)] = windingLabel;
    windingLabel->hide();
    winding->hide();

    QComboBox* cooling =
        AddCombo(List::Cooling, "coolingCombo", QStringLiteral("Select Cooling Method"), motor);
    auto* coolingLabel = new QLabel(QStringLiteral("Select &Cooling Method"), motor);
    coolingLabel->setBuddy(cooling);
    m_labels[Index(List::Cooling)] = coolingLabel;
    grid->addWidget(coolingLabel, 2, 0, 1, 2);
    grid->addWidget(cooling, 3, 0, 1, 2);

    m_pUserPartNumberLabel = new QLabel(QStringLiteral("User &Defined Part Number"), motor);
    m_pUserPartNumber = new QLineEdit(motor);
    m_pUserPartNumber->setObjectName(QStringLiteral("userPartNumberEdit"));
    m_pUserPartNumber->setAccessibleName(QStringLiteral("User Defined Part Number"));
    m_pUserPartNumber->setMaxLength(UserPartNumberMaxLength);
    m_pUserPartNumberLabel->setBuddy(m_pUserPartNumber);
    grid->addWidget(m_pUserPartNumberLabel, 4, 0, 1, 2);
    grid->addWidget(m_pUserPartNumber, 5, 0, 1, 3);
    connect(m_pUserPartNumber, &QLineEdit::textChanged, this,
            [this] { ORVEX_GUARDED([&] { UserPartNumberChanged(); }); });

    m_pPartNumber = new QLabel(motor);
    m_pPartNumber->setObjectName(QStringLiteral("partNumberLabel"));
    m_pPartNumber->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_pPartNumber, 6, 0, 1, 6);
    Body()->addWidget(motor);

    m_pAdvanced = new QCheckBox(
        QStringLiteral("I want to edit the mechanical and electrical parameters for my motor "
                       "(Advanced)"),
        this);
    m_pAdvanced->setObjectName(QStringLiteral("advancedCheck"));
    Body()->addWidget(m_pAdvanced);
    m_pResetOnNext =
        new QCheckBox(QStringLiteral("On Next Reset Configuration to Default Values"), this);
    m_pResetOnNext->setObjectName(QStringLiteral("resetOnNextCheck"));
    Body()->addWidget(m_pResetOnNext);
    auto* note = new QLabel(QStringLiteral("Note:  Changing the motor part number or cooling "
                                           "method will\nreset the fields in subsequent steps "
                                           "to their default values."),
                            this);
    note->setObjectName(QStringLiteral("resetNote"));
    Body()->addWidget(note);
    Body()->addStretch(1);
    AddButtonRow(false, QStringLiteral("&Next"));

    using Handler = void (CConfigWizardStep1Dlg::*)();
    const std::pair<List, Handler> handlers[] = {
        {List::Series, &CConfigWizardStep1Dlg::SeriesChanged},
        {List::Frame, &CConfigWizardStep1Dlg::FrameChanged},
        {List::Stack, &CConfigWizardStep1Dlg::StackChanged},
        {List::Winding, &CConfigWizardStep1Dlg::WindingChanged},
        {List::Feedback, &CConfigWizardStep1Dlg::FeedbackChanged},
        {List::Custom, &CConfigWizardStep1Dlg::CustomChanged},
        {List::BaseSeries, &CConfigWizardStep1Dlg::BaseSeriesChanged},
        {List::Cooling, &CConfigWizardStep1Dlg::CoolingChanged},
    };
    for (const auto& [list, handler] : handlers) {
        connect(Combo(list), &QComboBox::currentIndexChanged, this,
                [this, handler = handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
    }
}

QComboBox* CConfigWizardStep1Dlg::AddCombo(List list, const char* objectName,
                                           const QString& caption, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(objectName));
    combo->setAccessibleName(caption);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_combos[Index(list)] = combo;
    return combo;
}

QString CConfigWizardStep1Dlg::Selected(List list) const
{
    return Combo(list)->currentText();
}

bool CConfigWizardStep1Dlg::IsOther() const
{
    return Selected(List::Series) == QLatin1String(MotorChoice::OtherSeries);
}

void CConfigWizardStep1Dlg::Fill(List list, const QStringList& entries)
{
    QComboBox* combo = Combo(list);
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(entries.isEmpty() ? -1 : 0);
}

bool CConfigWizardStep1Dlg::Select(List list, const QString& text)
{
    QComboBox* combo = Combo(list);
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index);
    return true;
}

MotorChoice::Codes CConfigWizardStep1Dlg::Codes() const
{
    return {Selected(List::Series),  Selected(List::Frame),    Selected(List::Stack),
            Selected(List::Winding), Selected(List::Feedback), Selected(List::BaseSeries)};
}

QString CConfigWizardStep1Dlg::PartNumber() const
{
    return MotorChoice::PartNumber(Codes(), m_pUserPartNumber->text());
}

// --- The cascade ---

void CConfigWizardStep1Dlg::FillSeries()
{
    QStringList series;
    if (m_context.MotorServer)
        series = m_context.MotorServer->ListSeries();
    series << QLatin1String(MotorChoice::OtherSeries);
    Fill(List::Series, series);
    Select(List::Series, QStringLiteral("BE"));
}

void CConfigWizardStep1Dlg::RefillFrames()
{
    const IOrvexMotorServer* server = m_context.MotorServer;
    Fill(List::Frame, server ? server->ListFrames(Selected(List::Series)) : QStringList());
}

void CConfigWizardStep1Dlg::RefillStacks()
{
    const IOrvexMotorServer* server = m_context.MotorServer;
    Fill(List::Stack, server ? server->ListStacks(Selected(List::Series), Selected(List::Frame))
                             : QStringList());
}

void CConfigWizardStep1Dlg::RefillWindings()
{
    const IOrvexMotorServer* server = m_context.MotorServer;
    Fill(List::Winding, server ? server->ListWindings(Selected(List::Series), Selected(List::Frame),
                                                      Selected(List::Stack))
                               : QStringList());
}

void CConfigWizardStep1Dlg::RefillFeedbacks()
{
    const IOrvexMotorServer* server = m_context.MotorServer;
    Fill(List::Feedback, server
                             ? server->ListFeedbacks(Selected(List::Series), Selected(List::Frame),
                                                     Selected(List::Stack), Selected(List::Winding))
                             : QStringList());
    if (Combo(List::Feedback)->count() > 0)
        RefillCustomWindings();
    ShowCustomRows();
}

void CConfigWizardStep1Dlg::RefillCustomWindings()
{
    Fill(List::CustomWindingNumber, {});
    Fill(List::Custom, {});
    Fill(List::BaseSeries, {});
    const IOrvexMotorServer* server = m_context.MotorServer;
    if (!server)
        return;
    QStringList names;
    QStringList customs;
    QStringList bases;
    for (const QString& name : server->ListCustomWindings(PartNumber())) {
        names << name;
        if (const QString custom = server->CustomPartOfWinding(name); !custom.isEmpty())
            customs << custom;
        const QString base = server->BaseSeriesOfWinding(name);
        if (!base.isEmpty() && !bases.contains(base))
            bases << base;
    }
    Fill(List::CustomWindingNumber, names);
    Fill(List::Custom, customs);
    Fill(List::BaseSeries, bases);
}

void CConfigWizardStep1Dlg::RefillCoolings()
{
    const QString part = PartNumber();
    QStringList keys;
    if (m_context.MotorServer && !part.isEmpty())
        keys = m_context.MotorServer->ListCoolings(part);
    QComboBox* combo = Combo(List::Cooling);
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const QString& key : keys) {
        // A key the drive does not know is not offered.
        if (const MotorChoice::Cooling* cooling = MotorChoice::CoolingOfKey(key))
            combo->addItem(QLatin1String(cooling->Name), key);
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    const int preferred = combo->findData(MotorChoice::DefaultCoolingKey(part));
    if (preferred >= 0)
        combo->setCurrentIndex(preferred);
}

void CConfigWizardStep1Dlg::RefillBelowSeries()
{
    RefillFrames();
    RefillStacks();
    RefillWindings();
    RefillFeedbacks();
    RefillCoolings();
}

// --- What is shown ---

void CConfigWizardStep1Dlg::ShowForSeries()
{
    const bool other = IsOther();
    for (List list : {List::Frame, List::Stack, List::Winding, List::Feedback, List::Cooling}) {
        Combo(list)->setVisible(!other);
        m_labels[Index(list)]->setVisible(!other);
    }
    m_pUserPartNumberLabel->setVisible(other);
    m_pUserPartNumber->setVisible(other);
    // Every "Other" motor is described by hand in step 2.
    m_pAdvanced->setChecked(other);
    m_pAdvanced->setVisible(!other);
    ShowCustomRows();
}

void CConfigWizardStep1Dlg::ShowCustomRows()
{
    const MotorChoice::Codes codes = Codes();
    const bool other = IsOther();
    const bool custom = !other && MotorChoice::HasCustomWinding(codes);
    const bool base = !other && MotorChoice::OffersBaseSeries(codes);
    m_pSeparator->setVisible(custom);
    Combo(List::Custom)->setVisible(custom);
    m_labels[Index(List::Custom)]->setVisible(custom);
    Combo(List::BaseSeries)->setVisible(base);
    m_labels[Index(List::BaseSeries)]->setVisible(base);
    ShowPartNumber();
}

void CConfigWizardStep1Dlg::ShowPartNumber()
{
    const QString part = PartNumber();
    m_pPartNumber->setText(QStringLiteral("Part Number: %1")
                               .arg(part.isEmpty() ? QStringLiteral("(incomplete)") : part));
}

void CConfigWizardStep1Dlg::RefreshTitle()
{
    m_pProfileTitle->setText(m_workflow.State().ProfileTitle());
}

void CConfigWizardStep1Dlg::PublishChoice()
{
    WizardState& state = m_workflow.State();
    state.Series = Selected(List::Series);
    state.PartNumber = PartNumber();
    state.CustomWinding = Selected(List::CustomWindingNumber);
    state.CoolingKey = Combo(List::Cooling)->currentData().toString();
    state.FeedbackCode = Selected(List::Feedback);
    state.Advanced = m_pAdvanced->isChecked() || IsOther();
    state.Motor.reset();
    if (!IsOther() && m_context.MotorCollection && !state.PartNumber.isEmpty()) {
        state.Motor = m_context.MotorCollection->FindMotor(state.PartNumber, state.CustomWinding,
                                                           state.CoolingKey);
    }
}

void CConfigWizardStep1Dlg::ResetLaterStepsToMotor()
{
    PublishChoice();
    m_workflow.ResetMotorDefaults();
}

// --- What the user changed ---

void CConfigWizardStep1Dlg::SeriesChanged()
{
    ShowForSeries();
    if (!IsOther())
        RefillBelowSeries();
    ShowCustomRows();
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::FrameChanged()
{
    RefillStacks();
    RefillWindings();
    RefillFeedbacks();
    RefillCoolings();
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::StackChanged()
{
    RefillWindings();
    RefillFeedbacks();
    RefillCoolings();
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::WindingChanged()
{
    RefillFeedbacks();
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::FeedbackChanged()
{
    RefillCustomWindings();
    ShowCustomRows();
    PublishChoice();
    // A new feedback device changes the motor's data, not its gains.
    if (IWizardStep* step2 = m_workflow.Step(2))
        step2->ResetToMotorDefaults();
}

void CConfigWizardStep1Dlg::CustomChanged()
{
    const IOrvexMotorServer* server = m_context.MotorServer;
    if (server) {
        const QString name = server->CustomWindingOfPart(Selected(List::Custom));
        if (!name.isEmpty())
            Select(List::CustomWindingNumber, name);
    }
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::CoolingChanged()
{
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::BaseSeriesChanged()
{
    const IOrvexMotorCollection* motors = m_context.MotorCollection;
    if (motors && !MotorChoice::HasCustomWinding(Codes())) {
        // The custom winding of the base series is the one whose motor has
        // the selected feedback; the database spells "J" and "N" as "J0" and "N0".
        QString feedback = Selected(List::Feedback);
        if (feedback == QLatin1String("J") || feedback == QLatin1String("N"))
            feedback += QLatin1Char('0');
        const QString part = PartNumber();
        const QString cooling = Combo(List::Cooling)->currentData().toString();
        QComboBox* names = Combo(List::CustomWindingNumber);
        for (int i = 0; i < names->count(); ++i) {
            const auto motor = motors->FindMotor(part, names->itemText(i), cooling);
            if (!motor)
                continue;
            QString code = motor->Field(MotorField::Feedback);
            if (code == QLatin1String("J") || code == QLatin1String("N"))
                code += QLatin1Char('0');
            if (code == feedback) {
                Select(List::CustomWindingNumber, names->itemText(i));
                break;
            }
        }
    }
    ShowPartNumber();
    // The base series is part of the part number, so it is another motor.
    ResetLaterStepsToMotor();
}

void CConfigWizardStep1Dlg::UserPartNumberChanged()
{
    ShowPartNumber();
    PublishChoice();
}

// --- The wizard's entry points ---

void CConfigWizardStep1Dlg::ResetToDefaults()
{
    FillSeries();
    ShowForSeries();
    if (!IsOther())
        RefillBelowSeries();
    ShowCustomRows();
    PublishChoice();
    RefreshTitle();
}

void CConfigWizardStep1Dlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    const QString part = config.MotorPartNumber();
    const QString winding = MotorChoice::CustomWindingName(config.CustomWindingNumber());
    const int coolingCode = config.CoolingCode();
    const IOrvexMotorServer* server = m_context.MotorServer;
    const IOrvexMotorCollection* motors = m_context.MotorCollection;

    // "HS" and "Table" share a code: the motor database knows which one the
    // part has.
    std::unique_ptr<IOrvexMotor> motor;
    QString coolingKey = MotorChoice::KeyOfCode(coolingCode);
    for (const MotorChoice::Cooling& cooling : MotorChoice::Coolings) {
        if (motor || !motors || part.isEmpty())
            break;
        if (cooling.Code != coolingCode)
            continue;
        motor = motors->FindMotor(part, winding, QLatin1String(cooling.Key));
        if (motor)
            coolingKey = QLatin1String(cooling.Key);
    }

    FillSeries();
    if (motor) {
        Select(List::Series, motor->Field(MotorField::Series));
        RefillFrames();
        Select(List::Frame, motor->Field(MotorField::Frame));
        RefillStacks();
        Select(List::Stack, motor->Field(MotorField::Stack));
        RefillWindings();
        Select(List::Winding, motor->Field(MotorField::Winding));
        RefillFeedbacks();
        Select(List::Feedback, motor->Field(MotorField::Feedback));
        RefillCustomWindings();
        Select(List::CustomWindingNumber, winding);
        if (server) {
            Select(List::Custom, server->CustomPartOfWinding(winding));
            QString base = motor->Field(MotorField::BaseSeries);
            if (base.isEmpty())
                base = server->BaseSeriesOfWinding(winding);
            Select(List::BaseSeries, base);
        }
        RefillCoolings();
        QComboBox* cooling = Combo(List::Cooling);
        const int index = cooling->findData(coolingKey);
        if (index >= 0) {
            const QSignalBlocker quiet(cooling);
            cooling->setCurrentIndex(index);
        }
    } else {
        Select(List::Series, QLatin1String(MotorChoice::OtherSeries));
        const QSignalBlocker quiet(m_pUserPartNumber);
        m_pUserPartNumber->setText(part.left(UserPartNumberMaxLength));
    }
    ShowForSeries();
    PublishChoice();
    RefreshTitle();
}

void CConfigWizardStep1Dlg::WriteToConfig()
{
    IOrvexConfig& config = m_context.Config;
    const WizardState& state = m_workflow.State();
    config.SetStep1Value(state.Step1Value);
    config.SetMotorPartNumber(PartNumber());
    config.SetCustomWindingNumber(
        MotorChoice::CustomWindingNumber(Selected(List::CustomWindingNumber)));
    const MotorChoice::Cooling* cooling =
        MotorChoice::CoolingOfKey(Combo(List::Cooling)->currentData().toString());
    config.SetCoolingCode(cooling ? cooling->Code : 0);
    config.SetFeedbackType(
        MotorChoice::FeedbackType(Selected(List::Feedback), Selected(List::Series)));
}

// --- The page ---

void CConfigWizardStep1Dlg::OnSetActive()
{
    TWizardStepPage::OnSetActive();
    RefreshTitle();
}

void CConfigWizardStep1Dlg::OnDestroyPage()
{
    m_context.Settings.setValue(LoadPathKey, m_workflow.State().LoadPath());
}

void CConfigWizardStep1Dlg::OnNext()
{
    PublishChoice();
    if (m_pResetOnNext->isChecked())
        m_workflow.ResetLaterSteps();
    if (MotorChoice::IsCustomFeedback(Selected(List::Feedback), Selected(List::Series)))
        m_pAdvanced->setChecked(true);
    PublishChoice();
    WriteToConfig();
    m_mainWindow.SetPage(m_workflow.State().Advanced ? PageId::ConfigWizardStep2
                                                     : PageId::ConfigWizardStep3);
}

void CConfigWizardStep1Dlg::CreateNewConfiguration()
{
    ResetToDefaults();
    m_workflow.ResetLaterSteps();
    m_workflow.State().StartDefaultProfile();
    RefreshTitle();
}

void CConfigWizardStep1Dlg::OpenConfigurationFile()
{
    FileDialogRequest request;
    request.Caption = QStringLiteral("Open Orvex Configuration");
    request.Filter = KvtFilter;
    request.DefaultExtension = QStringLiteral("*.kvt");
    request.InitialName = m_workflow.State().LoadPath();
    request.OverwritePrompt = false;
    const QString path = m_context.Ui.GetOpenFileName(request);
    if (path.isEmpty())
        return;
    const bool opened =
        RunShowingErrors(m_context.Ui, QStringLiteral("Open Configuration Error"), [&] {
            const auto wait =
                m_context.Ui.ShowWait(QStringLiteral("Opening Orvex configuration file..."));
            m_context.Config.LoadConfiguration(path);
        });
    if (!opened)
        return;
    m_workflow.State().OpenedFile(path);
    m_workflow.RefillAll();
    RefreshTitle();
}

void CConfigWizardStep1Dlg::GetConfigurationFromDrive()
{
    m_workflow.UploadFromDrive();
    RefreshTitle();
}

void CConfigWizardStep1Dlg::CompareWithDrive()
{
    IUiServices& ui = m_context.Ui;
    m_mainWindow.StopStatusAutoUpdate();
    ConfigurationDifferences differences;
    const bool read = RunShowingErrors(ui, QStringLiteral("Communications Error"), [&] {
        const auto wait = ui.ShowWait(QStringLiteral("Reading the Orvex drive's configuration..."));
        differences = m_workflow.DifferencesFromDrive();
    });
    if (!read)
        return;
    const QString caption = QStringLiteral("Configuration Comparison");
    if (differences.isEmpty()) {
        ui.ShowMessage(caption,
                       QStringLiteral("The drive holds the configuration the wizard shows."));
        return;
    }
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("configComparisonDlg"));
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("A download would change these settings in the "
                                                "drive; an upload would change them in the "
                                                "wizard:"),
                                 &dialog));
    layout->addWidget(new CConfigDifferencesView(differences, &dialog));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    ui.RunModal(dialog);
}

} // namespace Orvex
