#pragma once
// 8-bit code pages of the language files: Windows-1252 (Western), Windows-1250 (Central
// European) and Windows-932 (Japanese Shift-JIS). Conversion goes through glibc iconv.

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace torvane {

enum class CodePage { Windows1252, Windows1250, Windows932 };

/// Bytes in the code page to text. A byte or sequence that the code page does not define
/// becomes U+FFFD and decoding goes on with the next byte, so no input is refused.
/// Windows-1252 keeps its own rule (see fromCp1252).
QString fromCodePage(const QByteArray &bytes, CodePage page);

/// Text to bytes in the code page; a character the code page lacks becomes "?".
QByteArray toCodePage(QStringView text, CodePage page);

/// True when every character of the text exists in the code page.
bool fitsCodePage(QStringView text, CodePage page);

}  // namespace torvane
