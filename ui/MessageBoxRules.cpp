#include "ui/MessageBoxRules.h"

#include "core/TextUtil.h"

#include <algorithm>

namespace torvane {

MsgIcon uniMsgBoxIcon(int32_t buttons)
{
    switch (buttons - (buttons & 15)) {
    case 16: return MsgIcon::Critical;
    case 32: return MsgIcon::Question;
    case 48: return MsgIcon::Exclamation;
    case 64: return MsgIcon::Information;
    default: return MsgIcon::None;
    }
}

UniButtons uniMsgBoxButtons(int32_t buttons)
{
    UniButtons shown;
    switch (buttons & 15) {
    case 0:
        shown.cmd1 = true;
        break;
    case 1:
    case 4:
    case 5:
        shown.cmd1 = shown.cmd2 = true;
        break;
    case 2:
    case 3:
        shown.cmd1 = shown.cmd2 = shown.cmd3 = true;
        break;
    default:
        break;
    }
    return shown;
}

QString promptLines(const QString &prompt)
{
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int promptLineCount(const QString &prompt)
{
    return int(promptLines(prompt).count(QLatin1Char('\n'))) + 1;
}

QPoint uniMsgBoxPosition(int32_t leftTwips, int32_t topTwips, QSize box, QRect owner,
                         QRect screen, int twipsPerPixel)
{
    if (leftTwips != 0 && topTwips != 0 && twipsPerPixel > 0) {
        return QPoint(int(roundHalfEven(double(leftTwips) / twipsPerPixel)),
                      int(roundHalfEven(double(topTwips) / twipsPerPixel)));
    }
    const QRect around = owner.isValid() ? owner : screen;
    int x = around.left() + (around.width() - box.width()) / 2;
    int y = around.top() + (around.height() - box.height()) / 2;
    if (screen.isValid()) {
        // Right and bottom first, so that a box larger than the screen shows its top left.
        x = std::max(std::min(x, screen.right() + 1 - box.width()), screen.left());
        y = std::max(std::min(y, screen.bottom() + 1 - box.height()), screen.top());
    }
    return QPoint(x, y);
}

QPoint msgBoxAtPosition(int32_t x, int32_t y, QSize box, QSize screen)
{
    const int32_t w = box.width();
    const int32_t h = box.height();
    if (x > screen.width() - w - 1)
        x = screen.width() - w - 1;
    x -= w / 2;
    if (y > screen.height() - h - 1)
        y = screen.height() - h - 1;
    if (x < 1)
        x = 1;
    if (y < 1)
        y = 1;
    return QPoint(x, y);
}

QVector<StandardButton> standardButtons(int32_t flags)
{
    const StandardButton ok{kResultOk, QStringLiteral("OK")};
    const StandardButton cancel{kResultCancel, QStringLiteral("Cancel")};
    const StandardButton abort{kResultAbort, QStringLiteral("Abort")};
    const StandardButton retry{kResultRetry, QStringLiteral("Retry")};
    const StandardButton ignore{kResultIgnore, QStringLiteral("Ignore")};
    const StandardButton yes{kResultYes, QStringLiteral("Yes")};
    const StandardButton no{kResultNo, QStringLiteral("No")};
    switch (flags & 15) {
    case 1: return {ok, cancel};
    case 2: return {abort, retry, ignore};
    case 3: return {yes, no, cancel};
    case 4: return {yes, no};
    case 5: return {retry, cancel};
    case 6:
        return {cancel, {kResultTryAgain, QStringLiteral("Try Again")},
                {kResultContinue, QStringLiteral("Continue")}};
    default: return {ok};
    }
}

int standardDefaultButton(int32_t flags)
{
    const int wanted = (flags & 0xF00) >> 8;
    const int count = int(standardButtons(flags).size());
    return wanted < count ? wanted : 0;
}

int16_t standardCloseResult(int32_t flags)
{
    const QVector<StandardButton> set = standardButtons(flags);
    for (const StandardButton &button : set) {
        if (button.result == kResultCancel)
            return kResultCancel;
    }
    return set.size() == 1 ? set.front().result : int16_t(kResultNone);
}

}  // namespace torvane
