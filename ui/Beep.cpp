#include "ui/Beep.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace torvane {

namespace {

BeepHook &beepHook()
{
    static BeepHook hook;
    return hook;
}

SystemSoundHook &systemSoundHook()
{
    static SystemSoundHook hook;
    return hook;
}

bool playable(int frequency, int duration)
{
    return frequency >= kBeepMinFrequency && frequency <= kBeepMaxFrequency && duration > 0;
}

/// One tone on its way to the sound card: owns its data and removes itself when done.
class TonePlayer : public QObject {
public:
    TonePlayer(const QAudioDevice &device, const QAudioFormat &format, QByteArray data)
        : QObject(QCoreApplication::instance()), m_sink(device, format)
    {
        m_buffer.setData(data);
        m_buffer.open(QIODevice::ReadOnly);
        connect(&m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            // Idle: all data played; Stopped: the device went away or failed to start.
            if (state == QAudio::IdleState || state == QAudio::StoppedState) {
                m_sink.stop();
                deleteLater();
            }
        });
    }

    void start()
    {
        m_sink.start(&m_buffer);
        if (m_sink.error() != QAudio::NoError)
            deleteLater();
    }

private:
    QBuffer m_buffer;
    QAudioSink m_sink;
};

}  // namespace

QByteArray toneSamples(int frequency, int duration, int sampleRate, int channels,
                       bool floatSamples)
{
    if (!playable(frequency, duration) || sampleRate <= 0 || channels <= 0)
        return {};
    duration = std::min(duration, kBeepMaxDuration);
    const qint64 frames = qint64(sampleRate) * duration / 1000;
    const qint64 fade = std::max<qint64>(1, qint64(sampleRate) * 5 / 1000);
    const int sampleBytes = floatSamples ? 4 : 2;
    QByteArray data(frames * channels * sampleBytes, Qt::Uninitialized);
    char *out = data.data();
    const double step = 2.0 * M_PI * frequency / sampleRate;
    for (qint64 i = 0; i < frames; ++i) {
        const double envelope = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        const double value = 0.5 * envelope * std::sin(step * double(i));
        for (int c = 0; c < channels; ++c) {
            if (floatSamples) {
                const float sample = float(value);
                std::memcpy(out, &sample, 4);
            } else {
                const qint16 sample = qint16(std::lround(value * 32767.0));
                std::memcpy(out, &sample, 2);
            }
            out += sampleBytes;
        }
    }
    return data;
}

void Beep(int frequency, int duration)
{
    if (beepHook()) {
        beepHook()(frequency, duration);
        return;
    }
    if (!playable(frequency, duration) || !QCoreApplication::instance())
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;

    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
        if (format.sampleFormat() != QAudioFormat::Int16
            && format.sampleFormat() != QAudioFormat::Float)
            format.setSampleFormat(QAudioFormat::Int16);
    }
    const QByteArray data =
        toneSamples(frequency, duration, format.sampleRate(), format.channelCount(),
                    format.sampleFormat() == QAudioFormat::Float);
    if (data.isEmpty())
        return;
    (new TonePlayer(device, format, data))->start();
}

void playSystemSound(SystemSound sound)
{
    if (systemSoundHook()) {
        systemSoundHook()(sound);
        return;
    }
    // The X11 bell: the nearest thing a plain desktop has to the alert sounds.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

void setBeepHook(BeepHook hook)
{
    beepHook() = std::move(hook);
}

void setSystemSoundHook(SystemSoundHook hook)
{
    systemSoundHook() = std::move(hook);
}

}  // namespace torvane
