#include "UserButtonsDlg.h"

#include "ButtonFile.h"
#include "ErrorReport.h"
#include "UiServices.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString Caption = QStringLiteral("Edit User Buttons");

} // namespace

CUserButtonsDlg::CUserButtonsDlg(const std::array<CUserButtonInfo, 12>& entries, IUiServices& ui,
                                 QWidget* parent)
    : QDialog(parent), m_entries(entries), m_ui(ui)
{
    setWindowTitle(Caption);
    setObjectName(QStringLiteral("userButtonsDialog"));

    m_pSelect = new QComboBox(this);
    m_pSelect->setObjectName(QStringLiteral("selectButton"));
    // The item names stay "User Button %d" whatever the labels are.
    for (int k = 1; k <= UserButtonCount; ++k)
        m_pSelect->addItem(DefaultUserButtonLabel(k));
    m_pLabel = new QLineEdit(this);
    m_pLabel->setObjectName(QStringLiteral("buttonLabel"));
    m_pCommand = new QLineEdit(this);
    m_pCommand->setObjectName(QStringLiteral("buttonCommand"));

    auto* fields = new QGridLayout;
    const std::pair<QString, QWidget*> rows[] = {
        {QStringLiteral("Select Button"), m_pSelect},
        {QStringLiteral("Edit Button Label"), m_pLabel},
        {QStringLiteral("Edit Orvex Command"), m_pCommand},
    };
    int row = 0;
    for (const auto& [text, input] : rows) {
        auto* label = new QLabel(text, this);
        label->setBuddy(input);
        fields->addWidget(label, row, 0);
        fields->addWidget(input, row, 1);
        ++row;
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnMinimumWidth(1, 320);

    auto makeButton = [this](const QString& text, const QString& name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    QPushButton* ok = makeButton(QStringLiteral("OK"), QStringLiteral("ok"));
    ok->setDefault(true);
    QPushButton* cancel = makeButton(QStringLiteral("Cancel"), QStringLiteral("cancel"));
    QPushButton* clearAll = makeButton(QStringLiteral("Clear All"), QStringLiteral("clearAll"));
    QPushButton* open = makeButton(QStringLiteral("Open..."), QStringLiteral("open"));
    QPushButton* save = makeButton(QStringLiteral("Save..."), QStringLiteral("save"));

    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(clearAll);
    fileButtons->addWidget(open);
    fileButtons->addWidget(save);
    fileButtons->addStretch(1);
    auto* closeButtons = new QHBoxLayout;
    closeButtons->addStretch(1);
    closeButtons->addWidget(ok);
    closeButtons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(fileButtons);
    layout->addStretch(1);
    layout->addLayout(closeButtons);

    connect(m_pSelect, &QComboBox::currentIndexChanged, this, &CUserButtonsDlg::ShowSelected);
    connect(m_pLabel, &QLineEdit::textChanged, this, &CUserButtonsDlg::OnLabelChanged);
    connect(m_pCommand, &QLineEdit::textChanged, this, &CUserButtonsDlg::OnCommandChanged);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(clearAll, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([this] { OnClearAll(); }); });
    connect(open, &QPushButton::clicked, this, [this] { ORVEX_GUARDED([this] { OnOpen(); }); });
    connect(save, &QPushButton::clicked, this, [this] { ORVEX_GUARDED([this] { OnSave(); }); });

    SelectFirst();
}

void CUserButtonsDlg::SelectFirst()
{
    // Selecting the item that is already selected emits nothing, so show it here.
    m_pSelect->setCurrentIndex(0);
    ShowSelected();
}

void CUserButtonsDlg::ShowSelected()
{
    const int index = m_pSelect->currentIndex();
    if (index < 0 || index >= UserButtonCount)
        return;
    m_showing = true;
    m_pLabel->setText(m_entries[index].Label);
    m_pCommand->setText(m_entries[index].Command);
    m_showing = false;
}

void CUserButtonsDlg::OnLabelChanged(const QString& text)
{
    const int index = m_pSelect->currentIndex();
    if (!m_showing && index >= 0 && index < UserButtonCount)
        m_entries[index].Label = text;
}

void CUserButtonsDlg::OnCommandChanged(const QString& text)
{
    const int index = m_pSelect->currentIndex();
    if (!m_showing && index >= 0 && index < UserButtonCount)
        m_entries[index].Command = text;
}

void CUserButtonsDlg::OnClearAll()
{
    m_entries = DefaultUserButtons();
    SelectFirst();
}

FileDialogRequest CUserButtonsDlg::ButtonFileRequest()
{
    FileDialogRequest request;
    request.Filter = QStringLiteral("Button Files(*.btn)|*.btn||");
    request.DefaultExtension = QStringLiteral("*.btn");
    request.InitialName = QStringLiteral("*.btn");
    return request;
}

void CUserButtonsDlg::OnOpen()
{
    FileDialogRequest request = ButtonFileRequest();
    request.OverwritePrompt = false;
    const QString path = m_ui.GetOpenFileName(request);
    if (path.isEmpty())
        return;
    QString error;
    const auto entries = ReadButtonFile(path, &error);
    if (!entries) {
        m_ui.ShowMessage(Caption, QStringLiteral("Unable to open the button file \"%1\".\n%2")
                                      .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_entries = *entries;
    SelectFirst();
}

void CUserButtonsDlg::OnSave()
{
    FileDialogRequest request = ButtonFileRequest();
    request.OverwritePrompt = true;
    const QString path = m_ui.GetSaveFileName(request);
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteButtonFile(path, m_entries, &error)) {
        m_ui.ShowMessage(Caption, QStringLiteral("Unable to save the button file \"%1\".\n%2")
                                      .arg(QDir::toNativeSeparators(path), error));
    }
}

} // namespace Orvex
