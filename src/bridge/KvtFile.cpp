#include "KvtFile.h"

#include "BoundedFile.h"
#include "ComponentError.h"
#include "ConfigurationValues.h"

#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>

#include <map>

namespace Orvex {

namespace {

const QString kMagic = QStringLiteral("ORVEX-KVT");
const QString kEnd = QStringLiteral("END ");
// A configuration is a few kilobytes; anything far larger is not one, and is
// not worth reading into memory.
constexpr qint64 kMaxFileSize = 1024 * 1024;

[[noreturn]] void FailAt(const QString& path, int line, const QString& what)
{
    throw ComponentError(
        ResultCode::Fail,
        QStringLiteral("%1, line %2: %3").arg(QDir::toNativeSeparators(path)).arg(line).arg(what));
}

[[noreturn]] void FailFile(const QString& what, const QString& path, const QString& reason)
{
    throw ComponentError(
        ResultCode::Fail,
        QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), reason));
}

} // namespace

QByteArray KvtFile::Format(const ConfigurationValues& values)
{
    QString text = QStringLiteral("%1 %2\n").arg(kMagic).arg(Version);
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        text += QLatin1String(property.Name);
        text += u'=';
        text += values.FileText(property);
        text += u'\n';
    }
    text += kEnd + QString::number(ConfigurationValues::Properties().size()) + u'\n';
    return text.toUtf8();
}

void KvtFile::Write(const QString& path, const ConfigurationValues& values)
{
    QString notStorable;
    if (!values.CanBeStored(&notStorable)) {
        throw ComponentError(
            ResultCode::Fail,
            QStringLiteral("The configuration cannot be saved: %1 is not a number.")
                .arg(notStorable));
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        FailFile(QStringLiteral("Unable to save configuration file"), path, file.errorString());
    }
    const QByteArray bytes = Format(values);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        FailFile(QStringLiteral("Unable to save configuration file"), path, file.errorString());
    }
}

void KvtFile::Read(const QString& path, ConfigurationValues& values)
{
    QString reason;
    const std::optional<QByteArray> bytes = ReadBoundedFile(path, kMaxFileSize, &reason);
    if (!bytes) {
        FailFile(QStringLiteral("Unable to open configuration file"), path, reason);
    }
    Parse(*bytes, path, values);
}

void KvtFile::Parse(const QByteArray& bytes, const QString& path, ConfigurationValues& values)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        FailFile(QStringLiteral("Unable to read configuration file"), path,
                 QStringLiteral("the file is not a text file"));
    }

    QList<QStringView> lines = QStringView(text).split(u'\n');
    // A final line break ends the last line rather than starting an empty one.
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    if (lines.isEmpty()) {
        FailAt(path, 1, QStringLiteral("not an Orvex configuration file"));
    }

    int version = 0;
    int endLine = 0;
    ConfigurationValues loaded;
    std::map<QString, int> seenOnLine;
    for (int index = 0; index < lines.size(); ++index) {
        const int lineNumber = index + 1;
        QStringView line = lines[index];
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (lineNumber == 1) {
            const QString header = line.toString();
            if (!header.startsWith(kMagic + u' ')) {
                FailAt(path, lineNumber, QStringLiteral("not an Orvex configuration file"));
            }
            const QString versionText = header.mid(kMagic.size() + 1);
            version = versionText == QLatin1String("1")   ? 1
                      : versionText == QLatin1String("2") ? 2
                                                          : 0;
            if (version == 0) {
                FailAt(path, lineNumber,
                       QStringLiteral("unsupported version '%1'").arg(versionText));
            }
            continue;
        }
        if (line.isEmpty()) {
            continue;
        }
        if (endLine != 0) {
            FailAt(path, lineNumber, QStringLiteral("text after the end line"));
        }
        if (version >= 2 && line.startsWith(kEnd)) {
            const QStringView countText = line.mid(kEnd.size());
            bool ok = false;
            const int count = countText.toInt(&ok);
            if (!ok || count != int(seenOnLine.size())) {
                FailAt(path, lineNumber,
                       QStringLiteral("the end line counts %1 settings, but the file holds %2")
                           .arg(countText.toString())
                           .arg(seenOnLine.size()));
            }
            endLine = lineNumber;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            FailAt(path, lineNumber,
                   QStringLiteral("'%1' is not a Name=value setting").arg(line.toString()));
        }
        const QString name = line.left(equals).toString();
        const QStringView valueText = line.mid(equals + 1);
        const ConfigurationValues::Property* property = ConfigurationValues::FindByName(name);
        if (property == nullptr) {
            FailAt(path, lineNumber, QStringLiteral("unknown setting '%1'").arg(name));
        }
        const auto [earlier, inserted] = seenOnLine.emplace(name, lineNumber);
        if (!inserted) {
            FailAt(path, lineNumber,
                   QStringLiteral("'%1' is set twice (first on line %2)")
                       .arg(name)
                       .arg(earlier->second));
        }
        if (!loaded.SetFromFileText(*property, valueText)) {
            FailAt(path, lineNumber,
                   QStringLiteral("bad value '%1' for %2").arg(valueText.toString(), name));
        }
    }

    // A file cut short, at a line break or inside a line, must not load with
    // the rest of its settings at their defaults.
    QStringList missing;
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        if (seenOnLine.count(QString::fromLatin1(property.Name)) == 0) {
            missing << QString::fromLatin1(property.Name);
        }
    }
    const int after = int(lines.size()) + 1;
    const QString without = missing.isEmpty()     ? QString()
                            : missing.size() == 1 ? QStringLiteral("'%1'").arg(missing.first())
                                                  : QStringLiteral("'%1' and %2 other settings")
                                                        .arg(missing.first())
                                                        .arg(missing.size() - 1);
    if (version >= 2 && endLine == 0) {
        FailAt(path, after,
               QStringLiteral("the file is not whole: it ends without its end line%1")
                   .arg(without.isEmpty() ? QString() : QStringLiteral(" and without ") + without));
    }
    if (!missing.isEmpty()) {
        FailAt(path, after, QStringLiteral("the file ends without %1").arg(without));
    }
    values = loaded;
}

} // namespace Orvex
