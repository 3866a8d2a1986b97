#include "ui/DropDownMenu.h"

#include "core/TextUtil.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <cmath>

using namespace torvane;

namespace {

// Menu font shared by every panel.
QString g_menuFontName;
int g_menuFontSize = 0;

// An item index beyond this is taken as a mistake rather than grown to.
constexpr int kMaxItemState = 65536;

const QColor kPanelColour(246, 246, 246);
const QColor kBorderColour(150, 150, 150);
const QColor kHighlightColour(0, 120, 215);
const QColor kTextColour(0, 0, 0);
const QColor kHighlightTextColour(255, 255, 255);
const QColor kDisabledTextColour(150, 150, 150);
const QColor kSeparatorDark(200, 200, 200);
const QColor kSeparatorLight(255, 255, 255);

void drawCheck(QPainter &painter, const QRect &cell, const QColor &colour)
{
    // A tick about 10 pixels wide, centred in the cell.
    const double s = std::max(8.0, std::min(cell.width(), cell.height()) * 0.55);
    const QPointF c = QRectF(cell).center();
    QPainterPath tick;
    tick.moveTo(c.x() - s * 0.45, c.y());
    tick.lineTo(c.x() - s * 0.12, c.y() + s * 0.33);
    tick.lineTo(c.x() + s * 0.45, c.y() - s * 0.36);
    painter.setPen(QPen(colour, std::max(1.5, s / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}

void drawArrow(QPainter &painter, const QRect &cell, const QColor &colour)
{
    // A right-pointing triangle, as tall as about a third of the item.
    const double h = std::max(6.0, cell.height() * 0.38);
    const QPointF c = QRectF(cell).center();
    const QPointF points[3] = {{c.x() - h * 0.3, c.y() - h / 2},
                               {c.x() + h * 0.3, c.y()},
                               {c.x() - h * 0.3, c.y() + h / 2}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(points, 3);
}

/// Whether a point on the desktop lies on any open drop-down panel: a press on a sub-menu
/// is that sub-menu's click, not a press outside the menu that opened it.
bool onOpenPanel(QPoint global)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [global](const QWidget *window) {
        return qobject_cast<const DropDownMenu *>(window) && window->isVisible()
            && window->geometry().contains(global);
    });
}

bool isPanel(const QObject *window)
{
    return qobject_cast<const DropDownMenu *>(window) != nullptr;
}

}  // namespace

DropDownMenu::DropDownMenu(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                          | Qt::WindowDoesNotAcceptFocus | Qt::BypassWindowManagerHint)
{
    setObjectName(QStringLiteral("ucMenu"));
    // A drop-down menu to the window system: compositors give it their menu shadow.
    setAttribute(Qt::WA_X11NetWmWindowTypeDropDownMenu);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);

    QString name;
    bool bold = false;
    bool italic = false;
    int size = 0;
    if (GetMenuFonts(name, bold, italic, size)) {
        g_menuFontName = name;
        g_menuFontSize = size;
    }
    QFont menuFont = QApplication::font("QMenu");
    if (!g_menuFontName.isEmpty())
        menuFont.setFamily(g_menuFontName);
    if (g_menuFontSize > 0)
        menuFont.setPointSize(g_menuFontSize);
    setFont(menuFont);
    setCaption(QString());
}

QString DropDownMenu::menuFontName()
{
    return g_menuFontName;
}

int DropDownMenu::menuFontSize()
{
    return g_menuFontSize;
}

bool DropDownMenu::GetMenuFonts(QString &FontName, bool &Bold, bool &Italic, int &Size)
{
    const QFont font = QApplication::font("QMenu");
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
        points = font.pixelSize() * 72.0 / dpi;
    }
    QString family = font.family();
    family.remove(QChar(0));
    if (family.isEmpty() || points <= 0) {
        ShellPopup(QStringLiteral("The menu font of the desktop could not be read."), 0, QString());
        return false;
    }
    FontName = family;
    Bold = font.weight() != QFont::Normal;
    Italic = font.italic();
    Size = int(roundHalfEven(points));
    return true;
}

