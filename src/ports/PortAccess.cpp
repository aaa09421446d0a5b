#include "PortAccess.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Orvex {

namespace {

// Every text the user may see about opening a port.
namespace Text {
QString NotPresent(const QString& path)
{
    return QStringLiteral("%1 is not present.").arg(path);
}

QString JoinGroup(const QString& path, const QString& group)
{
    return QStringLiteral("You are not allowed to open %1. Add your user to the '%2' group "
                          "(sudo usermod -aG %2 $USER), then log out and in again.")
        .arg(path, group);
}

QString LogInAgain(const QString& path, const QString& group)
{
    return QStringLiteral("You are not allowed to open %1. Your user was added to the '%2' "
                          "group after you logged in; log out and in again.")
        .arg(path, group);
}

QString AskForAccess(const QString& path)
{
    return QStringLiteral("You are not allowed to open %1. Ask your administrator for read "
                          "and write access to it.")
        .arg(path);
}

QString InUse(const QString& path)
{
    return QStringLiteral("%1 is in use by another program.").arg(path);
}

QString AlreadyOpen(const QString& path)
{
    return QStringLiteral("%1 is already open.").arg(path);
}

QString SystemError(const QString& path, const QString& reason)
{
    return QStringLiteral("Unable to open %1: %2").arg(path, reason);
}

QString NoDeviceGiven()
{
    return QStringLiteral("No serial device was given.");
}

QString NotADevice(const QString& path, const QString& what)
{
    return QStringLiteral("%1 is not a serial device: it is %2.").arg(path, what);
}
} // namespace Text

bool InGroupNow(gid_t group)
{
    if (getegid() == group) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<std::size_t>(i)] == group) {
            return true;
        }
    }
    return false;
}

// The group database already names the user as a member, but this session
// started before that: the groups of a process are fixed at login.
bool ListedAsMember(gid_t group)
{
    const passwd* user = getpwuid(geteuid());
    const ::group* entry = getgrgid(group);
    if (user == nullptr || entry == nullptr || entry->gr_mem == nullptr) {
        return false;
    }
    for (char** member = entry->gr_mem; *member != nullptr; ++member) {
        if (std::strcmp(*member, user->pw_name) == 0) {
            return true;
        }
    }
    return false;
}

QString PermissionProblem(const QString& path)
{
    struct stat info
    {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        return Text::AskForAccess(path);
    }
    // Joining the owning group only helps when that group may read and write.
    const bool groupMayUse = (info.st_mode & S_IRGRP) != 0 && (info.st_mode & S_IWGRP) != 0;
    if (!groupMayUse || info.st_uid == geteuid() || InGroupNow(info.st_gid)) {
        return Text::AskForAccess(path);
    }
    const ::group* entry = getgrgid(info.st_gid);
    if (entry == nullptr) {
        return Text::AskForAccess(path);
    }
    const QString group = QString::fromLocal8Bit(entry->gr_name);
    return ListedAsMember(info.st_gid) ? Text::LogInAgain(path, group)
                                       : Text::JoinGroup(path, group);
}

} // namespace

QString PortAccessProblem(const QString& systemLocation)
{
    if (systemLocation.isEmpty()) {
        return Text::NoDeviceGiven();
    }
    const QByteArray encoded = QFile::encodeName(systemLocation);
    if (access(encoded.constData(), R_OK | W_OK) == 0) {
        return QString();
    }
    const int error = errno;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Text::NotPresent(systemLocation);
    case EACCES:
    case EPERM:
        return PermissionProblem(systemLocation);
    default:
        return Text::SystemError(systemLocation, QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString DevicePathProblem(const QString& path)
{
    if (path.trimmed().isEmpty()) {
        return Text::NoDeviceGiven();
    }
    struct stat info
    {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        const int error = errno;
        return error == ENOENT || error == ENOTDIR
                   ? Text::NotPresent(path)
                   : Text::SystemError(path, QString::fromLocal8Bit(std::strerror(error)));
    }
    if (S_ISCHR(info.st_mode)) {
        return QString();
    }
    if (S_ISDIR(info.st_mode)) {
        return Text::NotADevice(path, QStringLiteral("a folder"));
    }
    if (S_ISREG(info.st_mode)) {
        return Text::NotADevice(path, QStringLiteral("a plain file"));
    }
    return Text::NotADevice(path, QStringLiteral("not a character device"));
}

QString DescribeOpenError(const QString& systemLocation, QSerialPort::SerialPortError error,
                          const QString& systemText)
{
    switch (error) {
    case QSerialPort::NoError:
        return QString();
    case QSerialPort::DeviceNotFoundError:
        return Text::NotPresent(systemLocation);
    case QSerialPort::PermissionError: {
        // Qt reports a device another program holds (busy, or its lock file
        // taken) as a permission error too; the file's access rights tell
        // the two apart.
        const QString problem = PortAccessProblem(systemLocation);
        return problem.isEmpty() ? Text::InUse(systemLocation) : problem;
    }
    case QSerialPort::OpenError:
        return Text::AlreadyOpen(systemLocation);
    default: {
        const QString problem = PortAccessProblem(systemLocation);
        if (!problem.isEmpty()) {
            return problem;
        }
        return Text::SystemError(
            systemLocation, systemText.isEmpty() ? QStringLiteral("unknown error") : systemText);
    }
    }
}

} // namespace Orvex
