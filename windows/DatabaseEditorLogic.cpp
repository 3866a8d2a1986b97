#include "windows/DatabaseEditorLogic.h"

#include "core/TextUtil.h"

#include <QRegularExpression>

namespace torvane {

CallListModel::CallListModel(QObject *parent) : QAbstractListModel(parent) {}

int CallListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_calls.size());
}

QVariant CallListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_calls.size())
        return QVariant();
    return m_calls.at(index.row());
}

void CallListModel::setCalls(QStringList calls)
{
    beginResetModel();
    m_calls = std::move(calls);
    endResetModel();
}

int CallListModel::findExact(const QString &text) const
{
    return int(m_calls.indexOf(text));
}

EditorButtons editorButtons(const QString &call, const QString &name, bool entrySelected)
{
    EditorButtons buttons;
    buttons.lookup = !call.isEmpty();
    buttons.save = !call.isEmpty() && !name.isEmpty();
    buttons.remove = entrySelected;
    return buttons;
}

QString editorCaption(const QString &itemText, const QString &call, const QString &sourceName)
{
    QString caption = itemText;
    caption.replace(QStringLiteral("???"), call.isEmpty() ? QStringLiteral("callsign") : call);
    caption.replace(QStringLiteral("***"), sourceName);
    return caption;
}

QString editorLookupCall(const QString &text)
{
    // Only a "de" of its own: K1DEF and VK2DEF keep their letters.
    static const QRegularExpression de(QStringLiteral("(?<!\\S)(?:de|DE)(?!\\S)"));
    QString call = plainZeroes(QString(text).remove(de)).trimmed();
    qsizetype stop = 0;
    while (stop < call.size() && call[stop] >= u'0' && call[stop] <= u'z')
        ++stop;
    // A separator among the first three characters belongs to a prefix (W1/K1ABC).
    if (stop >= 3)
        call.truncate(stop);
    return call.toUpper();
}

int addedEntryTopRow(int row)
{
    return row >= 15 ? row - 14 : -1;
}

QRectF editorPictureRect(int width, int height, const QRectF &frame)
{
    if (width <= 0 || height <= 0)
        return QRectF();
    const double ratio = double(height) / width;
    QSizeF size;
    if (ratio >= 0.75)
        size = QSizeF(frame.height() / ratio, frame.height());
    else
        size = QSizeF(frame.width(), frame.width() * ratio);
    QRectF rect(QPointF(), size);
    rect.moveCenter(frame.center());
    return rect;
}

QString derivedCoordinateNote(const QString &coordinateText, const QString &sourceName)
{
    if (!coordinateText.endsWith(u'*'))
        return QString();
    return QStringLiteral("* Coordinates not available from ") + sourceName
           + QStringLiteral("\n    Derived from address or zipcode.");
}

QString stationPictureFile(const QString &pictureFolder, const QString &call)
{
    if (call.isEmpty() || call == QStringLiteral(".") || call == QStringLiteral("..")
        || call.contains(u'/') || call.contains(u'\\'))
        return QString();
    return pictureFolder + u'/' + call + QStringLiteral(".jpg");
}

}  // namespace torvane
