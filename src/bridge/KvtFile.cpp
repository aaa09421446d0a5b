#include "KvtFile.h"

#include "ComponentError.h"
#include "ConfigurationValues.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <map>

namespace Orvex {

namespace {

const QString kMagic = QStringLiteral("ORVEX-KVT");
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

void KvtFile::Write(const QString& path, const ConfigurationValues& values)
{
    QString notStorable;
    if (!values.CanBeStored(&notStorable)) {
        throw ComponentError(
            ResultCode::Fail,
            QStringLiteral("The configuration cannot be saved: %1 is not a number.")
                .arg(notStorable));
    }

    QString text = QStringLiteral("%1 %2\n").arg(kMagic).arg(Version);
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        text += QLatin1String(property.Name);
        text += u'=';
        text += values.FileText(property);
        text += u'\n';
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        FailFile(QStringLiteral("Unable to save configuration file"), path, file.errorString());
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        FailFile(QStringLiteral("Unable to save configuration file"), path, file.errorString());
    }
}

void KvtFile::Read(const QString& path, ConfigurationValues& values)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FailFile(QStringLiteral("Unable to open configuration file"), path, file.errorString());
    }
    if (file.size() > kMaxFileSize) {
        FailFile(QStringLiteral("Unable to read configuration file"), path,
                 QStringLiteral("the file is too large to be a configuration"));
    }
    const QByteArray bytes = file.readAll();

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
            const QString version = header.mid(kMagic.size() + 1);
            if (version != QString::number(Version)) {
                FailAt(path, lineNumber, QStringLiteral("unsupported version '%1'").arg(version));
            }
            continue;
        }
        if (line.isEmpty()) {
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
    if (lines.isEmpty()) {
        FailAt(path, 1, QStringLiteral("not an Orvex configuration file"));
    }
    values = loaded;
}

} // namespace Orvex
