// The database editor over a call database of 100,000 records: opening it (the list read, laid
// out and drawn, the count shown), and one key typed into the call field (the list's exact-match
// selection over every entry). The target for opening is 300 ms.

#include "calldb/CallRecord.h"
#include "windows/DatabaseEditor.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRecords = 100000;

// Sorted calls of six base-36 characters, each record with a name and a position.
const QTemporaryDir &dataFolder()
{
    static const auto dir = [] {
        auto d = std::make_unique<QTemporaryDir>();
        QFile file(d->filePath(QStringLiteral("CallData.db")));
        if (!file.open(QIODevice::WriteOnly))
            return d;
        static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        QByteArray bytes;
        bytes.reserve(qsizetype(kRecords) * torvane::CallRecord::kSize);
        for (int i = 0; i < kRecords; ++i) {
            QString call(6, u'0');
            for (int k = 5, v = i * 97; k >= 0; --k, v /= 36)
                call[k] = QLatin1Char(digits[v % 36]);
            torvane::CallRecord record;
            record.setText(torvane::CallRecord::Call, call);
            record.setText(torvane::CallRecord::Name, QStringLiteral("OPERATOR %1").arg(i));
            record.setText(torvane::CallRecord::Lat, QStringLiteral("41.7"));
            record.setText(torvane::CallRecord::Lon, QStringLiteral("-72.7"));
            bytes.append(record.data(), torvane::CallRecord::kSize);
        }
        file.write(bytes);
        return d;
    }();
    return *dir;
}

torvane::ProgramValues values()
{
    torvane::ProgramValues v;
    v.DataFolder = dataFolder().path();
    v.LanguageText = QStringList(73, QStringLiteral("Text ???"));
    v.SourceName = QStringLiteral("eHam.net");
    return v;
}

void BM_OpenEditor(benchmark::State &state)
{
    torvane::ProgramValues v = values();
    const torvane::HostTable hosts;
    for (auto _ : state) {
        torvane::DatabaseEditor form(v, hosts, nullptr);
        form.show();
        // Drawn once, as the operator first sees it.
        benchmark::DoNotOptimize(form.grab().cacheKey());
        if (!form.lblEntries->text().endsWith(QString::number(kRecords))) {
            state.SkipWithError("the list does not hold every record");
            return;
        }
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_TypeIntoCallField(benchmark::State &state)
{
    torvane::ProgramValues v = values();
    const torvane::HostTable hosts;
    torvane::DatabaseEditor form(v, hosts, nullptr);
    form.show();
    QTest::keyClicks(form.txtCall, QStringLiteral("zzzzz"));
    for (auto _ : state) {
        QTest::keyClick(form.txtCall, Qt::Key_Z);
        QTest::keyClick(form.txtCall, Qt::Key_Backspace);
    }
    state.SetLabel("two keys per iteration, no entry matches");
}
BENCHMARK(BM_TypeIntoCallField)->Unit(benchmark::kMicrosecond);

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
