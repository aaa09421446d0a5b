#include "OrvexCommandDlg.h"

#include "ErrorReport.h"
#include "UiServices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString MessageCaption = QStringLiteral("Orvex Support Tool");

// The entry of one record in the command list: prefix + Number, and the name
// in brackets when there is one.
QString EntryText(const QString& head, const QString& name)
{
    return name.isEmpty() ? head : head + QStringLiteral(" (") + name + QLatin1Char(')');
}

} // namespace

COrvexCommandDlg::COrvexCommandDlg(const QString& programFolder, IUiServices& ui, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("orvexCommandDialog"));
    setWindowTitle(QStringLiteral("Orvex Commands (from ParameterTables.xls, version 3.01.17)"));
    BuildControls();

    m_Loaded = LoadCommandDatabase(m_Lists, programFolder,
                                   [&ui](const QString& text, const QString& details) {
                                       ui.ShowDetailedMessage(MessageCaption, text, details);
                                   });
    if (!m_Loaded) {
        // Half a database would offer commands that are not there.
        m_Lists.Clear();
        setResult(QDialog::Rejected);
        return;
    }

    {
        const QSignalBlocker blocker(m_pCategory);
        m_pCategory->addItem(QStringLiteral("Parameter Commands"), int(ParameterCategory));
        m_pCategory->addItem(QStringLiteral("Status Commands"), int(StatusCategory));
        m_pCategory->addItem(QStringLiteral("Error Commands"), int(ErrorCategory));
        m_pCategory->addItem(QStringLiteral("X Commands"), int(XCommandCategory));
        m_pCategory->setCurrentIndex(0);
    }
    ORVEX_GUARDED([this] { FillCommands(ParameterCategory); });

    connect(m_pCategory, &QComboBox::currentIndexChanged, this,
            &COrvexCommandDlg::OnCategoryChanged);
    connect(m_pCommand, &QComboBox::currentIndexChanged, this, &COrvexCommandDlg::OnCommandChanged);
}

void COrvexCommandDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* choice = new QFormLayout;
    choice->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_pCategory = new QComboBox(this);
    m_pCategory->setObjectName(QStringLiteral("categoryCombo"));
    m_pCommand = new QComboBox(this);
    m_pCommand->setObjectName(QStringLiteral("commandCombo"));
    // Long command names must not push the window past a small screen.
    m_pCommand->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pCommand->setMinimumContentsLength(36);
    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("commandEdit"));

    const auto addRow = [this, choice](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        choice->addRow(label, field);
    };
    addRow(QStringLiteral("Select Category"), m_pCategory);
    addRow(QStringLiteral("Select Command"), m_pCommand);
    addRow(QStringLiteral("Edit Command"), m_pEdit);
    layout->addLayout(choice);

    // Two columns of caption/value pairs: what the command is, then its range.
    auto* details = new QGridLayout;
    const std::array<QString, DetailCount> captions = {QStringLiteral("Equivalent Command"),
                                                       QStringLiteral("Data Format"),
                                                       QStringLiteral("Units"),
                                                       QStringLiteral("Minimum"),
                                                       QStringLiteral("Maximum"),
                                                       QStringLiteral("Default")};
    for (int i = 0; i < DetailCount; ++i) {
        auto* caption = new QLabel(captions[std::size_t(i)], this);
        // A read-only box rather than a label: a screen reader hears the
        // caption as its name and the text as its value.
        auto* value = new QLineEdit(this);
        value->setReadOnly(true);
        value->setFrame(false);
        value->setFocusPolicy(Qt::TabFocus);
        QPalette plain = value->palette();
        plain.setColor(QPalette::Base, plain.color(QPalette::Window));
        value->setPalette(plain);
        value->setAccessibleName(captions[std::size_t(i)]);
        value->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        caption->setBuddy(value);
        const int row = i % 3;
        const int column = (i / 3) * 2;
        details->addWidget(caption, row, column);
        details->addWidget(value, row, column + 1);
        m_Details[std::size_t(i)] = value;
    }
    details->setColumnStretch(1, 1);
    details->setColumnStretch(3, 1);
    layout->addLayout(details);
    layout->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* send = buttons->addButton(QStringLiteral("Send"), QDialogButtonBox::AcceptRole);
    send->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString COrvexCommandDlg::CommandText() const
{
    return m_pEdit->text();
}

