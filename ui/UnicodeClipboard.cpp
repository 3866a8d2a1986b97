#include "ui/UnicodeClipboard.h"

#include "core/TextUtil.h"
#include "ui/Logging.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

namespace torvane {

namespace {

QString errorSource()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    return name + QStringLiteral(".cCustomClipboard");
}

QClipboard *systemClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

QString formatName(uint32_t format)
{
    switch (format) {
    case kFormatText: return QStringLiteral("format 1 (text)");
    case kFormatUnicodeText: return QStringLiteral("format 13 (Unicode text)");
    default: return QStringLiteral("format %1").arg(format);
    }
}

void warnNotPlaced(uint32_t format, const QString &reason)
{
    qCWarning(lcUi).noquote() << "Clipboard:" << formatName(format) << "not placed:" << reason;
}

}  // namespace

ClipboardError::ClipboardError(int32_t number, const QString &description)
    : std::runtime_error(description.toStdString()),
      m_number(number),
      m_description(description),
      m_source(errorSource())
{
}

bool QtClipboardBackend::open(quintptr owner)
{
    Q_UNUSED(owner);
    return systemClipboard() != nullptr;
}

void QtClipboardBackend::close() {}

void QtClipboardBackend::empty()
{
    if (QClipboard *clipboard = systemClipboard())
        clipboard->clear();
}

bool QtClipboardBackend::setData(uint32_t format, const QByteArray &data)
{
    QClipboard *clipboard = systemClipboard();
    if (!clipboard) {
        warnNotPlaced(format, QStringLiteral("no system clipboard without a GUI application"));
        return false;
    }
    QString text;
    if (format == kFormatUnicodeText) {
        if (data.size() % 2 != 0) {
            warnNotPlaced(format, QStringLiteral("%1 bytes is not whole UTF-16 text").arg(data.size()));
            return false;
        }
        text.reserve(data.size() / 2);
        for (qsizetype i = 0; i + 1 < data.size(); i += 2)
            text.append(QChar(ushort(uchar(data[i]) | (uchar(data[i + 1]) << 8))));
    } else if (format == kFormatText) {
        text = fromCp1252(data);
    } else {
        warnNotPlaced(format, QStringLiteral("the system clipboard takes only text formats"));
        return false;
    }
    // The NUL ends the text, as it does on the host.
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    clipboard->setText(text);
    return true;
}

UnicodeClipboard::UnicodeClipboard(std::unique_ptr<ClipboardBackend> backend)
    : m_backend(backend ? std::move(backend) : std::make_unique<QtClipboardBackend>())
{
}

bool UnicodeClipboard::CopyUnicodeText(const QString &Text)
{
    OpenClipboard(0);
    bool placed = false;
    try {
        ClearClipboard();
        placed = SetClipboardText(kFormatUnicodeText, Text);
    } catch (...) {
        CloseClipboard();  // never leave the clipboard open behind an error
        throw;
    }
    CloseClipboard();
    return placed;
}

bool UnicodeClipboard::OpenClipboard(quintptr hWnd)
{
    if (!m_backend->open(hWnd)) {
        qCWarning(lcUi).noquote() << "Clipboard: cannot be opened for window" << hWnd
                                  << "(the system refused)";
        m_open = false;
        m_owner = 0;
        throw ClipboardError(kClipboardCannotOpen, QStringLiteral("Unable to Open Clipboard."));
    }
    m_open = true;
    m_owner = hWnd;
    return true;
}

void UnicodeClipboard::CheckOpen(const QString &operation) const
{
    if (!m_open) {
        qCWarning(lcUi).noquote() << "Clipboard:" << operation << "while the clipboard is not open";
        throw ClipboardError(kClipboardNotOpen,
                             QStringLiteral("Attempt to access the clipboard when clipboard not Open."));
    }
}

void UnicodeClipboard::ClearClipboard()
{
    CheckOpen(QStringLiteral("clearing"));
    m_backend->empty();
}

bool UnicodeClipboard::SetClipboardText(uint32_t Format, const QString &Text)
{
    if (Text.isEmpty())
        return false;
    const QString terminated = Text + QChar(0);
    QByteArray bytes;
    bytes.reserve(terminated.size() * 2);
    for (const QChar c : terminated) {
        const ushort unit = c.unicode();
        bytes.append(char(unit & 0xFF));
        bytes.append(char(unit >> 8));
    }
    return SetClipboardData(Format, bytes);
}

bool UnicodeClipboard::SetClipboardData(uint32_t Format, const QByteArray &Bytes)
{
    CheckOpen(QStringLiteral("placing ") + formatName(Format));
    if (m_backend->setData(Format, Bytes))
        return true;
    warnNotPlaced(Format, QStringLiteral("the system did not take the %1 bytes").arg(Bytes.size()));
    return false;
}

void UnicodeClipboard::CloseClipboard()
{
    if (!m_open)
        return;
    m_backend->close();
    m_open = false;
    m_owner = 0;
}

bool CopyUnicodeText(const QString &Text)
{
    UnicodeClipboard clipboard;
    return clipboard.CopyUnicodeText(Text);
}

}  // namespace torvane
