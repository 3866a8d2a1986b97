#include "windows/MapWindow.h"

#include "geo/MapProjection.h"
#include "ui/LanguageFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace torvane {

namespace {

// Language items used here.
constexpr int kItemOwnStation = 27;
constexpr int kItemMiles = 40;
constexpr int kItemKilometres = 41;

// A damaged header may claim any size; a blank picture larger than this is not made, pixels.
constexpr int kMaxBlankSide = 8000;

const QColor kOwnColour(0, 0, 255);
const QColor kBlankColour(214, 220, 228);
const QColor kPathColour(200, 0, 0);  // the great-circle path

/// The blue bar of the current map's menu item: the height counts 25 units, unit i in blue
/// 250 - 4 i (250 at the top to 150 at the bottom), the caption centred in white.
QPixmap menuGradient(QSize size, const QString &caption, const QFont &font)
{
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    QPainter p(&pixmap);
    const int h = pixmap.height();
    for (int y = 0; y < h; ++y) {
        p.fillRect(QRect(0, y, pixmap.width(), 1), QColor(0, 0, menuGradientBlue(y * 25 / h)));
    }
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, caption);
    return pixmap;
}

}  // namespace

/// picInner: the map image and the station drawings.
class MapPicture : public QWidget {
public:
    explicit MapPicture(QWidget *parent) : QWidget(parent) {}

    QImage image;
    QString missingFile;  ///< shown on the blank picture when the map cannot be loaded
    StationDrawing drawing;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        p.setClipRegion(event->region());
        if (!image.isNull()) {
            p.drawImage(0, 0, image);
        } else {
            p.fillRect(rect(), kBlankColour);
            if (!missingFile.isEmpty()) {
                p.setPen(Qt::darkGray);
                p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop,
                           missingFile);
            }
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kPathColour, 2, Qt::DashLine));
        for (const QList<QPointF> &piece : drawing.path)
            p.drawPolyline(piece.constData(), int(piece.size()));
        if (drawing.kind == StationCase::BeamLine) {
            p.setPen(QPen(kOwnColour, 2));
            p.drawLine(QPointF(drawing.own), drawing.beamEnd);
        } else if (drawing.kind == StationCase::Circles) {
            p.setPen(QPen(Qt::black, 3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(drawing.station), 4, 4);
            p.drawEllipse(QPointF(drawing.station), kStationRing, kStationRing);
        }
        // The own station: a dot and a small circle.
        p.setPen(QPen(kOwnColour, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPoint(QPointF(drawing.own));
        p.drawEllipse(QPointF(drawing.own), 4, 4);
    }
};

/// The window's menu bar; the current map's item is covered by the blue bar.
class MapMenuBar : public QMenuBar {
public:
    explicit MapMenuBar(QWidget *parent) : QMenuBar(parent) { setNativeMenuBar(false); }

    QAction *painted = nullptr;
    QString caption;
    QFont captionFont;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QMenuBar::paintEvent(event);
        if (!painted || !actions().contains(painted))
            return;
        const QRect r = actionGeometry(painted);
        if (r.isEmpty())
            return;
        QPainter p(this);
        p.drawPixmap(r.topLeft(), menuGradient(r.size(), caption, captionFont));
    }
};

}  // namespace torvane

using namespace torvane;

MapWindow::MapWindow(ProgramValues &values, int16_t &currentMapIndex, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_values(values),
      m_currentMapIndex(currentMapIndex)
{
    setObjectName(QStringLiteral("Form4"));
    setFocusPolicy(Qt::StrongFocus);

    m_menuBar = new MapMenuBar(this);
    menuBar = m_menuBar;
    menuBar->setObjectName(QStringLiteral("mnuMap"));

    picOuter = new QWidget(this);
    picOuter->setObjectName(QStringLiteral("picOuter"));
    picOuter->setAutoFillBackground(true);
    QPalette outer = picOuter->palette();
    outer.setColor(QPalette::Window, QColor(64, 64, 64));
    picOuter->setPalette(outer);

    m_picture = new MapPicture(picOuter);
    picInner = m_picture;
    picInner->setObjectName(QStringLiteral("picInner"));
    picInner->setMouseTracking(true);
    picInner->setAttribute(Qt::WA_OpaquePaintEvent);
    picInner->installEventFilter(this);

    // Frames first so that the labels lie above them; all let the mouse through to the map so
    // that a drag or a double click on them acts on the map.
    auto makeFrame = [this](const char *name) {
        auto *frame = new QFrame(picInner);
        frame->setObjectName(QLatin1String(name));
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(1);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        return frame;
    };
    Shape1 = makeFrame("Shape1");
    Shape2 = makeFrame("Shape2");
    auto makeLabel = [this](const char *name, const QColor &text) {
        auto *label = new QLabel(picInner);
        label->setObjectName(QLatin1String(name));
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, QColor(255, 255, 236));
        pal.setColor(QPalette::WindowText, text);
        label->setPalette(pal);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setMargin(0);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        return label;
    };
    lblMe = makeLabel("lblMe", kOwnColour);
    lblCall = makeLabel("lblCall", Qt::black);
    lblCall->hide();
    Shape2->hide();

    Pic2 = new QLabel(this);
    Pic2->setObjectName(QStringLiteral("Pic2"));
    Pic2->hide();
}

