// The commands of the main window's menus: the source of this run and the stored default
// source, the language, the maps, the Setup toggles, help and about.

#include "app/MainMenus.h"

#include "app/MainWindow.h"
#include "windows/HelpWindow.h"
#include "core/TextUtil.h"
#include "ui/DropDownMenu.h"
#include "ui/LanguageFile.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QUrl>
#include <QWindow>

namespace torvane {

int16_t toggledSetting(int16_t value)
{
    return value == 0 ? 1 : 0;
}

QStringList rewriteHistoryZeros(QStringList history, int plainZero)
{
    for (QString &call : history) {
        if (plainZero != 0)
            call.replace(kSlashedZero, u'0');
        else
            call.replace(u'0', kSlashedZero);
    }
    return history;
}

// ---- Sources ---------------------------------------------------------------------------

void MainMenus::moveSourceCheck(int from, int to)
{
    for (DropDownMenu *menu : {m_form.ucMnuSource, m_form.ucMnuDefaultSource}) {
        menu->Check(from, false);
        menu->Check(to, true);
    }
}

void MainMenus::sourceClick(int index)
{
    closeMenus();
    ProgramValues &v = m_form.values();
    if (index == v.CurrentSource || index < 0 || index > 4)
        return;
    moveSourceCheck(v.CurrentSource, index);
    v.CurrentSource = int16_t(index);
    m_form.lblStatus->setText(m_form.item(33));
    m_form.setSourceFromTable();
    m_form.applySource();
    m_form.ConnectToSource();
}

void MainMenus::defaultSourceClick(int index, const QString &caption)
{
    closeMenus();
    if (index < 0 || index > 4)
        return;
    ProgramValues &v = m_form.values();
    v.DefaultSource = int16_t(index);
    m_form.lblStatus->setText(m_form.item(33));
    m_form.lblStatus->repaint();
    moveSourceCheck(v.CurrentSource, index);
    v.CurrentSource = int16_t(index);
    m_form.setSourceFromTable();
    m_form.applySource();
    // The header names the source as the menu entry does.
    m_form.lblSource->setText(m_form.item(3) + caption);
    m_form.placeHeaders();
    m_form.ConnectToSource();
}

// ---- Language --------------------------------------------------------------------------

void MainMenus::languageClick(int index)
{
    closeMenus();
    if (index < 0 || index >= kLanguageCount)
        return;
    ProgramValues &v = m_form.values();
    m_form.ucMnuLanguage->Check(v.LanguageIndex, false);
    v.LanguageIndex = int16_t(index);
    m_form.loadLanguage();
    m_form.refreshStatusText();
    m_form.placeHeaders();
}

// ---- Maps ------------------------------------------------------------------------------

void MainMenus::showSatelliteView(bool addressForm)
{
    const ProgramValues &v = m_form.values();
    if (v.StationLatitude != 0 || v.StationLongitude != 0)
        m_form.openSatelliteView(addressForm);
}

// ---- Setup -----------------------------------------------------------------------------

void MainMenus::toggleAlwaysOnTop()
{
    ProgramValues &v = m_form.values();
    v.AlwaysOnTop = toggledSetting(v.AlwaysOnTop);
    m_form.ucMnuSetup->Check(3, v.AlwaysOnTop != 0);
    setTopmost(v.AlwaysOnTop == 1);
}

void MainMenus::setTopmost(bool on)
{
    const Qt::WindowFlags flags = m_form.windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    const Qt::WindowFlags wanted = on ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (QWindow *window = m_form.windowHandle()) {
        // Tell the window system only: the window is neither re-created, moved nor resized.
        m_form.overrideWindowFlags(wanted);
        window->setFlags(wanted);
    } else {
        m_form.setWindowFlags(wanted);
    }
}

void MainMenus::togglePlainZero()
{
    ProgramValues &v = m_form.values();
    v.PlainZero = toggledSetting(v.PlainZero);
    m_form.ucMnuSetup->Check(4, v.PlainZero != 0);
    QComboBox *box = m_form.cboCall;
    QStringList history;
    for (int i = 0; i < box->count(); ++i)
        history << box->itemText(i);
    history = rewriteHistoryZeros(history, v.PlainZero);
    for (int i = 0; i < box->count(); ++i)
        box->setItemText(i, history.at(i));
}

void MainMenus::openHelp()
{
    // In a window of the program's own, in the menu font: no text editor needed.
    auto *help = new HelpWindow(m_form.values().DataFolder, m_form.lblSource->font(), &m_form);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
    help->activateWindow();
}

void MainMenus::showAbout()
{
    const ProgramValues &v = m_form.values();
    ShowUniMsgBox(&m_form, v.VersionText + QStringLiteral("\r\n") + v.ReleaseText, 0,
                  QStringLiteral("Torvane"), QStringLiteral("Ok"));
}

}  // namespace torvane
