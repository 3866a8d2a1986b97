#pragma once
// The local call database: CallData.db in the data folder, a headerless run of 167-byte
// records kept in ascending order of their trimmed Call, searched by binary search on disk.
// Every operation opens the file, works record by record (or in 64 KiB chunks) and closes it.

#include "calldb/CallRecord.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

class QFile;

namespace torvane {

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
    /// `dataFolder` holds CallData.db and the scratch file temp.db.
    explicit CallDatabase(QString dataFolder);

    /// The single record buffer: FindCall reads into it, AppendRecord / ReplaceRecord write it.
    CallRecord CurrentRecord;

    QString databasePath() const;
    QString tempPath() const;

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
    /// Only when the file exists; follow it with SortDatabase.
    DbStatus AppendRecord();

    /// Writes CurrentRecord over record `recordNumber` (from 1). Only when the file exists.
    DbStatus ReplaceRecord(int32_t recordNumber);

    /// Stores a looked-up station: finds its call (status checked), keeps the stored Add1 when keepStoredAdd1 (blank when the call was not stored), writes the other fields from station, and replaces the found record or appends and sorts. Ok, or the first failure with lastError() set.
    DbStatus StoreStation(const CallRecord &station, bool keepStoredAdd1);

    /// Puts the file in key order in place, leaving exactly the bytes of the comb sort
    /// (CombSortDatabase). A sorted file with one appended record is done in one pass.
    DbStatus SortDatabase();

    /// The comb sort on the file, two record reads per comparison and two writes per swap;
    /// swapped records get their Call trimmed and left-aligned, others stay byte for byte.
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
    /// Opens the existing database for reading and writing; Missing when there is none.
    DbStatus openForUpdate(QFile &file);
    /// SortDatabase's check for a sorted run plus one appended record (`last`): `sortedRun`
    /// tells whether records 1 .. count-1 ascend strictly without the last record's call,
    /// `before` how many of them sort before it.
    DbStatus scanSortedRun(QFile &file, int64_t count, const char *last, bool &sortedRun,
                           int64_t &before);
    /// Moves records before+1 .. count-1 up by one and writes `last` as record before+1.
    DbStatus insertLastRecord(QFile &file, int64_t before, char *last);

    QString m_folder;
    int64_t m_recordsRead = 0;
    QString m_lastError;
};

}  // namespace torvane
