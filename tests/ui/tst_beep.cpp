// Beeps: the hook sees every request, and the tone data has the asked length and pitch.

#include "ui/Beep.h"

#include <QTest>
#include <cstring>

using namespace torvane;

class TestBeep : public QObject {
    Q_OBJECT
private slots:
    void hookSeesRequests()
    {
        QList<QPair<int, int>> asked;
        setBeepHook([&asked](int frequency, int duration) { asked.append({frequency, duration}); });
        Beep(400, 75);
        Beep(700, 100);
        setBeepHook({});
        QCOMPARE(asked, (QList<QPair<int, int>>{{400, 75}, {700, 100}}));
        Beep(20, 100);  // below the range: nothing, without a hook too
        Beep(400, 0);
    }

    void toneData_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("channels");
        QTest::addColumn<bool>("floats");
        QTest::addColumn<int>("frames");
        QTest::newRow("failure beep, stereo") << 700 << 100 << 2 << false << 4410;
        QTest::newRow("floats") << 1000 << 50 << 1 << true << 2205;
        QTest::newRow("too long: cut") << 440 << 60000 << 1 << false << 44100 * kBeepMaxDuration / 1000;
        QTest::newRow("too low") << 36 << 100 << 1 << false << 0;
        QTest::newRow("too high") << 32768 << 100 << 1 << false << 0;
        QTest::newRow("no time") << 400 << -5 << 1 << false << 0;
    }
    void toneData()
    {
        QFETCH(int, frequency);
        QFETCH(int, duration);
        QFETCH(int, channels);
        QFETCH(bool, floats);
        QFETCH(int, frames);
        const QByteArray data = toneSamples(frequency, duration, 44100, channels, floats);
        const int sampleBytes = floats ? 4 : 2;
        QCOMPARE(data.size(), frames * channels * sampleBytes);
        if (frames == 0)
            return;

        // Channel 0 as values between -1 and 1.
        QVector<double> wave;
        for (int i = 0; i < frames; ++i) {
            const char *at = data.constData() + qsizetype(i) * channels * sampleBytes;
            if (floats) {
                float sample;
                std::memcpy(&sample, at, 4);
                wave.append(sample);
            } else {
                qint16 sample;
                std::memcpy(&sample, at, 2);
                wave.append(sample / 32767.0);
            }
        }
        QVERIFY(qAbs(wave.first()) < 0.01);  // faded in and out: no click
        QVERIFY(qAbs(wave.last()) < 0.01);
        double peak = 0;
        int crossings = 0;
        for (int i = 1; i < wave.size(); ++i) {
            peak = qMax(peak, qAbs(wave[i]));
            crossings += (wave[i - 1] < 0) != (wave[i] < 0);
        }
        QVERIFY(peak > 0.45 && peak <= 0.5);
        const double seconds = double(frames) / 44100;
        QVERIFY(qAbs(crossings - 2 * frequency * seconds) <= 2);
    }
};

QTEST_MAIN(TestBeep)
#include "tst_beep.moc"
