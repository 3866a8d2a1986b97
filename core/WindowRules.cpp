#include "core/WindowRules.h"

#include "core/TextUtil.h"

#include <algorithm>
#include <cmath>

namespace torvane {

EdgeRect keepAspect(int edge, EdgeRect r)
{
    const auto widthToHeight = [&] {
        r.bottom = r.top + int(roundHalfEven(kAspectRatio * (r.right - r.left)));
    };
    const double byHeight = (r.bottom - r.top) / kAspectRatio;
    switch (edge) {
    case 1: case 2: case 7: case 8: widthToHeight(); break;
    case 3: case 5: case 6: r.right = r.left + int(roundHalfEven(byHeight)); break;
    case 4: r.left = r.right - int(roundHalfEven(byHeight)); break;
    default: break;
    }
    return r;
}

int draggedEdge(const QRect &before, const QRect &after)
{
    if (before.size() == after.size())
        return 0;
    const bool left = after.left() != before.left();
    const bool top = after.top() != before.top();
    const bool right = after.right() != before.right();
    const bool bottom = after.bottom() != before.bottom();
    if (top && left) return 4;
    if (top && right) return 5;
    if (bottom && left) return 7;
    if (bottom && right) return 8;
    if (left) return 1;
    if (right) return 2;
    if (top) return 3;
    if (bottom) return 6;
    return 0;
}

QRect clampOntoScreen(const QRect &outer, const QList<QRect> &areas, int minWidth)
{
    if (areas.isEmpty())
        return outer;
    QRect area = areas.first();
    qint64 best = 0;
    for (const QRect &a : areas) {
        const QRect common = a.intersected(outer);
        const qint64 overlap = qint64(common.width()) * common.height();
        if (overlap > best) {
            best = overlap;
            area = a;
        }
    }
    QRect r = outer;
    if (r.width() > area.width() || r.height() > area.height()) {
        const int width = std::max(minWidth, std::min(r.width(), maximizedRect(area).width()));
        r.setSize(QSize(width, int(roundHalfEven(kAspectRatio * width))));
    }
    // Too large even so (a screen smaller than the smallest window): its top-left corner shows.
    r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() + 1 - r.width())));
    r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() + 1 - r.height())));
    return r;
}

QRect maximizedRect(const QRect &available)
{
    const int width = std::min(available.width(), int(std::floor(available.height() / kAspectRatio)));
    const QSize size(width, int(roundHalfEven(kAspectRatio * width)));
    return QRect(available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                              (available.height() - size.height()) / 2),
                 size);
}

int twipsToPixels(int twips)
{
    return int(roundHalfEven(double(twips) / kTwipsPerPixel));
}

QRect followInTwips(QRect twips, const QRect &outer)
{
    if (twipsToPixels(twips.left()) != outer.left())
        twips.moveLeft(outer.left() * kTwipsPerPixel);
    if (twipsToPixels(twips.top()) != outer.top())
        twips.moveTop(outer.top() * kTwipsPerPixel);
    if (twipsToPixels(twips.width()) != outer.width()) {
        twips.setWidth(outer.width() * kTwipsPerPixel);
        twips.setHeight(int(roundHalfEven(kAspectRatio * twips.width())));
    }
    return twips;
}

}  // namespace torvane
