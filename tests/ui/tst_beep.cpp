// The tone Beep plays: its length, pitch, loudness and fades, and the requests it ignores.

#include "ui/Beep.h"

#include <QTest>
#include <cstring>

class TestBeep : public QObject {
    Q_OBJECT
private slots:
    void tone_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("channels");
        QTest::addColumn<bool>("floats");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("crossings");  // sign changes: two per period
        QTest::newRow("failure beep, stereo floats") << 700 << 100 << 2 << true << 35280 << 140;
        QTest::newRow("lowest tone") << 37 << 1000 << 1 << false << 88200 << 74;
        QTest::newRow("too long: cut to 5 s") << 440 << 60000 << 1 << false << 441000 << 4400;
        QTest::newRow("below 37 Hz: nothing") << 36 << 100 << 1 << false << 0 << 0;
        QTest::newRow("above 32767 Hz: nothing") << 32768 << 100 << 1 << false << 0 << 0;
        QTest::newRow("no time: nothing") << 400 << 0 << 1 << false << 0 << 0;
    }
    void tone()
    {
        QFETCH(int, frequency);
        QFETCH(int, duration);
        QFETCH(int, channels);
        QFETCH(bool, floats);
        QFETCH(int, bytes);
        QFETCH(int, crossings);
        const QByteArray data = torvane::toneSamples(frequency, duration, 44100, channels, floats);
        QCOMPARE(data.size(), bytes);
        if (bytes == 0)
            return;
        // The first channel, as values between -1 and 1.
        QVector<double> wave;
        for (qsizetype at = 0; at < data.size(); at += channels * (floats ? 4 : 2)) {
            float f = 0;
            qint16 i = 0;
            std::memcpy(floats ? static_cast<void *>(&f) : &i, data.constData() + at, floats ? 4 : 2);
            wave.append(floats ? double(f) : i / 32767.0);
        }
        double peak = 0;
        int signChanges = 0;
        for (int n = 1; n < wave.size(); ++n) {
            peak = qMax(peak, qAbs(wave[n]));
            signChanges += (wave[n - 1] < 0) != (wave[n] < 0);
        }
        QVERIFY2(qAbs(signChanges - crossings) <= 2, qPrintable(QString::number(signChanges)));
        QVERIFY(qAbs(wave.first()) < 0.01 && qAbs(wave.last()) < 0.01);  // faded in and out: no click
        QVERIFY2(peak > 0.45 && peak < 0.501, qPrintable(QString::number(peak)));  // half of full scale
    }
};

QTEST_GUILESS_MAIN(TestBeep)
#include "tst_beep.moc"
