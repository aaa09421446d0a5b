#pragma once

#include "MotorChoice.h"
#include "WizardStepPage.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace Orvex {

// Step 1 of the configuration wizard: where the configuration comes from (a
// new default one, a .kvt file or the drive) and which motor it drives. The
// motor is picked from the motor database's cascade of codes, or typed in
// for the "Other" series, together with the drive's cooling method.
class CConfigWizardStep1Dlg final : public TWizardStepPage
{
    Q_OBJECT

public:
    // The motor database's combos, in cascade order.
    enum class List
    {
        Series,
        Frame,
        Stack,
        Winding,
        Feedback,
        CustomWindingNumber,
        Custom,
        BaseSeries,
        Cooling,
    };
    static constexpr int ListCount = 9;
    static constexpr int UserPartNumberMaxLength = 26;

    CConfigWizardStep1Dlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                          QWidget* parent = nullptr);

    // Selects the motor and cooling method the configuration object holds.
    void FillFromConfig() override;
    // The cascade as at first display, with the default motor selected.
    void ResetToDefaults() override;
    void WriteToConfig() override;

    void OnSetActive() override;
    void OnDestroyPage() override;

    // The buttons' handlers.
    void CreateNewConfiguration();
    void OpenConfigurationFile();
    void GetConfigurationFromDrive();
    // A read-only list of what differs between the wizard and the drive.
    void CompareWithDrive();

    // The part number the combos (or the user) give; empty while a code is missing.
    QString PartNumber() const;
    MotorChoice::Codes Codes() const;
    QComboBox* Combo(List list) const { return m_combos[static_cast<int>(list)]; }
    QLineEdit* UserPartNumberEdit() const { return m_pUserPartNumber; }
    QCheckBox* AdvancedBox() const { return m_pAdvanced; }
    QCheckBox* ResetOnNextBox() const { return m_pResetOnNext; }
    QLabel* ProfileTitleLabel() const { return m_pProfileTitle; }

protected:
    void OnNext() override;

private:
    void BuildControls();
    QComboBox* AddCombo(List list, const char* objectName, const QString& caption, QWidget* parent);

    QString Selected(List list) const;
    bool IsOther() const;
    // Fills a combo without telling anyone and selects its first entry.
    void Fill(List list, const QStringList& entries);
    // Selects an entry without telling anyone; false when it is not listed.
    bool Select(List list, const QString& text);

    // The cascade's refills; each selects the first entry of what it fills.
    void FillSeries();
    void RefillFrames();
    void RefillStacks();
    void RefillWindings();
    void RefillFeedbacks();
    void RefillCustomWindings();
    void RefillCoolings();
    // Everything below the series, from frames to cooling methods.
    void RefillBelowSeries();

    // The controls shown for the selected series: the user-defined part
    // number instead of the cascade for "Other", with Advanced ticked and
    // hidden.
    void ShowForSeries();
    // The custom winding or the base series row, as the codes ask.
    void ShowCustomRows();
    void ShowPartNumber();
    void RefreshTitle();

    // Hands the motor choice to the wizard's state (with the motor record
    // the motor database has for it) and, when asked, resets steps 2 and 3
    // to that motor's values.
    void PublishChoice();
    void ResetLaterStepsToMotor();

    // What the user changed.
    void SeriesChanged();
    void FrameChanged();
    void StackChanged();
    void WindingChanged();
    void FeedbackChanged();
    void CustomChanged();
    void CoolingChanged();
    void BaseSeriesChanged();
    void UserPartNumberChanged();

    std::array<QComboBox*, ListCount> m_combos{};
    std::array<QWidget*, ListCount> m_labels{};
    QLabel* m_pSeparator = nullptr;
    QLabel* m_pUserPartNumberLabel = nullptr;
    QLineEdit* m_pUserPartNumber = nullptr;
    QCheckBox* m_pAdvanced = nullptr;
    QCheckBox* m_pResetOnNext = nullptr;
    QLabel* m_pProfileTitle = nullptr;
    QLabel* m_pPartNumber = nullptr;
};

} // namespace Orvex
