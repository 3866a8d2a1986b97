// torvane_testserver [--port N] [--verbose] <folder>
// Serves the files below folder on 127.0.0.1 (request path -> file; see TestWebServer) and
// prints the port it listens on as one line on stdout. Runs until killed.

#include "support/TestWebServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local web server for the end-to-end tests."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free one)."),
                      QStringLiteral("port"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("verbose"), QStringLiteral("Log each request on stderr.")});
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("Folder of files to serve."));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    bool portOk = false;
    const uint port = parser.value(QStringLiteral("port")).toUInt(&portOk);
    if (args.size() != 1 || !QFileInfo(args.first()).isDir() || !portOk || port > 65535) {
        std::fprintf(stderr, "usage: torvane_testserver [--port N] [--verbose] <folder>\n");
        return 2;
    }

    torvane::TestWebServer server;
    server.setFileRoot(args.first());
    if (parser.isSet(QStringLiteral("verbose"))) {
        QObject::connect(&server, &torvane::TestWebServer::requestReceived,
                         [](const torvane::WebRequest &r) {
                             std::fprintf(stderr, "%lld %s %s\n", static_cast<long long>(r.elapsedMs),
                                          r.method.constData(), qPrintable(r.target));
                         });
    }
    if (!server.listen(static_cast<quint16>(port))) {
        std::fprintf(stderr, "torvane_testserver: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("%u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    return app.exec();
}
