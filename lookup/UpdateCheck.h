#pragma once
// The update check: finds the version the maker's home page announces, compares it with the
// program's own, and offers to open the download page. The message box and the browser are
// reached through seams that the main window connects to the real ones.

#include "core/HostTable.h"
#include "core/ProgramValues.h"
#include "core/Version.h"

#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>

namespace torvane {

/// Path of the maker's download page.
inline constexpr char16_t kDownloadPagePath[] = u"/_mgxroot/page_10729.html";

/// What the update message box shows.
struct UpdateMessage {
    QString prompt;
    QString title = QStringLiteral("Torvane");
    int32_t buttons = 68;  ///< information icon, two-button set
    QString button1Caption = QStringLiteral("No");   ///< result 7
    QString button2Caption = QStringLiteral("Yes");  ///< result 6
};

/// Result of the message box for its second button ("Yes").
inline constexpr int kAnswerYes = 6;

class UpdateCheck {
public:
    /// Shows the message over the main window without waiting; answered gets the button's
    /// result once the operator chose.
    using AskSeam = std::function<void(const UpdateMessage &, std::function<void(int)> answered)>;
    /// Opens an address with the system's default handler.
    using OpenSeam = std::function<void(const QUrl &)>;

    /// The default open seam goes through QDesktopServices.
    UpdateCheck(ProgramValues &values, const HostTable &hosts, AskSeam ask,
                OpenSeam open = OpenSeam(), int major = kVersionMajor, int minor = kVersionMinor);

    /// Handles LookupControl's UpdateFound(text). Shows the message at most once per run; with no
    /// maker host nothing is shown.
    void UpdateFound(const QString &text);

    /// Whether the message has been shown in this run.
    bool announced() const { return m_announced; }

    /// The four characters after "Torvane ver" and one blank (fewer at the end of the text);
    /// empty when the marker is absent.
    static QString publishedVersion(const QString &text);
    /// Numeric comparison of published with major.minor read as a decimal number, so 4.2 is
    /// newer than 4.12 and 4.9 newer than 4.10.
    static bool isNewer(const QString &published, int major, int minor);

private:
    ProgramValues &m_values;
    HostTable m_hosts;
    AskSeam m_ask;
    OpenSeam m_open;
    int m_major;
    int m_minor;
    bool m_announced = false;
};

}  // namespace torvane
