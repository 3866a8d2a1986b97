#pragma once
// The drop-down menu panel: a frameless, topmost window that draws its items itself from one
// text ("First|Second>|Third=|Fourth"), with check marks, sub-menu arrows, separator lines
// and a highlight bar, in the desktop's menu font. An open panel closes itself when the
// program loses activation, when a mouse press lands outside every open panel, and on Escape.
// The panel opened last takes the arrow keys and Enter while it is open.

#include "ui/MenuLayout.h"

#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>

namespace torvane {

class DropDownMenu : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
public:
    /// A top-level panel, hidden; parent only owns it (it may extend beyond the parent).
    explicit DropDownMenu(QWidget *parent = nullptr);

    /// The panel's native window handle.
    WId hwnd() { return winId(); }

    /// Builds the panel from the item text.
    void setCaption(const QString &itemText);
    QString caption() const { return m_caption; }

    /// Shows or hides the check mark of item Index.
    void Check(int Index, bool Value);
    /// Whether item Index reacts to the mouse; a disabled item is drawn grey.
    void Enable(int Index, bool Value);

    /// Reads the desktop's menu font: face name, bold, italic and size in points. Returns
    /// false, shows a popup and leaves the outputs as they were when it cannot be read.
    static bool GetMenuFonts(QString &FontName, bool &Bold, bool &Italic, int &Size);
    /// The menu font that every panel uses (read at each panel's creation).
    static QString menuFontName();
    static int menuFontSize();  ///< points

    /// Text height of "A" + 3, pixels.
    int16_t ItemHeight() const { return m_layout.itemHeight(); }
    /// Widest item text so far, pixels; never shrinks.
    int16_t TextWidthMax() const { return m_textWidthMax; }
    /// Number of items of the current text (n + 1).
    int itemCount() const { return m_layout.count(); }
    /// Shown text of an item, markers removed; empty outside the current items.
    QString itemText(int index) const;
    bool hasSubMenu(int index) const;
    bool isChecked(int index) const;
    bool isItemEnabled(int index) const;
    /// The last item the mouse moved over, -1 before any.
    int16_t currentItem() const { return m_current; }
    /// Whether the highlight bar is shown, and where.
    bool highlightShown() const { return m_highlightShown; }
    QRect highlightRect() const { return m_layout.highlightRect(m_current); }
    const torvane::MenuGeometry &layout() const { return m_layout; }

signals:
    /// An item was clicked: its index and shown text.
    void Click(int Index, const QString &Caption);
    /// The mouse pointer entered item Index.
    void subMnu(int Index);
    /// The panel closed itself: the program or the owner window lost activation, a press
    /// landed outside the open panels, or Escape was pressed.
    void Closed();
    /// Left (-1) or Right (+1) was pressed where no sub-menu opens: the owner may go to the
    /// neighbouring menu.
    void sideStep(int direction);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    /// While open: watches the whole program's presses, keys and activation.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateItem(int index);
    void startWatching();
    void stopWatching();
    void dismiss();
    void ensureState(int index);
    /// The keys of the open panel: Up and Down move the highlight, Enter and Right choose,
    /// Left steps aside. True when the key was the panel's.
    bool menuKey(int key);
    void highlightItem(int index);

    QString m_caption;
    QVector<torvane::MenuEntry> m_entries;
    torvane::MenuGeometry m_layout;
    int16_t m_textWidthMax = 0;
    int16_t m_current = -1;
    bool m_highlightShown = false;
    int m_underMouse = -1;   // item the pointer is in, -1 outside any
    int m_pressed = -1;      // item the button went down on
    QVector<bool> m_checked;  // kept per index across captions, like the item labels
    QVector<bool> m_enabled;
    bool m_watching = false;
    QMetaObject::Connection m_stateWatch;
};

}  // namespace torvane
