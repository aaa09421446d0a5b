#pragma once

#include "SignalPanel.h"

namespace Orvex {

// The command signal panel of a position drive: step and direction input,
// so its resolution and the direction.
class CPositionSignalDlg final : public TSignalPanel
{
    Q_OBJECT

public:
    CPositionSignalDlg(TunerContext& tuning, ISignalCommands& commands, QWidget* parent = nullptr);

    void SetDefaults() override;
    void FillFromConfiguration() override;
    void WriteToConfiguration() override;

    NumericEdit* ResolutionEdit() const { return m_pResolution; }

protected:
    std::vector<FieldRule> Rules() const override;

private:
    NumericEdit* m_pResolution = nullptr;
};

} // namespace Orvex
