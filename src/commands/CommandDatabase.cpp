#include "CommandDatabase.h"

#include "Markup.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>

namespace Orvex {

namespace {

Q_LOGGING_CATEGORY(lcOrvexCommands, "orvex.commands", QtInfoMsg)

// One column that a row type reads: its F-element and the record field it fills.
template <class Record> struct Column
{
    std::string_view Element;
    QString Record::*Field;
};

// How the rows of one table are read; the include flag has the highest
// column number of every row type, so it is searched for last.
template <class Record, std::size_t Count> struct TableLayout
{
    std::string_view RowName;
    std::array<Column<Record>, Count> Columns;
    std::string_view IncludeFlag;
};

using Error = COrvexErrorCommand;
using Parameter = COrvexParameterCommand;
using Status = COrvexStatusCommand;
using XCommand = COrvexXCommand;

const TableLayout<Error, 2> ErrorLayout{
    "Error_Table", {{{"F2", &Error::m_Number}, {"F5", &Error::m_Name}}}, "F9"};

const TableLayout<Parameter, 8> ParameterLayout{"Parameter_Table",
                                                {{{"F2", &Parameter::m_Number},
                                                  {"F4", &Parameter::m_EquivalentCommand},
                                                  {"F6", &Parameter::m_Name},
                                                  {"F9", &Parameter::m_DataFormat},
                                                  {"F10", &Parameter::m_Units},
                                                  {"F11", &Parameter::m_Minimum},
                                                  {"F12", &Parameter::m_Maximum},
                                                  {"F13", &Parameter::m_Default}}},
                                                "F15"};

const TableLayout<Status, 5> StatusLayout{"Status_Table",
                                          {{{"F2", &Status::m_Number},
                                            {"F4", &Status::m_EquivalentCommand},
                                            {"F6", &Status::m_Name},
                                            {"F7", &Status::m_DataFormat},
                                            {"F8", &Status::m_Units}}},
                                          "F10"};

const TableLayout<XCommand, 3> XCommandLayout{"X_Command_Table",
                                              {{{"F2", &XCommand::m_Number},
                                                {"F3", &XCommand::m_EquivalentCommand},
                                                {"F4", &XCommand::m_Name}}},
                                              "F6"};

bool IsCSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// "Y" or "y" once white space is trimmed from both ends.
bool IsIncluded(std::string_view flag)
{
    while (!flag.empty() && IsCSpace(static_cast<unsigned char>(flag.front())))
        flag.remove_prefix(1);
    while (!flag.empty() && IsCSpace(static_cast<unsigned char>(flag.back())))
        flag.remove_suffix(1);
    return flag == "Y" || flag == "y";
}

// Reads the rows of the next "table" into list. The field search only moves
// forward, so a column that stands before the one found last stays empty.
template <class Record, std::size_t Count>
void ReadTable(CMarkup& markup, const TableLayout<Record, Count>& layout,
               std::vector<std::unique_ptr<Record>>& list)
{
    if (!markup.FindSibling("table"))
        return;
    markup.EnterElement();
    while (markup.FindSibling(layout.RowName)) {
        markup.EnterElement();
        Record fields;
        for (const Column<Record>& column : layout.Columns) {
            if (markup.FindSibling(column.Element))
                fields.*column.Field = QString::fromLocal8Bit(markup.ElementText());
        }
        if (markup.FindSibling(layout.IncludeFlag) && IsIncluded(markup.ElementText()))
            list.push_back(std::make_unique<Record>(std::move(fields)));
        markup.LeaveElement();
    }
    markup.LeaveElement();
}

// Decimal exponent (binary for hex) of the leading significant digit of a
// number that std::from_chars found out of range: positive means overflow.
long long LeadingDigitExponent(std::string_view number, bool hex)
{
    const auto isDigit = [hex](char c) {
        return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
    };
    long long integerDigits = 0;
    long long digitIndex = 0;
    long long firstNonZero = -1;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!isDigit(c))
            break;
        if (!afterPoint)
            ++integerDigits;
        if (c != '0' && firstNonZero < 0)
            firstNonZero = digitIndex;
        ++digitIndex;
    }
    if (firstNonZero < 0)
        return LLONG_MIN;
    long long exponent = 0;
    const bool hasExponent = i < number.size() && (hex ? (number[i] == 'p' || number[i] == 'P')
                                                       : (number[i] == 'e' || number[i] == 'E'));
    if (hasExponent) {
        ++i;
        bool negative = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    return (integerDigits - 1 - firstNonZero) * (hex ? 4 : 1) + exponent;
}

} // namespace

