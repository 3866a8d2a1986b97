// The lookup component over loopback: what a page load adds to the server's own answer time,
// and how long a burst of 30 slow pictures takes.

#include "lookup/HtmlDecode.h"
#include "lookup/LookupControl.h"
#include "support/TestWebServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace torvane;

namespace {

// About 30 KB shaped like a QRZ result page.
QByteArray callPage()
{
    QByteArray out = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>W1AW - QRZ.com</title>"
                     "<script>var x = 1;</script></head><body><div id=hdr>QRZ.COM <a>Logout</a></div>";
    for (int i = 0; out.size() < 30 * 1024; ++i) {
        out += "<table><tr><td class=l>Item " + QByteArray::number(i) + "</td><td>value &amp; more "
               "<b>bold</b> <i>italic</i></td></tr></table>\n";
    }
    out += "<h1>W1AW</h1><p>HIRAM PERCY MAXIM MEMORIAL STATION, NEWINGTON</p></body></html>";
    return out;
}

// One GetPage against a server that answers after delay ms; the counter is the time the load
// took beyond that delay.
void BM_PageLoad(benchmark::State &state)
{
    const int delayMs = int(state.range(0));
    TestWebServer server;
    server.listen();
    WebRoute route = WebRoute::page(callPage());
    route.delayMs = delayMs;
    server.setRoute("/db/W1AW", route);
    ProgramValues values;
    HostTable hosts;
    hosts.setHost("qrz", server.baseUrl());
    LookupControl control(values, hosts);
    control.setDatabase(kSourceQrz);
    int got = 0;
    QEventLoop wait;
    QObject::connect(&control, &LookupControl::GotPage, [&] { ++got; wait.quit(); });
    QObject::connect(&control, &LookupControl::PageNotFound, &wait, &QEventLoop::quit);
    QObject::connect(&control, &LookupControl::CallNotFound, &wait, &QEventLoop::quit);
    double extraMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        control.GetPage(QStringLiteral("W1AW2"));
        wait.exec();
        extraMs += clock.nsecsElapsed() / 1e6 - delayMs;
    }
    if (got != state.iterations())
        state.SkipWithError("a page load failed");
    state.counters["added_ms"] = benchmark::Counter(extraMs / double(state.iterations()));
}
BENCHMARK(BM_PageLoad)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The part of a page load that is not network: bytes to text to plain text.
void BM_PageDecodeOnly(benchmark::State &state)
{
    const QByteArray page = callPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(HTMLDecode(decodePageBytes(page, "text/html; charset=utf-8")));
}
BENCHMARK(BM_PageDecodeOnly)->Unit(benchmark::kMillisecond);

// 30 pictures requested at once from a server that answers each after 200 ms; the argument is
// the number of connection pools of the component.
void BM_ThirtyPictures(benchmark::State &state)
{
    TestWebServer server;
    server.listen();
    WebRoute picture = WebRoute::page(QByteArray(20 * 1024, 'j'), "image/jpeg");
    picture.delayMs = 200;
    server.setHandler([&](const WebRequest &) { return std::optional<WebRoute>(picture); });
    ProgramValues values;
    HostTable hosts;
    LookupControl control(values, hosts);
    control.setBackgroundPools(int(state.range(0)));
    int done = 0;
    int failed = 0;
    QEventLoop loop;
    QObject::connect(&control, &LookupControl::GotPicture, [&] { if (++done == 30) loop.quit(); });
    QObject::connect(&control, &LookupControl::NoPic, [&] { ++failed; if (++done == 30) loop.quit(); });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    double worstMs = 0;
    for (auto _ : state) {
        done = 0;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 30; ++i) {
            const QString call = QStringLiteral("K%1ABC").arg(i);
            control.GetPicture(server.baseUrl() + QStringLiteral("/%1.jpg").arg(call), call + u'5');
        }
        giveUp.start(5000);
        loop.exec();
        giveUp.stop();
        worstMs = std::max(worstMs, clock.nsecsElapsed() / 1e6);
        if (done != 30)
            state.SkipWithError("pictures did not all arrive");
    }
    if (failed)
        state.SkipWithError("a picture failed");
    state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_ThirtyPictures)->Arg(1)->Arg(5)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
