#include "ButtonFile.h"

#include "BoundedFile.h"

#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace Orvex {

namespace {

const QLatin1String SectionName("userbuttons");
const QLatin1String LabelPrefix("label");
const QLatin1String CommandPrefix("command");

enum class Field
{
    None,
    Label,
    Command
};

struct Key
{
    Field Kind = Field::None;
    int Number = 0; // 1 to 12
};

// The format's reader trims spaces and tabs only.
bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Names compare without regard to ASCII case only, so that no other
// character can fold onto a name.
QChar LowerAscii(QChar c)
{
    return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + (u'a' - u'A')) : c;
}

bool StartsWithNoCase(QStringView text, QLatin1String lowerName)
{
    if (text.size() < lowerName.size())
        return false;
    for (qsizetype i = 0; i < lowerName.size(); ++i) {
        if (LowerAscii(text[i]) != QLatin1Char(lowerName[i]))
            return false;
    }
    return true;
}

bool EqualsNoCase(QStringView text, QLatin1String lowerName)
{
    return text.size() == lowerName.size() && StartsWithNoCase(text, lowerName);
}

// "1" to "12" exactly (no sign, no leading zero); 0 for anything else.
int ButtonNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 2 || digits[0] == u'0')
        return 0;
    int number = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number <= UserButtonCount ? number : 0;
}

Key MatchKey(QStringView name)
{
    if (StartsWithNoCase(name, LabelPrefix))
        return {Field::Label, ButtonNumber(name.sliced(LabelPrefix.size()))};
    if (StartsWithNoCase(name, CommandPrefix))
        return {Field::Command, ButtonNumber(name.sliced(CommandPrefix.size()))};
    return {};
}

// One pair of matching quotes around the whole value is not part of it.
QStringView StripEnclosingQuotes(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

QString CutValue(QStringView value)
{
    if (value.size() <= ButtonFileValueMaxLength)
        return value.toString();
    qsizetype length = ButtonFileValueMaxLength;
    // Never leave half a surrogate pair at the end.
    if (value[length - 1].isHighSurrogate())
        --length;
    return value.first(length).toString();
}

// Half a surrogate pair is no character: it could be neither shown nor
// written back, so it reads as the replacement character.
QString ReplaceLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// The format's reader takes a byte order mark as the file's encoding and
// plain bytes as the 8-bit code page.
QString DecodeFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return ReplaceLoneSurrogates(decoder(bytes.sliced(2)));
    }
    return QString::fromLatin1(bytes);
}

// A value written as it stands must stay on its line, or the rest of it
// would be read as further keys.
QString SingleLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

std::array<CUserButtonInfo, 12> ParseButtonFile(const QByteArray& bytes)
{
    std::array<CUserButtonInfo, 12> entries = DefaultUserButtons();
    std::array<bool, UserButtonCount> labelSeen{};
    std::array<bool, UserButtonCount> commandSeen{};
    const QString text = DecodeFile(bytes);
    const QStringView all(text);
    bool inSection = false;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf(u'\n', start);
        if (end < 0)
            end = all.size();
        QStringView line = all.sliced(start, end - start);
        start = end + 1;
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = TrimBlanks(line);
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            if (close > 0)
                inSection = EqualsNoCase(TrimBlanks(line.sliced(1, close - 1)), SectionName);
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const Key key = MatchKey(TrimBlanks(line.first(equals)));
        if (key.Number == 0)
            continue;
        const int index = key.Number - 1;
        auto& seen = key.Kind == Field::Label ? labelSeen : commandSeen;
        if (seen[index])
            continue; // the first occurrence of a key wins
        seen[index] = true;
        const QString value = CutValue(StripEnclosingQuotes(TrimBlanks(line.sliced(equals + 1))));
        (key.Kind == Field::Label ? entries[index].Label : entries[index].Command) = value;
    }
    return entries;
}

QByteArray FormatButtonFile(const std::array<CUserButtonInfo, 12>& entries)
{
    QString text = QStringLiteral("[UserButtons]\r\n");
    for (int k = 0; k < UserButtonCount; ++k) {
        text += QStringLiteral("Label%1=%2\r\n").arg(k + 1).arg(SingleLine(entries[k].Label));
        text += QStringLiteral("Command%1=%2\r\n").arg(k + 1).arg(SingleLine(entries[k].Command));
    }
    const bool fitsLatin1 =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; });
    if (fitsLatin1)
        return text.toLatin1();
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<std::array<CUserButtonInfo, 12>> ReadButtonFile(const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QString reason;
    const std::optional<QByteArray> bytes = ReadBoundedFile(path, ButtonFileMaxSize, &reason);
    if (!bytes)
        return fail(reason.left(1).toUpper() + reason.mid(1) + u'.');
    return ParseButtonFile(*bytes);
}

bool WriteButtonFile(const QString& path, const std::array<CUserButtonInfo, 12>& entries,
                     QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray bytes = FormatButtonFile(entries);
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace Orvex
