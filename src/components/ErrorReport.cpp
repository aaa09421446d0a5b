#include "ErrorReport.h"

#include <cstring>
#include <exception>

Q_LOGGING_CATEGORY(lcOrvexTrace, "orvex.trace")

namespace Orvex {

QString BuildDateText(const char* compilerDate)
{
    // __DATE__ is "Mmm dd yyyy" with the day padded by a blank.
    QString date = QString::fromLatin1(compilerDate ? compilerDate : "");
    if (date.size() >= 6 && date.at(4) == QLatin1Char(' '))
        date[4] = QLatin1Char('0');
    return date;
}

QString FormatTraceLine(const char* file, int line, const char* date, const QString& text)
{
    QString result = QStringLiteral("%1(%2) : {%3} %4\n")
                         .arg(QString::fromLocal8Bit(file ? file : ""))
                         .arg(line)
                         .arg(BuildDateText(date))
                         .arg(text.isEmpty() ? QStringLiteral("???") : text);
    result.truncate(TraceLineMaxLength);
    return result;
}

void TraceError(const char* file, int line, const char* date, const QString& text)
{
    QString traceLine = FormatTraceLine(file, line, date, text);
    if (traceLine.endsWith(QLatin1Char('\n')))
        traceLine.chop(1);
    qCWarning(lcOrvexTrace).noquote() << traceLine;
}

QString ErrorCodeText(std::uint32_t code)
{
    return QStringLiteral("Error 0x") + QString::number(code, 16).toUpper();
}

std::uint32_t ReportCurrentException(const char* file, int line, const char* date)
{
    try {
        throw;
    } catch (const ComponentError& error) {
        if (error.Code() != ResultCode::Aborted)
            TraceError(file, line, date, ErrorCodeText(error.Code()));
        return error.Code();
    } catch (const FrameworkException& error) {
        TraceError(file, line, date, error.Message().left(FrameworkMessageMaxLength));
    } catch (const std::exception& error) {
        TraceError(file, line, date, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        TraceError(file, line, date, QStringLiteral("\"...\" exception caught"));
    }
    return ResultCode::Fail;
}

std::uint32_t ReportSystemError(const char* file, int line, const char* date, std::uint32_t code)
{
    if (code == 0 || code == 1) {
        TraceError(file, line, date, QStringLiteral("Unexpected error"));
    } else {
        QString systemText = QString::fromLocal8Bit(std::strerror(static_cast<int>(code)));
        while (systemText.endsWith(QLatin1Char('\n')) || systemText.endsWith(QLatin1Char('\r')))
            systemText.chop(1);
        TraceError(file, line, date,
                   QStringLiteral("%1 (%2)").arg(ErrorCodeText(code), systemText));
    }
    return ResultCode::Fail;
}

void FailCheck(const char* file, int line, const char* date, const char* expression)
{
    const QString text = QStringLiteral("%1 is FALSE").arg(QString::fromLatin1(expression));
    TraceError(file, line, date, text);
    throw ComponentError(ResultCode::Unexpected, text);
}

} // namespace Orvex
