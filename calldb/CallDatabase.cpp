#include "calldb/CallDatabase.h"

#include "calldb/Logging.h"
#include "core/TextUtil.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <unistd.h>
#include <vector>

namespace torvane {

namespace {

constexpr int kRec = CallRecord::kSize;
constexpr int kCallWidth = 6;
// Records per chunk of the listing, deleting and sorting loops: 392 x 167 = 65,464 bytes.
constexpr int64_t kChunkRecords = 392;

using RecordBytes = std::array<char, kRec>;

// Windows-1252 byte -> UTF-16 code, taken from the shared decoder so that key order is the
// order of the decoded text.
const std::array<char16_t, 256> &decodeTable()
{
    static const std::array<char16_t, 256> table = [] {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = fromCp1252(all);
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = text.at(i).unicode();
        return t;
    }();
    return table;
}

// The trimmed Call of a record as decoded code units, compared without building a QString.
struct CallKey {
    std::array<char16_t, kCallWidth> c{};
    int len = 0;
};

CallKey keyOf(const char *record)
{
    const auto &table = decodeTable();
    int begin = 0, end = kCallWidth;
    while (begin < end && record[begin] == ' ')
        ++begin;
    while (end > begin && record[end - 1] == ' ')
        --end;
    CallKey key;
    for (int i = begin; i < end; ++i)
        key.c[size_t(key.len++)] = table[static_cast<unsigned char>(record[i])];
    return key;
}

// Ordinal by character code; a shorter key sorts before a longer one that starts with it.
int compareKeys(const CallKey &a, const CallKey &b)
{
    const int n = std::min(a.len, b.len);
    for (int i = 0; i < n; ++i) {
        if (a.c[size_t(i)] != b.c[size_t(i)])
            return a.c[size_t(i)] < b.c[size_t(i)] ? -1 : 1;
    }
    return a.len == b.len ? 0 : (a.len < b.len ? -1 : 1);
}

// A call of plain ASCII (0x21..0x7F), left-aligned and padded with blanks, decodes to itself,
// and a blank sorts below all of its characters: its order is that of the six bytes read as a
// big-endian number. Other calls (leading or inner blanks, controls, bytes over 0x7F) go
// through CallKey.
bool plainCall(const char *field, uint64_t &value)
{
    uint64_t v = 0;
    bool padding = false;
    for (int i = 0; i < kCallWidth; ++i) {
        const auto b = static_cast<unsigned char>(field[i]);
        if (b == ' ')
            padding = true;
        else if (padding || b < 0x21 || b > 0x7F)
            return false;
        v = (v << 8) | b;
    }
    value = v;  // a leading blank got here only as part of an all-blank field
    return true;
}

// One call of the sorting scan, with its plain value when it has one.
struct ScanCall {
    std::array<char, kCallWidth> raw{};
    uint64_t value = 0;
    bool plain = false;

