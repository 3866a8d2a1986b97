#include "ui/Logging.h"

namespace torvane {
// Off by default: an operator turns it on (QT_LOGGING_RULES) to send a log with a report.
Q_LOGGING_CATEGORY(lcUi, "torvane.ui", QtCriticalMsg)
}
