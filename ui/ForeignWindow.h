#pragma once
// Another program's top-level window on the X display, found by its exact title: brought to
// the front and sent a key. Nothing is sent when there is no such window.

#include <QString>
#include <cstdint>

namespace torvane {

/// The window whose title is exactly title, brought to the front (restored when minimised);
/// 0 when there is none or no X display. The title is matched literally.
uint64_t activateWindowTitled(const QString &title);

/// Sends the key (an X key name such as "F7") to the window; false when it could not be sent.
bool sendKeyToWindow(uint64_t window, const char *key);

}  // namespace torvane
