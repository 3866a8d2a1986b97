#include "calldb/CallDatabase.h"

#include "calldb/CallJournal.h"
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
#include <fcntl.h>
#include <limits>
#include <unistd.h>
#include <vector>

namespace torvane {

using namespace jnl;

namespace {

constexpr int kRec = CallRecord::kSize;
constexpr int kCallWidth = 6;
// Records per chunk of the listing, deleting and sorting loops: 392 x 167 = 65,464 bytes.
constexpr int64_t kChunkRecords = 392;
static_assert(2 * kFrame + kChunkRecords * kRec <= kSlotSpan, "a chunk must fit its journal slot");

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

bool readBytes(QFile &file, qint64 position, char *buffer, qint64 bytes)
{
    errno = 0;  // for reasonOf
    return file.seek(position) && file.read(buffer, bytes) == bytes;
}

bool readRecords(QFile &file, int64_t first, char *buffer, int64_t count)
{
    return readBytes(file, first * kRec, buffer, count * kRec);
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
QString CallDatabase::journalPath() const { return m_folder + QStringLiteral("/CallData.jnl"); }

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
    if (const DbStatus recovered = recover(); recovered != DbStatus::Ok)
        return recovered;
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
    if (const DbStatus recovered = recover(); recovered != DbStatus::Ok)
        return done(recovered, 0);
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
    JournalChange change;
    change.numbers = {kReplace, recordNumber - 1, count};
    std::memcpy(change.record.data(), CurrentRecord.data(), kRec);
    QFile journal(journalPath());
    if (const DbStatus begun = beginJournal(journal, change, 2 * kFrame + kRec); begun != DbStatus::Ok)
        return begun;
    return finishReplace(file, journal, change);
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
    QFile file(databasePath());
    if (n != 0) {
        // In a file an older program left unsorted the search may still have found the call:
        // the file is repaired around the new record, which wins over the stored one.
        bool sortedRun = true;
        int64_t before = 0;
        status = openForUpdate(file);
        if (status == DbStatus::Ok)
            status = scanSortedRun(file, file.size() / kRec, nullptr, sortedRun, before);
        if (status == DbStatus::Ok && !sortedRun)
            return rewriteSorted(file, file.size() / kRec, CurrentRecord.data());
        file.close();
    }
    if (status == DbStatus::Ok)
        status = n != 0 ? ReplaceRecord(n) : openForUpdate(file);
    if (status == DbStatus::Missing)  // gone since the search created it
        return fail(DbStatus::OpenFailed, databasePath(), QStringLiteral("could not be opened for writing"),
                    systemError(ENOENT));
    if (status == DbStatus::Ok && n == 0)
        status = placeRecord(file, file.size() / kRec, CurrentRecord.data(), false);
    if (status == DbStatus::Ok && n != 0) {
        // A replaced record leaves the file as long as it was: a torn tail that an older
        // program's cut-short append left goes now, as an insert or a delete drops it.
        QFile whole(databasePath());
        const qint64 size = whole.size();
        if (size % kRec != 0 && !whole.resize(size - size % kRec))
            return fail(DbStatus::WriteFailed, whole, QStringLiteral("could not be cut to whole records"));
    }
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
    return placeRecord(file, count - 1, last.data(), true);
}

DbStatus CallDatabase::placeRecord(QFile &file, int64_t count, const char *record, bool appended)
{
    bool sortedRun = false;
    int64_t before = 0;
    if (const DbStatus scanned = scanSortedRun(file, count, record, sortedRun, before);
        scanned != DbStatus::Ok)
        return scanned;
    if (!sortedRun)
        return rewriteSorted(file, count, record);
    if (appended && before == count)
        return DbStatus::Ok;  // already in place: the comb sort swaps nothing, writes nothing
    return insertRecord(file, count, before, record);
}

DbStatus CallDatabase::forEachChunk(QFile &file, int64_t count, const ChunkReader &chunk)
{
    std::vector<char> buffer(size_t(kChunkRecords * kRec));
    for (int64_t i = 0; i < count; i += kChunkRecords) {
        const int64_t n = std::min(kChunkRecords, count - i);
        if (!readRecords(file, i, buffer.data(), n))
            return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
        m_recordsRead += n;
        if (!chunk(i, buffer.data(), n))
            break;
    }
    return DbStatus::Ok;
}

// The usual file is a sorted run (plus one appended record). Proves that (all keys distinct, the
// run strictly ascending) and counts the run's records that sort before `record`.
DbStatus CallDatabase::scanSortedRun(QFile &file, int64_t count, const char *record, bool &sortedRun,
                                     int64_t &before)
{
    ScanCall lastCall, previous, current;
    if (record)
        lastCall.set(record);
    bool first = true, pastLast = !record;
    sortedRun = true;
    before = 0;
    return forEachChunk(file, count, [&](int64_t, char *records, int64_t n) {
        for (int64_t r = 0; r < n; ++r) {
            current.set(records + r * kRec);
            if (!first && compareCalls(previous, current) >= 0)
                return sortedRun = false;
            // Past the first record above the new one, the ascending run stays above it.
            if (!pastLast) {
                const int order = compareCalls(current, lastCall);
                if (order == 0)
                    return sortedRun = false;
                if (order < 0)
                    ++before;
                else
                    pastLast = true;
            }
            previous = current;
            first = false;
        }
        return true;
    });
}

// The comb sort would leave records 1..before untouched and every record from there on swapped
// at least once, i.e. with its Call trimmed and left-aligned: the insert leaves the same bytes.
// The journal is synced before CallData.db is touched, and CallData.db before the journal is
// removed, so that after a power cut the journal is there for any change that may be unfinished;
// the chunks of a move are not synced one by one, though, so a power cut in the middle of a move
// can still lose what the disk had not written (a kill cannot). The new record goes past the last
// one first, so that the file grows there or not at all (a full disk, a size limit): then it is
// cut back, the journal removed, and the file is as it was.
DbStatus CallDatabase::insertRecord(QFile &file, int64_t count, int64_t before, const char *record)
{
    JournalChange change;
    change.numbers = {kInsert, before, count};
    std::memcpy(change.record.data(), record, kRec);
    const int64_t moved = count - before;
    const qint64 room = moved == 0 ? 0
        : kSlotOffset + (moved > kChunkRecords ? kSlotSpan + kChunkRecords * kRec : moved * kRec);
    QFile journal(journalPath());
    if (const DbStatus begun = beginJournal(journal, change, std::max<qint64>(room, kRec) + 2 * kFrame);
        begun != DbStatus::Ok)
        return begun;
    const qint64 size = file.size();
    if (!writeRecords(file, count, record, 1)) {
        const DbStatus status = fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
        file.resize(size);
        journal.remove();
        return status;
    }
    std::vector<char> slot;
    return finishInsert(file, journal, change, count, 1, slot);
}

// Records before .. end-1 move up by one, chunk by chunk from the end down. A write cut short by
// a kill lands only its beginning; as a chunk's place overlaps where it came from, the records
// at the cut would be lost, half overwritten before their copy above was written. So each chunk
// goes to a slot of the journal first, then to its place. The slots take turns: the one written
// last is whole (its closing numbers match), or it was cut short and CallData.db not yet written
// for it, and the other slot holds the chunk before, whole. Outside the chunk being moved, every
// record is in the file, those at the chunk's bottom edge twice; the chunk is in its slot. The
// recovery writes that chunk again (the same bytes to the same place) and goes on from its first
// record, which leaves each record exactly once.
DbStatus CallDatabase::moveTail(QFile &file, QFile &journal, int64_t before, int64_t end, int64_t seq,
                                std::vector<char> &slot)
{
    slot.resize(size_t(2 * kFrame + kChunkRecords * kRec));
    char *records = slot.data() + kFrame;
    for (; end > before; ++seq) {
        const int64_t first = std::max(before, end - kChunkRecords);
        const int64_t n = end - first;
        if (!readRecords(file, first, records, n))
            return fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read"));
        m_recordsRead += n;
        for (int64_t r = 0; r < n; ++r)
            normalizeCallBytes(records + r * kRec);
        if (!writeEntry(journal, slotOffset(seq), {seq, first, end}, slot.data(), n * kRec))
            return fail(DbStatus::WriteFailed, journal, QStringLiteral("could not be written"));
        if (!writeRecords(file, first + 1, records, n))
            return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
        end = first;
    }
    return DbStatus::Ok;
}

DbStatus CallDatabase::finishInsert(QFile &file, QFile &journal, JournalChange &change, int64_t end,
                                    int64_t seq, std::vector<char> &slot)
{
    if (const DbStatus moved = moveTail(file, journal, change.position(), end, seq, slot);
        moved != DbStatus::Ok)
        return moved;
    if (change.position() < change.count()) {
        normalizeCallBytes(change.record.data());
        if (!writeRecords(file, change.position(), change.record.data(), 1))
            return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    }
    return endJournal(file, journal);
}

DbStatus CallDatabase::finishReplace(QFile &file, QFile &journal, const JournalChange &change)
{
    if (!writeRecords(file, change.position(), change.record.data(), 1))
        return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    return endJournal(file, journal);
}

DbStatus CallDatabase::beginJournal(QFile &journal, const JournalChange &change, qint64 allocate)
{
    const QString notWritten = QStringLiteral("could not be written");
    if (!journal.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, journal, QStringLiteral("could not be created"));
    // Room for every slot the move needs: a full disk shows here, before CallData.db is touched.
    // The folder is not synced: on a journaling file system the file's sync commits its creation.
    DbStatus status = DbStatus::Ok;
    std::array<char, 2 * kFrame + kRec> entry{};
    std::memcpy(entry.data() + kFrame, change.record.data(), kRec);
    errno = 0;
    if (const int error = ::posix_fallocate(journal.handle(), 0, allocate); error != 0)
        status = fail(DbStatus::WriteFailed, journal.fileName(), notWritten, systemError(error));
    else if (!writeEntry(journal, 0, change.numbers, entry.data(), kRec) || !syncFile(journal))
        status = fail(DbStatus::WriteFailed, journal, notWritten);
    if (status != DbStatus::Ok)
        journal.remove();
    return status;
}

DbStatus CallDatabase::endJournal(QFile &file, QFile &journal)
{
    errno = 0;
    if (!syncFile(file) || !closeCleanly(file))
        return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    journal.remove();  // if this fails, finishing the change again on the next open changes nothing
    return DbStatus::Ok;
}

DbStatus CallDatabase::recover()
{
    QFile::remove(tempPath());  // a delete or a repair cut short before its rename: CallData.db is whole
    QFile journal(journalPath());
    if (!journal.exists())
        return DbStatus::Ok;
    QFile file(databasePath());
    const QString notOpened = QStringLiteral("could not be opened for writing");
    if (!file.exists()) {
        journal.remove();
        return DbStatus::Ok;
    }
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, file, notOpened);
    if (!journal.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, journal, notOpened);
    JournalChange change;
    if (!change.read(journal, file.size())) {
        journal.remove();
        return DbStatus::Ok;
    }
    qCDebug(lcDb).noquote() << file.fileName() << "is finishing a change that was cut short";
    if (change.kind() == kReplace)
        return finishReplace(file, journal, change);
    // The last chunk written whole is written again and the move goes on below it; with none,
    // the new record is written past the end again.
    const Numbers chunk = latestChunk(journal, change.position(), change.count(), kChunkRecords);
    std::vector<char> slot(size_t(2 * kFrame + kChunkRecords * kRec));
    const qint64 bytes = (chunk[2] - chunk[1]) * kRec;
    if (chunk[0] != 0 && !readBytes(journal, slotOffset(chunk[0]) + kFrame, slot.data() + kFrame, bytes))
        return fail(DbStatus::ReadFailed, journal, QStringLiteral("could not be read"));
    if (chunk[0] == 0 ? !writeRecords(file, change.count(), change.record.data(), 1)
                      : !writeBytes(file, (chunk[1] + 1) * kRec, slot.data() + kFrame, bytes))
        return fail(DbStatus::WriteFailed, file, QStringLiteral("could not be written"));
    return finishInsert(file, journal, change, chunk[0] == 0 ? change.count() : chunk[1], chunk[0] + 1,
                        slot);
}

// The repair of a file that is not a sorted run of distinct calls (left so by an older program, or
// edited): its records and `extra` sorted into temp.db, of equal calls only the last (the latest
// stored) kept, and temp.db renamed over CallData.db, so that a kill leaves one file or the other.
DbStatus CallDatabase::rewriteSorted(QFile &file, int64_t count, const char *extra)
{
    struct Entry {
        CallKey key;
        int64_t index;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(count + 1));
    const DbStatus read = forEachChunk(file, count, [&](int64_t first, char *records, int64_t n) {
        for (int64_t r = 0; r < n; ++r)
            entries.push_back({keyOf(records + r * kRec), first + r});
        return true;
    });
    if (read != DbStatus::Ok)
        return read;
    entries.push_back({keyOf(extra), count});
    std::vector<char> buffer(size_t(kChunkRecords * kRec));
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return compareKeys(a.key, b.key) < 0; });
    QFile temp(tempPath());
    if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, temp, QStringLiteral("could not be created"));
    qint64 used = 0;
    for (size_t k = 0; k < entries.size(); ++k) {
        if (k + 1 < entries.size() && compareKeys(entries[k].key, entries[k + 1].key) == 0)
            continue;  // a later record of the same call follows
        char *record = buffer.data() + used;
        if (entries[k].index == count)
            std::memcpy(record, extra, kRec);
        else if (!readRecords(file, entries[k].index, record, 1))
            return dropTemp(temp, fail(DbStatus::ReadFailed, file, QStringLiteral("could not be read")));
        m_recordsRead += entries[k].index == count ? 0 : 1;
        normalizeCallBytes(record);
        used += kRec;
        if (used < qint64(buffer.size()) && k + 1 < entries.size())
            continue;
        errno = 0;
        if (temp.write(buffer.data(), used) != used)
            return dropTemp(temp, fail(DbStatus::WriteFailed, temp, QStringLiteral("could not be written")));
        used = 0;
    }
    return replaceByTemp(file, temp);
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
    QFile temp(tempPath());
    QFile::remove(temp.fileName());
    if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, temp, QStringLiteral("could not be created"));

    const QString key = storedCall(call);
    const int64_t count = db.size() / kRec;  // a torn tail is not a record and is not copied
    std::vector<char> out(size_t(kChunkRecords * kRec));
    DbStatus status = DbStatus::Ok;
    const DbStatus read = forEachChunk(db, count, [&](int64_t, char *records, int64_t n) {
        qint64 kept = 0;
        for (int64_t r = 0; r < n; ++r) {
            char *record = records + r * kRec;
            normalizeCallBytes(record);
            if (!keyEquals(keyOf(record), key)) {
                std::memcpy(out.data() + kept, record, kRec);
                kept += kRec;
            }
        }
        errno = 0;
        if (kept > 0 && temp.write(out.data(), kept) != kept)
            status = fail(DbStatus::WriteFailed, temp, QStringLiteral("could not be written"));
        return status == DbStatus::Ok;
    });
    if (read != DbStatus::Ok || status != DbStatus::Ok)
        return dropTemp(temp, read != DbStatus::Ok ? read : status);
    return replaceByTemp(db, temp);
}

