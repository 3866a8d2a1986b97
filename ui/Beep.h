#pragma once
// Tones and desktop sounds. Beep plays a sine tone in the background; tests replace both
// through the hooks so that no test needs a sound card.

#include <QByteArray>
#include <functional>

namespace torvane {

/// Sounds that go with the icons of the message boxes.
enum class SystemSound { Critical, Exclamation, Information };

/// Lowest and highest tone that Beep plays, in hertz.
inline constexpr int kBeepMinFrequency = 37;
inline constexpr int kBeepMaxFrequency = 32767;
/// Longest tone that Beep plays, in milliseconds; longer requests are cut to this.
inline constexpr int kBeepMaxDuration = 5000;

/// The lookup windows' tones for a result and for a failure: hertz, milliseconds.
inline constexpr int kGoodTone = 400;
inline constexpr int kGoodToneMs = 75;
inline constexpr int kBadTone = 700;
inline constexpr int kBadToneMs = 100;

/// Sounds a tone of frequency hertz for duration milliseconds and returns at once.
/// Nothing happens for a frequency outside 37..32767 Hz, a duration of 0 or less, or when
/// the system has no audio output.
void Beep(int frequency, int duration);

/// Sounds the desktop's alert for the icon (the X11 bell where there is one).
void playSystemSound(SystemSound sound);

/// Hooks that, when set, receive the requests instead of the sound card. Empty = play.
using BeepHook = std::function<void(int frequency, int duration)>;
using SystemSoundHook = std::function<void(SystemSound sound)>;
void setBeepHook(BeepHook hook);
void setSystemSoundHook(SystemSoundHook hook);

/// PCM data of a tone at sampleRate with channels interleaved, 16-bit signed integers or
/// 32-bit floats, at half of full scale, with 5 ms fades at both ends so that it starts and
/// stops without a click. Empty for the requests that Beep ignores.
QByteArray toneSamples(int frequency, int duration, int sampleRate, int channels,
                       bool floatSamples);

}  // namespace torvane
