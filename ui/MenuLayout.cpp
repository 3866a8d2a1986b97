#include "ui/MenuLayout.h"

#include <QStringList>

#include <algorithm>

namespace torvane {

QVector<MenuEntry> parseMenuText(const QString &itemText)
{
    QVector<MenuEntry> entries;
    const QStringList parts = itemText.split(QLatin1Char('|'));
    entries.reserve(parts.size());
    for (const QString &part : parts) {
        MenuEntry entry;
        entry.raw = part;
        entry.subMenu = part.contains(QLatin1Char('>'));
        entry.separator = part.contains(QLatin1Char('='));
        entry.text = part;
        entry.text.remove(QLatin1Char('>'));
        entry.text.remove(QLatin1Char('='));
        entries.append(entry);
    }
    return entries;
}

MenuGeometry::MenuGeometry(const QVector<MenuEntry> &entries, const QVector<int> &textWidths,
                           int16_t itemHeight, int16_t &textWidthMax)
    : m_itemHeight(itemHeight)
{
    // Item 0 is measured too: a first item wider than the rest must not be cut off.
    for (int i = 0; i < entries.size() && i < textWidths.size(); ++i) {
        const int widthOfItem = std::min(textWidths.at(i), kMenuMaxTextWidth);
        if (widthOfItem > textWidthMax)
            textWidthMax = int16_t(widthOfItem);
    }
    m_width = textWidthMax + kExtraWidth;

    int top = kTopOffset;
    m_tops.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const int y = top + i * itemHeight;
        m_tops.append(y);
        if (entries.at(i).separator) {
            top += kSeparatorGap;
            m_separators.append(y + itemHeight + 2);
        }
    }
    m_height = m_tops.isEmpty() ? 0 : m_tops.last() + itemHeight + kBottomPadding;
}

QRect MenuGeometry::labelRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return QRect(kTextLeft, m_tops.at(index), m_width - 2 * kTextLeft, m_itemHeight);
}

QRect MenuGeometry::checkRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return QRect(0, m_tops.at(index), kCheckWidth, m_itemHeight);
}

QRect MenuGeometry::arrowRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return QRect(m_width - 22, m_tops.at(index), kArrowWidth, m_itemHeight);
}

QRect MenuGeometry::rowRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return QRect(0, m_tops.at(index), m_width, m_itemHeight);
}

QRect MenuGeometry::highlightRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return QRect(-2, m_tops.at(index) - 2, m_width + 4, m_itemHeight + 2);
}

int MenuGeometry::itemAt(QPoint point) const
{
    if (point.x() < 0 || point.x() >= m_width || m_tops.isEmpty())
        return -1;
    // Tops rise with the index: the candidate is the last item starting at or above y.
    const auto after = std::upper_bound(m_tops.begin(), m_tops.end(), point.y());
    if (after == m_tops.begin())
        return -1;
    const int index = int(after - m_tops.begin()) - 1;
    return point.y() < m_tops.at(index) + m_itemHeight ? index : -1;
}

}  // namespace torvane
