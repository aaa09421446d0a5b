// Feeds arbitrary drive output to the received-text box in reads of varying
// size, as the link delivers it, and checks the box stays within its cap.
#include "ReceivedText.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QApplication* g_application = nullptr;
QPlainTextEdit* g_box = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_application = new QApplication(*argc, *argv);
    g_box = new QPlainTextEdit;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the read size, the rest is what the drive sent;
    // the box keeps its text from one input to the next, as it does in use.
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    for (qsizetype at = 0; at < bytes.size(); at += qsizetype(chunk))
        Orvex::AppendReceived(*g_box, QString::fromLatin1(bytes.mid(at, qsizetype(chunk))));
    // The box is capped: at most the limit plus one read's worth of text.
    if (g_box->document()->characterCount() > Orvex::ReceivedTextLimit + 2 * int(bytes.size()) + 2)
        std::abort();
    return 0;
}
