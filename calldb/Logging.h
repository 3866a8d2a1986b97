#pragma once
// Logging of the call database. Failed file operations are warnings (shown by default);
// QT_LOGGING_RULES="torvane.db.debug=true" also shows the quieter messages.

#include <QLoggingCategory>

namespace torvane {
Q_DECLARE_LOGGING_CATEGORY(lcDb)
}
