#include "calldb/CallJournal.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace torvane {

namespace jnl {

namespace {

bool readNumbers(QFile &file, qint64 offset, Numbers &numbers)
{
    return file.seek(offset) && file.read(reinterpret_cast<char *>(numbers.data()), kFrame) == kFrame;
}

bool entryClosed(QFile &file, qint64 offset, const Numbers &numbers, qint64 payload)
{
    Numbers closing{};
    return readNumbers(file, offset + kFrame + payload, closing) && closing == numbers;
}

}  // namespace

bool writeEntry(QFile &file, qint64 offset, const Numbers &numbers, char *entry, qint64 payload)
{
    std::memcpy(entry, numbers.data(), kFrame);
    std::memcpy(entry + kFrame + payload, numbers.data(), kFrame);
    const qint64 bytes = 2 * kFrame + payload;
    errno = 0;
    return file.seek(offset) && file.write(entry, bytes) == bytes;
}

Numbers latestChunk(QFile &journal, int64_t before, int64_t count, int64_t most)
{
    Numbers best{};
    for (int64_t slot = 0; slot < 2; ++slot) {
        Numbers n{};
        const qint64 offset = kSlotOffset + slot * kSlotSpan;
        if (!readNumbers(journal, offset, n) || n[0] <= best[0] || n[0] % 2 != slot || n[1] < before
            || n[2] > count || n[2] <= n[1] || n[2] - n[1] > most)
            continue;
        if (entryClosed(journal, offset, n, (n[2] - n[1]) * CallRecord::kSize))
            best = n;
    }
    return best;
}

bool syncFile(QFile &file) { return ::fdatasync(file.handle()) == 0; }

}  // namespace jnl

bool JournalChange::read(QFile &journal, qint64 dbSize)
{
    constexpr int kRec = CallRecord::kSize;
    if (!jnl::readNumbers(journal, 0, numbers) || !jnl::entryClosed(journal, 0, numbers, kRec)
        || !journal.seek(jnl::kFrame) || journal.read(record.data(), kRec) != kRec)
        return false;
    const int64_t whole = dbSize / kRec;
    if (kind() == jnl::kInsert)
        return count() >= whole - 1 && count() <= whole && position() >= 0 && position() <= count();
    return kind() == jnl::kReplace && count() <= whole && position() >= 0 && position() < count();
}

}  // namespace torvane
