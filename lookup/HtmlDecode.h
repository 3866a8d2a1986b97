#pragma once
// HTML to plain text as the page scrapers read it, and page bytes to text.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace torvane {

/// The text of an HTML page as a browser's innerText renders its body.
/// Lines end in CR LF: block boundaries and <br> break lines, a paragraph stands apart by an
/// empty line, the cells of one table row stay on one line separated by a tab, character
/// entities are resolved, and white space collapses as a browser collapses it. A no-break
/// space becomes an ordinary blank that does not collapse, as in the text a browser copies.
/// The content of head, title, script, style, noscript, template, iframe, select, textarea
/// and svg is skipped, and so is an element with the hidden attribute or display:none.
QString HTMLDecode(const QString &markup);

/// The same from markup in UTF-8.
QString HTMLDecodeUtf8(QByteArrayView utf8Markup);

/// The charset label that markup declares in a <meta charset> or http-equiv content value
/// near its start (the first 4 KB), lower case; empty when there is none.
QByteArray declaredCharset(QByteArrayView markup);

/// The charset parameter of a Content-Type header value, lower case; empty when absent.
QByteArray contentTypeCharset(QByteArrayView contentType);

/// Page bytes as text. The encoding is taken from a byte-order mark, else from the charset of
/// the Content-Type header value (may be empty), else from the page's own <meta> declaration,
/// else UTF-8 when the bytes are valid UTF-8, else Windows-1252. Labels of Latin-1 and ASCII
/// mean Windows-1252, as browsers read them; an unknown label is passed over.
QString decodePageBytes(const QByteArray &bytes, QByteArrayView contentType = {});

}  // namespace torvane
