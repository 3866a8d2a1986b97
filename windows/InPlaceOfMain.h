#pragma once
// Windows that stand in for the main window while they are open (station setup, database
// editor): placed at the main window's corner, the main window hidden, and shown, raised and
// active again when they close.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace torvane {

/// Top-left corner (pixels) of such a window's frame: the main window's top-left corner,
/// moved as little as needed to keep the whole frame on the available screen area.
QPoint setupWindowPosition(const QRect &mainFrame, const QSize &ownFrame, const QRect &available);

/// At the window's first showing: moves it into the main window's place and hides the main
/// window. Nothing without a main window.
void takeMainWindowsPlace(QWidget *window, QWidget *mainWindow);

/// At the window's close: the main window shown, raised and active again.
void giveBackMainWindow(QWidget *mainWindow);

}  // namespace torvane
