// Calls to their countries with the radio amateurs' country file as Debian ships it, and the
// completion of partly typed calls.

#include "lookup/CallCompletion.h"
#include "lookup/CountryFile.h"

#include <QtTest>

using namespace torvane;

class TestCallInfo : public QObject {
    Q_OBJECT

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("entity");  // name|continent|CQ|ITU|lat|lon|offset; empty: none
        const QString usa = "United States of America|NA|5|8|37.6|-91.87|-5";
        const QString canada = "Canada|NA|4|4|44.35|-78.75|-5";  // VE3 has zones of its own
        QTest::newRow("prefix") << "W1AW" << usa;
        QTest::newRow("typed in lower case, with blanks") << " pa3xyz " << "Netherlands|EU|14|27|52.28|5.47|1";
        QTest::newRow("longest prefix: KH6 before K") << "KH6ABC" << "Hawaii|OC|31|61|21.12|-157.48|-10";
        QTest::newRow("exact call before its prefix") << "AA7DI" << "Hawaii|OC|31|61|21.12|-157.48|-10";
        QTest::newRow("exact call with a slash") << "W1AW/KG4" << "Guantanamo Bay|NA|8|11|20|-75|-5";
        QTest::newRow("zones of the prefix") << "AA0XYZ" << "United States of America|NA|4|7|37.6|-91.87|-5";
        QTest::newRow("zones of the exact call") << "W1AW/90" << "United States of America|NA|5|8|37.6|-91.87|-5";
        QTest::newRow("half-hour offset") << "VU2ABC" << "India|AS|22|41|22.5|77.58|5.5";
        QTest::newRow("call then prefix") << "K1ABC/VE3" << canada;
        QTest::newRow("prefix then call") << "VE3/K1ABC" << canada;
        QTest::newRow("prefix then call, portable") << "VE3/K1ABC/P" << canada;
        QTest::newRow("portable at home") << "K1ABC/P" << usa;
        QTest::newRow("mobile at home") << "K1ABC/M" << usa;
        QTest::newRow("low power at home") << "K1ABC/QRP" << usa;
        QTest::newRow("call area at home") << "K1ABC/4" << usa;
        QTest::newRow("maritime mobile") << "K1ABC/MM" << "";
        QTest::newRow("aeronautical mobile") << "PA3XYZ/AM" << "";
        QTest::newRow("exact call at sea") << "N2NL/MM" << "United States of America|NA|7|8|37.6|-91.87|-5";
        QTest::newRow("no such prefix") << "Q1ABC" << "";
        QTest::newRow("empty") << "  " << "";
    }

    void resolve()
    {
        static const CountryFile file = CountryFile::load(QString());
        QVERIFY2(file.entityCount() > 300, "cty.dat of hamradio-files not found");
        QFETCH(QString, call);
        QFETCH(QString, entity);
        const std::optional<Entity> e = file.resolve(call);
        const QString got = !e ? QString()
            : QStringList{e->name, e->continent, QString::number(e->cqZone), QString::number(e->ituZone),
                          QString::number(e->latitude), QString::number(e->longitude),
                          QString::number(e->utcOffset)}.join('|');
        QCOMPARE(got, entity);
    }

    // A line that cannot be read is skipped with its entity; the rest is read.
    void malformedLinesSkipped()
    {
        const CountryFile file = CountryFile::fromText(
            "Broken:  x:  14:  EU:   52.28:    -5.47:    -1.0:  PA:\n    PA;\n"
            "Short line: 14\n    PB;\n"
            "Netherlands:              14:  27:  EU:   52.28:    -5.47:    -1.0:  PA:\r\n"
            "    PD(15,PE[x],PF<1/2,PG{EUROPE},PH(3)[4];\n");
        QCOMPARE(file.entityCount(), 1);
        for (const char *call : {"PA3XYZ", "PB1ABC", "PD1ABC", "PE1ABC", "PF1ABC", "PG1ABC"})
            QVERIFY2(!file.resolve(call), call);
        QCOMPARE(file.resolve("PH1ABC")->cqZone, 3);
        QCOMPARE(file.resolve("PH1ABC")->ituZone, 4);
    }

    void dataFolderCopyWins()
    {
        QTemporaryDir dir;
        QCOMPARE(CountryFile::locate(dir.path(), "cty.dat"), QString("/usr/share/hamradio-files/cty.dat"));
        QFile own(dir.filePath("cty.dat"));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("Mars:  1:  2:  AS:  0.0:  0.0:  0.0:  MA:\n    W;\n");
        own.close();
        QCOMPARE(CountryFile::load(dir.path()).resolve("W1AW")->name, QString("Mars"));
    }

    void complete_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("one character offers nothing") << "K" << 20 << QStringList{};
        QTest::newRow("local first, then starting, then holding") << "k1a" << 20
            << QStringList{"K1ABC", "W1K1A", "K1AR", "K1AZ", "DL/K1AB", "VE3K1A"};
        QTest::newRow("limit") << "K1A" << 3 << QStringList{"K1ABC", "W1K1A", "K1AR"};
        QTest::newRow("slashed zero typed") << QString("K\u00D8X") << 20 << QStringList{"K0XY"};
        QTest::newRow("a call holding the text twice is offered once") << "AA" << 20 << QStringList{"AAA1AA"};
        QTest::newRow("nothing holds it") << "ZZ" << 20 << QStringList{};
    }

    void complete()
    {
        QFETCH(QString, typed);
        QFETCH(int, limit);
        QFETCH(QStringList, calls);
        CallCompletion completion;
        completion.setActiveCalls("# comment\r\nK1AZ\r\nVE3K1A\nK1AR\nk1abc\nnot a call\nDL/K1AB\nK0XY\nAAA1AA\n\n");
        completion.setLocalCalls({"W1K1A", " K1ABC ", "G4XYZ"});
        QCOMPARE(completion.activeCount(), 7);
        QCOMPARE(completion.complete(typed, limit), calls);
    }

    void entityLineShowsLocalTime()
    {
        const Entity india{"India", "VU", "AS", 22, 41, 22.5, 77.58, 5.5};
        QCOMPARE(entityLine(india, QDateTime(QDate(2026, 12, 7), QTime(23, 50), Qt::UTC)),
                 QString("India \u00B7 AS \u00B7 CQ 22 \u00B7 ITU 41 \u00B7 05:20 local"));
    }
};

QTEST_GUILESS_MAIN(TestCallInfo)
#include "tst_callinfo.moc"
