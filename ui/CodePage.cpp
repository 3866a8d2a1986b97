#include "ui/CodePage.h"

#include "core/TextUtil.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace torvane {
namespace {

// iconv's name of a UTF-16 in host byte order, so the output can be handed to QString as is.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *kUtf16 = "UTF-16LE";
#else
constexpr const char *kUtf16 = "UTF-16BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;

const char *iconvName(CodePage page)
{
    switch (page) {
    case CodePage::Windows1250: return "CP1250";
    case CodePage::Windows932: return "CP932";
    case CodePage::Windows1252: break;
    }
    return "CP1252";
}

/// Owns one iconv descriptor; invalid when glibc lacks the conversion.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

/// Strict conversion of text into the code page; stops at the first unmappable character
/// and replaces it by "?" when `replace` is set, otherwise reports failure.
bool encode(QStringView text, CodePage page, bool replace, QByteArray *out)
{
    Converter conv(iconvName(page), kUtf16);
    if (!conv.valid())
        return false;
    const char16_t *units = text.utf16();
    size_t unitsLeft = static_cast<size_t>(text.size());
    std::vector<char> buffer(static_cast<size_t>(text.size()) * 2 + 16);
    while (unitsLeft > 0) {
        char *in = const_cast<char *>(reinterpret_cast<const char *>(units));
        size_t inLeft = unitsLeft * 2;
        char *dst = buffer.data();
        size_t dstLeft = buffer.size();
        const size_t rc = iconv(conv.get(), &in, &inLeft, &dst, &dstLeft);
        const int err = errno;
        out->append(buffer.data(), static_cast<qsizetype>(dst - buffer.data()));
        units = reinterpret_cast<const char16_t *>(in);
        unitsLeft = inLeft / 2;
        if (rc != static_cast<size_t>(-1))
            break;
        if (err == E2BIG)
            continue;
        // EILSEQ or EINVAL: a character without a code, or a lone surrogate.
        if (!replace)
            return false;
        out->append('?');
        const size_t skip = (unitsLeft >= 2 && QChar::isHighSurrogate(units[0])
                             && QChar::isLowSurrogate(units[1])) ? 2 : 1;
        units += skip;
        unitsLeft -= skip;
        conv.reset();
    }
    return true;
}

}  // namespace

QString fromCodePage(const QByteArray &bytes, CodePage page)
{
    if (page == CodePage::Windows1252)
        return fromCp1252(bytes);
    Converter conv(kUtf16, iconvName(page));
    if (!conv.valid()) {
        // No such conversion on this host: keep ASCII, mark the rest.
        QString out;
        for (const char c : bytes)
            out.append(static_cast<unsigned char>(c) < 0x80 ? QChar(c) : QChar(kReplacement));
        return out;
    }
    QString out;
    out.reserve(bytes.size());
    // One code-page byte yields at most one UTF-16 unit (2 bytes) in these code pages.
    std::vector<char> buffer(static_cast<size_t>(bytes.size()) * 2 + 16);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        char *dst = buffer.data();
        size_t dstLeft = buffer.size();
        const size_t rc = iconv(conv.get(), &in, &inLeft, &dst, &dstLeft);
        const int err = errno;
        out.append(QStringView(reinterpret_cast<const char16_t *>(buffer.data()),
                               (dst - buffer.data()) / 2));
        if (rc != static_cast<size_t>(-1))
            break;
        if (err == E2BIG)
            continue;
        // EILSEQ: an undefined byte or a bad trail byte; EINVAL: a lead byte at the end.
        out.append(QChar(kReplacement));
        ++in;
        --inLeft;
        conv.reset();
    }
    return out;
}

QByteArray toCodePage(QStringView text, CodePage page)
{
    if (page == CodePage::Windows1252)
        return toCp1252(text);
    QByteArray out;
    if (!encode(text, page, true, &out)) {
        out.clear();
        for (const QChar ch : text)
            out.append(ch.unicode() < 0x80 ? static_cast<char>(ch.unicode()) : '?');
    }
    return out;
}

bool fitsCodePage(QStringView text, CodePage page)
{
    if (page == CodePage::Windows1252)
        return fromCp1252(toCp1252(text)) == text;
    QByteArray out;
    return encode(text, page, false, &out);
}

}  // namespace torvane
