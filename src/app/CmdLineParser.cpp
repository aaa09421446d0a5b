#include "CmdLineParser.h"

namespace Orvex {

namespace {

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

CCmdLineParser::CCmdLineParser(const QString& commandLine)
{
    Parse(commandLine);
}

void CCmdLineParser::Parse(const QString& commandLine)
{
    m_commandLine = commandLine;
    m_values.clear();
    const QString& text = m_commandLine;
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('-') && c != QLatin1Char('/')) {
            // Not a switch: skip the word.
            while (i < length && !IsBlank(text.at(i)))
                ++i;
            while (i < length && IsBlank(text.at(i)))
                ++i;
            continue;
        }
        ++i;
        const qsizetype keyStart = i;
        while (i < length && !IsBlank(text.at(i)) && text.at(i) != QLatin1Char(':'))
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).toLower();
        QString value;
        if (i < length && text.at(i) == QLatin1Char(':')) {
            ++i;
            if (i < length && text.at(i) == QLatin1Char('"')) {
                ++i;
                const qsizetype valueStart = i;
                while (i < length && text.at(i) != QLatin1Char('"'))
                    ++i;
                value = text.mid(valueStart, i - valueStart);
                if (i < length)
                    ++i; // the closing quote
            } else {
                const qsizetype valueStart = i;
                while (i < length && !IsBlank(text.at(i)))
                    ++i;
                value = text.mid(valueStart, i - valueStart);
            }
        }
        if (!key.isEmpty())
            m_values.emplace(key, value); // emplace keeps the first occurrence
        while (i < length && IsBlank(text.at(i)))
            ++i;
    }
}

bool CCmdLineParser::HasKey(const QString& name) const
{
    return m_values.find(name.toLower()) != m_values.end();
}

QString CCmdLineParser::Value(const QString& name) const
{
    const auto it = m_values.find(name.toLower());
    return it == m_values.end() ? QString() : it->second;
}

} // namespace Orvex
