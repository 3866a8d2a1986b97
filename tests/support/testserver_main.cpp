// torvane_testserver <folder> [<path>=<ms>...]: serves the files below folder on 127.0.0.1
// (request path -> file), answering each path given after waiting its milliseconds; prints the
// port as one line on stdout and each request's target as a line on stderr, followed by a line
// "cookie: ..." when the request carried cookies. Runs until killed.

#include "support/TestWebServer.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || !QFileInfo(args.at(1)).isDir()) {
        std::fprintf(stderr, "usage: torvane_testserver <folder> [<path>=<ms>...]\n");
        return 2;
    }
    torvane::TestWebServer server;
    server.setFileRoot(args.at(1));
    for (const QString &slow : args.mid(2))
        server.setDelay(slow.section(u'=', 0, 0), slow.section(u'=', 1).toInt());
    QObject::connect(&server, &torvane::TestWebServer::requestReceived, [&server](const QString &target) {
        std::fprintf(stderr, "%s\n", qPrintable(target));
        const QByteArray cookie = server.requests().constLast().cookie;
        if (!cookie.isEmpty())
            std::fprintf(stderr, "cookie: %s\n", cookie.constData());
        std::fflush(stderr);
    });
    if (!server.listen())
        return 1;
    std::printf("%u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    return app.exec();
}
