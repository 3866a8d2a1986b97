#pragma once
// The rules of the database editor that need no window: the list of calls as a model, which
// entry the call field selects, which buttons are enabled and what they say, the call that a
// web lookup asks for, where the station picture sits and the note on derived coordinates.

#include <QAbstractListModel>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace torvane {

/// The calls of the database in file order, as the editor's list shows them. The list is read
/// in one pass; the view asks only for the rows it shows.
class CallListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CallListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    /// Replaces every entry (one model reset).
    void setCalls(QStringList calls);
    const QStringList &calls() const { return m_calls; }
    /// Row of the first entry equal to text, case-sensitive as the database's keys are; -1 when
    /// none.
    int findExact(const QString &text) const;

private:
    QStringList m_calls;
};

/// Which of the editor's buttons may be pressed.
struct EditorButtons {
    bool lookup = false;  ///< cmdLookup: a call is typed
    bool save = false;    ///< cmdAddNewSite: a call and a name are typed
    bool remove = false;  ///< cmdDeleteSite: the call is an entry of the list
};

/// The buttons for the call and name fields' texts and whether a list entry is selected.
EditorButtons editorButtons(const QString &call, const QString &name, bool entrySelected);

/// A button caption from its language text: "???" becomes the call ("callsign" while none is
/// typed), "***" the source's name.
QString editorCaption(const QString &itemText, const QString &call, const QString &sourceName);

/// The call that a web lookup asks for, from the call field's text: "de" or "DE" standing as a
/// word of its own removed (pasted text such as "de W1AW"), blanks trimmed, slashed zeros made
/// 0; then cut before the first character outside "0" .. "z" when that is the fourth character
/// or later (K1ABC/P gives K1ABC, W1/K1ABC stays whole); upper case. Empty when nothing is left.
QString editorLookupCall(const QString &text);

/// The list's top row after an entry was added at row: the entry becomes the 15th visible line
/// when it is row 15 or later; -1 when the list is not scrolled.
int addedEntryTopRow(int row);

/// The station picture of width x height pixels in a frame: as high as the frame when
/// height / width is 0.75 or more, else as wide, keeping its proportions, centred on the
/// frame's centre. (From 0.75 to the frame's own ratio it is a little wider than the frame.)
/// Empty when the picture has no size.
QRectF editorPictureRect(int width, int height, const QRectF &frame);

/// Label4's note while a coordinate text ends in "*" (a position from the address or the zip
/// code, not from the source's page); empty otherwise. Lines end in "\n".
QString derivedCoordinateNote(const QString &coordinateText, const QString &sourceName);

/// The cached picture of a call: <picture folder>/<call>.jpg. Empty when the call cannot name a
/// file in that folder (empty, "." or "..", or holding a slash or backslash).
QString stationPictureFile(const QString &pictureFolder, const QString &call);

}  // namespace torvane
