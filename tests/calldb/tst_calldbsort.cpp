// SortDatabase against the comb sort, done here in memory on the decoded text as a reference:
// random files, sorted runs with one appended record (the one-pass insert), calls with leading
// blanks (rewritten only where the comb sort swaps), and Windows-1252 bytes above 0x7F.

#include "calldb/CallDatabase.h"

#include "core/TextUtil.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>

using torvane::CallDatabase;
using torvane::CallRecord;
using torvane::DbStatus;

namespace {

constexpr int kRec = CallRecord::kSize;

QString callOf(const QByteArray &record)
{
    return torvane::trimBlanks(torvane::fromCp1252(record.left(6)));
}

// The comb sort step by step: read both records, trim both calls and store them back, swap
// when the first call is greater by character code.
void referenceCombSort(QList<QByteArray> &recs)
{
    const auto trimCall = [](QByteArray r) {
        return torvane::toCp1252(callOf(r).leftJustified(6, u' ')) + r.mid(6);
    };
    const qsizetype n = recs.size();
    qsizetype gap = n;
    qsizetype flag = 0;
    do {
        gap = qsizetype(std::floor((gap + 1) * 0.65));
        flag = gap;
        for (qsizetype i = 1; i <= n - gap; ++i) {
            const QByteArray a = trimCall(recs[i - 1]);
            const QByteArray b = trimCall(recs[i + gap - 1]);
            if (callOf(a) > callOf(b)) {
                flag = 2;
                recs[i - 1] = b;
                recs[i + gap - 1] = a;
            }
        }
    } while (flag > 1.5);
}

// A random call of 1..6 characters, sometimes with leading blanks, over digits, letters of both
// cases, an inner blank and bytes whose decoded order differs from their byte order.
QByteArray randomCall(QRandomGenerator &rng)
{
    static const QByteArray alphabet = QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcz /")
                                       + QByteArray("\x80\x81\x8A\x9F\xA0\xC4\xD8\xFF");
    const int length = 1 + rng.bounded(6);
    QByteArray call;
    for (int i = 0; i < length; ++i)
        call += alphabet[rng.bounded(int(alphabet.size()))];
    if (call.endsWith(' '))
        call.chop(1);
    if (call.startsWith(' ') || call.isEmpty())
        call.prepend('Q');
    const int lead = rng.bounded(4) == 0 ? rng.bounded(7 - int(call.size())) : 0;
    return (QByteArray(lead, ' ') + call).leftJustified(6, ' ');
}

// n records; `distinct` keeps trimmed calls apart, else two records share a call. `last`: where
// the appended record's call falls among the others (-1: the whole file random, 0: first,
// 1: last, 2: anywhere, 3: equal to one of them).
QList<QByteArray> makeFile(quint32 seed, int n, bool distinct, int last)
{
    QRandomGenerator rng(seed);
    QList<QByteArray> recs;
    QSet<QString> seen;
    while (recs.size() < n) {
        const QByteArray call = randomCall(rng);
        if (distinct && seen.contains(callOf(call)))
            continue;
        seen.insert(callOf(call));
        QByteArray r = call;
        while (r.size() < kRec)
            r += char(0x20 + rng.bounded(0x5F));
        recs << r;
    }
    if (!distinct && n >= 3)
        recs[n / 2].replace(0, 6, recs[n / 3].left(6));
    if (last < 0 || n < 2)
        return recs;
    const auto byCall = [](const QByteArray &a, const QByteArray &b) { return callOf(a) < callOf(b); };
    std::sort(recs.begin(), recs.end(), byCall);
    const int pick = last == 0 ? 0 : last == 1 ? n - 1 : rng.bounded(n);
    QByteArray appended = recs.takeAt(pick);
    if (last == 3)
        appended.replace(0, 6, recs[rng.bounded(int(recs.size()))].left(6));
    recs << appended;
    return recs;
}

}  // namespace

class TestCallDbSort : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsCombSort_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("distinct");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("onePass");

        QTest::newRow("empty") << 1u << 0 << true << -1 << true;
        QTest::newRow("two, appended sorts first") << 3u << 2 << true << 0 << true;
        QTest::newRow("random 300") << 6u << 300 << true << -1 << false;
        QTest::newRow("random with duplicates") << 7u << 200 << false << -1 << false;
        QTest::newRow("run of 16 + last") << 9u << 17 << true << 1 << true;
        QTest::newRow("run of 999 + first: several chunks") << 11u << 1000 << true << 0 << true;
        // Equal calls: the comb sort is not stable, so these never take the one-pass insert.
        QTest::newRow("run with a duplicate + anywhere") << 13u << 100 << false << 2 << false;
        QTest::newRow("run + a call already there") << 14u << 100 << true << 3 << false;
        for (quint32 seed = 20; seed < 24; ++seed)
            QTest::addRow("run of 1199 + anywhere, seed %u", seed) << seed << 1200 << true << 2 << true;
    }
    void sameBytesAsCombSort()
    {
        QFETCH(quint32, seed);
        QFETCH(int, count);
        QFETCH(bool, distinct);
        QFETCH(int, last);
        QFETCH(bool, onePass);

        QList<QByteArray> recs = makeFile(seed, count, distinct, last);
        const QByteArray original = recs.join();
        referenceCombSort(recs);
        const QByteArray expected = recs.join();
        for (qsizetype i = 1; i < recs.size() && distinct && last != 3; ++i)
            QVERIFY(callOf(recs[i - 1]) < callOf(recs[i]));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("CallData.db"));
        int64_t reads = 0;
        const auto sortWith = [&](DbStatus (CallDatabase::*sort)()) {
            QFile file(path);
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
        // The sorted run plus one record takes the one-pass insert, which these rows exercise.
        if (onePass)
            QVERIFY2(reads <= 2 * count, qPrintable(QString::number(reads)));
        QCOMPARE(sortWith(&CallDatabase::CombSortDatabase), expected);
    }
};

QTEST_GUILESS_MAIN(TestCallDbSort)
#include "tst_calldbsort.moc"