    void set(const char *field)
    {
        std::memcpy(raw.data(), field, kCallWidth);
        plain = plainCall(field, value);
    }
};

int compareCalls(const ScanCall &a, const ScanCall &b)
{
    if (a.plain && b.plain)
        return a.value == b.value ? 0 : (a.value < b.value ? -1 : 1);
    return compareKeys(keyOf(a.raw.data()), keyOf(b.raw.data()));
}

bool keyEquals(const CallKey &key, QStringView text)
{
    if (text.size() != key.len)
        return false;
    for (int i = 0; i < key.len; ++i) {
        if (text[i].unicode() != key.c[size_t(i)])
            return false;
    }
    return true;
}

QString keyText(const CallKey &key)
{
    return QString(reinterpret_cast<const QChar *>(key.c.data()), key.len);
}

// The call as a record stores it: cut to the field's width, then trimmed. A seven-character
// call is looked up, stored and deleted by its first six characters.
QString storedCall(QStringView call)
{
    CallRecord record;
    record.setText(CallRecord::Call, call);
    record.normalizeCall();
    return record.trimmed(CallRecord::Call);
}

bool readRecords(QFile &file, int64_t first, char *buffer, int64_t count)
{
    const qint64 bytes = count * kRec;
    errno = 0;  // for reasonOf
    return file.seek(first * kRec) && file.read(buffer, bytes) == bytes;
}

bool writeBytes(QFile &file, qint64 position, const char *buffer, qint64 bytes)
{
    errno = 0;  // for reasonOf
    return file.seek(position) && file.write(buffer, bytes) == bytes;
}

bool writeRecords(QFile &file, int64_t first, const char *buffer, int64_t count)
{
    return writeBytes(file, first * kRec, buffer, count * kRec);
}

// The text of a system error number, e.g. "No such file or directory".
QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a file operation failed: the file's own error, else the system's last one (a write cut
// short by a full disk or a size limit leaves no error on the file).
QString reasonOf(const QFileDevice &file)
{
    if (file.error() != QFileDevice::NoError || errno == 0)
        return file.errorString();
    return systemError();
}

// Closing may report a late write error (e.g. on network file systems).
bool closeCleanly(QFile &file)
{
    file.close();
    return file.error() == QFileDevice::NoError;
}

}  // namespace

CallDatabase::CallDatabase(QString dataFolder)
    : m_folder(std::move(dataFolder))
{
}

QString CallDatabase::databasePath() const { return m_folder + QStringLiteral("/CallData.db"); }
QString CallDatabase::tempPath() const { return m_folder + QStringLiteral("/temp.db"); }

DbStatus CallDatabase::fail(DbStatus status, const QString &path, const QString &problem,
                            const QString &reason)
{
    m_lastError = QStringLiteral("%1 %2: %3").arg(path, problem, reason);
    // A missing database is an ordinary state (nothing was tried); everything else went wrong.
    if (status == DbStatus::Missing)
        qCDebug(lcDb).noquote() << m_lastError;
    else
        qCWarning(lcDb).noquote() << m_lastError;
    return status;
}

DbStatus CallDatabase::fail(DbStatus status, const QFile &file, const QString &problem)
{
    return fail(status, file.fileName(), problem, reasonOf(file));
}

DbStatus CallDatabase::openForUpdate(QFile &file)
{
    m_lastError.clear();
    if (!file.exists())
        return fail(DbStatus::Missing, file.fileName(), QStringLiteral("could not be opened for writing"),
                    systemError(ENOENT));
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, file, QStringLiteral("could not be opened for writing"));
    return DbStatus::Ok;
}

int32_t CallDatabase::CountRecords() const
{
    const QFileInfo info(databasePath());
    if (!info.exists() || info.isDir())
        return 0;
    return toInt32(roundHalfEven(double(info.size()) / kRec))
        .value_or(std::numeric_limits<int32_t>::max());
}

void CallDatabase::ClearRecord() { CurrentRecord.clear(); }

int32_t CallDatabase::FindCall(QStringView call, DbStatus *status)
{
    m_lastError.clear();
    const auto done = [status](DbStatus s, int32_t result) {
        if (status)
            *status = s;
        return result;
    };
    QFile file(databasePath());
    // Searching needs no write access; only a missing file is opened for writing, to create it.
    const bool exists = file.exists();
    if (!file.open((exists ? QIODevice::ReadOnly : QIODevice::ReadWrite) | QIODevice::Unbuffered)) {
        const QString problem = exists ? QStringLiteral("could not be opened for reading")
                                       : QStringLiteral("could not be created");
        return done(fail(DbStatus::OpenFailed, file, problem), 0);
    }

    // An empty file has nothing to read; the design's single probe of record 1 finds nothing.
    const int64_t count = std::min<int64_t>(file.size() / kRec, std::numeric_limits<int32_t>::max());
    const QString key = storedCall(call);
    int64_t lo = 1, hi = count;
    while (lo <= hi) {
        const int64_t mid = (lo + hi) / 2;
        CallRecord record;
        if (!readRecords(file, mid - 1, record.data(), 1))
            return done(fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read")), 0);
        ++m_recordsRead;
        record.normalizeCall();
        CurrentRecord = record;
        // Trimmed against trimmed, by character code: the order SortDatabase leaves.
        const int order = QString::compare(key, record.trimmed(CallRecord::Call), Qt::CaseSensitive);
        if (order == 0)
            return done(DbStatus::Ok, int32_t(mid));
        if (order < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return done(DbStatus::Ok, 0);
}

DbStatus CallDatabase::AppendRecord()
{
    QFile file(databasePath());
    if (const DbStatus opened = openForUpdate(file); opened != DbStatus::Ok)
        return opened;
    // After the last whole record: a torn tail (shorter than a record) is overwritten.
    const qint64 position = file.size() / kRec * kRec;
    if (!writeBytes(file, position, CurrentRecord.data(), kRec) || !closeCleanly(file))
        return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    return DbStatus::Ok;
}

DbStatus CallDatabase::ReplaceRecord(int32_t recordNumber)
{
    QFile file(databasePath());
    if (const DbStatus opened = openForUpdate(file); opened != DbStatus::Ok)
        return opened;
    const int64_t count = file.size() / kRec;
    if (recordNumber < 1 || recordNumber > count)
        return fail(DbStatus::BadRecordNumber, file.fileName(),
                    QStringLiteral("has no record %1").arg(recordNumber),
                    QStringLiteral("it holds %1 records").arg(count));
    if (!writeRecords(file, recordNumber - 1, CurrentRecord.data(), 1) || !closeCleanly(file))
        return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    return DbStatus::Ok;
}

DbStatus CallDatabase::StoreStation(const CallRecord &station, bool keepStoredAdd1)
{
    DbStatus status = DbStatus::Ok;
    const int32_t n = FindCall(station.text(CallRecord::Call), &status);
    if (status != DbStatus::Ok)
        return status;
    const QString storedAdd1 = n > 0 ? CurrentRecord.text(CallRecord::Add1) : QString();
    ClearRecord();
    for (int f = 0; f < CallRecord::kFieldCount; ++f) {
        const auto field = CallRecord::Field(f);
        const bool kept = field == CallRecord::Add1 && keepStoredAdd1;
        CurrentRecord.setText(field, kept ? storedAdd1 : station.text(field));
    }
    status = n != 0 ? ReplaceRecord(n) : AppendRecord();
    if (status == DbStatus::Missing)  // gone since the search created it
        return fail(DbStatus::OpenFailed, databasePath(), QStringLiteral("could not be opened for writing"),
                    systemError(ENOENT));
    if (status == DbStatus::Ok && n == 0)
        status = SortDatabase();
    return status;
}

DbStatus CallDatabase::SortDatabase()
{
    QFile file(databasePath());
    if (const DbStatus opened = openForUpdate(file); opened != DbStatus::Ok)
        return opened;
    const int64_t count = file.size() / kRec;
    if (count < 2)
        return DbStatus::Ok;
    RecordBytes last;
    if (!readRecords(file, count - 1, last.data(), 1))
        return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
    ++m_recordsRead;

    bool sortedRun = false;
    int64_t before = 0;
    if (const DbStatus scanned = scanSortedRun(file, count, last.data(), sortedRun, before);
        scanned != DbStatus::Ok)
        return scanned;
    if (!sortedRun) {
        file.close();
        return CombSortDatabase();
    }
    if (before == count - 1)
        return DbStatus::Ok;  // already in place: the comb sort swaps nothing, writes nothing
    return insertLastRecord(file, before, last.data());
}

// The usual file is a sorted run plus one appended record. Proves that (all keys distinct, the
// run strictly ascending) and counts the run's records that sort before the last one.
DbStatus CallDatabase::scanSortedRun(QFile &file, int64_t count, const char *last, bool &sortedRun,
                                     int64_t &before)
{
    ScanCall lastCall, previous, current;
    lastCall.set(last);
    std::vector<char> buffer(size_t(kChunkRecords * kRec));
    bool first = true, pastLast = false;
    sortedRun = true;
    before = 0;
    for (int64_t i = 0; i < count - 1; i += kChunkRecords) {
        const int64_t n = std::min(kChunkRecords, count - 1 - i);
        if (!readRecords(file, i, buffer.data(), n))
            return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
        m_recordsRead += n;
        for (int64_t r = 0; r < n; ++r) {
            current.set(buffer.data() + r * kRec);
            if (!first && compareCalls(previous, current) >= 0) {
                sortedRun = false;
                return DbStatus::Ok;
            }
            // Past the first record above the last one, the ascending run stays above it.
            if (!pastLast) {
                const int order = compareCalls(current, lastCall);
                if (order == 0) {
                    sortedRun = false;
                    return DbStatus::Ok;
                }
                if (order < 0)
                    ++before;
                else
                    pastLast = true;
            }
            previous = current;
            first = false;
        }
    }
    return DbStatus::Ok;
}

// The comb sort would leave records 1..before untouched and every record from there on swapped
// at least once, i.e. with its Call trimmed and left-aligned. Inserts the last record at
// `before` and moves the tail up by one record, chunk by chunk from the end. A copy of the last
// record is kept past the end until the move is done, so that a failed write loses no record
// and never shortens the file.
DbStatus CallDatabase::insertLastRecord(QFile &file, int64_t before, char *last)
{
    const qint64 size = file.size();
    const int64_t count = size / kRec;
    const QString notWritten = QStringLiteral("could not be written");
    if (!writeBytes(file, size, last, kRec)) {
        const DbStatus status = fail(DbStatus::WriteFailed, file, notWritten);
        file.resize(size);
        return status;
    }
    std::vector<char> buffer(size_t(kChunkRecords * kRec));
    for (int64_t end = count - 1; end > before;) {
        const int64_t start = std::max(before, end - kChunkRecords);
        const int64_t n = end - start;
        if (!readRecords(file, start, buffer.data(), n))
            return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
        m_recordsRead += n;
        for (int64_t r = 0; r < n; ++r)
            normalizeCallBytes(buffer.data() + r * kRec);
        if (!writeRecords(file, start + 1, buffer.data(), n))
            return fail(DbStatus::WriteFailed, file, notWritten);
        end = start;
    }
    normalizeCallBytes(last);
    if (!writeRecords(file, before, last, 1) || !file.resize(size) || !closeCleanly(file))
        return fail(DbStatus::WriteFailed, file, notWritten);
    return DbStatus::Ok;
}

DbStatus CallDatabase::CombSortDatabase()
{
    QFile file(databasePath());
    if (const DbStatus opened = openForUpdate(file); opened != DbStatus::Ok)
        return opened;
    const int64_t count = file.size() / kRec;
    int64_t gap = count;
    int64_t flag = 0;
    RecordBytes a, b;
    do {
        // Shrink factor 0.65 applied to gap + 1: from 2 the gap goes to 1 and stays there.
        gap = int64_t(std::floor(double(gap + 1) * 0.65));
        flag = gap;
        for (int64_t i = 0; i + gap < count; ++i) {
            if (!readRecords(file, i, a.data(), 1) || !readRecords(file, i + gap, b.data(), 1))
                return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
            m_recordsRead += 2;
            normalizeCallBytes(a.data());
            normalizeCallBytes(b.data());
            if (compareKeys(keyOf(a.data()), keyOf(b.data())) > 0) {
                flag = 2;
                if (!writeRecords(file, i, b.data(), 1) || !writeRecords(file, i + gap, a.data(), 1))
                    return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
            }
        }
    } while (flag >= 2);  // the gap is still 2 or more, or this pass swapped
    if (!closeCleanly(file))
        return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    return DbStatus::Ok;
}

DbStatus CallDatabase::DeleteCall(QStringView call)
{
    // Opened for writing as the other changes are, so that a read-only database stays as it is.
    QFile db(databasePath());
    if (const DbStatus opened = openForUpdate(db); opened != DbStatus::Ok)
        return opened;
    // A fresh scratch file: records left by an earlier run must not reach the database.
    const QString scratch = tempPath();
    QFile::remove(scratch);
    QFile temp(scratch);
    if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, temp, QStringLiteral("could not be created"));
    const auto abandon = [&](DbStatus status, const QString &path, const QString &problem,
                             const QString &reason) {
        fail(status, path, problem, reason);
        temp.close();
        QFile::remove(scratch);
        return status;
    };
    const QString notWritten = QStringLiteral("could not be written");

    const QString key = storedCall(call);
    const int64_t count = db.size() / kRec;  // a torn tail is not a record and is not copied
    std::vector<char> in(size_t(kChunkRecords * kRec));
    std::vector<char> out(in.size());
    for (int64_t i = 0; i < count; i += kChunkRecords) {
        const int64_t n = std::min(kChunkRecords, count - i);
        if (!readRecords(db, i, in.data(), n))
            return abandon(DbStatus::ReadFailed, db.fileName(), QStringLiteral("could not be read"),
                           reasonOf(db));
        m_recordsRead += n;
        qint64 kept = 0;
        for (int64_t r = 0; r < n; ++r) {
            char *record = in.data() + r * kRec;
            normalizeCallBytes(record);
            if (!keyEquals(keyOf(record), key)) {
                std::memcpy(out.data() + kept, record, kRec);
                kept += kRec;
            }
        }
        errno = 0;
        if (kept > 0 && temp.write(out.data(), kept) != kept)
            return abandon(DbStatus::WriteFailed, scratch, notWritten, reasonOf(temp));
    }
    if (::fsync(temp.handle()) != 0)
        return abandon(DbStatus::WriteFailed, scratch, notWritten, systemError());
    if (!closeCleanly(temp))
        return abandon(DbStatus::WriteFailed, scratch, notWritten, reasonOf(temp));
    temp.setPermissions(db.permissions());
    db.close();

    // rename() replaces CallData.db in one step: either the old or the new file is there.
    const QByteArray from = QFile::encodeName(scratch), to = QFile::encodeName(db.fileName());
    if (std::rename(from.constData(), to.constData()) != 0) {
        fail(DbStatus::RenameFailed, scratch, QStringLiteral("could not replace ") + db.fileName(),
             systemError());
        QFile::remove(scratch);
        return DbStatus::RenameFailed;
    }
    return DbStatus::Ok;
}

DbStatus CallDatabase::FillCallList(QStringList &calls)
{
    m_lastError.clear();
    QFile file(databasePath());
    const QString problem = QStringLiteral("could not be opened for reading");
    if (!file.exists())
        return fail(DbStatus::Missing, file.fileName(), problem, systemError(ENOENT));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, file, problem);
    const int64_t count = file.size() / kRec;
    QStringList list;
    list.reserve(qsizetype(count));
    std::vector<char> buffer(size_t(kChunkRecords * kRec));
    for (int64_t i = 0; i < count; i += kChunkRecords) {
        const int64_t n = std::min(kChunkRecords, count - i);
        if (!readRecords(file, i, buffer.data(), n))
            return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
        m_recordsRead += n;
        for (int64_t r = 0; r < n; ++r)
            list.append(keyText(keyOf(buffer.data() + r * kRec)));
    }
    calls = std::move(list);
    return DbStatus::Ok;
}

}  // namespace torvane
