#include "ui/ForeignWindow.h"

#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdlib>
#include <memory>

extern "C" {
#include <xdo.h>
}

namespace torvane {

namespace {

using XdoHandle = std::unique_ptr<xdo_t, void (*)(xdo_t *)>;

XdoHandle openXdo()
{
    // Only on an X display, the one this program shows its windows on.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return XdoHandle(nullptr, xdo_free);
    return XdoHandle(xdo_new(nullptr), xdo_free);
}

}  // namespace

uint64_t activateWindowTitled(const QString &title)
{
    XdoHandle xdo = openXdo();
    if (!xdo)
        return 0;
    xdo->quiet = 1;
    const QByteArray pattern = ('^' + QRegularExpression::escape(title) + '$').toUtf8();
    xdo_search_t search{};
    search.winname = pattern.constData();
    search.searchmask = SEARCH_NAME;
    search.max_depth = -1;
    search.require = xdo_search::SEARCH_ALL;
    Window *found = nullptr;
    unsigned int count = 0;
    xdo_search_windows(xdo.get(), &search, &found, &count);
    const Window window = count > 0 ? found[0] : 0;
    std::free(found);
    if (window == 0)
        return 0;
    // The window manager brings it forward and restores it; without one, map, raise and focus.
    if (xdo_activate_window(xdo.get(), window) != XDO_SUCCESS) {
        xdo_map_window(xdo.get(), window);
        xdo_raise_window(xdo.get(), window);
        xdo_focus_window(xdo.get(), window);
    }
    return window;
}

bool sendKeyToWindow(uint64_t window, const char *key)
{
    XdoHandle xdo = openXdo();
    if (!xdo || window == 0)
        return false;
    xdo->quiet = 1;
    return xdo_send_keysequence_window(xdo.get(), Window(window), key, 12000) == XDO_SUCCESS;
}

}  // namespace torvane
