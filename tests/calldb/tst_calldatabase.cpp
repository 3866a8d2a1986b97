// CallData.db: search, store, delete, list and sort, torn files, and what a failure reports.

#include "calldb/CallDatabase.h"
#include "core/TextUtil.h"

#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace torvane;
Q_DECLARE_METATYPE(torvane::DbStatus)

namespace {

constexpr int kRec = CallRecord::kSize;
const QStringList kSorted = {"0A1", "9Z9", "AA1AA", "K1ABC", "K1ABCD", "W1AW", "ZL1AB"};

// A record whose name and first address line tell where it came from.
CallRecord record(const QString &call, const QString &name, const QString &add1 = QStringLiteral("Stored street"))
{
    CallRecord r;
    r.setText(CallRecord::Call, call);
    r.setText(CallRecord::Name, name);
    r.setText(CallRecord::Add1, add1);
    return r;
}
CallRecord station(const QString &call) { return record(call, QStringLiteral("New Holder"), QStringLiteral("Web street")); }
QByteArray bytes(const CallRecord &r) { return QByteArray(r.data(), kRec); }

QByteArray records(const QStringList &calls)
{
    QByteArray all;
    for (const QString &call : calls)
        all += bytes(record(call, QStringLiteral("Holder of ") + call));
    return all;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// One change by name, for the table of failures.
DbStatus run(CallDatabase &db, const QString &operation)
{
    if (operation == u"append")
        return db.AppendRecord();
    if (operation == u"replace 8")
        return db.ReplaceRecord(8);
    if (operation == u"sort")
        return db.SortDatabase();
    if (operation == u"delete")
        return db.DeleteCall(u"K1ABC");
    return db.StoreStation(station(QStringLiteral("G4ABC")), false);
}

QString callOf(const QByteArray &record) { return trimBlanks(fromCp1252(record.left(6))); }

// The record with its Call trimmed and left-aligned.
QByteArray normalized(QByteArray record)
{
    normalizeCallBytes(record.data());
    return record;
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
        while (r.size() < kRec)
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

class TestCallDatabase : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db, m_temp, m_journal;  // CallData.db, temp.db and CallData.jnl in it

private slots:
    void initTestCase()
    {
        // The warnings are off unless asked for, as an operator does for a report.
        QLoggingCategory::setFilterRules(QStringLiteral("torvane.db.warning=true"));
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails instead
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_db = m_dir->filePath(QStringLiteral("CallData.db"));
        m_temp = m_dir->filePath(QStringLiteral("temp.db"));
        m_journal = m_dir->filePath(QStringLiteral("CallData.jnl"));
    }

    void setTextCutsAndPads()
    {
        CallRecord r;
        r.setText(CallRecord::Call, QString(40, u'#'));  // a longer earlier value must not show through
        r.setText(CallRecord::Call, u"K1ABCDE");
        r.setText(CallRecord::YearBorn, u"19612");  // the last field
        QCOMPARE(bytes(r), "K1ABCD" + QByteArray(157, ' ') + "1961");
    }

    void findCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("number");
        QTest::newRow("first") << "0A1" << 1;
        QTest::newRow("last") << "w1aw" << 8;
        QTest::newRow("prefix of its neighbour") << "K1ABCD" << 5;
        QTest::newRow("leading blank trimmed") << " W1AW" << 6;
        QTest::newRow("case differs") << "k1abc" << 0;
    }
    void findCall()
    {
        QFETCH(QString, call);
        QFETCH(int, number);
        const QByteArray file = records(kSorted + QStringList{"w1aw"});
        QVERIFY(writeAll(m_db, file));
        CallDatabase db(m_dir->path());
        DbStatus status = DbStatus::ReadFailed;
        QCOMPARE(db.FindCall(call, &status), number);
        QCOMPARE(status, DbStatus::Ok);
        QVERIFY(db.recordsRead() <= 4);  // a binary search: floor(log2 8) + 1 probes
        if (number > 0)
            QCOMPARE(bytes(db.CurrentRecord), file.mid((number - 1) * kRec, kRec));
    }

    void storeStation_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("keepStoredAdd1");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("count");  // records afterwards
        QTest::newRow("first call creates the database") << "G4ABC" << false << "Web street" << 1 << 1;
        QTest::newRow("new call appended, sorted into place") << "G4ABC" << false << "Web street" << 4 << 8;
        QTest::newRow("stored call replaced in place") << "K1ABC" << false << "Web street" << 4 << 7;
        QTest::newRow("stored Add1 kept") << "K1ABC" << true << "Stored street" << 4 << 7;
        QTest::newRow("Add1 blank when the call was not stored") << "G4ABC" << true << "" << 4 << 8;
        QTest::newRow("seven chars found and replaced, not appended") << "K1ABCDE" << false << "Web street" << 5 << 7;
    }
    void storeStation()
    {
        QFETCH(QString, call);
        QFETCH(bool, keepStoredAdd1);
        QFETCH(QString, add1);
        QFETCH(int, number);
        QFETCH(int, count);
        if (count > 1)
            QVERIFY(writeAll(m_db, records(kSorted)));
        CallDatabase db(m_dir->path());
        QCOMPARE(db.StoreStation(station(call), keepStoredAdd1), DbStatus::Ok);
        QVERIFY(db.lastError().isEmpty());
        QCOMPARE(db.FindCall(call), number);
        QCOMPARE(bytes(db.CurrentRecord), bytes(record(call, QStringLiteral("New Holder"), add1)));
        QCOMPARE(db.CountRecords(), count);
    }

