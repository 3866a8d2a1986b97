#pragma once
// Files that are rewritten whole (the settings, the ready-state file, cached pictures).

#include <QByteArray>
#include <QString>

namespace torvane {

/// Writes `bytes` as the whole content of the file at `path`: into a temporary file beside it,
/// flushed and synced, then renamed over the old file, so that a kill or a failure (a full disk,
/// a read-only folder) leaves the old file as it was. Returns an empty text on success, else the
/// reason, e.g. "No space left on device".
QString writeWholeFile(const QString &path, const QByteArray &bytes);

}  // namespace torvane