void DropDownMenu::setCaption(const QString &itemText)
{
    m_caption = itemText;
    m_entries = parseMenuText(itemText);

    const QFontMetrics metrics(font());
    QVector<int> widths;
    widths.reserve(m_entries.size());
    for (const MenuEntry &entry : m_entries)
        widths.append(metrics.horizontalAdvance(entry.raw));
    const auto itemHeight = int16_t(roundHalfEven(QFontMetricsF(font()).height() + 3));
    m_layout = MenuGeometry(m_entries, widths, itemHeight, m_textWidthMax);

    ensureState(int(m_entries.size()) - 1);
    if (m_current >= m_layout.count())
        m_highlightShown = false;
    m_underMouse = -1;
    m_pressed = -1;
    setFixedSize(m_layout.width(), m_layout.height());
    update();
}

void DropDownMenu::ensureState(int index)
{
    if (index < m_checked.size())
        return;
    m_checked.resize(index + 1, false);
    m_enabled.resize(index + 1, true);
}

void DropDownMenu::Check(int Index, bool Value)
{
    if (Index < 0 || Index >= kMaxItemState)
        return;
    ensureState(Index);
    m_checked[Index] = Value;
    updateItem(Index);
}

void DropDownMenu::Enable(int Index, bool Value)
{
    if (Index < 0 || Index >= kMaxItemState)
        return;
    ensureState(Index);
    m_enabled[Index] = Value;
    updateItem(Index);
}

QString DropDownMenu::itemText(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index).text : QString();
}

bool DropDownMenu::hasSubMenu(int index) const
{
    return index >= 0 && index < m_entries.size() && m_entries.at(index).subMenu;
}

bool DropDownMenu::isChecked(int index) const
{
    return index >= 0 && index < m_checked.size() && m_checked.at(index);
}

bool DropDownMenu::isItemEnabled(int index) const
{
    return index < 0 || index >= m_enabled.size() || m_enabled.at(index);
}

void DropDownMenu::updateItem(int index)
{
    const QRect row = m_layout.highlightRect(index);
    if (!row.isNull())
        update(row.adjusted(0, 0, 0, 2));
}

void DropDownMenu::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, kPanelColour);

    // Only the items in the exposed area: a menu of hundreds of items stays cheap.
    const int first = std::max(0, m_layout.itemAt(QPoint(0, exposed.top())) - 1);
    for (int i = first; i < m_layout.count(); ++i) {
        const QRect row = m_layout.highlightRect(i);
        if (row.top() > exposed.bottom())
            break;
        const bool lit = m_highlightShown && i == m_current;
        if (lit)
            painter.fillRect(row, kHighlightColour);
        const QColor ink = !isItemEnabled(i) ? kDisabledTextColour
                                             : lit ? kHighlightTextColour : kTextColour;
        painter.setRenderHint(QPainter::Antialiasing, true);
        if (isChecked(i))
            drawCheck(painter, m_layout.checkRect(i), ink);
        if (m_entries.at(i).subMenu)
            drawArrow(painter, m_layout.arrowRect(i), ink);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(ink);
        painter.drawText(m_layout.labelRect(i), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         m_entries.at(i).text);
    }
    for (const int y : m_layout.separatorLines()) {
        if (y + 1 < exposed.top() || y > exposed.bottom())
            continue;
        painter.setPen(kSeparatorDark);
        painter.drawLine(0, y, width() - 1, y);
        painter.setPen(kSeparatorLight);
        painter.drawLine(0, y + 1, width() - 1, y + 1);
    }
    painter.setPen(kBorderColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DropDownMenu::mouseMoveEvent(QMouseEvent *event)
{
    const int index = m_layout.itemAt(event->position().toPoint());
    if (index < 0 || !isItemEnabled(index)) {
        m_underMouse = -1;  // a disabled item takes no mouse, like a disabled label
        return;
    }
    const bool entered = index != m_underMouse;
    m_underMouse = index;
    if (index != m_current || !m_highlightShown) {
        const int previous = m_current;
        m_current = int16_t(index);
        m_highlightShown = true;
        updateItem(previous);
        updateItem(index);
    }
    if (entered)
        emit subMnu(index);
}

void DropDownMenu::mousePressEvent(QMouseEvent *event)
{
    const int index = m_layout.itemAt(event->position().toPoint());
    m_pressed = index >= 0 && isItemEnabled(index) ? index : -1;
}

void DropDownMenu::mouseReleaseEvent(QMouseEvent *event)
{
    const int index = m_layout.itemAt(event->position().toPoint());
    const int pressed = m_pressed;
    m_pressed = -1;
    if (index < 0 || index != pressed || !isItemEnabled(index))
        return;
    m_highlightShown = false;
    updateItem(index);
    const QString text = m_entries.at(index).text;  // a handler may set a new caption
    emit Click(index, text);
}

void DropDownMenu::leaveEvent(QEvent *event)
{
    m_underMouse = -1;
    QWidget::leaveEvent(event);
}

void DropDownMenu::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    startWatching();
}

