// The result panel's output: the address copied to the clipboard or printed on a label, the
// station picture copied to the clipboard or saved as a bitmap file.

#include "app/MainMenus.h"

#include "app/Logging.h"
#include "app/MainWindow.h"
#include "core/DataFolder.h"
#include "ui/MessageBox.h"
#include "ui/UnicodeClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

namespace torvane {

namespace {

// The printed address label: left edge and the tops of the four lines, printer pixels.
constexpr int kLabelLeft = 160;
constexpr int kLabelTops[4] = {100, 170, 240, 310};

constexpr int kBitmapFileHeaderSize = 14;

void appendLittleEndian32(QByteArray &bytes, quint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

/// The picture as a device-independent bitmap: a bitmap file without its file header.
QByteArray deviceIndependentBitmap(const QImage &picture)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP"))
        return QByteArray();
    return file.mid(kBitmapFileHeaderSize);
}

/// The picture of a device-independent bitmap: the file header is put back in front of it.
QImage pictureOfBitmap(const QByteArray &dib)
{
    if (dib.size() < 40)
        return QImage();
    const quint32 infoSize = qFromLittleEndian<quint32>(dib.constData());
    const quint16 bitCount = qFromLittleEndian<quint16>(dib.constData() + 14);
    const quint32 compression = qFromLittleEndian<quint32>(dib.constData() + 16);
    const quint32 coloursUsed = qFromLittleEndian<quint32>(dib.constData() + 32);
    const quint32 colours = coloursUsed != 0 ? coloursUsed : (bitCount <= 8 ? 1u << bitCount : 0u);
    // Behind the short header of a bit-field bitmap come its three colour masks.
    const quint32 masks = infoSize == 40 && compression == 3 ? 12 : 0;
    QByteArray file("BM");
    appendLittleEndian32(file, quint32(kBitmapFileHeaderSize + dib.size()));
    appendLittleEndian32(file, 0);
    appendLittleEndian32(file, kBitmapFileHeaderSize + infoSize + masks + colours * 4);
    return QImage::fromData(file + dib, "BMP");
}

class PanelClipboardBackend : public QtClipboardBackend {
public:
    bool setData(uint32_t format, const QByteArray &data) override
    {
        if (format != kFormatDib)
            return QtClipboardBackend::setData(format, data);
        const QImage picture = pictureOfBitmap(data);
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (picture.isNull() || !clipboard)
            return false;
        clipboard->setImage(picture);
        return true;
    }
};

}  // namespace

std::unique_ptr<ClipboardBackend> systemClipboardBackend()
{
    return std::make_unique<PanelClipboardBackend>();
}

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
        UnicodeClipboard(clipboardBackend()).CopyUnicodeText(m_savedAddressText);
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
    QImageReader bitmap(hamBitmapPath());
    const QImage picture = bitmap.read();
    if (picture.isNull()) {
        qCWarning(lcApp).noquote() << "Ham.bmp not read for the clipboard:" << bitmap.fileName() << "-"
                                   << bitmap.errorString();
        return;
    }
    UnicodeClipboard clipboard(clipboardBackend());
    try {
        clipboard.OpenClipboard(0);
    } catch (const ClipboardError &) {
        return;  // busy with another program; the operator can copy again
    }
    clipboard.ClearClipboard();
    clipboard.SetClipboardData(kFormatDib, deviceIndependentBitmap(picture));
    clipboard.CloseClipboard();
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
    if (!saved) {
        const QString reason = in.error() != QFile::NoError ? in.errorString() : out.errorString();
        qCWarning(lcApp).noquote() << "Picture not saved:" << source << "as" << target << "-" << reason;
        ShowUniMsgBox(&m_form, QStringLiteral("The picture could not be saved as\r\n") + target, 48,
                      QStringLiteral("Torvane"), QStringLiteral("Ok"));
    }
}

}  // namespace torvane
