#include "SupportDocuments.h"

#include <QDir>
#include <QFileInfo>

namespace Orvex {

namespace SupportDocuments {

namespace {

constexpr const char* kModels[ModelCount] = {
    "KD-A1P (100 W)",  "KD-A2P (200 W)", "KD-A3P (400 W)", "KD-A4P(750 W)",
    "KD-A5P (1.3 kW)", "KD-B1 (2 kW)",   "KD-B2 (3 kW)",   "KD-A1S (100 W)",
    "KD-A2S (200 W)",  "KD-A3S (400 W)", "KD-A4S (750 W)", "KD-A5S (1.3 kW)",
};

struct ErrorText
{
    int Result;
    const char* Text;
};

constexpr ErrorText kErrors[] = {
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied access to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {26, "A sharing violation occurred."},
    {27, "The file name association is incomplete or invalid."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The Dynamic Data Exchange (DDE) transaction could not be completed because other DDE "
         "transactions were being processed."},
    {31, "There is no application associated with the given file name extension. This error "
         "will also be returned if you attempt to print a file that is not printable."},
    {32, "The specified dynamic-link library (DLL) was not found."},
};

} // namespace

QString QuickReferenceGuide(int modelIndex)
{
    const char* guide = modelIndex <= 4   ? "Orvex KD-A1_A5P QRG"
                        : modelIndex <= 6 ? "Orvex KD-B1_B2P QRG"
                                          : "Orvex KD-A1_A5S QRG";
    return QLatin1String(guide) + QLatin1String(".pdf");
}

QString ModelName(int modelIndex)
{
    if (modelIndex < 0 || modelIndex >= ModelCount)
        return QString();
    return QLatin1String(kModels[modelIndex]);
}

int OpenResult(const QUrl& url, const std::function<bool(const QUrl&)>& open)
{
    // The desktop only answers whether it opened the file; asking the file
    // first tells the user which of the usual reasons it was.
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (!file.dir().exists())
            return 3;
        if (!file.exists())
            return 2;
        if (!file.isReadable())
            return 5;
    }
    return open(url) ? OpenedResult : 31;
}

QString OpenErrorText(int result)
{
    for (const ErrorText& error : kErrors) {
        if (error.Result == result)
            return QLatin1String(error.Text);
    }
    return QStringLiteral("An unknown error occurred (%1).").arg(result);
}

QUrl LinkTarget(const QString& text)
{
    if (text.contains(u'@'))
        return QUrl(QStringLiteral("mailto:") + text);
    return QUrl(text);
}

} // namespace SupportDocuments

} // namespace Orvex
