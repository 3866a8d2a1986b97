#pragma once
// The commands of torvane-db, the command-line maintenance tool for a Torvane data folder: its
// call database CallData.db and its settings file Torvane.cfg.

#include <QStringList>

namespace torvane {

/// Runs one command line without the program's name: <data folder> <command> [arguments].
/// Returns the exit status: 0 done (and sound, found, ...), 1 a failure or a problem found,
/// 2 a command line that is not understood. Results go to standard output, errors to standard
/// error, each naming the file and the reason.
int runDbTool(const QStringList &arguments);

/// The text shown for a command line that is not understood.
QString dbToolUsage();

}  // namespace torvane
