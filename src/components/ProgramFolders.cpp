#include "ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

namespace Orvex {

namespace {

// The folder of the file among candidates that holds all of files; when none
// does, *missing is the first file absent from the best candidate.
QString FolderHolding(const QStringList& candidates, const QStringList& files, QString* missing)
{
    int bestCount = -1;
    QString bestMissing;
    for (const QString& folder : candidates) {
        const QDir dir(folder);
        int count = 0;
        QString firstAbsent;
        for (const QString& file : files) {
            if (QFileInfo(dir.filePath(file)).isFile())
                ++count;
            else if (firstAbsent.isEmpty())
                firstAbsent = file;
        }
        if (firstAbsent.isEmpty())
            return dir.absolutePath();
        if (count > bestCount) {
            bestCount = count;
            bestMissing = firstAbsent;
        }
    }
    *missing = bestMissing;
    return QString();
}

QStringList Cleaned(const QString& executableFolder, const QStringList& relatives)
{
    QStringList folders;
    for (const QString& relative : relatives) {
        const QString folder = QDir::cleanPath(QDir(executableFolder).filePath(relative));
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

} // namespace

QString ProgramFolders::MissingMessage() const
{
    QStringList lines{QStringLiteral("Unable to locate %1.").arg(Missing),
                      QStringLiteral("Looked in:")};
    for (const QString& folder : Searched)
        lines << QStringLiteral("  ") + QDir::toNativeSeparators(folder);
    return lines.join(QLatin1Char('\n'));
}

QStringList StartupDataFiles()
{
    return {QStringLiteral("OrvexCommandDatabase.xml"), QStringLiteral("OrvexMotorDatabase.xml"),
            QStringLiteral("WindNum CustomNum CrossRef.xml")};
}

QString MotorDatabaseLibraryName()
{
    return QStringLiteral("OrvexMotorDatabase.so");
}

QStringList DataFolderCandidates(const QString& executableFolder)
{
    return Cleaned(executableFolder, {QStringLiteral("."), QStringLiteral(ORVEX_DATA_FROM_BINDIR)});
}

QStringList LibraryFolderCandidates(const QString& executableFolder)
{
    return Cleaned(executableFolder,
                   {QStringLiteral("."), QStringLiteral(ORVEX_LIBRARY_FROM_BINDIR)});
}

ProgramFolders FindProgramFolders(const QString& executableFolder, const QStringList& dataFiles,
                                  const QString& library)
{
    ProgramFolders folders;
    const QStringList dataCandidates = DataFolderCandidates(executableFolder);
    folders.Data = FolderHolding(dataCandidates, dataFiles, &folders.Missing);
    if (!folders.Found()) {
        folders.Searched = dataCandidates;
        return folders;
    }
    if (library.isEmpty())
        return folders;
    const QStringList libraryCandidates = LibraryFolderCandidates(executableFolder);
    folders.Library = FolderHolding(libraryCandidates, {library}, &folders.Missing);
    if (!folders.Found())
        folders.Searched = libraryCandidates;
    return folders;
}

} // namespace Orvex
