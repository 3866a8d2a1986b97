#pragma once
// The texts of signing in to a call-book, in the seven languages of the language files
// (0 English ... 6 Japanese), kept here as the files' format has no room for new items.

#include <QString>

namespace torvane {

/// The Setup menu's entry: "Sign in to QRZ.com…".
QString signInMenuText(const QString &sourceName, int languageIndex);

/// The sign-in window's button that forgets the session.
QString signOutText(int languageIndex);

/// Added to a source's login request: where the operator signs in.
QString signInHintText(int languageIndex);

}  // namespace torvane
