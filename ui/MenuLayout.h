#pragma once
// Layout of the drop-down menu panel, without widgets: the item syntax ("|" between items,
// ">" for a sub-menu arrow, "=" for a separator below) and where every part is drawn.
// All positions in pixels, relative to the panel.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>
#include <cstdint>

namespace torvane {

/// One item of a menu text.
struct MenuEntry {
    QString raw;      ///< as written, markers included
    QString text;     ///< as shown: without ">" and then without "="
    bool subMenu = false;
    bool separator = false;
};

/// Splits a menu text on "|"; a text without "|" is one item.
QVector<MenuEntry> parseMenuText(const QString &itemText);

/// Widest item text that the panel takes, so that its width stays a 16-bit value.
inline constexpr int kMenuMaxTextWidth = INT16_MAX - 50;

class MenuGeometry {
public:
    static constexpr int kTopOffset = 3;       ///< above the first item
    static constexpr int kCheckWidth = 20;     ///< check mark column at the left
    static constexpr int kTextLeft = 20;
    static constexpr int kArrowWidth = 20;     ///< sub-menu arrow column at the right
    static constexpr int kSeparatorGap = 8;    ///< extra room under an item with "="
    static constexpr int kExtraWidth = 50;     ///< panel width = widest text + this
    static constexpr int kBottomPadding = 4;

    MenuGeometry() = default;
    /// Lays out entries. itemHeight is the text height of "A" + 3; textWidths are the
    /// measured widths of the raw item texts; textWidthMax only grows (updated in place).
    MenuGeometry(const QVector<MenuEntry> &entries, const QVector<int> &textWidths,
                 int16_t itemHeight, int16_t &textWidthMax);

    int count() const { return int(m_tops.size()); }
    int16_t itemHeight() const { return m_itemHeight; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    /// The item text area (the label of the item).
    QRect labelRect(int index) const;
    QRect checkRect(int index) const;
    QRect arrowRect(int index) const;
    /// The whole row of an item: where the mouse picks it.
    QRect rowRect(int index) const;
    /// The highlight bar behind an item.
    QRect highlightRect(int index) const;
    /// y of the grey line of each separator; the white line lies 1 pixel below.
    const QVector<int> &separatorLines() const { return m_separators; }
    /// The item whose row holds point, or -1 (separator gaps and outside the panel).
    int itemAt(QPoint point) const;

private:
    QVector<int> m_tops;
    QVector<int> m_separators;
    int16_t m_itemHeight = 0;
    int m_width = kExtraWidth;
    int m_height = 0;
};

}  // namespace torvane
