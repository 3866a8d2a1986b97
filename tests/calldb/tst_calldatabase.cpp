// CallData.db: record layout, search, store, delete and list, torn files and file errors.

#include "calldb/CallDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using torvane::CallDatabase;
using torvane::CallRecord;
using torvane::DbStatus;

Q_DECLARE_METATYPE(CallRecord::Field)

namespace {

constexpr int kRec = CallRecord::kSize;

// A record with a name derived from its call, so that moved records stay recognisable.
QByteArray record(const QString &call)
{
    CallRecord r;
    r.setText(CallRecord::Call, call);
    r.setText(CallRecord::Name, QStringLiteral("Holder of ") + call);
    r.setText(CallRecord::Lat, QStringLiteral("51.5"));
    r.setText(CallRecord::YearBorn, QStringLiteral("1961"));
    return QByteArray(r.data(), kRec);
}

QByteArray records(const QStringList &calls)
{
    QByteArray bytes;
    for (const QString &call : calls)
        bytes += record(call);
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

const QStringList kSorted = {"0A1", "9Z9", "AA1AA", "K1ABC", "K1ABCD", "W1AW", "ZL1AB"};

}  // namespace

class TestCallDatabase : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QString dbPath() const { return m_dir->filePath(QStringLiteral("CallData.db")); }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        QFile::setPermissions(dbPath(), QFile::ReadOwner | QFile::WriteOwner);
        delete m_dir;
    }

    void fieldLayout_data()
    {
        QTest::addColumn<CallRecord::Field>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("seven-char call cut to six") << CallRecord::Call << "K1ABCDE" << QByteArray("K1ABCD");
        QTest::newRow("slashed zero is byte 216") << CallRecord::Call << "K\u00D8A" << QByteArray("K\xD8" "A   ");
        QTest::newRow("year born, last field") << CallRecord::YearBorn << "19612" << QByteArray("1961");
    }
    void fieldLayout()
    {
        QFETCH(CallRecord::Field, field);
        QFETCH(QString, value);
        QFETCH(QByteArray, stored);
        CallRecord r;
        r.setText(field, QString(40, u'#'));  // a longer earlier value must not show through
        r.setText(field, value);
        QByteArray expected(kRec, ' ');
        expected.replace(CallRecord::offset(field), stored.size(), stored);
        QCOMPARE(QByteArray(r.data(), kRec), expected);
    }

    void countRecords_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("count");
        QTest::newRow("missing") << -1 << 0;
        QTest::newRow("torn tail under half rounds down") << 2 * kRec + 83 << 2;
        QTest::newRow("torn tail over half rounds up") << 2 * kRec + 84 << 3;
    }
    void countRecords()
    {
        QFETCH(int, bytes);
        QFETCH(int, count);
        if (bytes >= 0)
            QVERIFY(writeAll(dbPath(), QByteArray(bytes, 'A')));
        QCOMPARE(CallDatabase(m_dir->path()).CountRecords(), count);
        QCOMPARE(QFile::exists(dbPath()), bytes >= 0);  // counting never creates the file
    }

    void findCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("number");
        QTest::newRow("first") << "0A1" << 1;
        QTest::newRow("prefix of its neighbour") << "K1ABCD" << 5;
        QTest::newRow("lower case sorts after upper") << "w1aw" << 8;
        QTest::newRow("case differs") << "k1abc" << 0;
        QTest::newRow("leading blank trimmed") << " W1AW" << 6;
        QTest::newRow("seven chars found by the six stored") << "K1ABCDE" << 5;
        QTest::newRow("between") << "G4ABC" << 0;
        QTest::newRow("blank key") << "" << 0;
    }
    void findCall()
    {
        QFETCH(QString, call);
        QFETCH(int, number);
        QVERIFY(writeAll(dbPath(), records(kSorted + QStringList{QStringLiteral("w1aw")})));
        CallDatabase db(m_dir->path());
        DbStatus status = DbStatus::ReadFailed;
        QCOMPARE(db.FindCall(call, &status), number);
        QCOMPARE(status, DbStatus::Ok);
        QVERIFY(db.recordsRead() <= 4);  // a binary search: floor(log2 8) + 1 probes
        if (number > 0)
            QCOMPARE(QByteArray(db.CurrentRecord.data(), kRec), records(kSorted + QStringList{"w1aw"}).mid((number - 1) * kRec, kRec));
    }

    void emptyAndMissingFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("0-byte file") << true;
        QTest::newRow("missing file") << false;
    }
    void emptyAndMissingFile()
    {
        QFETCH(bool, exists);
        if (exists)
            QVERIFY(writeAll(dbPath(), {}));
        CallDatabase db(m_dir->path());
        QStringList list = {QStringLiteral("kept")};
        QCOMPARE(db.FillCallList(list), exists ? DbStatus::Ok : DbStatus::Missing);
        QCOMPARE(list.size(), exists ? 0 : 1);
        QCOMPARE(db.AppendRecord(), exists ? DbStatus::Ok : DbStatus::Missing);
        QCOMPARE(QFileInfo(dbPath()).size(), exists ? kRec : 0);

        QFile::remove(dbPath());
        DbStatus status = DbStatus::ReadFailed;
        QCOMPARE(db.FindCall(u"K1ABC", &status), 0);  // creates the file empty
        QCOMPARE(status, DbStatus::Ok);
        QCOMPARE(readAll(dbPath()), QByteArray());
    }

    void missingFolder()
    {
        CallDatabase db(m_dir->filePath(QStringLiteral("no/such/folder")));
        DbStatus status = DbStatus::Ok;
        QCOMPARE(db.FindCall(u"K1ABC", &status), 0);
        QCOMPARE(status, DbStatus::OpenFailed);
        QVERIFY(!db.lastError().isEmpty());
        QCOMPARE(db.AppendRecord(), DbStatus::Missing);
        QCOMPARE(db.DeleteCall(u"K1ABC"), DbStatus::Missing);
    }

    // The callers' store: FindCall, ClearRecord, fill, then Replace or Append + Sort.
    void store_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("number");
        QTest::newRow("sorts first, moves to record 1") << "00A" << "00A" << 1;
        QTest::newRow("seven chars cut to six") << "W1AWXYZ" << "W1AWXY" << 7;
        QTest::newRow("seven chars replace the six stored") << "K1ABCDE" << "K1ABCD" << 5;
        QTest::newRow("existing replaced in place") << "K1ABC" << "K1ABC" << 4;
    }
    void store()
    {
        QFETCH(QString, call);
        QFETCH(QString, stored);
        QFETCH(int, number);
        QVERIFY(writeAll(dbPath(), records(kSorted)));
        CallDatabase db(m_dir->path());
        const int found = db.FindCall(call);
        db.ClearRecord();
        db.CurrentRecord.setText(CallRecord::Call, call);
        db.CurrentRecord.setText(CallRecord::Name, QStringLiteral("New Holder"));
        if (found > 0) {
            QCOMPARE(db.ReplaceRecord(found), DbStatus::Ok);
        } else {
            QCOMPARE(db.AppendRecord(), DbStatus::Ok);
            QCOMPARE(db.SortDatabase(), DbStatus::Ok);
        }
        db.ClearRecord();
        QCOMPARE(db.FindCall(stored), number);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Name), QStringLiteral("New Holder"));
        QStringList list, expected = kSorted;
        QCOMPARE(db.FillCallList(list), DbStatus::Ok);
        if (found == 0)
            expected << stored;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(list, expected);
    }

    void replaceRecordOutOfRange()
    {
        const QByteArray before = records(kSorted);
        QVERIFY(writeAll(dbPath(), before));
        CallDatabase db(m_dir->path());
        for (int number : {0, 8})
            QCOMPARE(db.ReplaceRecord(number), DbStatus::BadRecordNumber);
        QCOMPARE(readAll(dbPath()), before);
    }

    void deleteCall_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("duplicate removes both") << QStringList{"AA1AA", "K1ABC", "K1ABC", "W1AW"} << "K1ABC"
                                                << QStringList{"AA1AA", "W1AW"};
        QTest::newRow("case differs: file kept") << kSorted << "k1abc" << kSorted;
        QTest::newRow("key is trimmed") << kSorted << " ZL1AB" << kSorted.mid(0, 6);
        QTest::newRow("seven chars delete the six stored") << kSorted << "K1ABCDE"
                                                             << QStringList{"0A1", "9Z9", "AA1AA", "K1ABC", "W1AW", "ZL1AB"};
        QTest::newRow("only record") << QStringList{"K1ABC"} << "K1ABC" << QStringList();
    }
    void deleteCall()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, key);
        QFETCH(QStringList, left);
        QVERIFY(writeAll(dbPath(), records(calls)));
        // A scratch file left by an earlier run, longer than the result.
        const QString temp = m_dir->filePath(QStringLiteral("temp.db"));
        QVERIFY(writeAll(temp, records(QStringList(12, QStringLiteral("STALE")))));
        CallDatabase db(m_dir->path());
        QCOMPARE(db.DeleteCall(key), DbStatus::Ok);
        QCOMPARE(readAll(dbPath()), records(left));
        QVERIFY(!QFile::exists(temp));
    }

    // Length not a multiple of 167, the tail over half a record (CountRecords counts it):
    // whole records are read, and writing goes over the torn tail.
    void tornFile()
    {
        const QStringList calls = {"AA1AA", "K1ABC", "W1AW"};
        const QByteArray whole = records(calls);
        const QByteArray torn = whole + record(QStringLiteral("ZZ9ZZ")).left(150);
        QVERIFY(writeAll(dbPath(), torn));
        CallDatabase db(m_dir->path());
        QCOMPARE(db.FindCall(u"W1AW"), 3);
        QCOMPARE(db.FindCall(u"ZZ9ZZ"), 0);
        QStringList list;
        QCOMPARE(db.FillCallList(list), DbStatus::Ok);
        QCOMPARE(list, calls);
        QCOMPARE(db.SortDatabase(), DbStatus::Ok);
        QCOMPARE(readAll(dbPath()), torn);  // sorted already: nothing written, tail kept

        db.ClearRecord();
        db.CurrentRecord.setText(CallRecord::Call, QStringLiteral("G4ABC"));
        QCOMPARE(db.AppendRecord(), DbStatus::Ok);
        QCOMPARE(readAll(dbPath()), whole + QByteArray(db.CurrentRecord.data(), kRec));

        QVERIFY(writeAll(dbPath(), torn));
        QCOMPARE(db.DeleteCall(u"K1ABC"), DbStatus::Ok);
        QCOMPARE(readAll(dbPath()), records({"AA1AA", "W1AW"}));
    }

    // Every change to a read-only database fails with an error and leaves the file as it was.
    void readOnlyDatabase()
    {
        const QByteArray before = records({"K1ABC", "AA1AA"});
        QVERIFY(writeAll(dbPath(), before));
        QVERIFY(QFile::setPermissions(dbPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (::access(QFile::encodeName(dbPath()).constData(), W_OK) == 0)
            QSKIP("running with rights that ignore file permissions");
        CallDatabase db(m_dir->path());
        QCOMPARE(db.AppendRecord(), DbStatus::OpenFailed);
        QCOMPARE(db.ReplaceRecord(1), DbStatus::OpenFailed);
        QCOMPARE(db.SortDatabase(), DbStatus::OpenFailed);
        QCOMPARE(db.DeleteCall(u"K1ABC"), DbStatus::OpenFailed);
        QVERIFY(!db.lastError().isEmpty());
        QCOMPARE(readAll(dbPath()), before);
        QCOMPARE(db.FindCall(u"K1ABC"), 1);  // searching needs no write access
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("temp.db"))));
    }

    // Writes past a file-size limit fail for every user, as on a full disk: the operation
    // reports it and CallData.db keeps its bytes.
    void writeFails_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("limit");  // bytes a file may reach
        QTest::newRow("append") << "append" << 7 * kRec;
        QTest::newRow("sort moving the appended record") << "sort" << 8 * kRec;
        QTest::newRow("delete through temp.db") << "delete" << kRec;
    }
    void writeFails()
    {
        QFETCH(QString, operation);
        QFETCH(int, limit);
        QByteArray before = records(kSorted);
        if (operation == QLatin1String("sort"))
            before += record(QStringLiteral("00A"));
        QVERIFY(writeAll(dbPath(), before));
        CallDatabase db(m_dir->path());
        db.CurrentRecord.setText(CallRecord::Call, QStringLiteral("G4ABC"));

        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit capped = saved;
        capped.rlim_cur = rlim_t(limit);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &capped), 0);
        DbStatus status = DbStatus::Ok;
        if (operation == QLatin1String("append"))
            status = db.AppendRecord();
        else if (operation == QLatin1String("sort"))
            status = db.SortDatabase();
        else
            status = db.DeleteCall(u"K1ABC");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(status, DbStatus::WriteFailed);
        QVERIFY(!db.lastError().isEmpty());
        QCOMPARE(readAll(dbPath()), before);
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("temp.db"))));
    }
};

QTEST_GUILESS_MAIN(TestCallDatabase)
#include "tst_calldatabase.moc"