void CommandDatabaseLists::Clear()
{
    Errors.clear();
    Parameters.clear();
    Status.clear();
    XCommands.clear();
}

QString CommandDatabasePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("OrvexCommandDatabase.xml"));
}

bool LoadCommandDatabase(CommandDatabaseLists& owner, const QString& programFolder,
                         const std::function<void(const QString&)>& showMessage)
{
    const auto show = [&showMessage](const QString& text) {
        if (showMessage)
            showMessage(text);
    };

    const QString path = CommandDatabasePath(programFolder);
    const QFileInfo info(path);
    if (!info.exists()) {
        show(QStringLiteral("Unable to locate %1.")
                 .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
        return false;
    }

    CMarkup markup;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
        if (!markup.ParseDocument(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
            qCWarning(lcOrvexCommands).noquote()
                << QDir::toNativeSeparators(path) << ":" << QString::fromLocal8Bit(markup.Error());
    }

    if (!markup.FindSibling("database")) {
        show(QStringLiteral("Unable to find 'database' element"));
        return false;
    }
    if (markup.AttributeValue("name") != "Parameter Tables.xls") {
        show(QStringLiteral("Invalid attribute"));
        return false;
    }

    markup.EnterElement();
    ReadTable(markup, ErrorLayout, owner.Errors);
    ReadTable(markup, ParameterLayout, owner.Parameters);
    ReadTable(markup, StatusLayout, owner.Status);
    ReadTable(markup, XCommandLayout, owner.XCommands);
    return true;
}

void FillParameterLimits(const CommandDatabaseLists& lists, ParameterLimits& limits)
{
    for (const auto& record : lists.Parameters) {
        const int number = LeadingInteger(record->m_Number);
        if (number < 0 || number >= ParameterLimits::Count)
            continue;
        ParameterLimits::Entry& entry = limits[number];
        entry.Minimum = LeadingDecimal(record->m_Minimum);
        entry.Maximum = LeadingDecimal(record->m_Maximum);
        entry.Default = LeadingDecimal(record->m_Default);
    }
}

int LeadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i].unicode()))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    constexpr long long Limit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), Limit);
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min(value, Limit - 1));
}

double LeadingDecimal(QStringView text)
{
    // Characters outside Latin-1 cannot be part of a number; they become '?'.
    const QByteArray bytes = text.toLatin1();
    std::string_view rest(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    while (!rest.empty() && IsCSpace(static_cast<unsigned char>(rest.front())))
        rest.remove_prefix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty() || rest.front() == '+' || rest.front() == '-')
        return 0.0;

    // std::from_chars reads like strtod in the C locale, without the "0x"
    // prefix, so a hexadecimal number is handed over without it.
    bool hex = false;
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
        (std::isxdigit(static_cast<unsigned char>(rest[2])) != 0 ||
         (rest[2] == '.' && rest.size() > 3 &&
          std::isxdigit(static_cast<unsigned char>(rest[3])) != 0))) {
        hex = true;
        rest.remove_prefix(2);
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value,
                        hex ? std::chars_format::hex : std::chars_format::general);
    if (error == std::errc::invalid_argument)
        return 0.0;
    if (error == std::errc::result_out_of_range) {
        const long long exponent =
            LeadingDigitExponent(std::string_view(rest.data(), end - rest.data()), hex);
        value = exponent > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

} // namespace Orvex
