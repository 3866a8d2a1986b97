#pragma once
// The map window: one map image with the own station and the looked-up station marked on it,
// a label for each, a beam-heading line when the station lies off the map, and a menu bar of
// the available maps. The geometry comes from MapPlot; this window only paints and forwards
// mouse and key events.

#include "core/ProgramValues.h"
#include "geo/MapPlot.h"

#include <QImage>
#include <QList>
#include <QWidget>
#include <cstdint>

class QAction;
class QFrame;
class QLabel;
class QMenuBar;

namespace torvane {
class MapPicture;
class MapMenuBar;
}  // namespace torvane

namespace torvane {

class MapWindow : public QWidget {
    Q_OBJECT
public:
    /// values: own and station position, UseMiles, MapList, LanguageText, DataFolder, menu font.
    /// currentMapIndex: CurrentMapIndex, the index in MapList of the map shown; the window's own
    /// map menu writes it.
    MapWindow(torvane::ProgramValues &values, int16_t &currentMapIndex, QWidget *parent = nullptr);
    ~MapWindow() override;

    /// Loads the current map and draws both stations; shows the window in front.
    void PlotMap();
    /// Moves the mouse pointer to screen pixel (x, y).
    void MoveMouse(int x, int y);
    /// Command of menu item i: 0 returns to the main window's call box, i >= 1 shows map i.
    void mnuMapClick(int index);
    /// Whether the window stays above the others: it does from its showing and whenever it
    /// is activated; the main window, activated, puts it behind itself.
    void setInFront(bool inFront);

    /// What the last plot placed, in picInner pixels.
    const torvane::StationDrawing &drawing() const { return m_drawing; }
    /// The decoded map; null when the map file is missing or cannot be decoded.
    const QImage &mapImage() const { return m_image; }
    /// Full path of the current map file; empty when CurrentMapIndex is outside MapList.
    const QString &mapFilePath() const { return m_mapPath; }
    bool canDragX() const { return m_canDragX; }
    bool canDragY() const { return m_canDragY; }
    /// Menu item whose caption is painted as the blue bar (CurrentMapIndex + 1).
    int paintedMenuItem() const { return m_paintedItem; }

    // Controls, by their design names (objectName is the same).
    QMenuBar *menuBar = nullptr;
    QList<QAction *> mnuMap;  ///< 0 " Maps ", 1..n one per MapList entry
    QWidget *picOuter = nullptr;
    QWidget *picInner = nullptr;
    QLabel *lblMe = nullptr;
    QLabel *lblCall = nullptr;
    QFrame *Shape1 = nullptr;
    QFrame *Shape2 = nullptr;
    QLabel *Pic2 = nullptr;

signals:
    /// The main window is to come to the front with the focus in its call box (cboCall).
    void FocusCallBox();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadWindow();
    void buildMenu();
    void loadMapImage();
    /// Size and place from the map and the screen's available area, frame included.
    void placeWindow();
    QSize frameExtra() const;
    void placeChildren(QSize client);
    void LayoutMapWindow();
    void DrawStations();
    void PaintMenuBarItem(int position, const QString &caption);
    int menuHeight() const;

    torvane::ProgramValues &m_values;
    int16_t &m_currentMapIndex;
    torvane::MapPicture *m_picture = nullptr;
    torvane::MapMenuBar *m_menuBar = nullptr;
    bool m_loaded = false;
    QImage m_image;
    QString m_mapPath;
    QString m_mapName;
    torvane::StationDrawing m_drawing;
    torvane::MapDrag m_drag;
    bool m_canDragX = false;
    bool m_canDragY = false;
    int m_paintedItem = -1;
    QSize m_placedExtra;  ///< the frame the window was last sized for
    bool m_placing = false;
};

}  // namespace torvane
