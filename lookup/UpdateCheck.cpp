#include "lookup/UpdateCheck.h"

#include "core/TextUtil.h"

#include <QDesktopServices>

namespace torvane {

namespace {

constexpr int kUpdateMessageItem = 71;  // "***" stands for the new version
constexpr int kVersionPhraseItem = 44;  // stands before "Torvane " and the version

}  // namespace

UpdateCheck::UpdateCheck(ProgramValues &values, const HostTable &hosts, AskSeam ask,
                         OpenSeam open, int major, int minor)
    : m_values(values), m_hosts(hosts), m_ask(std::move(ask)), m_open(std::move(open)),
      m_major(major), m_minor(minor)
{
    if (!m_open)
        m_open = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

QString UpdateCheck::publishedVersion(const QString &text)
{
    static const QString marker = QStringLiteral("Torvane ver");
    const qsizetype p = text.indexOf(marker);
    if (p < 0)
        return QString();
    return text.mid(p + marker.size() + 1, 4);
}

bool UpdateCheck::isNewer(const QString &published, int major, int minor)
{
    const QString own = QString::number(major) + u'.' + QString::number(minor);
    return leadingNumber(published) > leadingNumber(own);
}

void UpdateCheck::UpdateFound(const QString &text)
{
    if (m_announced)
        return;
    const QString maker = m_hosts.host(QStringLiteral("maker"));
    if (maker.isEmpty())
        return;
    if (!text.contains(u"Torvane ver"))
        return;
    const QString published = publishedVersion(text);
    if (!isNewer(published, m_major, m_minor))
        return;
    m_announced = true;

    // The message text keeps the version for the rest of the run.
    QStringList &texts = m_values.LanguageText;
    if (texts.size() >= kUpdateMessageItem)
        texts[kUpdateMessageItem - 1].replace(QStringLiteral("***"), published);
    const QString message = texts.value(kUpdateMessageItem - 1);
    const QString phrase = texts.value(kVersionPhraseItem - 1);

    UpdateMessage box;
    box.prompt = message + QStringLiteral("\r\n\r\n") + phrase + QStringLiteral("Torvane ")
                 + published;
    if (!m_ask)
        return;
    const QUrl download(maker + QString::fromUtf16(kDownloadPagePath));
    m_ask(box, [open = m_open, download](int answer) {
        if (answer == kAnswerYes)
            open(download);
    });
}

}  // namespace torvane
