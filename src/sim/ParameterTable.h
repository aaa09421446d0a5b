#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace Orvex {

struct CommandDatabaseLists;

// The simulated drive's parameters P0 to P255: their metadata as the command
// database gives it, and the working and flash-stored value of each.
class ParameterTable
{
public:
    enum class Format
    {
        Integer,
        Float,
        Boolean
    };

    struct Entry
    {
        int Number = 0;
        QString Mnemonic; // upper case, may be empty
        Format DataFormat = Format::Float;
        double Minimum = 0.0;
        double Maximum = 0.0;
        double Default = 0.0;
        double Working = 0.0;
        double Stored = 0.0;
        // Values the drive computes or measures itself; a write answers "Read only".
        bool ReadOnly = false;
    };

    enum class WriteResult
    {
        Written,
        OutOfRange,
        ReadOnly
    };

    // Takes every included parameter row of lists; rows whose number is not
    // 0..255 or is given twice are skipped (the first row wins).
    explicit ParameterTable(const CommandDatabaseLists& lists);
    // Why lists cannot make a table, or empty when they can: a limit or
    // default that is not a finite number ("nan", "inf") has no value a
    // drive could hold.
    static QString Problem(const CommandDatabaseLists& lists);

    const Entry* Find(int number) const;
    const Entry* FindByMnemonic(const QString& upperCaseName) const;
    const std::vector<Entry>& Entries() const { return m_Entries; }

    // Checks value against the entry's limits (Integer and Boolean values
    // lose their fraction first) and stores it as the working value.
    WriteResult Write(int number, double value);
    // Stores without any check; the drive's own computed values go here.
    void SetWorking(int number, double value);
    void SetStoredAndWorking(int number, double value);

    void SaveToFlash();
    void LoadFromFlash();
    void RestoreDefaults();

    // The value as the drive prints it: whole numbers for Integer and
    // Boolean, up to seven significant digits for Float.
    static QString FormatValue(Format format, double value);
    QString FormatWorking(int number) const;
    // "<min> to <max>" in the entry's format.
    QString RangeText(int number) const;

private:
    Entry* FindMutable(int number);
    static double Normalised(Format format, double value);

    std::vector<Entry> m_Entries; // in number order
};

} // namespace Orvex
