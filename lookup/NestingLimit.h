#pragma once
// Markup as gumbo should see it: at most a bounded number of elements open at once, so that
// markup nested without end cannot cost parse time in the square of its depth.

#include <string>
#include <string_view>

namespace torvane {

/// The markup with every start tag past the nesting limit dropped, and its end tag, while its
/// text stays, and an empty comment before every end tag of a form, so that gumbo keeps the text
/// before it inside the form. The input itself when nothing had to change; otherwise the changed
/// markup, kept in storage.
std::string_view limitNesting(std::string_view markup, std::string &storage);

}  // namespace torvane
