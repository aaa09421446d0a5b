#include "CommandDatabase.h"

#include "BoundedFile.h"
#include "Markup.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
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

// The command database is a few hundred kilobytes at most; a file far larger
// is not one and would only fill the memory.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// How the element texts of a document are turned into text: the encoding
// its XML declaration names, else the Windows code page the spreadsheet
// export writes.
enum class Encoding
{
    Utf8,
    Latin1,
    Windows1252
};

// The characters Windows-1252 puts where Latin-1 has control codes.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

Encoding DeclaredEncoding(std::string_view text)
{
    if (!text.starts_with("<?xml"))
        return Encoding::Windows1252;
    std::string declaration(text.substr(0, text.find("?>")));
    std::transform(declaration.begin(), declaration.end(), declaration.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const std::size_t at = declaration.find("encoding");
    if (at == std::string::npos)
        return Encoding::Windows1252;
    const std::size_t open = declaration.find_first_of("\"'", at);
    const std::size_t close =
        open == std::string::npos ? open : declaration.find(declaration[open], open + 1);
    const std::string name =
        close == std::string::npos ? std::string() : declaration.substr(open + 1, close - open - 1);
    if (name == "utf-8" || name == "utf8")
        return Encoding::Utf8;
    if (name == "iso-8859-1" || name == "latin1" || name == "iso_8859-1" || name == "latin-1")
        return Encoding::Latin1;
    return Encoding::Windows1252;
}

QString Decode(const std::string& bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    if (encoding == Encoding::Windows1252) {
        for (QChar& c : text) {
            if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
                c = QChar(kWindows1252High[c.unicode() - 0x80]);
        }
    }
    return text;
}

// Reads the rows of the next "table" into list. The field search only moves
// forward, so a column that stands before the one found last stays empty.
template <class Record, std::size_t Count>
void ReadTable(CMarkup& markup, const TableLayout<Record, Count>& layout, Encoding encoding,
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
                fields.*column.Field = Decode(markup.ElementText(), encoding);
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
                         const CommandDatabaseMessage& showMessage)
{
    const auto show = [&showMessage](const QString& text, const QString& details = QString()) {
        if (!details.isEmpty())
            qCWarning(lcOrvexCommands).noquote() << text << "-" << details;
        if (showMessage)
            showMessage(text, details);
    };

    const QString path = CommandDatabasePath(programFolder);
    const QFileInfo info(path);
    const QString shownPath = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.exists()) {
        show(QStringLiteral("Unable to locate %1.").arg(shownPath));
        return false;
    }

    QString reason;
    const std::optional<QByteArray> bytes = ReadBoundedFile(path, kMaxFileSize, &reason);
    if (!bytes) {
        show(QStringLiteral("Unable to read %1: %2.").arg(shownPath, reason));
        return false;
    }
    const std::string_view text(bytes->constData(), std::size_t(bytes->size()));
    const Encoding encoding = DeclaredEncoding(text);
    CMarkup markup;
    if (!markup.ParseDocument(text)) {
        show(QStringLiteral("Unable to find 'database' element"),
             QStringLiteral("%1, line %2: %3")
                 .arg(shownPath)
                 .arg(markup.ErrorLine())
                 .arg(QString::fromStdString(markup.Error())));
        return false;
    }
    if (!markup.FindSibling("database")) {
        show(QStringLiteral("Unable to find 'database' element"),
             QStringLiteral("%1: no element named 'database' at the top of the file")
                 .arg(shownPath));
        return false;
    }
    const std::string name = markup.AttributeValue("name");
    if (name != "Parameter Tables.xls") {
        show(QStringLiteral("Invalid attribute"),
             QStringLiteral("%1, line %2: the database is named '%3', not 'Parameter Tables.xls'")
                 .arg(shownPath)
                 .arg(markup.CurrentLine())
                 .arg(Decode(name, encoding)));
        return false;
    }

    markup.EnterElement();
    ReadTable(markup, ErrorLayout, encoding, owner.Errors);
    ReadTable(markup, ParameterLayout, encoding, owner.Parameters);
    ReadTable(markup, StatusLayout, encoding, owner.Status);
    ReadTable(markup, XCommandLayout, encoding, owner.XCommands);
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
