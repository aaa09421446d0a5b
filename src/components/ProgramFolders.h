#pragma once

#include <QString>
#include <QStringList>

namespace Orvex {

// Where the program's shipped files are: beside the executable when it runs
// from its build folder, in the installed data and library folders when it
// is installed (both found from the executable's folder, so an installed
// tree can move as a whole).
struct ProgramFolders
{
    QString Data;    // the data files
    QString Library; // the motor database library
    // A file found in no folder, with the folders looked in; empty when every
    // file was found.
    QString Missing;
    QStringList Searched;

    bool Found() const { return Missing.isEmpty(); }
    // "Unable to locate <file>." followed by the folders looked in.
    QString MissingMessage() const;
};

// The data files start-up reads and the motor database library.
QStringList StartupDataFiles();
QString MotorDatabaseLibraryName();

// The folders to look in, best first.
QStringList DataFolderCandidates(const QString& executableFolder);
QStringList LibraryFolderCandidates(const QString& executableFolder);

// Finds the first folder that holds every one of dataFiles and the first that
// holds the library (none looked for when it is empty). A file found nowhere
// is reported from the folder that holds the most of its kind.
ProgramFolders FindProgramFolders(const QString& executableFolder, const QStringList& dataFiles,
                                  const QString& library);

} // namespace Orvex
