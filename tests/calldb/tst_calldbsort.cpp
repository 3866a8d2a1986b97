// SortDatabase against the comb sort, done here in memory on the decoded text: random files,
// sorted runs with one appended record (the one-pass insert), calls with leading blanks
// (rewritten only where the comb sort swaps), and Windows-1252 bytes above 0x7F.

#include "calldb/CallDatabase.h"
#include "core/TextUtil.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace torvane;

namespace {

QString callOf(const QByteArray &record) { return trimBlanks(fromCp1252(record.left(6))); }

// The comb sort step by step: read both records, trim both calls, and when the first call is
// greater by character code write both back swapped.
void referenceCombSort(QList<QByteArray> &recs)
{
    const auto trimCall = [](const QByteArray &r) { return toCp1252(callOf(r).leftJustified(6)) + r.mid(6); };
    qsizetype gap = recs.size(), flag = 0;
    do {
        gap = qsizetype(std::floor((gap + 1) * 0.65));
        flag = gap;
        for (qsizetype i = 0; i + gap < recs.size(); ++i) {
            const QByteArray a = trimCall(recs[i]), b = trimCall(recs[i + gap]);
            if (callOf(a) > callOf(b)) {
                flag = 2;
                recs[i] = b;
                recs[i + gap] = a;
            }
        }
    } while (flag >= 2);
}

// A call of 1..6 characters, sometimes after leading blanks, over digits, letters of both cases,
// an inner blank and bytes whose decoded order differs from their byte order.
QByteArray randomCall(QRandomGenerator &rng)
{
    static const QByteArray alphabet("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcz /\x80\x81\x8A\x9F\xA0\xC4\xD8\xFF");
    QByteArray call;
    for (int i = 1 + rng.bounded(6); i > 0; --i)
        call += alphabet[rng.bounded(int(alphabet.size()))];
    call = call.trimmed().isEmpty() ? QByteArray("Q") : call.trimmed();
    const int lead = rng.bounded(4) == 0 ? rng.bounded(7 - int(call.size())) : 0;
    return (QByteArray(lead, ' ') + call).leftJustified(6, ' ');
}

// Where the last record's call falls among the others, which are in order unless Shuffled.
enum Placing { Shuffled, First, Last, Anywhere, AlreadyThere, RunWithDuplicate };

QList<QByteArray> makeFile(quint32 seed, int n, Placing placing)
{
    QRandomGenerator rng(seed);
    QMap<QString, QByteArray> byCall;  // distinct calls in key order
    while (byCall.size() < n) {
        QByteArray r = randomCall(rng);
        while (r.size() < CallRecord::kSize)
            r += char(0x20 + rng.bounded(0x5F));
        byCall.insert(callOf(r), r);
    }
    QList<QByteArray> recs = byCall.values();
    if (placing == Shuffled || placing == RunWithDuplicate)
        recs[n / 2].replace(0, 6, recs[n / 3].left(6));
    if (placing == Shuffled)
        std::shuffle(recs.begin(), recs.end(), rng);
    QByteArray appended = recs.takeAt(placing == First ? 0 : placing == Last ? n - 1 : rng.bounded(n));
    if (placing == AlreadyThere)
        appended.replace(0, 6, recs[rng.bounded(int(recs.size()))].left(6));
    return recs << appended;
}

}  // namespace

class TestCallDbSort : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsCombSort_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("placing");
        QTest::newRow("two, appended sorts first") << 3u << 2 << int(First);
        QTest::newRow("shuffled, with a duplicate") << 7u << 200 << int(Shuffled);
        QTest::newRow("run of 16 + last") << 9u << 17 << int(Last);
        QTest::newRow("run of 999 + first: several chunks") << 11u << 1000 << int(First);
        // Equal calls: the comb sort is not stable, so these never take the one-pass insert.
        QTest::newRow("run with a duplicate + anywhere") << 13u << 100 << int(RunWithDuplicate);
        QTest::newRow("run + a call already there") << 14u << 100 << int(AlreadyThere);
        for (quint32 seed = 20; seed < 23; ++seed)
            QTest::addRow("run of 1199 + anywhere, seed %u", seed) << seed << 1200 << int(Anywhere);
    }
    void sameBytesAsCombSort()
    {
        QFETCH(quint32, seed);
        QFETCH(int, count);
        QFETCH(int, placing);
        QList<QByteArray> recs = makeFile(seed, count, Placing(placing));
        const QByteArray original = recs.join();
        referenceCombSort(recs);
        const QByteArray expected = recs.join();

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        int64_t reads = 0;
        const auto sortWith = [&](DbStatus (CallDatabase::*sort)()) {
            QFile file(dir.filePath(QStringLiteral("CallData.db")));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(original) != original.size())
                return QByteArray("<not written>");
            file.close();
            CallDatabase db(dir.path());
            if ((db.*sort)() != DbStatus::Ok)
                return QByteArray("<sort failed>");
            reads = db.recordsRead();
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<not read>");
        };
        QCOMPARE(sortWith(&CallDatabase::SortDatabase), expected);
        // A sorted run of distinct calls plus one record takes the one-pass insert.
        if (placing == First || placing == Last || placing == Anywhere)
            QVERIFY2(reads <= 2 * count, qPrintable(QString::number(reads)));
        QCOMPARE(sortWith(&CallDatabase::CombSortDatabase), expected);
    }
};

QTEST_GUILESS_MAIN(TestCallDbSort)
#include "tst_calldbsort.moc"
