#pragma once
// The last 30 images of a receiving site: their addresses and files, the keys of their
// downloads, the text trailer the receiving program appends to each picture, and the rules of
// the viewer that shows them.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace torvane {

inline constexpr int kLastImageCount = 30;

/// The address of image n (1 to 30): the site's address ends in the digit 1, the newest image,
/// and that last character is replaced by n.
QString lastImageAddress(const QString &siteUrl, int n);

/// The folder the images are kept in, below the data folder.
QString lastImagesFolder(const QString &dataFolder);
/// The file of slot k (0 to 29): the slot number, no extension.
QString lastImageFile(const QString &dataFolder, int slot);

/// The download key of a slot ("0-" to "29-") and back: the number before the first "-" (the
/// whole key without one); -1 for a key that is no number or is 100 or more.
QString slotKey(int slot);
int slotOfKey(const QString &key);

/// A download as the receiving program publishes it: the picture, then "***" and a text.
struct ReceivedImage {
    QByteArray picture;   ///< the bytes before the marker, or all of them without one
    bool marked = false;  ///< a marker was found in the last 2,000 bytes
    QString trailer;      ///< the bytes after the marker, as 8-bit text
};

/// Looks for the last "***" that starts no more than 2,000 bytes before the end.
ReceivedImage splitReceivedImage(const QByteArray &download);

/// The sender's call read from a trailer ("de K1ABC JT65 x*12:34" gives "K1ABC"); empty
/// when the trailer has no ":".
QString senderFromTrailer(const QString &trailer);

/// The keys of the downloads under way, each between NUL characters.
class PendingKeys {
public:
    /// Appends key and returns true when it was not pending.
    bool AddPendingKey(const QString &key);
    void RemovePendingKey(const QString &key);
    bool isPending(const QString &key) const;
    bool isEmpty() const { return m_keys.size() <= 1; }

private:
    QString m_keys = QString(QChar(0));
};

/// The viewer's caption: "Images 1-30 on K1ABC's site  --- Use Scroll Wheel ---".
QString lastImagesCaption(const QString &call);

/// A caption led by blanks so that it stands about in the middle of a title bar widthTwips
/// wide (an estimate from the text's length); without blanks when it does not fit.
QString centeredCaption(const QString &caption, int widthTwips);

/// The text of the viewer's info panel, lines joined with CR LF.
QString lastImagesInfoText(const QString &call, int siteCount);

/// The strip of thumbnails: its top in the viewer's units after one wheel notch (away from the
/// operator when away is true), kept between the first three rows and the last three.
double scrolledStripTop(double top, bool away);

/// The full-size window's inner size for a picture (pixels): a picture smaller than 700 x 500
/// is enlarged to 500 high, or to 700 wide when that is narrower; a larger one keeps its size,
/// kept within the screen. Empty for a picture without size.
QSize fullSizeWindowSize(const QSize &picture, const QSize &screen);

/// Where the picture's left (or top) edge stands while the pointer is at pointer of a screen
/// span long: the overhang of picture over window is followed in proportion, from 0 at the
/// start of the span down to window - picture at its end.
int pannedEdge(int pointer, int span, int picture, int window);

}  // namespace torvane
