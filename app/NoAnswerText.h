#pragma once
// What the main window says when a call-book site gave no answer at all, as opposed to a page
// without the station: which site, why, and what to check. In the seven languages of the
// language files (0 English ... 6 Japanese), kept here as the files' format has no room for
// new items.

#include <QString>

namespace torvane {

/// e.g. "eHam.net did not answer (time-out)" or "QRZ.com did not answer (no connection)".
QString noAnswerText(const QString &site, bool timedOut, int languageIndex);

/// "Check the network or Hosts.cfg".
QString checkNetworkText(int languageIndex);

}  // namespace torvane
