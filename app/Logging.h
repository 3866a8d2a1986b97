#pragma once
// Diagnostics of the main window's own files: Torvane.cfg, Ham.bmp and the pictures the
// operator saves, each failure with the file and the reason. Off by default;
// QT_LOGGING_RULES="torvane.app=true" shows them.

#include <QLoggingCategory>

namespace torvane {
Q_DECLARE_LOGGING_CATEGORY(lcApp)
}
