#include "StartupLog.h"

Q_LOGGING_CATEGORY(startupLog, "kalvio.startup", QtWarningMsg)
