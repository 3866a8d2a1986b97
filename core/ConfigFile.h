#pragma once
// Torvane.cfg: one value per line, no keys, CR LF, Windows-1252, "." as decimal separator.

#include "core/ProgramValues.h"

#include <QString>

namespace torvane {

/// Where the main window stands when it closes, in twips.
struct WindowPlacement {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 5200;
};

/// Reads the file into `values`; a line that is missing, malformed or out of range leaves its
/// setting as it was. Returns false when the file does not exist or cannot be read.
bool readConfigFile(const QString &path, ProgramValues &values);

/// The bytes that the file holds for these values, lines 1 to 13 and on.
QByteArray configFileBytes(const ProgramValues &values, const WindowPlacement &window);

/// Writes the file through a temporary file renamed over the old one, so a failed write never
/// leaves a truncated configuration. Returns an empty text on success, else the reason.
QString writeConfigFile(const QString &path, const ProgramValues &values,
                        const WindowPlacement &window);

}  // namespace torvane
