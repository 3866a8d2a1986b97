#pragma once
// Geometry rules of the main window: the kept proportions while the operator resizes it, the
// stored place in twips, and keeping the window on a screen.

#include <QList>
#include <QRect>

namespace torvane {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kMinWindowWidthTwips = 5200;
inline constexpr double kAspectRatio = 0.7;  ///< height / width

/// A window rectangle in screen pixels, edges as the window system reports them while sizing.
struct EdgeRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const EdgeRect &a, const EdgeRect &b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

/// Edge being dragged: 1 left, 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom, 7 bottom-left,
/// 8 bottom-right. Returns the rectangle with height = 0.7 x width kept; other codes leave it.
EdgeRect keepAspect(int edge, EdgeRect r);

/// The edge code of a resize from `before` to `after` (both outer rectangles), 0 when neither
/// the size changed nor a single edge can be told.
int draggedEdge(const QRect &before, const QRect &after);

/// The outer rectangle (pixels) moved, and shrunk with its proportions kept where it is
/// larger, so that it lies wholly inside one of the screens' available areas: the one it
/// overlaps most, or the first (the primary screen) when it overlaps none, as when its monitor
/// is gone. Never narrower than minWidth; unchanged without any area.
QRect clampOntoScreen(const QRect &outer, const QList<QRect> &areas, int minWidth);

/// What maximizing gives the window: the largest outer rectangle with height = 0.7 x width
/// inside the available area, centred in it.
QRect maximizedRect(const QRect &available);

/// Pixels of a length in twips, halves to even.
int twipsToPixels(int twips);

/// The stored left, top and width (twips) after the window was read back at outer (pixels):
/// a value changes only where the window is a whole pixel away from it, so a width of 5200
/// twips, which is no whole number of pixels, survives any number of starts and closes.
QRect followInTwips(QRect twips, const QRect &outer);

inline EdgeRect toEdgeRect(const QRect &r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QRect toQRect(const EdgeRect &r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace torvane
