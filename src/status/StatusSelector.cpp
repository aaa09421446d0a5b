#include "StatusSelector.h"

#include "MainWindowServices.h"
#include "PageIds.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

namespace Orvex {

QGroupBox* MakeStatusSelector(QWidget* page, int ownPageId, IMainWindow& mainWindow,
                              QRadioButton** ownRadio)
{
    struct Choice
    {
        const char* Text;
        const char* ObjectName;
        int PageId;
    };
    static constexpr Choice kChoices[] = {
        {"&Bit Status", "bitStatusRadio", PageId::BitStatusPanel},
        {"&Numeric Status", "numericStatusRadio", PageId::NumericStatusPanel},
        {"&Error Log", "errorLogRadio", PageId::ErrorLog},
    };

    auto* group = new QGroupBox(QStringLiteral("Select Status"), page);
    auto* layout = new QHBoxLayout(group);
    for (const Choice& choice : kChoices) {
        auto* radio = new QRadioButton(QString::fromLatin1(choice.Text), group);
        radio->setObjectName(QString::fromLatin1(choice.ObjectName));
        layout->addWidget(radio);
        if (choice.PageId == ownPageId) {
            radio->setChecked(true);
            if (ownRadio)
                *ownRadio = radio;
            continue;
        }
        const int target = choice.PageId;
        // Ticked by mouse, keyboard or an assistive technology alike.
        QObject::connect(radio, &QRadioButton::toggled, page, [&mainWindow, target](bool checked) {
            if (checked)
                mainWindow.SetPage(target);
        });
    }
    layout->addStretch(1);
    return group;
}

} // namespace Orvex
