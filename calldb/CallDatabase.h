#pragma once
// The local call database: CallData.db in the data folder, a headerless run of 167-byte
// records kept in ascending order of their trimmed Call, searched by binary search on disk.
// Every operation opens the file, works record by record (or in 64 KiB chunks) and closes it.
// A change made in place is first written to CallData.jnl beside it (so a change needs the folder
// writable); an operation that finds that journal (a change cut short by a kill or a failure)
// finishes the change before anything else, and removes a temp.db left by a delete or a repair
// that was cut short. A file left unsorted or with duplicates by an older program is repaired by
// the next store.

#include "calldb/CallRecord.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

class QFile;

namespace torvane {

struct JournalChange;

/// Outcome of a database operation. Nothing here throws; file errors come back as one of these.
enum class DbStatus {
    Ok,
    Missing,          ///< CallData.db does not exist; nothing was done
    OpenFailed,       ///< a file could not be opened or created (read-only, folder not writable)
    ReadFailed,
    WriteFailed,      ///< e.g. disk full; CallData.db is never left shorter than it was
    RenameFailed,     ///< temp.db could not replace CallData.db; the old file is kept
    BadRecordNumber,  ///< ReplaceRecord outside 1 .. number of whole records
};

class CallDatabase {
public:
    /// `dataFolder` holds CallData.db, the journal CallData.jnl and the scratch file temp.db.
    explicit CallDatabase(QString dataFolder);

    /// The single record buffer: FindCall reads into it, AppendRecord / ReplaceRecord write it.
    CallRecord CurrentRecord;

    QString databasePath() const;
    QString tempPath() const;
    QString journalPath() const;

    /// File length / 167, rounded; 0 when CallData.db does not exist. Does not open the file.
    int32_t CountRecords() const;

    /// Blanks every field of CurrentRecord.
    void ClearRecord();

    /// Binary search for `call` as a record stores it: cut to the Call field's six characters,
    /// then trimmed; case-sensitive. Returns the record number (from 1) and leaves the record in
    /// CurrentRecord, or 0 when not found (CurrentRecord then holds the last record read, or is
    /// unchanged). A missing CallData.db is created empty.
    int32_t FindCall(QStringView call, DbStatus *status = nullptr);

    /// Writes CurrentRecord after the last whole record (over a torn tail, if any).
    /// Only when the file exists; follow it with SortDatabase. Not journaled: a kill before
    /// the sort leaves the record out of order (StoreStation does not use it).
    DbStatus AppendRecord();

    /// Writes CurrentRecord over record `recordNumber` (from 1), journaled. Only when the file exists.
    DbStatus ReplaceRecord(int32_t recordNumber);

    /// Stores a looked-up station: finds its call (status checked), keeps the stored Add1 when keepStoredAdd1 (blank when the call was not stored), writes the other fields from station, and replaces the found record or inserts it in key order, journaled. Ok, or the first failure with lastError() set.
    DbStatus StoreStation(const CallRecord &station, bool keepStoredAdd1);

    /// A sorted run of distinct calls plus one appended record: the record is moved into place
    /// in one journaled pass, leaving the bytes of the comb sort (CombSortDatabase). Any other
    /// file is repaired: sorted into temp.db, of equal calls only the last in the file kept,
    /// every Call trimmed and left-aligned, and temp.db renamed over CallData.db.
    DbStatus SortDatabase();

    /// The comb sort on the file, two record reads per comparison and two writes per swap;
    /// swapped records get their Call trimmed and left-aligned, others stay byte for byte.
    /// Not journaled (a kill between a swap's writes loses a record); the store does not use it.
    DbStatus CombSortDatabase();

    /// Removes every record whose trimmed Call equals the key FindCall searches for, through
    /// temp.db (emptied first), which then replaces CallData.db by rename. A torn tail is dropped.
    DbStatus DeleteCall(QStringView call);

    /// Replaces `calls` with the trimmed Call of every whole record, in file order.
    /// On Missing or any error `calls` is left untouched.
    DbStatus FillCallList(QStringList &calls);

    /// Records read from CallData.db since construction (one per FindCall probe, and every
    /// record of a chunk read); for tests and benchmarks.
    int64_t recordsRead() const { return m_recordsRead; }

    /// After any status but Ok: the file's full path, what could not be done and why, e.g.
    /// "/home/op/.local/share/Torvane/CallData.db could not be opened for writing: Permission
    /// denied". Empty after success. Each failure is also logged once in the torvane.db category:
    /// as a warning, or as a debug message for Missing.
    QString lastError() const { return m_lastError; }

private:
    /// Sets lastError() to "<path> <problem>: <reason>", logs it and returns `status`.
    DbStatus fail(DbStatus status, const QString &path, const QString &problem, const QString &reason);
    /// The same with the file's own name and error text.
    DbStatus fail(DbStatus status, const QFile &file, const QString &problem);
    /// Opens the existing database for reading and writing (after recover()); Missing when there is none.
    DbStatus openForUpdate(QFile &file);
    /// Takes records 0 .. count-1 (0-based) of file: (first record's index, records, how many).
    /// False stops the reading.
    using ChunkReader = std::function<bool(int64_t first, char *records, int64_t n)>;
    /// Reads records 0 .. count-1 in chunks and hands each to chunk; ReadFailed when a read fails.
    DbStatus forEachChunk(QFile &file, int64_t count, const ChunkReader &chunk);
    /// Removes a leftover temp.db and finishes the change a journal left behind, if any.
    DbStatus recover();
    /// Whether records 1 .. count ascend strictly without `record`'s call (`sortedRun`), and
    /// how many of them sort before it (`before`); with no record only whether they ascend.
    DbStatus scanSortedRun(QFile &file, int64_t count, const char *record, bool &sortedRun,
                           int64_t &before);
    /// Puts `record` among records 1 .. count: inserted when they are a sorted run, else the
    /// repair. `appended`: it is record count+1 already (SortDatabase).
    DbStatus placeRecord(QFile &file, int64_t count, const char *record, bool appended);
    /// The journaled insert of `record` as record before+1 of count+1.
    DbStatus insertRecord(QFile &file, int64_t count, int64_t before, const char *record);
    /// Moves records before+1 .. end up by one, from the end down, each chunk through the journal
    /// slot of its sequence number `seq`, `seq` + 1, ...
    DbStatus moveTail(QFile &file, QFile &journal, int64_t before, int64_t end, int64_t seq,
                      std::vector<char> &slot);
    /// The repair: records 1 .. count and `extra` in order, of equal calls the last, via temp.db.
    DbStatus rewriteSorted(QFile &file, int64_t count, const char *extra);
    /// Creates the journal of a change, `allocate` bytes long, and syncs it.
    DbStatus beginJournal(QFile &journal, const JournalChange &change, qint64 allocate);
    /// The steps of a change after its journal is synced: the same on first run and on recovery.
    DbStatus finishInsert(QFile &file, QFile &journal, JournalChange &change, int64_t end,
                          int64_t seq, std::vector<char> &slot);
    DbStatus finishReplace(QFile &file, QFile &journal, const JournalChange &change);
    /// Syncs CallData.db, closes it and removes the journal: the change is complete.
    DbStatus endJournal(QFile &file, QFile &journal);
    /// Renames temp.db (written) over CallData.db; on failure temp.db is removed.
    DbStatus replaceByTemp(QFile &file, QFile &temp);
    static DbStatus dropTemp(QFile &temp, DbStatus status);

    QString m_folder;
    int64_t m_recordsRead = 0;
    QString m_lastError;
};

}  // namespace torvane