DbStatus CallDatabase::replaceByTemp(QFile &file, QFile &temp)
{
    const QString notWritten = QStringLiteral("could not be written");
    if (::fsync(temp.handle()) != 0)
        return dropTemp(temp, fail(DbStatus::WriteFailed, temp.fileName(), notWritten, systemError()));
    if (!closeCleanly(temp))
        return dropTemp(temp, fail(DbStatus::WriteFailed, temp, notWritten));
    temp.setPermissions(file.permissions());
    file.close();

    // rename() replaces CallData.db in one step: either the old or the new file is there.
    const QByteArray from = QFile::encodeName(temp.fileName()), to = QFile::encodeName(file.fileName());
    if (std::rename(from.constData(), to.constData()) != 0)
        return dropTemp(temp, fail(DbStatus::RenameFailed, temp.fileName(),
                                   QStringLiteral("could not replace ") + file.fileName(), systemError()));
    return DbStatus::Ok;
}

DbStatus CallDatabase::dropTemp(QFile &temp, DbStatus status)
{
    temp.close();
    QFile::remove(temp.fileName());
    return status;
}

DbStatus CallDatabase::FillCallList(QStringList &calls)
{
    m_lastError.clear();
    if (const DbStatus recovered = recover(); recovered != DbStatus::Ok)
        return recovered;
    QFile file(databasePath());
    const QString problem = QStringLiteral("could not be opened for reading");
    if (!file.exists())
        return fail(DbStatus::Missing, file.fileName(), problem, systemError(ENOENT));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(DbStatus::OpenFailed, file, problem);
    const int64_t count = file.size() / kRec;
    QStringList list;
    list.reserve(qsizetype(count));
    const DbStatus read = forEachChunk(file, count, [&list](int64_t, char *records, int64_t n) {
        for (int64_t r = 0; r < n; ++r)
            list.append(keyText(keyOf(records + r * kRec)));
        return true;
    });
    if (read != DbStatus::Ok)
        return read;
    calls = std::move(list);
    return DbStatus::Ok;
}

}  // namespace torvane
