#include "core/WindowRules.h"

#include "core/TextUtil.h"

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

}  // namespace torvane
