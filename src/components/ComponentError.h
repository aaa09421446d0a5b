#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace Orvex {

// Result codes that components and the error report agree on.
namespace ResultCode {
inline constexpr std::uint32_t NotImplemented = 0x80004001u;
inline constexpr std::uint32_t NoInterface = 0x80004002u;
inline constexpr std::uint32_t Aborted = 0x80004004u;
inline constexpr std::uint32_t Fail = 0x80004005u;
inline constexpr std::uint32_t Unexpected = 0x8000FFFFu;
inline constexpr std::uint32_t ClassNotRegistered = 0x80040154u;
} // namespace ResultCode

// A failure raised by a component call: a 32-bit result code and a text the
// user can read.
class ComponentError : public std::exception
{
public:
    ComponentError(std::uint32_t code, QString description);

    std::uint32_t Code() const noexcept { return m_code; }
    const QString& Description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::uint32_t m_code;
    QString m_description;
    std::string m_what;
};

// A failure of the application framework itself (a file that cannot be read, a
// window that cannot be made); reported with its own message.
class FrameworkException : public std::exception
{
public:
    explicit FrameworkException(QString message);

    const QString& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString m_message;
    std::string m_what;
};

} // namespace Orvex
