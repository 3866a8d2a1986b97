#include "lookup/PageScraper.h"

#include "core/TextUtil.h"

namespace torvane {

namespace {
constexpr QStringView kLineEnd = u"\r\n";

// A character that sorts after "@": letters and everything above them.
bool sortsAfterAt(QChar c)
{
    return c.unicode() > 0x40;
}
}  // namespace

qsizetype PageScraper::find(QStringView what, qsizetype from) const
{
    if (from < 1 || from > PageText.size())
        return 0;
    return PageText.indexOf(what, from - 1) + 1;  // -1 (absent) becomes 0
}

qsizetype PageScraper::findBack(QStringView what, qsizetype atOrBefore) const
{
    if (atOrBefore < 1)
        return 0;
    return QStringView(PageText).lastIndexOf(what, atOrBefore - 1) + 1;
}

QString PageScraper::between(qsizetype from, qsizetype end) const
{
    // A missing end (0) or one before the start reads nothing.
    if (from < 1 || end <= from || from > PageText.size())
        return {};
    end = qMin(end, PageText.size() + 1);
    return PageText.mid(from - 1, end - from);
}

QString PageScraper::cName(QStringView call, NameEvent *event)
{
    NameEvent found = NameEvent::None;
    QString name = nameOf(call, &found);
    // The owner stops on an empty name and waits for an event, so an empty name always
    // reports one.
    if (name.isEmpty() && found == NameEvent::None)
        found = NameEvent::CallNotFound;
    if (event)
        *event = found;
    return name;
}

QString PageScraper::nameOf(QStringView call, NameEvent *event)
{
    if (call.isEmpty()) {
        *event = NameEvent::CallNotFound;
        return {};
    }
    switch (Database) {
    case kSourceEHam: {
        if (find(u"Country") == 0)
            return {};
        const qsizetype s = find(u"Search Results");
        if (s == 0)
            return {};
        const qsizetype c = find(call, s + 3);
        if (c == 0)
            return {};  // the call is not among the results
        const qsizetype l1 = find(kLineEnd, c + 3);
        if (l1 == 0)
            return {};
        Cursor = int32_t(find(kLineEnd, l1 + 3));
        return between(l1 + 2, Cursor).trimmed();
    }
    case kSourceQrz: {
        if (find(u"produced no results") != 0)
            return {};
        if (find(u"Login is required") != 0) {
            *event = NameEvent::LoginRequired;
            return {};
        }
        const qsizetype c = find(call);
        if (c == 0)
            return {};
        Cursor = int32_t(find(u",", c));
        if (Cursor == 0)
            return {};
        // The start of the line that holds the comma; the first line starts at 1.
        const qsizetype b = findBack(kLineEnd, Cursor);
        return between(b == 0 ? 1 : b + 2, Cursor);
    }
    case kSourceQrzCq:
        return qrzCqName();
    case kSourceCallook: {
        const qsizetype s = find(u"Show Map");
        if (s == 0)
            return {};
        Cursor = int32_t(find(kLineEnd, s + 3));
        return between(s + 9, Cursor).trimmed();
    }
    case kSourceHamCall: {
        const qsizetype s = find(u"callsign database!");
        if (s == 0)
            return {};
        const qsizetype l = find(kLineEnd, s + 3);
        if (l == 0)
            return {};
        Cursor = int32_t(find(u",", l + 3));
        return between(l + 4, Cursor).trimmed();
    }
    default:
        return {};
    }
}

// QRZCQ: the name follows its domain line (or a "Buddy" link), after any blanks, digits and
// punctuation.
QString PageScraper::qrzCqName()
{
    if (find(u"Error") != 0)
        return {};
    const qsizetype d = find(kQrzCqDomain);
    if (d == 0)
        return {};
    // The name starts at the first character after "@" in a short range after the
    // marker; when none qualifies, at the position after the range.
    qsizetype first = 0;
    qsizetype last = 0;
    qsizetype after = 0;  // distance from the name's start to the line-end search
    const qsizetype b = find(u"Buddy");
    if (b != 0) {
        first = b + 5;
        last = b + 20;
        after = 5;
    } else {
        const qsizetype l = find(kLineEnd, d);
        if (l == 0)
            return {};
        first = l + 2;
        last = l + 20;
        after = 2;
    }
    qsizetype i = first;
    while (i <= last && i <= PageText.size() && !sortsAfterAt(PageText.at(i - 1)))
        ++i;
    if (i > PageText.size())
        return {};
    Cursor = int32_t(find(kLineEnd, i + after));
    return between(i, Cursor);
}

QString PageScraper::nextLine()
{
    const qsizetype l = find(kLineEnd, Cursor);
    if (l == 0)
        return {};
    Cursor = int32_t(find(kLineEnd, l + 2));
    return between(l + 2, Cursor);
}

QString PageScraper::Add1()
{
    return nextLine();
}

QString PageScraper::Add2()
{
    QString line = nextLine();
    if (Database == kSourceHamCall) {
        // HamCall ends the line with three characters of its own.
        line.chop(qMin<qsizetype>(3, line.size()));
    }
    return line;
}

QString PageScraper::Ctry()
{
    if (Database == kSourceCallook)
        return QStringLiteral("U.S.A.");
    return nextLine();
}

double PageScraper::coordinate(bool latitude)
{
    QStringView label;
    qsizetype offset = 0;
    QStringView endMarker;
    qsizetype k = 0;
    switch (Database) {
    case kSourceEHam:
        label = latitude ? u"Latitude" : u"Longitude";
        offset = latitude ? 9 : 10;
        endMarker = kLineEnd;
        k = 3;
        break;
    case kSourceQrz:
        label = latitude ? u"Latitude" : u"Longitude";
        offset = latitude ? 8 : 9;
        endMarker = u" ";
        k = 2;
        break;
    case kSourceQrzCq:
        label = latitude ? u"Latitude" : u"Longitude";
        offset = latitude ? 9 : 10;
        endMarker = u" ";
        k = 2;
        break;
    case kSourceCallook:
        label = latitude ? u"Latitude:" : u"Longitude:";
        offset = latitude ? 9 : 10;
        endMarker = kLineEnd;
        k = 2;
        break;
    case kSourceHamCall:
        label = latitude ? u"Latitude" : u"Longitude";
        offset = latitude ? 9 : 10;
        endMarker = u",";
        k = 2;
        break;
    default:
        return 0;
    }
    const qsizetype s = find(label);
    if (s == 0)
        return 0;
    Cursor = int32_t(find(endMarker, s + k));
    const QString extract = between(s + offset, Cursor);
    double value = leadingNumber(extract);
    if (Database == kSourceHamCall) {
        // Hemisphere letters, possibly followed by blanks: "33.8 S".
        const QString letters = extract.trimmed();
        if (!letters.isEmpty() && letters.back() == (latitude ? u'S' : u'W'))
            value = -value;
    }
    return value;
}

double PageScraper::Latitude()
{
    return coordinate(true);
}

double PageScraper::Longitude()
{
    return coordinate(false);
}

QString PageScraper::labelToLineEnd(QStringView label, qsizetype offset, qsizetype searchFrom)
{
    const qsizetype s = find(label, searchFrom);
    if (s == 0)
        return {};
    Cursor = int32_t(find(kLineEnd, s + 2));
    return between(s + offset, Cursor);
}

QString PageScraper::Class()
{
    switch (Database) {
    case kSourceEHam:
        return labelToLineEnd(u"License Class", 14);
    case kSourceQrz: {
        const qsizetype r = find(u"QRZ Record");
        if (r == 0)
            return {};
        const qsizetype s = find(u"Class", r);
        if (s == 0)
            return {};
        Cursor = int32_t(find(u" ", s + 2));
        QString value = between(s + 5, Cursor);
        const qsizetype lineEnd = value.indexOf(kLineEnd);
        if (lineEnd >= 0)
            value.truncate(lineEnd);
        return value;
    }
    case kSourceQrzCq:
        return labelToLineEnd(u"Class", 6);
    case kSourceCallook:
        return labelToLineEnd(u"Class", 7);
    case kSourceHamCall:
        return labelToLineEnd(u"License Class", 15);
    default:
        return {};
    }
}

QString PageScraper::DateOfBirth()
{
    switch (Database) {
    case kSourceQrz:
        return labelToLineEnd(u"Born", 4);
    case kSourceHamCall: {
        const QString date = labelToLineEnd(u"Birth Date", 12);
        return date.right(4);  // the year
    }
    default:
        return {};
    }
}

QString PageScraper::Grid()
{
    switch (Database) {
    case kSourceQrz:
        return labelToLineEnd(u"Grid Square", 11);
    case kSourceCallook:
        return labelToLineEnd(u"Grid Square", 13);
    default:
        return {};
    }
}

QString PageScraper::WebAddress()
{
    if (Database == kSourceQrz)
        return labelToLineEnd(u"Web Page", 8);
    return {};
}

}  // namespace torvane
