#include "app/Logging.h"

namespace torvane {
// Off by default: an operator turns it on to send a log with a report.
Q_LOGGING_CATEGORY(lcApp, "torvane.app", QtCriticalMsg)
}
