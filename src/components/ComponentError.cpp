#include "ComponentError.h"

#include <utility>

namespace Orvex {

ComponentError::ComponentError(std::uint32_t code, QString description)
    : m_code(code), m_description(std::move(description)), m_what(m_description.toStdString())
{}

FrameworkException::FrameworkException(QString message)
    : m_message(std::move(message)), m_what(m_message.toStdString())
{}

} // namespace Orvex
