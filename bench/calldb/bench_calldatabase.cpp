// CallData.db speed: search in a sorted file, and storing a new call with StoreStation's
// journaled one-pass insert beside the literal comb sort.
// The files live in a temporary folder. Counters: median per operation, the most records one
// search read, and the peak resident memory of the process (run one size per process to see
// that it does not grow with the file).

#include "calldb/CallDatabase.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <unordered_set>
#include <vector>

using torvane::CallDatabase;
using torvane::CallRecord;
using torvane::DbStatus;

namespace {

constexpr int64_t kKeySpace = 2176782336;  // 36^6 six-character calls

// Six base-36 characters; "0".."9" sort before "A".."Z", so text order is numeric order.
QString callFor(int64_t value)
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString call(6, u'0');
    for (int i = 5; i >= 0; --i, value /= 36)
        call[i] = QLatin1Char(digits[value % 36]);
    return call;
}

// A sorted database of `records` calls at the even slots; new calls go into the odd slots.
struct Database {
    std::unique_ptr<QTemporaryDir> dir;
    int64_t records = 0;
    int64_t slot = 0;
    std::unordered_set<int64_t> used;  // odd slots already stored
    std::mt19937_64 rng{12345};

    QString call(int64_t index) const { return callFor(2 * index * slot); }
    QString newCall()
    {
        std::uniform_int_distribution<int64_t> pick(0, records - 1);
        int64_t odd = 0;
        do
            odd = 2 * pick(rng) + 1;
        while (!used.insert(odd).second);
        return callFor(odd * slot);
    }
};

Database &database(int64_t records)
{
    static std::map<int64_t, Database> made;
    Database &db = made[records];
    if (db.dir)
        return db;
    db.dir = std::make_unique<QTemporaryDir>();
    db.records = records;
    db.slot = kKeySpace / (2 * records + 2);
    QFile file(db.dir->filePath(QStringLiteral("CallData.db")));
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    QByteArray chunk;
    CallRecord r;
    r.setText(CallRecord::Name, QStringLiteral("Bench Holder"));
    r.setText(CallRecord::Lat, QStringLiteral("51.5"));
    r.setText(CallRecord::Lon, QStringLiteral("-0.25"));
    for (int64_t i = 0; i < records; ++i) {
        r.setText(CallRecord::Call, callFor(2 * i * db.slot));
        chunk.append(r.data(), CallRecord::kSize);
        if (chunk.size() >= 65536 || i + 1 == records) {
            if (file.write(chunk) != chunk.size())
                std::abort();
            chunk.clear();
        }
    }
    return db;
}

double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

using Clock = std::chrono::steady_clock;
double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Half the searches find their call, half look for one between two stored calls.
void BM_FindCall(benchmark::State &state)
{
    Database &data = database(state.range(0));
    CallDatabase db(data.dir->path());
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<int64_t> pick(0, data.records - 1);
    std::vector<double> times;
    int64_t mostReads = 0;
    bool toggle = false;
    for (auto _ : state) {
        const int64_t index = pick(rng);
        toggle = !toggle;
        const QString call = toggle ? data.call(index) : callFor((2 * index + 1) * data.slot);
        const int64_t readsBefore = db.recordsRead();
        const auto start = Clock::now();
        const int32_t found = db.FindCall(call);
        times.push_back(millisecondsSince(start));
        mostReads = std::max(mostReads, db.recordsRead() - readsBefore);
        if ((found == index + 1) != toggle)
            state.SkipWithError("wrong search result");
    }
    state.counters["median_ms"] = medianOf(times);
    state.counters["max_reads"] = double(mostReads);
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

// The callers' store of a call that is not there yet: StoreStation (the journaled insert), or
// FindCall, AppendRecord and the literal comb sort.
void storeNewCall(benchmark::State &state, bool combSort)
{
    Database &data = database(state.range(0));
    CallDatabase db(data.dir->path());
    std::vector<double> times;
    for (auto _ : state) {
        CallRecord station;
        station.setText(CallRecord::Call, data.newCall());
        station.setText(CallRecord::Name, QStringLiteral("New Holder"));
        station.setText(CallRecord::Lat, QStringLiteral("40.1"));
        station.setText(CallRecord::Lon, QStringLiteral("-75.2"));
        const auto start = Clock::now();
        DbStatus status = DbStatus::Ok;
        if (!combSort)
            status = db.StoreStation(station, false);
        else if (db.FindCall(station.text(CallRecord::Call)) != 0)
            state.SkipWithError("new call found");
        else if (db.CurrentRecord = station; (status = db.AppendRecord()) == DbStatus::Ok)
            status = db.CombSortDatabase();
        times.push_back(millisecondsSince(start));
        if (status != DbStatus::Ok)
            state.SkipWithError(qPrintable(db.lastError()));
    }
    // Every stored call is found again: the file is still in order.
    bool allFound = db.CountRecords() == data.records + int64_t(data.used.size());
    for (const int64_t odd : data.used)
        allFound = allFound && db.FindCall(callFor(odd * data.slot)) != 0;
    if (!allFound)
        state.SkipWithError("stored calls not found again");
    state.counters["median_ms"] = medianOf(times);
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

void BM_StoreNewCall(benchmark::State &state) { storeNewCall(state, false); }
void BM_StoreNewCallCombSort(benchmark::State &state) { storeNewCall(state, true); }

}  // namespace

BENCHMARK(BM_FindCall)->Arg(1000000)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StoreNewCall)->Arg(10000)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreNewCall)->Arg(100000)->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreNewCall)->Arg(1000000)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreNewCallCombSort)->Arg(10000)->Iterations(5)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