    void deleteCall_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("duplicate removes both") << QStringList{"AA1AA", "K1ABC", "K1ABC", "W1AW"} << "K1ABC"
                                                << QStringList{"AA1AA", "W1AW"};
        QTest::newRow("case differs: file kept") << kSorted << "k1abc" << kSorted;
        QTest::newRow("seven chars delete the six stored")
            << QStringList{"K1ABC", "K1ABCD"} << "K1ABCDE" << QStringList{"K1ABC"};
    }
    void deleteCall()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, key);
        QFETCH(QStringList, left);
        QVERIFY(writeAll(m_db, records(calls)));
        // A scratch file left by an earlier run, longer than the result.
        QVERIFY(writeAll(m_temp, records(QStringList(12, QStringLiteral("STALE")))));
        CallDatabase db(m_dir->path());
        QCOMPARE(db.DeleteCall(key), DbStatus::Ok);
        QCOMPARE(readAll(m_db), records(left));
        QVERIFY(!QFile::exists(m_temp));
    }

    // Length not a multiple of 167, the tail over half a record (CountRecords counts it):
    // whole records are read, and writing goes over the torn tail.
    void tornFile()
    {
        const QStringList calls = {"AA1AA", "K1ABC", "W1AW"};
        const QByteArray torn = records(calls) + records({"ZZ9ZZ"}).left(84);
        QVERIFY(writeAll(m_db, torn.chopped(1)));
        CallDatabase db(m_dir->path());
        QCOMPARE(db.CountRecords(), 3);  // under half a record rounds down
        QVERIFY(writeAll(m_db, torn));
        QCOMPARE(db.CountRecords(), 4);
        QCOMPARE(db.FindCall(u"ZZ9ZZ"), 0);
        QStringList list;
        QCOMPARE(db.FillCallList(list), DbStatus::Ok);
        QCOMPARE(list, calls);
        QCOMPARE(db.SortDatabase(), DbStatus::Ok);
        QCOMPARE(readAll(m_db), torn);  // sorted already: nothing written, tail kept
        db.CurrentRecord = record(QStringLiteral("ZZ9ZZ"), QStringLiteral("Holder of ZZ9ZZ"));
        QCOMPARE(db.AppendRecord(), DbStatus::Ok);
        QCOMPARE(readAll(m_db), records(calls + QStringList{"ZZ9ZZ"}));
    }

    // A failure names the file and the reason, is logged once as a warning, and leaves
    // CallData.db as it was. A size limit makes writes fail for every user, as on a full disk.
    void failureNamesTheFile_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<DbStatus>("status");
        QTest::addColumn<QString>("error");  // after the folder
        QTest::newRow("append to a read-only database") << "read-only file" << "append" << DbStatus::OpenFailed
            << "CallData.db could not be opened for writing: Permission denied";
        QTest::newRow("store into a missing folder") << "no folder" << "store" << DbStatus::OpenFailed
            << "no/CallData.db could not be created: No such file or directory";
        QTest::newRow("store where a folder is named CallData.db") << "folder" << "store"
            << DbStatus::OpenFailed << "CallData.db could not be opened for reading: file to open is a directory";
        QTest::newRow("append, no database: not a warning") << "none" << "append" << DbStatus::Missing
            << "CallData.db could not be opened for writing: No such file or directory";
        QTest::newRow("replace past the last record") << "file" << "replace 8" << DbStatus::BadRecordNumber
            << "CallData.db has no record 8: it holds 7 records";
        QTest::newRow("store a new call past a size limit") << "limit 7" << "store" << DbStatus::WriteFailed
            << "CallData.db could not be written: File too large";
        QTest::newRow("sort: no room for the journal") << "limit 8" << "sort" << DbStatus::WriteFailed
            << "CallData.jnl could not be written: File too large";
        QTest::newRow("delete through temp.db") << "limit 1" << "delete" << DbStatus::WriteFailed
            << "temp.db could not be written: File too large";
    }
    void failureNamesTheFile()
    {
        QFETCH(QString, setup);
        QFETCH(QString, operation);
        QFETCH(DbStatus, status);
        QFETCH(QString, error);
        const QByteArray before = records(kSorted + QStringList(operation == QLatin1String("sort"), "00A"));
        const bool withFile = !QStringList{"none", "no folder", "folder"}.contains(setup);
        if (withFile)
            QVERIFY(writeAll(m_db, before));
        if (setup == QLatin1String("folder"))
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("CallData.db")));
        if (setup == QLatin1String("read-only file")) {
            QVERIFY(QFile::setPermissions(m_db, QFile::ReadOwner));
            if (::access(QFile::encodeName(m_db).constData(), W_OK) == 0)
                QSKIP("running with rights that ignore file permissions");
        }
        if (status != DbStatus::Missing)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(error) + u'$'));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));  // a second warning fails
        CallDatabase db(setup == QLatin1String("no folder") ? m_dir->filePath(QStringLiteral("no")) : m_dir->path());

        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit capped = saved;
        if (setup.startsWith(QLatin1String("limit ")))
            capped.rlim_cur = rlim_t(setup.mid(6).toInt() * kRec);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &capped), 0);
        const DbStatus result = run(db, operation);
        ::setrlimit(RLIMIT_FSIZE, &saved);

        QCOMPARE(result, status);
        QCOMPARE(db.lastError(), m_dir->path() + u'/' + error);
        if (withFile)
            QCOMPARE(readAll(m_db), before);
        QVERIFY(!QFile::exists(m_temp) && !QFile::exists(m_journal));
    }

    // A sorted run plus one record: in place in one pass, to the comb sort's bytes. Anything else
    // is repaired: every call once (of equal ones the last in the file), in order, Call trimmed.
    void sortDatabase_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("placing");
        QTest::newRow("two, appended sorts first") << 3u << 2 << int(First);
        QTest::newRow("shuffled, with a duplicate") << 7u << 200 << int(Shuffled);
        QTest::newRow("run of 16 + last") << 9u << 17 << int(Last);
        QTest::newRow("run of 999 + first: several chunks") << 11u << 1000 << int(First);
        QTest::newRow("run with a duplicate + anywhere") << 13u << 100 << int(RunWithDuplicate);
        QTest::newRow("run + a call already there") << 14u << 100 << int(AlreadyThere);
        QTest::newRow("run of 1199 + anywhere") << 20u << 1200 << int(Anywhere);
    }
    void sortDatabase()
    {
        QFETCH(quint32, seed);
        QFETCH(int, count);
        QFETCH(int, placing);
        const QList<QByteArray> original = makeFile(seed, count, Placing(placing));
        QMap<QString, QByteArray> kept;
        for (const QByteArray &r : original)
            kept.insert(callOf(r), normalized(r));
        int64_t reads = 0;
        const auto sortWith = [&](DbStatus (CallDatabase::*sort)()) {
            CallDatabase db(m_dir->path());
            if (!writeAll(m_db, original.join()) || (db.*sort)() != DbStatus::Ok)
                return QByteArray("<not sorted>");
            reads = db.recordsRead();
            return readAll(m_db);
        };
        const QByteArray sorted = sortWith(&CallDatabase::SortDatabase);
        QByteArray trimmed;
        for (qsizetype i = 0; i < sorted.size(); i += kRec)
            trimmed += normalized(sorted.mid(i, kRec));
        QCOMPARE(trimmed, kept.values().join());
        if (placing == First || placing == Last || placing == Anywhere) {
            QVERIFY2(reads <= 2 * count, qPrintable(QString::number(reads)));
            QCOMPARE(sorted, sortWith(&CallDatabase::CombSortDatabase));
        }
    }
};

QTEST_GUILESS_MAIN(TestCallDatabase)
#include "tst_calldatabase.moc"
