// Builds a support document from its Markdown source at build time: a PDF
// for the guides, a rich text file for the release notes ("KVTReleaseNotes.wri",
// which word processors open as rich text).
//
// Usage: orvex_make_document <source.md> <output.pdf|output.wri> [title]
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cstdio>

namespace {

QString RtfEscaped(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\\' || code == u'{' || code == u'}')
            out += u'\\' + QString(c);
        else if (code == u'\t')
            out += QStringLiteral("\\tab ");
        else if (code < 0x80)
            out += c;
        else
            out += QStringLiteral("\\u%1?").arg(static_cast<short>(code));
    }
    return out;
}

// One paragraph a block: headings large and bold, list items with a bullet.
QByteArray ToRtf(const QTextDocument& document)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                                 "\\fs20\n");
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = RtfEscaped(block.text());
        const int level = block.blockFormat().headingLevel();
        if (level > 0) {
            rtf += QStringLiteral("\\pard\\sb240\\sa120\\b\\fs%1 %2\\b0\\fs20\\par\n")
                       .arg(level == 1 ? 32 : 26)
                       .arg(text);
        } else if (block.textList() != nullptr) {
            rtf += QStringLiteral("\\pard\\li360\\fi-240\\sa60 \\bullet\\tab %1\\par\n").arg(text);
        } else if (!text.isEmpty()) {
            rtf += QStringLiteral("\\pard\\sa120 %1\\par\n").arg(text);
        }
    }
    rtf += QStringLiteral("}\n");
    return rtf.toLatin1();
}

bool WritePdf(QTextDocument& document, const QString& path, const QString& title)
{
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Orvex Support Tool"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
    document.print(&writer);
    return QFileInfo(path).size() > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "Usage: orvex_make_document <source.md> <output> [title]\n");
        return 2;
    }
    QFile source(arguments.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Unable to read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    QTextDocument document;
    document.setMarkdown(QString::fromUtf8(source.readAll()));
    const QString output = arguments.at(2);
    const QString title =
        arguments.size() > 3 ? arguments.at(3) : QFileInfo(output).completeBaseName();
    if (output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        if (!WritePdf(document, output, title)) {
            std::fprintf(stderr, "Unable to write %s\n", qPrintable(output));
            return 1;
        }
        return 0;
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(ToRtf(document)) < 0 || !file.commit()) {
        std::fprintf(stderr, "Unable to write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
