#pragma once
// Diagnostics of the web lookups (QT_LOGGING_RULES="torvane.lookup.debug=true" for all).

#include <QLoggingCategory>

namespace torvane {
Q_DECLARE_LOGGING_CATEGORY(lcLookup)
}
