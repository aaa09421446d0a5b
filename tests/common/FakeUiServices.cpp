#include "FakeUiServices.h"

#include <QDialog>

namespace OrvexTest {

int FakeUiServices::RunModal(QDialog& dialog)
{
    // Without an answer the dialog is as good as cancelled.
    return OnModal ? OnModal(dialog) : QDialog::Rejected;
}

} // namespace OrvexTest