void COrvexCommandDlg::OnCategoryChanged()
{
    ORVEX_GUARDED([this] { FillCommands(m_pCategory->currentData().toInt()); });
}

void COrvexCommandDlg::OnCommandChanged()
{
    ORVEX_GUARDED([this] { ShowDetails(); });
}

void COrvexCommandDlg::FillCommands(int category)
{
    {
        const QSignalBlocker blocker(m_pCommand);
        m_pCommand->clear();
        const auto add = [this](const QString& head, const QString& number, const QString& name) {
            m_pCommand->addItem(EntryText(head, name), LeadingInteger(number));
        };
        switch (category) {
        case ParameterCategory:
            for (const auto& record : m_Lists.Parameters) {
                const QString head = QStringLiteral("P") + record->m_Number;
                // P150 is the factory calibration key; users are not offered it.
                if (head != QStringLiteral("P150"))
                    add(head, record->m_Number, record->m_Name);
            }
            break;
        case StatusCategory:
            for (const auto& record : m_Lists.Status)
                add(QStringLiteral("S") + record->m_Number, record->m_Number, record->m_Name);
            break;
        case ErrorCategory:
            for (const auto& record : m_Lists.Errors)
                add(QStringLiteral("E") + record->m_Number, record->m_Number, record->m_Name);
            break;
        case XCommandCategory:
            for (const auto& record : m_Lists.XCommands)
                add(QStringLiteral("X") + record->m_Number, record->m_Number, record->m_Name);
            break;
        default:
            break;
        }
        m_pCommand->setCurrentIndex(m_pCommand->count() > 0 ? 0 : -1);
    }
    ShowDetails();
}

void COrvexCommandDlg::ShowDetails()
{
    for (int i = 0; i < DetailCount; ++i)
        SetDetail(Detail(i), QString());
    if (m_pCommand->currentIndex() < 0) {
        // An empty category offers nothing to send; keep no stale command either.
        m_pEdit->clear();
        return;
    }

    const int n = m_pCommand->currentData().toInt();
    const QString three = QString::asprintf("%03d", n);
    const QString two = QString::asprintf("%02d", n);
    // Every matching record is shown in turn, so the last one in the file stays.
    switch (m_pCategory->currentData().toInt()) {
    case ParameterCategory:
        for (const auto& record : m_Lists.Parameters) {
            if (record->m_Number != three)
                continue;
            SetDetail(EquivalentDetail, record->m_EquivalentCommand);
            SetDetail(DataFormatDetail, record->m_DataFormat);
            SetDetail(UnitsDetail, record->m_Units);
            SetDetail(MinimumDetail, record->m_Minimum);
            SetDetail(MaximumDetail, record->m_Maximum);
            SetDetail(DefaultDetail, record->m_Default);
        }
        m_pEdit->setText(QStringLiteral("P") + three);
        break;
    case StatusCategory:
        for (const auto& record : m_Lists.Status) {
            if (record->m_Number != two)
                continue;
            SetDetail(EquivalentDetail, record->m_EquivalentCommand);
            SetDetail(DataFormatDetail, record->m_DataFormat);
            SetDetail(UnitsDetail, record->m_Units);
        }
        m_pEdit->setText(QStringLiteral("S") + two);
        break;
    case ErrorCategory:
        m_pEdit->setText(QStringLiteral("E") + two);
        break;
    case XCommandCategory:
        for (const auto& record : m_Lists.XCommands) {
            if (record->m_Number == two)
                SetDetail(EquivalentDetail, record->m_EquivalentCommand);
        }
        m_pEdit->setText(QStringLiteral("X") + two);
        break;
    default:
        break;
    }
}

void COrvexCommandDlg::SetDetail(Detail detail, const QString& text)
{
    m_Details[std::size_t(detail)]->setText(text);
}

} // namespace Orvex
