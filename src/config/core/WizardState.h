#pragma once

#include <QString>

#include <memory>

namespace Orvex {

class IOrvexMotor;

// What the wizard and tuning pages would otherwise read from each other: where
// the configuration came from, the motor chosen in step 1, and the control
// mode step 3 holds. One object owned by the configuration workflow; pages
// read and change it there.
class WizardState
{
public:
    // Where the configuration in the bridge came from.
    enum class Origin
    {
        Default = 0, // a new default configuration
        File = 1,    // opened from (or saved to) a .kvt file
        Drive = 2,   // uploaded from the drive
    };

    // The tuner generation step 1 writes on every "Next".
    static constexpr float InitialStep1Value = 3.0f;
    static constexpr float AutoTuningGeneration = 4.0f;
    // Control mode codes of the bridge.
    static constexpr int TorqueMode = 2;
    static constexpr int VelocityMode = 4;
    static constexpr int StepDirectionMode = 6;
    static constexpr int StepReversedDirectionMode = 7;

    Origin ConfigOrigin() const { return m_origin; }
    const QString& ProfileTitle() const { return m_title; }
    const QString& LoadPath() const { return m_loadPath; }

    // A new default configuration: title "Configuration - Default Profile",
    // no load path.
    void StartDefaultProfile();
    // A configuration opened from a file: the title names the file.
    void OpenedFile(const QString& path);
    // The file remembered from the last run, opened again at start: the title
    // names the whole path.
    void ReopenedFile(const QString& path);
    // A configuration saved to a file: the title names the whole path.
    void SavedFile(const QString& path);
    void UploadedFromDrive();
    // The path remembered from the last run, before anything is opened.
    void SetLoadPath(const QString& path) { m_loadPath = path; }

    // The auto tuning position tuner is used from tuner generation 4.0 on;
    // a generation that is not a number keeps the classic tuner.
    bool UsesAutoTuningPositionTuner() const;

    float Step1Value = InitialStep1Value;
    // Step 2 (the motor's mechanical and electrical data) is shown.
    bool Advanced = false;
    // The motor record of the part chosen in step 1; null for a part the
    // motor database does not know.
    std::shared_ptr<const IOrvexMotor> Motor;
    // The series chosen in step 1 ("BE", "K", "CM", "Vantor", "Other", ...).
    QString Series;
    // The rest of the motor choice of step 1: the part number, the custom
    // winding name ("W00012", or empty), the cooling key and the feedback code.
    QString PartNumber;
    QString CustomWinding;
    QString CoolingKey;
    QString FeedbackCode;
    // The motor is linear (step 2's package).
    bool Linear = false;
    // The control mode step 3's radios hold.
    int ControlMode = TorqueMode;

private:
    Origin m_origin = Origin::Default;
    QString m_title = QStringLiteral("Configuration - Default Profile");
    QString m_loadPath;
};

} // namespace Orvex
