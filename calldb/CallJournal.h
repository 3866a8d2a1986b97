#pragma once
// CallData.jnl beside CallData.db: what a change made to it in place needs to be finished after a
// kill. Each entry is three numbers, a payload and the same three numbers again, written in one
// write: a write cut short by a kill lands only its beginning, so the closing numbers match only
// when all of the entry is there. At 0 the change: (kind, position from 0, records before the
// change) and its record. From kSlotOffset two slots, taken in turn, for the chunks of an insert's
// move: (sequence from 1, first record, end) and the records as they are moved. For CallDatabase.

#include "calldb/CallRecord.h"

#include <QFile>
#include <QString>
#include <array>
#include <cstdint>

namespace torvane {

namespace jnl {

using Numbers = std::array<int64_t, 3>;
constexpr int kFrame = 3 * int(sizeof(int64_t));
constexpr qint64 kSlotOffset = 256;
constexpr qint64 kSlotSpan = 65536;
constexpr int64_t kInsert = 1, kReplace = 2;
static_assert(2 * kFrame + CallRecord::kSize <= kSlotOffset, "the change must fit before the slots");

/// Where the chunk with sequence number `seq` goes.
inline qint64 slotOffset(int64_t seq) { return kSlotOffset + (seq % 2) * kSlotSpan; }

/// Writes `entry`: room for the numbers, then the payload, then room for the numbers again.
bool writeEntry(QFile &file, qint64 offset, const Numbers &numbers, char *entry, qint64 payload);

/// The last chunk the journal holds whole, of at most `most` records within [before, count):
/// (sequence, first, end); sequence 0 when there is none.
Numbers latestChunk(QFile &journal, int64_t before, int64_t count, int64_t most);

/// Syncs a file's data to the disk; errno tells why not.
bool syncFile(QFile &file);

}  // namespace jnl

/// The change CallData.jnl holds.
struct JournalChange {
    jnl::Numbers numbers{};  // kind, position from 0, records before the change
    std::array<char, CallRecord::kSize> record{};

    int64_t kind() const { return numbers[0]; }
    int64_t position() const { return numbers[1]; }
    int64_t count() const { return numbers[2]; }

    /// Whether the change is whole and fits a CallData.db of `dbSize` bytes (else it was cut short
    /// before its sync, and CallData.db was not touched). An insert's file holds its records, and
    /// a torn tail or the new record after them.
    bool read(QFile &journal, qint64 dbSize);
};

}  // namespace torvane
