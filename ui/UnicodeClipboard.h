#pragma once
// Unicode text to the system clipboard in an open-clear-set-close sequence. The class keeps
// the open state and raises ClipboardError as the callers expect; a backend stands for the
// system clipboard so that tests can watch and refuse.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace torvane {

/// Error numbers: object-error base (0x80040000) + 1570 and + 1571.
inline constexpr int32_t kClipboardNotOpen = -2147219934;
inline constexpr int32_t kClipboardCannotOpen = -2147219933;
/// Clipboard formats of the host convention: 8-bit text and UTF-16 text with a NUL.
inline constexpr uint32_t kFormatText = 1;
inline constexpr uint32_t kFormatUnicodeText = 13;

/// An error raised to the caller: number, description and source.
class ClipboardError : public std::runtime_error {
public:
    ClipboardError(int32_t number, const QString &description);
    int32_t number() const { return m_number; }
    QString description() const { return m_description; }
    /// The program's executable name + ".cCustomClipboard".
    QString source() const { return m_source; }

private:
    int32_t m_number;
    QString m_description;
    QString m_source;
};

/// The system clipboard as the module uses it.
class ClipboardBackend {
public:
    virtual ~ClipboardBackend() = default;
    virtual bool open(quintptr owner) = 0;
    virtual void close() = 0;
    /// Empties the clipboard.
    virtual void empty() = 0;
    /// Places data under a format; true when the system took it.
    virtual bool setData(uint32_t format, const QByteArray &data) = 0;
};

/// QClipboard: UTF-16 text (format 13) and Windows-1252 text (format 1), NUL removed.
class QtClipboardBackend : public ClipboardBackend {
public:
    bool open(quintptr owner) override;
    void close() override;
    void empty() override;
    bool setData(uint32_t format, const QByteArray &data) override;
};

class UnicodeClipboard {
public:
    /// Over the system clipboard, or over backend when one is given.
    explicit UnicodeClipboard(std::unique_ptr<ClipboardBackend> backend = nullptr);

    /// Open, empty, place Text under format 13, close; true when the text was placed.
    /// Throws ClipboardError when the clipboard cannot be opened.
    bool CopyUnicodeText(const QString &Text);

    /// Throws "Unable to Open Clipboard." when refused (the state stays closed).
    bool OpenClipboard(quintptr hWnd);
    /// Empties the clipboard; throws when not open.
    void ClearClipboard();
    /// False for empty text; otherwise places Text + NUL as UTF-16 little-endian bytes.
    bool SetClipboardText(uint32_t Format, const QString &Text);
    /// Hands Bytes to the system under Format; throws when not open.
    bool SetClipboardData(uint32_t Format, const QByteArray &Bytes);
    /// Closes the clipboard when open.
    void CloseClipboard();

    bool ClipboardOpen() const { return m_open; }
    quintptr ClipboardOwner() const { return m_owner; }

private:
    /// Throws, with a warning naming the operation, when the clipboard is not open.
    void CheckOpen(const QString &operation) const;

    std::unique_ptr<ClipboardBackend> m_backend;
    bool m_open = false;
    quintptr m_owner = 0;
};

/// The program's clipboard module: copies Text to the system clipboard as Unicode text.
/// Throws ClipboardError when the clipboard cannot be opened.
bool CopyUnicodeText(const QString &Text);

}  // namespace torvane
