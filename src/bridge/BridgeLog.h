#pragma once

#include <QLoggingCategory>

// The drive bridge's trace category ("orvex.bridge").
Q_DECLARE_LOGGING_CATEGORY(lcBridge)
