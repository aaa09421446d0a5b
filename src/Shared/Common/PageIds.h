#pragma once

namespace Orvex {

// The ids of the main window's pages, in the order the window creates them.
// Pages that switch to one another (the wizard steps, the status pages) name
// each other by these ids, never by class.
namespace PageId {
inline constexpr int ConfigWizardStep1 = 129;
inline constexpr int ConfigWizardStep2 = 130;
inline constexpr int ConfigWizardStep3 = 131;
inline constexpr int ConfigWizardStep4 = 132;
inline constexpr int ConfigWizardStep5 = 157;
inline constexpr int OperatingSystemUpdate = 135;
inline constexpr int BitStatusPanel = 159;
inline constexpr int NumericStatusPanel = 137;
inline constexpr int ErrorLog = 153;
inline constexpr int ServoTuner = 156;
inline constexpr int NotchTuning = 160;
inline constexpr int MiscTuning = 158;
inline constexpr int TechnicalSupport = 136;
inline constexpr int TerminalEmulator = 141;
} // namespace PageId

} // namespace Orvex
