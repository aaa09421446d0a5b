#pragma once

#include "MotorParameterCheck.h"
#include "WizardStepPage.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;

namespace Orvex {

class NumericEdit;

// Step 2 of the configuration wizard: the motor's mechanical, electrical,
// thermal and feedback data. Shown when the user asked to edit them
// (Advanced) or described the motor by hand; the values are checked
// against the drive's parameter limits before they are written.
class CConfigWizardStep2Dlg final : public TWizardStepPage
{
    Q_OBJECT

public:
    using Field = MotorParameterCheck::Field;
    static inline const QString Heading = QStringLiteral("Edit Your Motor Parameters (Advanced):");

    CConfigWizardStep2Dlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                          QWidget* parent = nullptr);

    void FillFromConfig() override;
    void ResetToDefaults() override;
    void ResetToMotorDefaults() override;
    bool Validate() override;
    void WriteToConfig() override;

    void OnSetActive() override;

    // Test mode: every motor of the motor database in turn, as step 1 would
    // pick it, through the page's checks. Answers how many failed.
    int ValidateAllMotors();

    // What the page shows, and showing it.
    MotorParameterCheck::Texts Texts() const;
    void SetTexts(const MotorParameterCheck::Texts& texts);

    NumericEdit* Edit(Field field) const { return m_edits[static_cast<std::size_t>(field)]; }
    QLabel* Label(Field field) const { return m_labels[static_cast<std::size_t>(field)]; }
    QLabel* ResolutionUnit() const { return m_pResolutionUnit; }
    QComboBox* PackageCombo() const { return m_pPackage; }
    QComboBox* FeedbackTypeCombo() const { return m_pFeedbackType; }
    QCheckBox* InvertHallBox() const { return m_pInvertHalls; }
    QLabel* HeadingLabel() const { return m_pHeading; }

protected:
    void OnNext() override;
    void OnBack() override;

private:
    void BuildControls();
    bool IsLinear() const;
    // Labels, units and accepted characters for the motor's package.
    void ShowForPackage();
    // The resolution's unit and the Hall box for the feedback type.
    void ShowForFeedbackType(bool fromUser);
    void SetPackage(bool linear);
    void SetFeedbackType(const QString& type);
    // The user may pick the package and feedback type of a motor described
    // by hand; a motor of the database brings its own.
    void EnableChoices(bool enable);

    std::array<NumericEdit*, MotorParameterCheck::FieldCount> m_edits{};
    std::array<QLabel*, MotorParameterCheck::FieldCount> m_labels{};
    QLabel* m_pHeading = nullptr;
    QLabel* m_pInertiaUnit = nullptr;
    QLabel* m_pResolutionUnit = nullptr;
    QComboBox* m_pPackage = nullptr;
    QComboBox* m_pFeedbackType = nullptr;
    QCheckBox* m_pInvertHalls = nullptr;
    QPushButton* m_pValidateAll = nullptr;
    bool m_validatingAll = false;
};

} // namespace Orvex
