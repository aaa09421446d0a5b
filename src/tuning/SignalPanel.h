#pragma once

#include "FieldValidation.h"
#include "NumericEdit.h"

#include <QString>
#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace Orvex {

class TunerContext;

// What the miscellaneous tuning page offers its command signal panels: the
// text commands they send straight to the drive over the page's serial link.
class ISignalCommands
{
public:
    virtual ~ISignalCommands() = default;
    // Sends text as it stands; false, with the reason shown, when it did not go out.
    virtual bool SendLinkCommand(const QString& text) = 0;
};

// A panel that sets how the drive reads its command input. The page shows
// the one that fits the drive's control mode and asks it for its defaults,
// to show the configuration object, to check its boxes and to write them.
// Besides, a box with a drive command sends it when Enter is pressed in it,
// and a choice sends its command as soon as it is made.
class TSignalPanel : public QWidget
{
    Q_OBJECT

public:
    // The notes beside the boxes: when a change reaches the drive.
    static inline const QString ActiveOnEnter = QStringLiteral("* Active on Enter key");
    static inline const QString ActiveOnReset = QStringLiteral("* Active on reset");
    static inline const QString ActiveOnSelection =
        QStringLiteral("* Active on selection and reset");
    static inline const QString ActiveOnEnterAndReset =
        QStringLiteral("* Active on Enter key and reset");

    virtual void SetDefaults() = 0;
    virtual void FillFromConfiguration() = 0;
    // Checks the boxes in order; at the first failure shows "Data Validation
    // Error", focuses the box and answers false.
    bool Validate();
    virtual void WriteToConfiguration() = 0;

    QComboBox* DirectionCombo() const { return m_pDirection; }
    // Whether the panel shows a linear motor's texts.
    bool IsLinear() const { return m_linear; }

protected:
    TSignalPanel(TunerContext& tuning, ISignalCommands& commands, QWidget* parent);

    // A box at row of grid with its label and its note; when command is
    // given ("ANICDB %1\r"), Enter sends it with the box's text. The label
    // goes to captionOut when asked for.
    NumericEdit* AddEdit(QGridLayout* grid, int row, const QString& label, NumericChars chars,
                         const char* objectName, const QString& note, const char* command = nullptr,
                         QLabel** captionOut = nullptr);
    // "Set Commanded Direction" at row of grid; a choice sends "CMDDIR 0\r"
    // or "CMDDIR 1\r" at once.
    void AddDirection(QGridLayout* grid, int row);
    // The direction items of a rotary or a linear motor, the index selected.
    void ShowDirection(bool linear, int index);
    // The range checks in the order Validate runs them.
    virtual std::vector<FieldRule> Rules() const = 0;

    TunerContext& m_tuning;
    ISignalCommands& m_commands;
    bool m_linear = false;

private:
    QComboBox* m_pDirection = nullptr;
};

// What the torque and velocity panels have in common: the analog command
// input's zero reference, its center dead band, its inversion and its
// scaling, besides the direction.
class TAnalogSignalPanel : public TSignalPanel
{
    Q_OBJECT

public:
    // The pause between "DCMDZ\r" and reading the zero reference back.
    static constexpr int ZeroReferencePauseMs = 200;

    void SetDefaults() override;
    void FillFromConfiguration() override;
    void WriteToConfiguration() override;

    // "Set Zero Reference": the drive takes its analog input as the zero
    // command and the box shows what it took.
    void SetZeroReference();

    NumericEdit* ZeroReferenceEdit() const { return m_pZeroReference; }
    NumericEdit* DeadbandEdit() const { return m_pDeadband; }
    NumericEdit* ScalingEdit() const { return m_pScaling; }
    QCheckBox* InvertBox() const { return m_pInvert; }
    QLabel* ScalingLabel() const { return m_pScalingLabel; }

protected:
    // What differs between the torque and the velocity panel.
    struct Scaling
    {
        QString ZeroReferenceLabel;
        QString RotaryLabel;
        QString LinearLabel;
        const char* Command;
        QString Default;
        int Parameter;
        const char* Message;
        const char* LinearMessage;
    };

    TAnalogSignalPanel(TunerContext& tuning, ISignalCommands& commands, Scaling scaling,
                       QWidget* parent);

    std::vector<FieldRule> Rules() const override;
    virtual float ScalingOf() const = 0;
    virtual void SetScalingOf(float value) = 0;

private:
    void ShowScalingLabel();

    Scaling m_scaling;
    NumericEdit* m_pZeroReference = nullptr;
    QPushButton* m_pSetZero = nullptr;
    NumericEdit* m_pDeadband = nullptr;
    QLabel* m_pScalingLabel = nullptr;
    NumericEdit* m_pScaling = nullptr;
    QCheckBox* m_pInvert = nullptr;
};

} // namespace Orvex
