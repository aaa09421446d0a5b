#pragma once

#include "ComponentError.h"

#include <QLoggingCategory>
#include <QString>

#include <cstdint>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcOrvexTrace)

namespace Orvex {

// The program-wide error report: one trace line per failure, written to the
// trace channel (the "orvex.trace" logging category). Handlers that may fail
// run their body through ORVEX_GUARDED, which reports whatever escapes and
// returns normally.

inline constexpr int TraceLineMaxLength = 520;
inline constexpr int FrameworkMessageMaxLength = 259;

// "Mmm dd yyyy" from the compiler's __DATE__ ("Jan  5 2010" gives "Jan 05 2010").
QString BuildDateText(const char* compilerDate);

// Formats "%s(%i) : {%s} %s\n", cut to TraceLineMaxLength characters; a null
// or empty text prints as "???".
QString FormatTraceLine(const char* file, int line, const char* date, const QString& text);

void TraceError(const char* file, int line, const char* date, const QString& text);

// Reports the exception being handled (call only from a catch block). A
// component error answers its own code; one with code Aborted is not traced.
// Every other failure answers ResultCode::Fail.
std::uint32_t ReportCurrentException(const char* file, int line, const char* date);

// Traces "Unexpected error" for codes 0 and 1, else "Error 0x%0lX (<system text>)".
std::uint32_t ReportSystemError(const char* file, int line, const char* date, std::uint32_t code);

// "Error 0x%0lX" for a result code.
QString ErrorCodeText(std::uint32_t code);

// Traces "<expression> is FALSE" and throws ComponentError(Unexpected) with
// that text.
[[noreturn]] void FailCheck(const char* file, int line, const char* date, const char* expression);

// Runs body; reports anything it throws. Answers 0 when nothing was thrown,
// else the report's code.
template <class Body>
std::uint32_t RunGuarded(const char* file, int line, const char* date, Body&& body)
{
    try {
        std::forward<Body>(body)();
        return 0;
    } catch (...) {
        return ReportCurrentException(file, line, date);
    }
}

} // namespace Orvex

#define ORVEX_TRACE_ERROR(text) ::Orvex::TraceError(__FILE__, __LINE__, __DATE__, (text))
#define ORVEX_GUARDED(body) ::Orvex::RunGuarded(__FILE__, __LINE__, __DATE__, (body))
#define ORVEX_REPORT_CURRENT_EXCEPTION()                                                           \
    ::Orvex::ReportCurrentException(__FILE__, __LINE__, __DATE__)
#define ORVEX_REPORT_SYSTEM_ERROR(code)                                                            \
    ::Orvex::ReportSystemError(__FILE__, __LINE__, __DATE__, (code))
#define CheckOrThrow(condition)                                                                    \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::Orvex::FailCheck(__FILE__, __LINE__, __DATE__, #condition);                          \
    } while (false)
