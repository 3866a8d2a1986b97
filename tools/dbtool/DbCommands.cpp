#include "tools/dbtool/DbCommands.h"

#include "calldb/CallDatabase.h"
#include "core/ConfigFile.h"
#include "core/DataFolder.h"
#include "core/InstanceLock.h"
#include "core/TextUtil.h"
#include "sites/SiteList.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace torvane {

namespace {

constexpr int kRec = CallRecord::kSize;
// Made-up calls are six base-36 digits from "100000" (36^5) on: make uses the even numbers,
// repeat store the odd ones, so that every call repeat stores sorts between two made ones.
constexpr qint64 kMadeUpBase = 60466176;
constexpr qint64 kMostMadeUp = (36 * kMadeUpBase - kMadeUpBase) / 2;

const char *const kFieldNames[CallRecord::kFieldCount] = {
    "Call", "Name", "Address 1", "Address 2", "Country", "Latitude", "Longitude", "Class", "Born"};

void printLine(std::FILE *stream, const QString &line)
{
    std::fputs((line.toLocal8Bit() + '\n').constData(), stream);
    std::fflush(stream);  // each line is out before the next step: a kill loses none
}
void say(const QString &line) { printLine(stdout, line); }
void complain(const QString &line) { printLine(stderr, line); }

int failed(const CallDatabase &db)
{
    complain(db.lastError());
    return 1;
}

QString madeUpCall(qint64 number) { return QString::number(kMadeUpBase + number, 36).toUpper(); }

CallRecord madeUpStation(qint64 number)
{
    const QStringList texts = {
        madeUpCall(number),
        QStringLiteral("Station %1").arg(number),
        QStringLiteral("%1 Main Street").arg(number % 9999 + 1),
        QStringLiteral("Testville"),
        QStringLiteral("Nowhere"),
        formatNumber(double(number % 17999) / 100 - 89.99),
        formatNumber(double(number % 35999) / 100 - 179.99),
        QStringLiteral("Extra"),
        QString::number(1930 + number % 70),
    };
    CallRecord record;
    for (int f = 0; f < CallRecord::kFieldCount; ++f)
        record.setText(CallRecord::Field(f), texts.at(f));
    return record;
}

std::optional<qint64> countArgument(const QString &text, qint64 most)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n < 0 || n > most)
        return std::nullopt;
    return n;
}

int count(CallDatabase &db)
{
    say(QString::number(db.CountRecords()));
    return 0;
}

// Finishes a change cut short (as every open does), then checks that the file is whole records
// whose calls ascend strictly, so that each call is there once and the search finds it.
int check(CallDatabase &db)
{
    QStringList calls;
    if (db.FillCallList(calls) != DbStatus::Ok)
        return failed(db);
    QStringList problems;
    const qint64 size = QFileInfo(db.databasePath()).size();
    if (size % kRec != 0)
        problems << QStringLiteral("%1 bytes past the last whole record").arg(size % kRec);
    for (qsizetype i = 1; i < calls.size() && problems.size() < 10; ++i) {
        if (QString::compare(calls.at(i - 1), calls.at(i), Qt::CaseSensitive) >= 0)
            problems << QStringLiteral("record %1 (%2) does not sort after record %3 (%4)")
                            .arg(i + 1).arg(calls.at(i)).arg(i).arg(calls.at(i - 1));
    }
    for (const QString &left : {db.journalPath(), db.tempPath()}) {
        if (QFileInfo::exists(left))
            problems << left + QStringLiteral(" is left over");
    }
    for (const QString &problem : std::as_const(problems))
        complain(db.databasePath() + QStringLiteral(": ") + problem);
    say(QStringLiteral("%1 records%2").arg(calls.size()).arg(problems.isEmpty() ? QStringLiteral(", sound")
                                                                                : QStringLiteral(", NOT sound")));
    return problems.isEmpty() ? 0 : 1;
}

int find(CallDatabase &db, const QString &call)
{
    DbStatus status = DbStatus::Ok;
    const int32_t number = db.FindCall(call, &status);
    if (status != DbStatus::Ok)
        return failed(db);
    if (number == 0) {
        complain(call + QStringLiteral(" is not stored in ") + db.databasePath());
        return 1;
    }
    say(QStringLiteral("Record: %1").arg(number));
    for (int f = 0; f < CallRecord::kFieldCount; ++f)
        say(QLatin1String(kFieldNames[f]) + QStringLiteral(": ") + db.CurrentRecord.trimmed(CallRecord::Field(f)));
    return 0;
}

int list(CallDatabase &db)
{
    QStringList calls;
    if (db.FillCallList(calls) != DbStatus::Ok)
        return failed(db);
    for (const QString &call : std::as_const(calls))
        say(call);
    return 0;
}

