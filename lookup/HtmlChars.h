#pragma once
// Character classes of HTML's tokenizer, shared by the nesting limit and the renderer.

namespace torvane {

/// HTML's white space: blank, tab, line feed, carriage return, form feed.
inline bool isHtmlSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

/// ASCII lower case; other bytes as they are.
inline char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

}  // namespace torvane
