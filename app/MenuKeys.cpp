// The main window's menus from the keyboard: Alt + the first letter of a header or F10 open
// them, Left and Right go from one header's menu to the next and back out of a sub-menu. Up,
// Down and Enter inside an open menu are the menu panel's own.

#include "app/MainMenus.h"

#include "app/MainWindow.h"
#include "ui/DropDownMenu.h"

#include <QKeyEvent>
#include <QLabel>

namespace torvane {

QList<QLabel *> MainMenus::headers() const
{
    return {m_form.lblSource, m_form.lblMaps, m_form.lblSetup};
}

bool MainMenus::headerKey(const QKeyEvent *key)
{
    const QList<QLabel *> all = headers();
    qsizetype open = -1;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (menuOf(all[i])->isVisible())
            open = i;
    }
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        if (open >= 0)
            closeMenus();
        else
            stepAside(nullptr, 1);
        return true;
    }
    if (key->modifiers() != Qt::AltModifier || key->key() < Qt::Key_A || key->key() > Qt::Key_Z)
        return false;
    // Source and Setup may share their letter: each press goes on to the next of them.
    for (qsizetype n = 1; n <= all.size(); ++n) {
        QLabel *header = all[(open + n + all.size()) % all.size()];
        const QString caption = header->text().trimmed();
        if (!caption.isEmpty() && caption.at(0).toUpper() == QChar(key->key())) {
            OpenHeaderMenu(header, menuOf(header));
            drawFrame(header);
            return true;
        }
    }
    return false;
}

void MainMenus::stepAside(DropDownMenu *from, int direction)
{
    if (from == m_form.ucMnuDefaultSource || from == m_form.ucMnuLanguage) {
        if (direction < 0)
            from->hide();  // back to the Setup menu
        return;
    }
    const QList<QLabel *> all = headers();
    qsizetype at = -1;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (menuOf(all[i]) == from)
            at = i;
    }
    if (from && at < 0)
        return;  // the panel's own menus have no neighbours
    QLabel *next = all[(at + direction + all.size()) % all.size()];
    OpenHeaderMenu(next, menuOf(next));
    drawFrame(next);
}

}  // namespace torvane