int store(CallDatabase &db, const QStringList &fields)
{
    CallRecord station;
    for (int f = 0; f < fields.size(); ++f)
        station.setText(CallRecord::Field(f), fields.at(f));
    if (station.trimmed(CallRecord::Call).isEmpty()) {
        complain(QStringLiteral("a blank call is not stored"));
        return 1;
    }
    if (db.StoreStation(station, false) != DbStatus::Ok)
        return failed(db);
    say(QStringLiteral("stored ") + station.trimmed(CallRecord::Call));
    return 0;
}

int remove(CallDatabase &db, const QString &call)
{
    DbStatus status = DbStatus::Ok;
    if (db.FindCall(call, &status) == 0) {
        if (status != DbStatus::Ok)
            return failed(db);
        say(call + QStringLiteral(" was not stored"));
        return 0;
    }
    if (db.DeleteCall(call) != DbStatus::Ok)
        return failed(db);
    say(QStringLiteral("deleted ") + call);
    return 0;
}

// A new database of made-up stations, written whole through a temporary file.
int make(CallDatabase &db, qint64 records)
{
    if (QFileInfo::exists(db.databasePath())) {
        complain(db.databasePath() + QStringLiteral(" exists: make writes a new database only"));
        return 1;
    }
    QSaveFile file(db.databasePath());
    if (!file.open(QIODevice::WriteOnly)) {
        complain(db.databasePath() + QStringLiteral(" could not be created: ") + file.errorString());
        return 1;
    }
    QByteArray chunk;
    bool written = true;
    for (qint64 i = 0; i < records && written; ++i) {
        chunk.append(madeUpStation(2 * i).data(), kRec);
        if (chunk.size() >= (1 << 20) || i + 1 == records) {
            written = file.write(chunk) == chunk.size();
            chunk.clear();
        }
    }
    // A failed last flush is checked here: QSaveFile's commit would rename the file all the same.
    if (!written || !file.flush() || !file.commit()) {
        complain(db.databasePath() + QStringLiteral(" could not be written: ") + file.errorString());
        file.cancelWriting();
        return 1;
    }
    say(QStringLiteral("%1 records made").arg(records));
    return 0;
}

// One step of repeat.
enum class Stepped { Done, NothingLeft, Failed };
using Step = std::function<Stepped()>;

// Stores made-up stations of calls not stored yet, each new one moving most of the file.
Step storeSteps(CallDatabase &db, const QStringList &calls)
{
    auto stored = std::make_shared<QSet<QString>>(calls.begin(), calls.end());
    auto next = std::make_shared<qint64>(1);
    return [&db, stored, next] {
        for (; *next < 2 * kMostMadeUp && stored->contains(madeUpCall(*next)); *next += 2) {
        }
        const CallRecord station = madeUpStation(*next);
        if (db.StoreStation(station, false) != DbStatus::Ok) {
            complain(db.lastError());
            return Stepped::Failed;
        }
        stored->insert(madeUpCall(*next));
        say(madeUpCall(*next));
        return Stepped::Done;
    };
}

// Deletes the stored calls from the first on.
Step deleteSteps(CallDatabase &db, const QStringList &calls)
{
    auto next = std::make_shared<qsizetype>(0);
    return [&db, calls, next] {
        if (*next >= calls.size())
            return Stepped::NothingLeft;
        if (db.DeleteCall(calls.at(*next)) != DbStatus::Ok) {
            complain(db.lastError());
            return Stepped::Failed;
        }
        say(calls.at((*next)++));
        return Stepped::Done;
    };
}

// Writes Torvane.cfg as the main window's close does, by turns with one made-up call more in its
// history and as it was read.
Step configSteps(const QString &path, const ProgramValues &values)
{
    auto turn = std::make_shared<qint64>(0);
    return [path, values, turn] {
        ProgramValues written = values;
        if (*turn % 2 == 0)
            written.CallHistory.prepend(madeUpCall(1));
        const WindowPlacement window{values.WindowLeft, values.WindowTop, values.WindowWidth};
        if (const QString error = writeConfigFile(path, written, window); !error.isEmpty()) {
            complain(path + QStringLiteral(" could not be written: ") + error);
            return Stepped::Failed;
        }
        say(*turn % 2 == 0 ? QStringLiteral("with one call more") : QStringLiteral("as read"));
        ++*turn;
        return Stepped::Done;
    };
}

// Rebuilds dsstvSites.dat from a made-up update text, by turns with 2,000 sites and one more.
Step siteListSteps(const QString &folder)
{
    auto turn = std::make_shared<qint64>(0);
    return [folder, turn] {
        QString text = QStringLiteral("Torvane ver 4.11\r\n/////5");
        const int sites = *turn % 2 == 0 ? 2001 : 2000;
        for (int i = 1; i <= sites; ++i)
            text += QStringLiteral("\r\n%1*\r\nhttp://example.org/%1/image1").arg(madeUpCall(i));
        const QString path = folder + QStringLiteral("/dsstvSites.dat");
        QString error;
        if (RebuildSiteList(text, path, &error) < 0) {
            complain(path + QStringLiteral(" could not be written: ") + error);
            return Stepped::Failed;
        }
        say(QStringLiteral("%1 sites").arg(sites));
        ++*turn;
        return Stepped::Done;
    };
}

