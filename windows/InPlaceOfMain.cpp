#include "windows/InPlaceOfMain.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace torvane {

QPoint setupWindowPosition(const QRect &mainFrame, const QSize &ownFrame, const QRect &available)
{
    int x = mainFrame.left();
    int y = mainFrame.top();
    if (available.isValid()) {
        x = std::min(x, available.right() + 1 - ownFrame.width());
        y = std::min(y, available.bottom() + 1 - ownFrame.height());
        x = std::max(x, available.left());
        y = std::max(y, available.top());
    }
    return QPoint(x, y);
}

void takeMainWindowsPlace(QWidget *window, QWidget *mainWindow)
{
    if (!mainWindow)
        return;
    const QScreen *screen = mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QSize extra = window->frameGeometry().size() - window->size();
    window->move(setupWindowPosition(mainWindow->frameGeometry(), window->sizeHint() + extra, available));
    mainWindow->hide();
}

void giveBackMainWindow(QWidget *mainWindow)
{
    if (!mainWindow)
        return;
    mainWindow->show();
    mainWindow->raise();
    mainWindow->activateWindow();
}

}  // namespace torvane