MapWindow::~MapWindow() = default;

void MapWindow::loadWindow()
{
    // Opening the window brings the pointer to the middle of the screen.
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        const QRect screen = primary->geometry();
        MoveMouse(screen.x() + screen.width() / 2, screen.y() + screen.height() / 2);
    }
    QFont font = menuBar->font();
    if (!m_values.MenuFontName.isEmpty())
        font.setFamily(m_values.MenuFontName);
    if (m_values.MenuFontSize > 0)
        font.setPointSizeF(m_values.MenuFontSize);
    Pic2->setFont(font);
    buildMenu();
    PaintMenuBarItem(m_currentMapIndex + 1, m_currentMapIndex >= 0
                             && m_currentMapIndex < m_values.MapList.size()
                         ? MapCaptionOf(m_values.MapList.at(m_currentMapIndex))
                         : QString());
    m_loaded = true;
}

void MapWindow::buildMenu()
{
    menuBar->clear();
    mnuMap.clear();
    m_menuBar->painted = nullptr;
    QStringList captions{QStringLiteral(" Maps ")};
    for (const QString &file : m_values.MapList)
        captions << MapCaptionOf(file);
    for (int i = 0; i < captions.size(); ++i) {
        // A "&" in a file name is shown, not taken as a shortcut marker.
        QAction *action = menuBar->addAction(QString(captions.at(i)).replace(u'&', QStringLiteral("&&")));
        action->setObjectName(QStringLiteral("mnuMap%1").arg(i));
        connect(action, &QAction::triggered, this, [this, i] { mnuMapClick(i); });
        mnuMap.append(action);
    }
}

void MapWindow::PaintMenuBarItem(int position, const QString &caption)
{
    m_paintedItem = -1;
    m_menuBar->painted = nullptr;
    if (position < 1 || position >= mnuMap.size()) {
        menuBar->update();
        return;
    }
    QAction *action = mnuMap.at(position);
    const QFontMetrics metrics(Pic2->font());
    const QRect item = menuBar->actionGeometry(action);
    const QSize size(std::max(metrics.horizontalAdvance(caption), item.width()),
                     std::max(menuHeight(), item.height()));
    Pic2->setPixmap(menuGradient(size, caption, Pic2->font()));
    Pic2->resize(size);
    m_menuBar->painted = action;
    m_menuBar->caption = caption;
    m_menuBar->captionFont = Pic2->font();
    m_paintedItem = position;
    menuBar->update();
}

void MapWindow::mnuMapClick(int index)
{
    if (index <= 0) {
        emit FocusCallBox();
        return;
    }
    if (index >= mnuMap.size())
        return;
    m_currentMapIndex = int16_t(index - 1);
    PaintMenuBarItem(index, MapCaptionOf(m_values.MapList.value(index - 1)));
    PlotMap();
}

void MapWindow::MoveMouse(int x, int y)
{
    QCursor::setPos(x, y);
}

int MapWindow::menuHeight() const
{
    const int forWidth = menuBar->heightForWidth(std::max(1, width()));
    return forWidth > 0 ? forWidth : menuBar->sizeHint().height();
}

void MapWindow::loadMapImage()
{
    const int index = m_currentMapIndex;
    const bool listed = index >= 0 && index < m_values.MapList.size();
    const QString file = listed ? m_values.MapList.at(index) : QString();
    m_mapPath = listed ? m_values.DataFolder + QStringLiteral("/Maps/") + file : QString();
    m_mapName = listed ? MapNameOf(file) : QString();

    m_image = QImage();
    QSize size = kBlankMapSize;
    if (listed) {
        QImageReader reader(m_mapPath);
        m_image = reader.read();
        if (m_image.isNull()) {
            // A damaged file may still tell its size; the markers then land where they would
            // on the real picture.
            const QSize claimed = QImageReader(m_mapPath).size();
            if (claimed.isValid() && claimed.width() <= kMaxBlankSide
                && claimed.height() <= kMaxBlankSide)
                size = claimed;
        } else {
            size = m_image.size();
        }
    }
    m_picture->image = m_image;
    m_picture->missingFile = m_image.isNull() && listed ? m_mapPath : QString();
    picInner->resize(size);
}

QSize MapWindow::frameExtra() const
{
    // Before the window manager has framed this window, the frame of another framed window
    // of the program stands in for its own.
    QMargins frame = isVisible() && windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow *other : windows) {
        if (!frame.isNull())
            break;
        if (other != windowHandle() && other->isVisible() && other->type() == Qt::Window
            && !(other->flags() & Qt::FramelessWindowHint))
            frame = other->frameMargins();
    }
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}

