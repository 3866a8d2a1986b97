// CallData.db: search, store, delete, list and sort, torn files, changes cut short by a kill,
// and what a failure reports.

#include "calldb/CallDatabase.h"
#include "core/TextUtil.h"

#include <QtTest>
#include <csignal>
#include <ctime>
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

// One operation by name, for the tables; what it appends or stores is G4ABC's station record.
DbStatus run(CallDatabase &db, const QString &operation)
{
    const QStringList words = operation.split(u' ');
    db.CurrentRecord = station(QStringLiteral("G4ABC"));
    DbStatus status = DbStatus::Ok;
    if (words[0] == u"find")
        db.FindCall(u"G4ABC", &status);
    else if (words[0] == u"store")  // "store CALL", perhaps "keeping" the stored Add1
        status = db.StoreStation(station(words[1]), words.size() > 2);
    else if (words[0] == u"delete")
        status = db.DeleteCall(words[1]);
    else
        status = words[0] == u"append" ? db.AppendRecord() : words[0] == u"sort" ? db.SortDatabase() : db.ReplaceRecord(8);
    return status;
}

QString callOf(const QByteArray &record) { return trimBlanks(fromCp1252(record.left(6))); }

// `n` records of distinct random calls in order, the one from index `at` moved to the end. A call
// has 1..6 characters, sometimes after leading blanks, over digits, letters of both cases, an
// inner blank and bytes whose decoded order differs from their byte order.
QList<QByteArray> makeFile(quint32 seed, int n, int at)
{
    static const QByteArray alphabet("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcz /\x80\x81\x8A\x9F\xA0\xC4\xD8\xFF");
    QRandomGenerator rng(seed);
    QMap<QString, QByteArray> byCall;  // distinct calls in key order
    while (byCall.size() < n) {
        QByteArray call;
        for (int i = 1 + rng.bounded(6); i > 0; --i)
            call += alphabet[rng.bounded(int(alphabet.size()))];
        call = call.trimmed().isEmpty() ? QByteArray("Q") : call.trimmed();
        QByteArray r = (QByteArray(rng.bounded(4) == 0 ? rng.bounded(7 - int(call.size())) : 0, ' ') + call).leftJustified(6, ' ');
        while (r.size() < kRec)
            r += char(0x20 + rng.bounded(0x5F));
        byCall.insert(callOf(r), r);
    }
    QList<QByteArray> recs = byCall.values();
    return recs << recs.takeAt(at);
}

// An entry of CallData.jnl: three numbers, the payload, the same numbers again.
QByteArray entry(qint64 a, qint64 b, qint64 c, const QByteArray &payload)
{
    const qint64 numbers[3] = {a, b, c};
    const QByteArray frame(reinterpret_cast<const char *>(numbers), sizeof numbers);
    return frame + payload + frame;
}

// The kill test's records: calls of six base-36 digits from 36^5, the even ones in the file at
// first, the call repeated through the record so that one spliced from two shows.
constexpr int kKillRecords = 100000, kBase = 60466176;
QString killCall(int index) { return QString::number(kBase + index, 36).toUpper(); }
CallRecord killRecord(const QString &call, const QString &version) { return record(call, version, call.repeated(5)); }

