// Prints the page text of each snippet of a snippet file, and of whole HTML files, as JSON:
// [{"name", "markup", "text"}], text with the line ends the program gives (CR LF).
//   torvane_html2text snippets.txt [page.html ...]
// A snippet file holds entries that start with a line "=== name"; the lines up to the next such
// line, joined with LF, are the entry's markup (line ends at its end dropped).

#include "lookup/HtmlDecode.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace {

void add(QJsonArray &out, const QString &name, const QByteArray &markup)
{
    out.append(QJsonObject{{"name", name},
                           {"markup", QString::fromUtf8(markup)},
                           {"text", torvane::HTMLDecodeUtf8(markup)}});
}

void addSnippets(QJsonArray &out, const QByteArray &file)
{
    QString name;
    QList<QByteArray> lines;
    const auto flush = [&] {
        QByteArray markup = lines.join('\n');
        while (markup.endsWith('\n'))
            markup.chop(1);
        if (!name.isEmpty())
            add(out, name, markup);
        lines.clear();
    };
    for (const QByteArray &line : file.split('\n')) {
        if (line.startsWith("=== ")) {
            flush();
            name = QString::fromUtf8(line.mid(4).trimmed());
        } else {
            lines.append(line);
        }
    }
    flush();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: torvane_html2text snippets.txt [page.html ...]\n");
        return 2;
    }
    QJsonArray out;
    for (const QString &path : args) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
            return 1;
        }
        if (path.endsWith(".txt"))
            addSnippets(out, file.readAll());
        else
            add(out, QFileInfo(path).fileName(), file.readAll());
    }
    const QByteArray json = QJsonDocument(out).toJson();
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
