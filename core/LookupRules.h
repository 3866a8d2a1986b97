#pragma once
// The rules of the lookup workflow that need no window: what typing does to a call sign, how a
// call is normalised, the call history, the picture address and the status line.

#include <QRectF>
#include <QString>
#include <QStringList>

namespace torvane {

/// The fields of the last web result, as the page readers gave them.
struct StationResult {
    QString Name, Add1, Add2, Ctry, Class, DateOfBirth, Grid, WebAddress;
    QString Zip;  ///< five-character zip code used for the position fallback
};

/// A character typed into the call box: a-z become A-Z; with plainZero 0 a digit 0 becomes the
/// slashed zero.
QChar typedCallChar(QChar typed, int plainZero);

/// A call sign as it is looked up: slashed zeros to 0, upper case, a leading "DE " dropped, and
/// cut before the first character below "0" or above "z" (K1ABC/P -> K1ABC).
QString normaliseCall(const QString &text);

/// The text that F8 takes from the clipboard into the call box: upper case, zeros slashed when
/// plainZero is 0, a leading "DE " dropped, cut before the first character outside "0".."z"
/// other than the slashed zero.
QString pastedCall(const QString &clipboard, int plainZero);

/// N0CALL, NOCALL, BITEME and B1TEME, in any case, are never looked up.
bool isSpecialCall(const QString &call);

/// History after a lookup of call: a new call goes to the top; a call already listed keeps its
/// place; then one entry beyond the eighth is dropped.
QStringList updatedHistory(QStringList history, const QString &call);

/// Address of a station picture on the picture host: host/c/call/call.jpg in lower case, where c
/// is the call's last character; the call percent-encoded.
QString pictureAddress(const QString &pictureHost, const QString &call);
/// "jpeg", "png" or "gif" from a picture's first bytes; empty for anything else, which is not
/// decoded at all.
QByteArray pictureFormat(const QByteArray &head);

/// The status line after the site or a page answered, and the lookup state it stands for.
struct StatusLine {
    QString text;
    int state = 0;  ///< 1 logged in, 2 not logged in, 3 QRZCQ, 4 Callook
};
/// The status line for a lookup state (1 to 4); empty for any other state.
/// items: language items 66, 67, 68 and 70 (logged in, not logged in, Callook, QRZCQ).
QString statusText(int state, const QString &sourceName, const QString &loggedInText,
                   const QString &notLoggedInText, const QString &callookText,
                   const QString &qrzcqText);
StatusLine statusLine(bool loggedIn, int currentSource, const QString &sourceName,
                      const QString &loggedInText, const QString &notLoggedInText,
                      const QString &callookText, const QString &qrzcqText);

/// The result panel's picture box, in the panel's 332 x 189 units.
QRectF defaultPictureBox();
/// A picture of width x height pixels fitted into the current box, keeping its proportions,
/// centred on the box's fixed centre. Empty when the picture has no size.
QRectF fittedPictureBox(int width, int height, const QRectF &current);

}  // namespace torvane
