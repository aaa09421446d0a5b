#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace Orvex {

// The support documents beside the program, and what opening one answers.
namespace SupportDocuments {

inline constexpr char ReleaseNotes[] = "KVTReleaseNotes.wri";
inline constexpr char DriveUserGuide[] = "OrvexDriveUserGuide.pdf";
inline constexpr int ModelCount = 12;

// The quick reference guide for a drive model (index of the model dialog),
// with its extension: 0 to 4 "Orvex KD-A1_A5P QRG.pdf", 5 and 6
// "Orvex KD-B1_B2P QRG.pdf", the others "Orvex KD-A1_A5S QRG.pdf".
QString QuickReferenceGuide(int modelIndex);

// The model dialog's radio texts in index order.
QString ModelName(int modelIndex);

// What opening a document answers, in the codes the support texts are
// written for: above 32 it opened; 2 no such file, 3 no such folder, 5 the
// file may not be read, 31 nothing on this system opens it.
inline constexpr int OpenedResult = 33;
int OpenResult(const QUrl& url, const std::function<bool(const QUrl&)>& open);

// The text of the "ShellExecute() Error" box for a result of 32 or less.
QString OpenErrorText(int result);

// A hyperlink's target: a text with an at sign is an e-mail address.
QUrl LinkTarget(const QString& text);

} // namespace SupportDocuments

} // namespace Orvex
