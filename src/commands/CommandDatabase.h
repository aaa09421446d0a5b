#pragma once

#include "OrvexErrorCommand.h"
#include "OrvexParameterCommand.h"
#include "OrvexStatusCommand.h"
#include "OrvexXCommand.h"
#include "ParameterLimits.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

namespace Orvex {

// The four record lists that one load of the command database fills, each in
// file order and owning its records.
struct CommandDatabaseLists
{
    std::vector<std::unique_ptr<COrvexErrorCommand>> Errors;
    std::vector<std::unique_ptr<COrvexParameterCommand>> Parameters;
    std::vector<std::unique_ptr<COrvexStatusCommand>> Status;
    std::vector<std::unique_ptr<COrvexXCommand>> XCommands;

    void Clear();
};

// The database file beside the program: programFolder + "/OrvexCommandDatabase.xml".
QString CommandDatabasePath(const QString& programFolder);

// What the loader tells the user: the message, and details that say why (the
// file and line at fault), empty where the message says it all.
using CommandDatabaseMessage = std::function<void(const QString& text, const QString& details)>;

// Reads the command database of programFolder and appends its records to
// owner. On failure answers false after showing "Unable to locate %s.",
// "Unable to read %s: <reason>.", "Unable to find 'database' element" or
// "Invalid attribute" through showMessage; owner keeps whatever was appended,
// the caller clears it.
bool LoadCommandDatabase(CommandDatabaseLists& owner, const QString& programFolder,
                         const CommandDatabaseMessage& showMessage);

// Copies Minimum, Maximum and Default of every parameter record, in list
// order, into limits[n] with n the record's Number. Numbers outside 0..255
// are skipped.
void FillParameterLimits(const CommandDatabaseLists& lists, ParameterLimits& limits);

// The value of the leading integer of text as atoi reads it (white space,
// sign, digits; 0 when there is none), clamped to the range of int instead
// of overflowing.
int LeadingInteger(QStringView text);

// The value of the leading decimal number of text as atof reads it in the C
// locale (0.0 when there is none; ±HUGE_VAL or 0.0 when out of range).
double LeadingDecimal(QStringView text);

} // namespace Orvex
