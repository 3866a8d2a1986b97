#include "ui/Logging.h"

namespace torvane {
// Warnings by default: a language or clipboard failure otherwise leaves no trace.
Q_LOGGING_CATEGORY(lcUi, "torvane.ui", QtWarningMsg)
}