void DropDownMenu::hideEvent(QHideEvent *event)
{
    stopWatching();
    QWidget::hideEvent(event);
}

void DropDownMenu::startWatching()
{
    if (m_watching)
        return;
    m_watching = true;
    // Only while open: a closed panel costs the program's events nothing.
    QCoreApplication::instance()->installEventFilter(this);
    m_stateWatch = connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                           [this](Qt::ApplicationState state) {
                               if (state != Qt::ApplicationActive)
                                   dismiss();
                           });
}

void DropDownMenu::stopWatching()
{
    if (!m_watching)
        return;
    m_watching = false;
    QCoreApplication::instance()->removeEventFilter(this);
    disconnect(m_stateWatch);
}

void DropDownMenu::dismiss()
{
    if (!isVisible())
        return;
    m_pressed = -1;  // a press begun before the closing clicks nothing
    m_underMouse = -1;
    hide();
    emit Closed();
}

void DropDownMenu::highlightItem(int index)
{
    const int previous = m_current;
    m_current = int16_t(index);
    m_highlightShown = true;
    updateItem(previous);
    updateItem(index);
}

bool DropDownMenu::menuKey(int key)
{
    const int count = m_layout.count();
    const bool lit = m_highlightShown && m_current >= 0 && m_current < count;
    switch (key) {
    case Qt::Key_Down:
    case Qt::Key_Up: {
        // The next enabled item in that direction, round the end; from nothing lit, the first
        // or the last.
        const int step = key == Qt::Key_Down ? 1 : -1;
        int index = lit ? m_current : (step > 0 ? -1 : count);
        for (int tried = 0; tried < count; ++tried) {
            index = (index + step + count) % count;
            if (isItemEnabled(index)) {
                highlightItem(index);
                break;
            }
        }
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        if (lit && m_entries.at(m_current).subMenu) {
            emit subMnu(m_current);  // the owner opens the sub-menu, as for the pointer
        } else if (key == Qt::Key_Right) {
            emit sideStep(1);
        } else if (lit && isItemEnabled(m_current)) {
            m_highlightShown = false;
            updateItem(m_current);
            const QString text = m_entries.at(m_current).text;
            emit Click(m_current, text);
        }
        return true;
    case Qt::Key_Left:
        emit sideStep(-1);
        return true;
    default:
        return false;
    }
}

bool DropDownMenu::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        // Seen once for the window and again for the widget under the pointer; the first closes.
        if (!onOpenPanel(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))
            dismiss();
        break;
    case QEvent::ShortcutOverride:
        // Escape belongs to the open menu, not to a shortcut of the window behind it.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            dismiss();  // the last panel opened takes it: Escape closes a sub-menu first
            return true;
        }
        // Never to the call box or another control behind the menu.
        if (menuKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
        break;
    case QEvent::WindowDeactivate:
        // The form the menu belongs to lost activation to another program or window. The
        // panels themselves take no part: they do not take the focus, and where a platform
        // activates them anyway, the change of the program's state (startWatching) covers them.
        if (parentWidget() && watched == parentWidget()->window()
            && !isPanel(QApplication::activeWindow()))
            dismiss();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