// The child of killedStoresLoseNothing: stores calls low in the file (so that most of it moves)
// until a timer's SIGKILL ends it at a random moment, in the middle of a write too.
int storeUntilKilled(const char *folder, quint32 seed)
{
    QRandomGenerator rng(seed);
    sigevent kill{{}, SIGKILL, SIGEV_SIGNAL, {}};
    timer_t timer{};
    const itimerspec when{{0, 0}, {0, long(rng.bounded(1000000, 80000000))}};  // 1 to 80 ms
    if (::timer_create(CLOCK_MONOTONIC, &kill, &timer) != 0 || ::timer_settime(timer, 0, &when, nullptr) != 0)
        return 1;
    for (CallDatabase db(QString::fromLocal8Bit(folder));;) {
        const QString call = killCall(int(rng.bounded(kKillRecords / 5)));  // odd: a new call
        if (db.StoreStation(killRecord(call, QStringLiteral("new")), false) != DbStatus::Ok)
            return 1;
    }
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

    void findCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("number");
        QTest::newRow("first") << "0A1" << 1;
        QTest::newRow("last") << "w1aw" << 8;
        QTest::newRow("prefix of its neighbour") << "K1ABCD" << 5;
        QTest::newRow("leading blank trimmed") << " W1AW" << 6;
        QTest::newRow("case differs") << "k1abc" << 0;
        QTest::newRow("in the torn tail: not a record") << "ZZ9ZZ" << 0;
    }
    void findCall()
    {
        QFETCH(QString, call);
        QFETCH(int, number);
        const QByteArray file = records(kSorted + QStringList{"w1aw"}) + records({"ZZ9ZZ"}).left(84);
        QVERIFY(writeAll(m_db, file));
        CallDatabase db(m_dir->path());
        DbStatus status = DbStatus::ReadFailed;
        QCOMPARE(db.FindCall(call, &status), number);
        QCOMPARE(status, DbStatus::Ok);
        QVERIFY(db.recordsRead() <= 4);  // a binary search: floor(log2 8) + 1 probes
        if (number > 0)
            QCOMPARE(bytes(db.CurrentRecord), file.mid((number - 1) * kRec, kRec));
        QCOMPARE(db.CountRecords(), 9);  // a torn tail over half a record counts
        QStringList list;
        QCOMPARE(db.FillCallList(list), DbStatus::Ok);
        QCOMPARE(list, kSorted + QStringList{"w1aw"});
    }

    // What an operation leaves in CallData.db, also after a change cut short by a kill (its journal,
    // a torn record, temp.db) or duplicates left by an older program: every record once, whole and
    // in order, and neither temp.db nor the journal left behind.
    void fileAfter_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QByteArray>("temp");
        QTest::addColumn<QByteArray>("after");
        const QByteArray sorted = records(kSorted), none, torn = records({"ZZ9ZZ"}).left(83);
        const auto with = [&](int at, const QByteArray &r, int over = 0) { return QByteArray(sorted).replace(at * kRec, over, r); };
        const auto fresh = [](const char *call, const char *add1 = "Web street") { return bytes(record(call, "New Holder", add1)); };
        const QByteArray g4 = fresh("G4ABC"), k1 = fresh("K1ABC"), withG4 = with(3, g4), later = bytes(record("K1ABC", "Later"));
        const QByteArray insert = entry(1, 3, 7, g4);  // G4ABC goes in 4th; then the slot of the first chunk
        const QByteArray moved = insert.leftJustified(256 + 65536, '\0') + entry(1, 3, 7, sorted.mid(3 * kRec));
        QTest::newRow("store: first call creates the database") << "store G4ABC" << none << none << none << g4;
        QTest::newRow("store: new call sorted into place") << "store G4ABC" << sorted << none << none << withG4;
        QTest::newRow("store: stored call replaced in place") << "store K1ABC" << sorted << none << none << with(3, k1, kRec);
        QTest::newRow("store: stored Add1 kept") << "store K1ABC keeping" << sorted << none << none << with(3, fresh("K1ABC", "Stored street"), kRec);
        QTest::newRow("store: Add1 blank when not stored") << "store G4ABC keeping" << sorted << none << none << with(3, fresh("G4ABC", ""));
        QTest::newRow("store: seven chars replace the six") << "store K1ABCDE" << sorted << none << none << with(4, fresh("K1ABCD"), kRec);
        QTest::newRow("store over a torn tail") << "store G4ABC" << sorted + torn << none << none << withG4;
        QTest::newRow("store: replaced in an unsorted file, which is sorted")
            << "store K1ABC" << records({"9Z9", "0A1"}) + sorted.mid(2 * kRec) << none << none << with(3, k1, kRec);
        QTest::newRow("store: replaced, torn tail dropped") << "store K1ABC" << sorted + torn << none << none << with(3, k1, kRec);
        QTest::newRow("store: duplicate left by an older program") << "store G4ABC" << with(3, records({"K1ABC"})) << none << none << withG4;
        QTest::newRow("store: out of order, later duplicate kept") << "store G4ABC" << sorted + later << none << none << with(3, g4 + later, kRec);
        QTest::newRow("append over a torn tail") << "append" << sorted + torn << none << none << sorted + g4;
        QTest::newRow("sort: in order, nothing written") << "sort" << sorted + torn << none << none << sorted + torn;
        QTest::newRow("delete: duplicate too, stale temp.db not in") << "delete K1ABC" << with(3, k1) << none << sorted + sorted << with(3, {}, kRec);
        QTest::newRow("delete: case differs, file kept") << "delete k1abc" << sorted << none << none << sorted;
        QTest::newRow("delete: seven chars delete the six") << "delete K1ABCDE" << sorted << none << none << with(4, {}, kRec);
        QTest::newRow("find: journal, new record torn past the end") << "find" << sorted + g4.left(90) << insert << none << withG4;
        QTest::newRow("find: journal, tail move torn") << "find" << with(4, sorted.mid(3 * kRec, 300), 300) + g4 << moved << none << withG4;
        QTest::newRow("find: journal, store complete") << "find" << withG4 << moved << none << withG4;
        QTest::newRow("find: journal, replace torn") << "find" << with(3, k1.left(100), 100) << entry(2, 3, 7, k1) << none << with(3, k1, kRec);
        QTest::newRow("find: journal cut short before its sync") << "find" << sorted << insert.left(150) << none << sorted;
        QTest::newRow("find: temp.db left by a delete") << "find" << sorted << none << sorted.left(kRec) << sorted;
    }
    void fileAfter()
    {
        QFETCH(QString, operation);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, journal);
        QFETCH(QByteArray, temp);
        QFETCH(QByteArray, after);
        QVERIFY(file.isNull() || writeAll(m_db, file));
        QVERIFY((journal.isNull() || writeAll(m_journal, journal)) && (temp.isNull() || writeAll(m_temp, temp)));
        CallDatabase db(m_dir->path());
        QCOMPARE(run(db, operation), DbStatus::Ok);
        QVERIFY(db.lastError().isEmpty());
        QCOMPARE(readAll(m_db), after);
        QCOMPARE(db.CountRecords(), after.size() / kRec);  // a torn tail under half a record does not count
        QVERIFY(!QFile::exists(m_temp) && !QFile::exists(m_journal));
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
        QTest::newRow("store into a missing folder") << "no folder" << "store G4ABC" << DbStatus::OpenFailed
            << "no/CallData.db could not be created: No such file or directory";
        QTest::newRow("store where a folder is named CallData.db") << "folder" << "store G4ABC"
            << DbStatus::OpenFailed << "CallData.db could not be opened for reading: file to open is a directory";
        QTest::newRow("append, no database: not a warning") << "none" << "append" << DbStatus::Missing
            << "CallData.db could not be opened for writing: No such file or directory";
        QTest::newRow("replace past the last record") << "file" << "replace 8" << DbStatus::BadRecordNumber
            << "CallData.db has no record 8: it holds 7 records";
        QTest::newRow("store a new call past a size limit") << "limit 7" << "store G4ABC" << DbStatus::WriteFailed
            << "CallData.db could not be written: File too large";
        QTest::newRow("sort: no room for the journal") << "limit 8" << "sort" << DbStatus::WriteFailed
            << "CallData.jnl could not be written: File too large";
        QTest::newRow("delete through temp.db") << "limit 1" << "delete K1ABC" << DbStatus::WriteFailed
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
        const bool limit = setup.startsWith(QLatin1String("limit "));
        const rlimit capped{limit ? rlim_t(setup.mid(6).toInt() * kRec) : saved.rlim_cur, saved.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &capped), 0);
        const DbStatus result = run(db, operation);
        ::setrlimit(RLIMIT_FSIZE, &saved);

        QCOMPARE(result, status);
        QCOMPARE(db.lastError(), m_dir->path() + u'/' + error);
        if (withFile)
            QCOMPARE(readAll(m_db), before);
        QVERIFY(!QFile::exists(m_temp) && !QFile::exists(m_journal));
    }

    // A sorted run plus one record is done in one pass, in place, to the comb sort's bytes (moved
    // records with their Call trimmed), whatever the order of the calls' characters.
    void sortDatabase_data()
    {
        QTest::addColumn<int>("count");  // also the seed
        QTest::addColumn<int>("at");     // the appended record's place in order
        QTest::newRow("two, appended sorts first") << 2 << 0;
        QTest::newRow("run of 999 + first: several chunks") << 1000 << 0;
        QTest::newRow("run of 1199 + one inside") << 1200 << 777;
    }
    void sortDatabase()
    {
        QFETCH(int, count);
        QFETCH(int, at);
        const QByteArray original = makeFile(quint32(count), count, at).join();
        int64_t reads = 0;
        const auto sortWith = [&](DbStatus (CallDatabase::*sort)()) {
            CallDatabase db(m_dir->path());
            if (!writeAll(m_db, original) || (db.*sort)() != DbStatus::Ok)
                return QByteArray("<not sorted>");
            reads = db.recordsRead();
            return readAll(m_db);
        };
        const QByteArray expected = sortWith(&CallDatabase::CombSortDatabase);
        for (qsizetype i = kRec; i < expected.size(); i += kRec)
            QVERIFY(callOf(expected.mid(i - kRec)) < callOf(expected.mid(i)));
        QCOMPARE(sortWith(&CallDatabase::SortDatabase), expected);
        QVERIFY2(reads <= 2 * count, qPrintable(QString::number(reads)));
    }

    // Stores killed by SIGKILL at random moments, 50 times in a row: each time, the next search
    // finishes the store cut short, and the records are whole and in order, those of the first
    // file each there once (as they were, or stored anew), stored ones among them.
    void killedStoresLoseNothing()
    {
        QByteArray original;
        for (int i = 0; i < kKillRecords; ++i)
            original += bytes(killRecord(killCall(2 * i), QStringLiteral("orig")));
        QVERIFY(writeAll(m_db, original));
        int stored = 0;  // records stored anew, over all the checks
        for (int kill = 0; kill < 50; ++kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--store-until-killed", m_dir->path(), QString::number(kill)});
            QVERIFY(child.waitForFinished(30000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            CallDatabase db(m_dir->path());
            QCOMPARE(run(db, QStringLiteral("find")), DbStatus::Ok);
            const QByteArray file = readAll(m_db);
            QCOMPARE(file.size() % kRec, 0);
            QString previous;
            int originals = 0;
            for (qsizetype at = 0; at < file.size(); at += kRec) {
                const QByteArray r = file.mid(at, kRec);
                const QString call = callOf(r);
                const int index = call.toInt(nullptr, 36) - kBase;
                const bool asAtFirst = index % 2 == 0 && r == original.mid(index / 2 * kRec, kRec);
                QVERIFY2(previous < call && (asAtFirst || r == bytes(killRecord(call, "new"))), r.constData());
                previous = call;
                originals += index % 2 == 0;
                stored += !asAtFirst;
            }
            QCOMPARE(originals, kKillRecords);
        }
        QVERIFY(stored > 0);
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--store-until-killed") == 0)
        return storeUntilKilled(argv[2], quint32(std::atoi(argv[3])));
    QCoreApplication app(argc, argv);
    TestCallDatabase test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_calldatabase.moc"
