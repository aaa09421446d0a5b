#pragma once

class QGroupBox;
class QRadioButton;
class QWidget;

namespace Orvex {

class IMainWindow;

// The "Select Status" group the three status pages share: one radio per
// page, this page's own ticked. Clicking another page's radio switches to
// it; only the user's clicks do, so ticking the own radio on show does not.
// ownRadio receives this page's radio.
QGroupBox* MakeStatusSelector(QWidget* page, int ownPageId, IMainWindow& mainWindow,
                              QRadioButton** ownRadio);

} // namespace Orvex
