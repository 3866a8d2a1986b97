#pragma once
// HTML to plain text as the page scrapers read it.

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

}  // namespace torvane
