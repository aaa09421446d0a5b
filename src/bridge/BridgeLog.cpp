#include "BridgeLog.h"

Q_LOGGING_CATEGORY(lcBridge, "orvex.bridge", QtInfoMsg)
