#include "windows/HelpWindow.h"

#include "core/TextUtil.h"

#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace torvane {

HelpWindow::HelpWindow(const QString &dataFolder, const QFont &font, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Torvane - Help"));
    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setReadOnly(true);
    txtHelp->setFont(font);
    txtHelp->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtHelp);

    QFile file(dataFolder + QStringLiteral("/Help.txt"));
    if (file.open(QIODevice::ReadOnly))
        txtHelp->setPlainText(fromCp1252(file.read(1 << 20)).remove(u'\r'));
    else
        txtHelp->setPlainText(file.fileName() + QStringLiteral(": ") + file.errorString());

    // Wide enough for the file's 78-character lines, and about 36 of them.
    const QFontMetrics metrics(font);
    resize(metrics.horizontalAdvance(QString(80, u'M')) * 3 / 4 + 40, metrics.lineSpacing() * 36);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    // The text passes Escape on: it closes the window.
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

}  // namespace torvane
