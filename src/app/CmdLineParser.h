#pragma once

#include <QString>

#include <map>

namespace Orvex {

// Splits a command line into switches ("-key" or "/key", optionally
// ":value" or ":\"quoted value\"") and answers which keys are present,
// whatever their letter case.
class CCmdLineParser
{
public:
    explicit CCmdLineParser(const QString& commandLine = QString());

    void Parse(const QString& commandLine);
    bool HasKey(const QString& name) const;
    QString Value(const QString& name) const;
    const QString& CommandLine() const { return m_commandLine; }

private:
    QString m_commandLine;
    std::map<QString, QString> m_values; // keys lower-cased, first occurrence wins
};

} // namespace Orvex
