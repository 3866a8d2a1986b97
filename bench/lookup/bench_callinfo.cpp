// The country file and call completion with Debian's cty.dat and MASTER.SCP: reading both
// files, resolving a call, and one keystroke of completion over the whole list.

#include "lookup/CallCompletion.h"
#include "lookup/CountryFile.h"

#include <QStringList>
#include <benchmark/benchmark.h>

using namespace torvane;

namespace {

const CountryFile &countryFile()
{
    static const CountryFile file = CountryFile::load(QString());
    return file;
}

const CallCompletion &completion()
{
    static const CallCompletion c = [] {
        CallCompletion out;
        out.loadActiveCalls(QString());
        QStringList local;  // a local database of 10,000 calls
        for (int i = 0; i < 10000; ++i)
            local << QStringLiteral("DL%1X").arg(i);
        out.setLocalCalls(local);
        return out;
    }();
    return c;
}

void BM_LoadCountryFile(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CountryFile::load(QString()).entityCount());
}
BENCHMARK(BM_LoadCountryFile)->Unit(benchmark::kMillisecond);

void BM_LoadActiveCalls(benchmark::State &state)
{
    for (auto _ : state) {
        CallCompletion c;
        benchmark::DoNotOptimize(c.loadActiveCalls(QString()));
    }
    state.counters["calls"] = completion().activeCount();
}
BENCHMARK(BM_LoadActiveCalls)->Unit(benchmark::kMillisecond);

void BM_Resolve(benchmark::State &state)
{
    const QStringList calls{"W1AW", "PA3XYZ", "K1ABC/VE3", "VE3/K1ABC/P", "KH6ABC", "JA1XYZ",
                            "AA7DI", "3D2/K1ABC", "ZL2ABC", "N2NL/MM"};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(countryFile().resolve(calls[int(i++ % calls.size())]));
}
BENCHMARK(BM_Resolve)->Unit(benchmark::kMicrosecond);

void BM_CompleteKeystroke(benchmark::State &state)
{
    const QStringList typed{"K1", "K1A", "W1A", "AW", "PA3", "DL1", "ZZ9"};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(completion().complete(typed[int(i++ % typed.size())]));
}
BENCHMARK(BM_CompleteKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
