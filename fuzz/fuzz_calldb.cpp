// CallData.db over an arbitrary file (and, when the first byte is odd, a journal left behind
// by a change cut short): count, search, store, delete and the call list, with what each must
// keep. Input: one byte (bit 0: a journal follows; bit 1: the store keeps the stored first
// address line; the rest picks the record whose call is deleted), six bytes of the call stored,
// then the file; with a journal, two bytes of its length and the journal come first.

#include "FuzzSupport.h"
#include "calldb/CallDatabase.h"

#include <QFileInfo>
#include <QSet>

using namespace torvane;

namespace {

// Every call of `calls` is found at its place: the file is sorted and holds each call once.
void checkSorted(CallDatabase &db, const QStringList &calls)
{
    for (qsizetype i = 0; i < calls.size(); ++i) {
        FUZZ_CHECK(i == 0 || calls[i - 1] < calls[i]);
        DbStatus status = DbStatus::ReadFailed;
        FUZZ_CHECK(db.FindCall(calls[i], &status) == i + 1 && status == DbStatus::Ok);
    }
}

QStringList callList(CallDatabase &db)
{
    QStringList calls;
    FUZZ_CHECK(db.FillCallList(calls) == DbStatus::Ok);
    return calls;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 7)
        return 0;
    QByteArray rest = fuzz::bytes(data + 7, size - 7);
    QByteArray journal;
    if (data[0] & 1) {
        if (rest.size() < 2)
            return 0;
        const qsizetype length = (uchar(rest[0]) << 8) | uchar(rest[1]);
        journal = rest.mid(2, length);
        rest = rest.mid(2 + length);
    }
    CallDatabase db(fuzz::scratch());
    QFile::remove(db.tempPath());
    QFile::remove(db.journalPath());
    fuzz::writeFile(db.databasePath(), rest);
    if (data[0] & 1)
        fuzz::writeFile(db.journalPath(), journal);

    const QStringList before = callList(db);  // finishes the journal's change, if any
    const qint64 bytes = QFileInfo(db.databasePath()).size();
    FUZZ_CHECK(before.size() == bytes / CallRecord::kSize);
    const int32_t count = db.CountRecords();  // a torn tail may count as a record
    FUZZ_CHECK(count == before.size() || count == before.size() + 1);
    QSet<QString> kept(before.begin(), before.end());
    for (const QString &call : before)
        db.FindCall(call);

    CallRecord station;
    station.setText(CallRecord::Call, QString::fromLatin1(fuzz::bytes(data + 1, 6)));
    station.setText(CallRecord::Name, u"FUZZ");
    station.normalizeCall();
    FUZZ_CHECK(db.StoreStation(station, data[0] & 2) == DbStatus::Ok);
    kept.insert(station.trimmed(CallRecord::Call));
    QStringList after = callList(db);
    FUZZ_CHECK(QFileInfo(db.databasePath()).size() == after.size() * CallRecord::kSize);
    FUZZ_CHECK(QSet<QString>(after.begin(), after.end()) == kept);
    checkSorted(db, after);

    const QString gone = after.value(qsizetype(data[0] >> 2) % std::max<qsizetype>(1, after.size()));
    FUZZ_CHECK(db.DeleteCall(gone) == DbStatus::Ok);
    after.removeAll(gone);
    FUZZ_CHECK(callList(db) == after);
    FUZZ_CHECK(QFileInfo(db.databasePath()).size() == after.size() * CallRecord::kSize);
    checkSorted(db, after);
    return 0;
}