void MapWindow::placeWindow()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    m_placedExtra = frameExtra();
    const MapWindowPlacement place =
        placeMapWindow(picInner->size(), available, m_placedExtra, menuBar->sizeHint().height());
    m_placing = true;
    resize(place.client);
    move(place.framePos);
    m_placing = false;
    placeChildren(place.client);
}

void MapWindow::setInFront(bool inFront)
{
    // Above every other window while the operator works in it; behind the main window once
    // that is activated, so that nobody types into a window the map covers.
    QWindow *window = windowHandle();
    if (!window || bool(window->flags() & Qt::WindowStaysOnTopHint) == inFront)
        return;
    window->setFlag(Qt::WindowStaysOnTopHint, inFront);
}

void MapWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Framed only now, and the frame is not the one the window was sized for: sized again, so
    // that the window with its title bar fits on the screen.
    if (!m_placing && isVisible() && frameExtra() != m_placedExtra)
        placeWindow();
}

void MapWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        setInFront(true);
}

void MapWindow::placeChildren(QSize client)
{
    const int menuH = std::min(client.height(), menuHeight());
    menuBar->setGeometry(0, 0, client.width(), menuH);
    picOuter->setGeometry(0, menuH, client.width(), client.height() - menuH);
}

void MapWindow::PlotMap()
{
    if (!m_loaded)
        loadWindow();
    m_drawing = StationDrawing();
    m_drag.reset();
    m_values.OwnLatitude = clampedOwnLatitude(m_values.OwnLatitude);
    loadMapImage();
    placeWindow();
    // In front, but not over another window of the program that the operator works in.
    const QWidget *active = QApplication::activeWindow();
    if (!isVisible())
        show();
    else if (!active || active == this)
        raise();
    LayoutMapWindow();
    setWindowTitle(mapWindowCaption(m_mapName));
    DrawStations();
}

void MapWindow::LayoutMapWindow()
{
    const MapLayout layout = layoutMapWindow(picInner->size(), picOuter->size());
    m_canDragX = layout.canDragX;
    m_canDragY = layout.canDragY;
    picInner->move(layout.picturePos);
}

void MapWindow::DrawStations()
{
    StationPlotInput in;
    in.mapName = m_mapName;
    in.picture = picInner->size();
    in.viewport = picOuter->size();
    in.ownLat = m_values.OwnLatitude;
    in.ownLon = m_values.OwnLongitude;
    in.stationLat = m_values.StationLatitude;
    in.stationLon = m_values.StationLongitude;
    in.useMiles = m_values.UseMiles == 1;
    in.call = m_values.CurrentCall;
    in.unitWord = languageItem(m_values.LanguageText, in.useMiles ? kItemMiles : kItemKilometres);
    in.meText = languageItem(m_values.LanguageText, kItemOwnStation);
    const QFontMetrics metrics(lblCall->font());
    m_drawing = torvane::DrawStations(in, [&metrics](const QString &text) {
        return QSize(metrics.horizontalAdvance(text), metrics.height());
    });

    const bool station = m_drawing.kind != StationCase::None;
    lblCall->setText(m_drawing.callText);
    lblCall->setGeometry(m_drawing.callLabel);
    Shape2->setGeometry(m_drawing.callFrame);
    lblCall->setVisible(station);
    Shape2->setVisible(station);
    lblMe->setText(m_drawing.meText);
    lblMe->setGeometry(m_drawing.meLabel);
    Shape1->setGeometry(m_drawing.meFrame);
    Shape1->show();
    lblMe->show();
    Shape2->stackUnder(lblCall);
    Shape1->stackUnder(lblMe);
    if (m_drawing.picturePos)
        picInner->move(*m_drawing.picturePos);
    m_picture->drawing = m_drawing;
    picInner->update();
}

void MapWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MapWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeChildren(size());
    // Keep the map covering the viewport after the window changed size.
    const MapLayout layout = layoutMapWindow(picInner->size(), picOuter->size());
    m_canDragX = layout.canDragX;
    m_canDragY = layout.canDragY;
    picInner->move(keepInView(picInner->pos(), picOuter->size(), picInner->size()));
    if (isVisible())
        emit FocusCallBox();
}

void MapWindow::closeEvent(QCloseEvent *event)
{
    // The next plot opens the window afresh: pointer to the centre, menu rebuilt.
    m_loaded = false;
    event->accept();
    emit FocusCallBox();
}

bool MapWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != picInner)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        close();
        return true;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            m_drag.press(mouse->position());
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto moved = m_drag.move(mouse->position(), mouse->buttons() & Qt::LeftButton,
                                       picInner->pos(), picOuter->size(), picInner->size(),
                                       m_canDragX, m_canDragY);
        if (moved)
            picInner->move(*moved);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
