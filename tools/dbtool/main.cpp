// torvane-db: Torvane's call database and settings file from the command line. See dbToolUsage().

#include "tools/dbtool/DbCommands.h"

#include <QCoreApplication>
#include <csignal>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Torvane"));
    // A write past a file size limit fails with its reason instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    return torvane::runDbTool(QCoreApplication::arguments().mid(1));
}
