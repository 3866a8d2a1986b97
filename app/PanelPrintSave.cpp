// The result panel's output: the address copied to the clipboard or printed on a label, the
// station picture copied to the clipboard or saved as a bitmap file.

#include "app/MainMenus.h"

#include "app/MainWindow.h"
#include "core/DataFolder.h"
#include "ui/MessageBox.h"
#include "ui/UnicodeClipboard.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include <algorithm>

namespace torvane {

namespace {

// The printed address label: left edge and the tops of the four lines, printer pixels.
constexpr int kLabelLeft = 160;
constexpr int kLabelTops[4] = {100, 170, 240, 310};

}  // namespace

// ---- The address -----------------------------------------------------------------------

QString printAddressLabel(const QStringList &lines)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return QStringLiteral("No printer is available.");
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Torvane address label"));
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("The address label could not be printed on %1.").arg(info.printerName());
    // Arial Unicode MS covers every script of the address; fontconfig substitutes where missing.
    QFont font(QStringLiteral("Arial Unicode MS"));
    font.setPointSize(12);
    painter.setFont(font);
    // The fixed line tops assume a printer of about 300 dpi; finer printers must not overlap
    // the lines.
    const int lineHeight = QFontMetrics(font, &printer).height();
    int top = kLabelTops[0];
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        if (i > 0)
            top = std::max(kLabelTops[i], top + lineHeight);
        painter.drawText(QRect(kLabelLeft, top, std::max(1, printer.width() - kLabelLeft), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines.at(i));
    }
    if (!painter.end())
        return QStringLiteral("The address label could not be printed on %1.").arg(info.printerName());
    return QString();
}

void MainMenus::copyAddress()
{
    try {
        CopyUnicodeText(m_savedAddressText);
    } catch (const ClipboardError &) {
        // The clipboard is busy with another program; the operator can copy again.
    }
    m_form.ResetLabelHighlight();
}

void MainMenus::printShownAddress()
{
    if (m_form.lblName->text().isEmpty())
        return;
    const QStringList lines = {m_form.lblName->text(), m_form.lblAdd1->text(),
                               m_form.lblAdd2->text(), m_form.lblCtry->text()};
    const QString problem = printAddress(lines);
    if (!problem.isEmpty())
        ShowUniMsgBox(&m_form, problem, 48, QStringLiteral("Torvane"), QStringLiteral("Ok"));
}

// ---- The picture -----------------------------------------------------------------------

QString MainMenus::hamBitmapPath() const
{
    return m_form.values().DataFolder + QStringLiteral("/Ham.bmp");
}

QString MainMenus::cachedPicturePath() const
{
    return pictureCacheFolder(m_form.values().DataFolder) + u'/' + m_form.values().CurrentCall
           + QStringLiteral(".jpg");
}

bool MainMenus::pictureShown() const
{
    return !m_form.Image1->pixmap().isNull();
}

void MainMenus::copyPicture()
{
    const QImage picture(hamBitmapPath());
    if (picture.isNull())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture);
}

void MainMenus::savePicture()
{
    const QString target =
        askSaveFileName(&m_form, QStringLiteral("Ham.bmp"), QStringLiteral("bmp files (*.bmp)"));
    const QFileInfo info(target);
    if (target.isEmpty() || !info.isAbsolute())
        return;
    const QString source = hamBitmapPath();
    if (info.exists() && info.canonicalFilePath() == QFileInfo(source).canonicalFilePath())
        return;
    // Written whole to a temporary file and renamed, so an existing file the operator chose to
    // replace is replaced, and kept when the copy fails.
    QFile in(source);
    QSaveFile out(target);
    bool saved = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly);
    if (saved) {
        const QByteArray bytes = in.readAll();
        saved = in.error() == QFile::NoError && out.write(bytes) == bytes.size() && out.commit();
    }
    if (!saved)
        ShowUniMsgBox(&m_form, QStringLiteral("The picture could not be saved as\r\n") + target, 48,
                      QStringLiteral("Torvane"), QStringLiteral("Ok"));
}

}  // namespace torvane
