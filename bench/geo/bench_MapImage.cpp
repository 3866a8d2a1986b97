// Loading the world map for the map window: decode the JPEG and paint it onto a picture of its
// size, as PlotMap does before it draws the stations.

#include "geo/MapProjection.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

const QString kWorldMap = QStringLiteral(TORVANE_SOURCE_DIR "/data/Maps/World Map.jpg");

void BM_DecodeWorldMap(benchmark::State &state)
{
    for (auto _ : state) {
        QImageReader reader(kWorldMap);
        QImage image = reader.read();
        if (image.isNull()) {
            state.SkipWithError("cannot decode the world map");
            return;
        }
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_DecodeWorldMap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_PlotWorldMap(benchmark::State &state)
{
    for (auto _ : state) {
        QImageReader reader(kWorldMap);
        const QImage map = reader.read();
        if (map.isNull()) {
            state.SkipWithError("cannot decode the world map");
            return;
        }
        QImage picture(map.size(), QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.drawImage(0, 0, map);
        // The station markers: two circles and the own station's dot.
        const QPoint station = *torvane::ProjectToMap(QStringLiteral("World Map"), 51.5, -0.13);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawEllipse(station, 4, 4);
        painter.drawEllipse(station, 25, 25);
        painter.end();
        benchmark::DoNotOptimize(picture.bits());
    }
}
BENCHMARK(BM_PlotWorldMap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
