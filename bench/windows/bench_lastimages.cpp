// The last-images viewer against a local server that answers each of the 30 pictures (about
// 50 KB each) after 200 ms: the time from opening until every slot shows its picture (target
// 600 ms), and one wheel notch with the window repainted (target 16 ms).

#include "support/TestWebServer.h"
#include "windows/LastImagesWindow.h"
#include "windows/ThumbnailCell.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

namespace {

using namespace torvane;

// A noisy JPEG of about 50 KB.
QByteArray picture(int n)
{
    QImage image(320, 240, QImage::Format_RGB32);
    QRandomGenerator random(n);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x + n * 8) % 256, int(random.bounded(256)), int(random.bounded(96)) + n * 4));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return buffer.data() + "***de K1ABC*12:34 UTC";
}

struct Site {
    QTemporaryDir home;
    TestWebServer server;
    ProgramValues values;
    qint64 bytes = 0;
    Site()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("settings"));
        server.listen();
        for (int n = 1; n <= 30; ++n) {
            WebRoute route = WebRoute::page(picture(n), "image/jpeg");
            route.delayMs = 200;
            bytes += route.body.size();
            server.setRoute(QStringLiteral("/rx/image%1").arg(n), route);
        }
        values.DataFolder = home.filePath("data");
        values.CurrentCall = "G4XYZ";
        values.DsstvSiteUrl = server.baseUrl() + "/rx/image1";
    }
};

bool allShown(const LastImagesWindow &viewer)
{
    for (int slot = 0; slot < 30; ++slot) {
        if (viewer.cell(slot)->pictureSize().isEmpty())
            return false;
    }
    return true;
}

void BM_ViewerFills(benchmark::State &state)
{
    Site site;
    QWidget main;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto *viewer = LastImagesWindow::open(site.values, &main);
        while (!allShown(*viewer) && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        viewer->repaint();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (!allShown(*viewer))
            state.SkipWithError("not every slot shown within 10 s");
        viewer->close();
        QCoreApplication::processEvents();
    }
    state.counters["KB per picture"] = double(site.bytes) / 30 / 1024;
}
BENCHMARK(BM_ViewerFills)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

void BM_WheelNotch(benchmark::State &state)
{
    Site site;
    QWidget main;
    auto *viewer = LastImagesWindow::open(site.values, &main);
    QElapsedTimer clock;
    clock.start();
    while (!allShown(*viewer) && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    int notch = 0;
    for (auto _ : state) {
        // Six notches down, six back up.
        const int delta = (notch++ / 6) % 2 == 0 ? -120 : 120;
        const QPointF at(viewer->width() / 2.0, viewer->height() / 2.0);
        QWheelEvent wheel(at, viewer->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer, &wheel);
        viewer->repaint();
    }
    viewer->close();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_WheelNotch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
