#pragma once
// Placing the main window's controls: each container has its own logical coordinates that
// stretch with the window, and fonts grow with the window's width.

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>


namespace torvane {
class MainWindow;

/// A rectangle in a container's logical units, in pixels of that container.
QRect logicalToPixels(const QRectF &logical, const QSizeF &logicalSize, const QSize &pixels);

/// Font scale s: the outer width in twips / 5200 (1 at the smallest window).
double fontScale(int outerWidthTwips);

/// Places every control of the main window for its current size.
void layoutMainWindow(MainWindow &form);

}  // namespace torvane
