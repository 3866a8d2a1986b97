#pragma once
// Diagnostics of the user-interface kit: language files that cannot be read or decoded and
// clipboard failures. Warnings are on by default; QT_LOGGING_RULES="torvane.ui=false" hides them.

#include <QLoggingCategory>

namespace torvane {
Q_DECLARE_LOGGING_CATEGORY(lcUi)
}