// The same change over and over, for trying what a kill or a full disk does to the files: COUNT
// times, or until the process is ended. A line is out after each change is complete.
int repeat(CallDatabase &db, const QString &folder, const QString &kind, qint64 times)
{
    Step step;
    if (kind == u"config") {
        const QString path = folder + QStringLiteral("/Torvane.cfg");
        ProgramValues values;
        if (!readConfigFile(path, values)) {
            complain(path + QStringLiteral(" could not be read"));
            return 1;
        }
        step = configSteps(path, values);
    } else if (kind == u"sites") {
        step = siteListSteps(folder);
    } else {
        QStringList calls;
        if (db.FillCallList(calls) != DbStatus::Ok && QFileInfo::exists(db.databasePath()))
            return failed(db);
        step = kind == u"store" ? storeSteps(db, calls) : deleteSteps(db, calls);
    }
    say(QStringLiteral("repeating %1 in %2").arg(kind, folder));
    for (qint64 done = 0; times < 0 || done < times; ++done) {
        if (const Stepped stepped = step(); stepped != Stepped::Done)
            return stepped == Stepped::Failed ? 1 : 0;
    }
    return 0;
}

// Changes to Torvane's own data folder wait until Torvane is closed, as a second Torvane would;
// the lock is held until the command ends.
bool mayChange(const QString &folder, std::optional<InstanceLock> &lock)
{
    const QString own = QFileInfo(dataFolderPath()).canonicalFilePath();
    if (own.isEmpty() || QFileInfo(folder).canonicalFilePath() != own || lock.emplace().acquire())
        return true;
    complain(QStringLiteral("Torvane is running: close it before changing ") + folder);
    return false;
}

}  // namespace

QString dbToolUsage()
{
    return QStringLiteral(
        "usage: torvane-db <data folder> <command> [arguments]\n"
        "  count                 records in CallData.db (its length / 167)\n"
        "  check                 finish a change cut short, then check that the file is whole\n"
        "                        records with calls in strictly ascending order; exit 1 if not\n"
        "  find CALL             the stored record of CALL; exit 1 when it is not stored\n"
        "  list                  every stored call, in file order\n"
        "  store CALL [NAME [ADDRESS1 [ADDRESS2 [COUNTRY [LAT [LON [CLASS [BORN]]]]]]]]\n"
        "                        store a station as a lookup does (replaced or sorted in)\n"
        "  delete CALL           delete CALL\n"
        "  make N                write a new CallData.db of N made-up stations\n"
        "  repeat store|delete|config|sites [COUNT]\n"
        "                        store made-up stations, delete stored calls from the first,\n"
        "                        rewrite Torvane.cfg, or rebuild dsstvSites.dat, COUNT times\n"
        "                        or until ended; one line\n"
        "                        as each change is complete\n"
        "Exit status: 0 done, 1 failed (the reason on standard error), 2 not understood.");
}

int runDbTool(const QStringList &arguments)
{
    const QString folder = arguments.value(0);
    const QString command = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    const auto argc = rest.size();
    const bool changes = command == u"store" || command == u"delete" || command == u"make" || command == u"repeat";
    const bool known = ((command == u"count" || command == u"check" || command == u"list") && argc == 0)
        || ((command == u"find" || command == u"delete") && argc == 1)
        || (command == u"store" && argc >= 1 && argc <= CallRecord::kFieldCount)
        || (command == u"make" && argc == 1 && countArgument(rest.at(0), kMostMadeUp))
        || (command == u"repeat" && (argc == 1 || (argc == 2 && countArgument(rest.at(1), std::numeric_limits<qint64>::max())))
            && QStringList{"store", "delete", "config", "sites"}.contains(rest.at(0)));
    if (folder.isEmpty() || !known) {
        complain(dbToolUsage());
        return 2;
    }
    if (!QFileInfo(folder).isDir()) {
        complain(folder + QStringLiteral(" is not a folder"));
        return 1;
    }
    std::optional<InstanceLock> lock;
    if (changes && !mayChange(folder, lock))
        return 1;
    CallDatabase db(folder);
    if (command == u"count")
        return count(db);
    if (command == u"check")
        return check(db);
    if (command == u"find")
        return find(db, rest.at(0));
    if (command == u"list")
        return list(db);
    if (command == u"store")
        return store(db, rest);
    if (command == u"delete")
        return remove(db, rest.at(0));
    if (command == u"make")
        return make(db, *countArgument(rest.at(0), kMostMadeUp));
    return repeat(db, folder, rest.at(0), argc == 2 ? rest.at(1).toLongLong() : -1);
}

}  // namespace torvane
