#pragma once

class QGroupBox;
class QRadioButton;
class QWidget;

namespace Orvex {

class IMainWindow;

// The "Select Status" group the three status pages share: one radio per
// page, this page's own ticked. Ticking another page's radio switches to
// it, whether the mouse, the keyboard or an assistive technology ticks it;
// ticking the own radio on show does not.
// ownRadio receives this page's radio.
QGroupBox* MakeStatusSelector(QWidget* page, int ownPageId, IMainWindow& mainWindow,
                              QRadioButton** ownRadio);

} // namespace Orvex
