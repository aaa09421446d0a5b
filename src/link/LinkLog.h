#pragma once

#include <QLoggingCategory>

// The serial link library's trace category ("orvex.link").
Q_DECLARE_LOGGING_CATEGORY(lcLink)
