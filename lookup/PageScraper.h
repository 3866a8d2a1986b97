#pragma once
// Field readers over the plain text of a call-book page (eHam, QRZ, QRZCQ, Callook, HamCall).

#include "core/Sources.h"

#include <QString>
#include <QStringView>
#include <cstdint>

namespace torvane {

/// Reads the station fields out of a page's text. Every field has one rule per source: find a
/// label, then take the text between an offset after it and the next end marker. Positions are
/// 1-based character positions. The readers share `Cursor`, so they are read in this order:
/// cName, Add1, Add2, Ctry, then Latitude, Longitude, Class, DateOfBirth, Grid, WebAddress.
/// A missing label or end marker gives empty text or 0; no reader throws or reads out of range.
class PageScraper {
public:
    /// What the name reader found besides the name.
    enum class NameEvent { None, CallNotFound, LoginRequired };

    QString PageText;     ///< the page as plain text, lines ending in CR LF
    int32_t Cursor = 0;   ///< 1-based position shared by the readers; 0 when lost
    int16_t Database = 0; ///< source index, 1 to 5; any other value reads nothing

    /// The station's name for call (as the owner typed it). Leaves Cursor at the end of the
    /// name. An empty name always comes with CallNotFound or LoginRequired in event.
    QString cName(QStringView call, NameEvent *event = nullptr);

    /// The next three lines after Cursor: two address lines and the country.
    QString Add1();
    QString Add2();
    QString Ctry();

    /// Degrees, north and east positive; 0 when not on the page.
    double Latitude();
    double Longitude();

    QString Class();
    /// Date of birth (QRZ) or year of birth (HamCall).
    QString DateOfBirth();
    /// Maidenhead locator (QRZ, Callook).
    QString Grid();
    /// Home page (QRZ).
    QString WebAddress();

private:
    qsizetype find(QStringView what, qsizetype from = 1) const;
    qsizetype findBack(QStringView what, qsizetype atOrBefore) const;
    QString between(qsizetype from, qsizetype end) const;
    QString nameOf(QStringView call, NameEvent *event);
    QString qrzCqName();
    QString nextLine();
    QString labelToLineEnd(QStringView label, qsizetype offset, qsizetype searchFrom = 1);
    double coordinate(bool latitude);
};

}  // namespace torvane
