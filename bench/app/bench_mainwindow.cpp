// The main window's lookups and start-up, offscreen, against a web server on 127.0.0.1.
// Run with QT_QPA_PLATFORM=offscreen (set here when unset).

#include "app/MainWindow.h"
#include "calldb/CallDatabase.h"
#include "support/TestWebServer.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace torvane;

namespace {

QTemporaryDir *g_home = nullptr;
TestWebServer *g_server = nullptr;

QString folder() { return g_home->filePath(QStringLiteral("Torvane")); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

/// Data folder with the shipped languages, hosts on the local server and the given lines.
void prepare(const QByteArray &cfg)
{
    QDir(folder()).removeRecursively();
    QDir().mkpath(folder() + QStringLiteral("/Languages"));
    const QString data = QStringLiteral(TORVANE_SOURCE_DIR "/data/Languages/");
    for (const QString &f : QDir(data).entryList(QDir::Files))
        QFile::copy(data + f, folder() + QStringLiteral("/Languages/") + f);
    QByteArray hosts;
    for (const char *name : {"eham", "qrzpictures", "geocoder"})
        hosts += QByteArray(name) + '=' + g_server->baseUrl().toUtf8() + "\r\n";
    writeFile(folder() + QStringLiteral("/Hosts.cfg"), hosts);
    writeFile(folder() + QStringLiteral("/Torvane.cfg"), cfg);
}

/// Start-up, then the connection's answer and its Timer3 are let run out before any lookup.
void startUp(MainWindow &form)
{
    form.startUp();
    if (!QTest::qWaitFor([&form] { return form.lblStatus->text() != form.item(33) && !form.Timer3->isActive(); },
                         10000))
        qWarning("the site did not answer within 10 s");
}

/// Runs one lookup of call and waits until the panel is filled.
void lookupOnce(MainWindow &form, const QString &call)
{
    form.cboCall->setEditText(call);
    QEventLoop wait;
    const auto c = QObject::connect(&form, &MainWindow::lookupSettled, &wait, &QEventLoop::quit);
    QTimer::singleShot(0, &form, &MainWindow::Lookup);
    wait.exec();
    QObject::disconnect(c);
}

void BM_WebLookup(benchmark::State &state)
{
    prepare("52.1\r\n5.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\n\r\n1\r\n1\r\n");
    ProgramValues values;
    MainWindow form(values);
    startUp(form);
    lookupOnce(form, QStringLiteral("W1AW"));  // the first lookup of a run also checks for updates
    for (auto _ : state) {
        lookupOnce(form, QStringLiteral("W1AW"));
        if (form.lblName->text().isEmpty())
            state.SkipWithError(qPrintable(QStringLiteral("the panel stayed empty: ") + form.lblNot->text()));
    }
}
BENCHMARK(BM_WebLookup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LocalLookup(benchmark::State &state)
{
    prepare("52.1\r\n5.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\n\r\n1\r\n0\r\n");
    // A sorted database of 100,000 stations, written record by record.
    QByteArray records;
    records.reserve(100000 * 167);
    for (int i = 0; i < 100000; ++i) {
        CallRecord r;
        r.setText(CallRecord::Call, QStringLiteral("K%1").arg(i, 5, 10, QChar(u'0')));
        r.setText(CallRecord::Name, QStringLiteral("STATION %1").arg(i));
        r.setText(CallRecord::Lat, u"41.7");
        r.setText(CallRecord::Lon, u"-72.7");
        records += QByteArray(r.data(), 167);
    }
    writeFile(folder() + QStringLiteral("/CallData.db"), records);
    ProgramValues values;
    MainWindow form(values);
    startUp(form);
    lookupOnce(form, QStringLiteral("K00000"));
    int i = 0;
    for (auto _ : state) {
        lookupOnce(form, QStringLiteral("K%1").arg((i++ * 7919) % 100000, 5, 10, QChar(u'0')));
        if (form.lblName->text().isEmpty())
            state.SkipWithError(qPrintable(QStringLiteral("the panel stayed empty: ") + form.lblNot->text()));
    }
}
BENCHMARK(BM_LocalLookup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StartUp(benchmark::State &state)
{
    // Source 7 makes no connection: the first connection is not counted.
    prepare("52.1\r\n5.1\r\n7\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\n\r\n1\r\n1\r\n");
    for (auto _ : state) {
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        if (!form.isVisible())
            state.SkipWithError("not shown");
        state.PauseTiming();
        form.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    g_home = &home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    TestWebServer server;
    server.listen();
    g_server = &server;
    server.setPage(QStringLiteral("/"), "<html><body>eHam.net</body></html>");
    server.setPage(QStringLiteral("/callbook/W1AW"),
                   "<html><body><div>eHam.net</div><h3>Search Results</h3><table>"
                   "<tr><td><b>W1AW</b></td></tr><tr><td>HIRAM PERCY MAXIM</td></tr>"
                   "<tr><td>225 MAIN ST</td></tr><tr><td>NEWINGTON, CT 06111</td></tr>"
                   "<tr><td>United States</td></tr></table><table>"
                   "<tr><td>License Class</td><td>Club</td></tr>"
                   "<tr><td>Country</td><td>United States</td></tr>"
                   "<tr><td>Latitude</td><td>41.714775</td></tr>"
                   "<tr><td>Longitude</td><td>-72.727260</td></tr></table>"
                   "<div>Privacy Policy</div></body></html>");
    setBeepHook([](int, int) {});
    ScopedMessageHook quiet([](const MessageRequest &) { return 0; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
