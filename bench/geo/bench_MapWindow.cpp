// PlotMap of the map window on the world map: decode the JPEG, place the window, draw both
// stations and render what the viewport shows.

#include "windows/MapWindow.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>

namespace {

torvane::ProgramValues worldValues()
{
    torvane::ProgramValues values;
    values.DataFolder = QStringLiteral(TORVANE_SOURCE_DIR "/data");
    values.MapList = QStringList{QStringLiteral("World Map.jpg")};
    values.OwnLatitude = 52.1;  // Utrecht
    values.OwnLongitude = 5.1;
    values.StationLatitude = 41.7;  // Connecticut
    values.StationLongitude = -72.7;
    values.CurrentCall = QStringLiteral("K1ABC");
    return values;
}

void BM_PlotMapWorld(benchmark::State &state)
{
    torvane::ProgramValues values = worldValues();
    int16_t mapIndex = 0;
    torvane::MapWindow form(values, mapIndex);
    for (auto _ : state) {
        form.PlotMap();
        if (form.mapImage().isNull()) {
            state.SkipWithError("cannot decode the world map");
            return;
        }
        const QPixmap shown = form.picOuter->grab();
        benchmark::DoNotOptimize(shown.cacheKey());
    }
}
BENCHMARK(BM_PlotMapWorld)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

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
