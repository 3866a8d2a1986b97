#include "lookup/Fetch.h"

#include "core/TextUtil.h"
#include "lookup/HtmlDecode.h"
#include "lookup/Logging.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QTimer>

#include <memory>

namespace torvane {

namespace {

constexpr char kCancelledProperty[] = "torvaneCancelled";
constexpr char kTimedOutProperty[] = "torvaneTimedOut";
constexpr char kTooLargeProperty[] = "torvaneTooLarge";

// Bytes the network thread may read ahead of takeBody; past them it stops reading until they are
// taken. Without a bound it takes in whatever a fast server sends while the main thread is busy:
// a 100 MB answer over loopback arrived whole before the cap was first checked.
constexpr qint64 kReadAheadBytes = 1024 * 1024;

// Takes the body into `body` as it arrives, and ends the reply as too large as soon as its
// announced length or what has arrived passes the cap.
void takeBody(QNetworkReply *reply, qint64 maxBytes, const std::shared_ptr<QByteArray> &body)
{
    reply->setReadBufferSize(kReadAheadBytes);
    const auto tooLarge = [reply] {
        reply->setProperty(kTooLargeProperty, true);
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, maxBytes, tooLarge] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBytes)
            tooLarge();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes, body, tooLarge] {
        body->append(reply->readAll());
        if (body->size() > maxBytes)
            tooLarge();
    });
}

FetchResult resultOf(QNetworkReply *reply, qint64 maxBytes, QByteArray &body)
{
    FetchResult result;
    result.reply = reply;
    if (reply->property(kCancelledProperty).toBool()) {
        result.status = FetchResult::Cancelled;
        return result;
    }
    if (reply->property(kTimedOutProperty).toBool()) {
        qCWarning(lcLookup) << "time limit passed:" << reply->url().toString();
        result.status = FetchResult::TimedOut;
        return result;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || reply->property(kTooLargeProperty).toBool()
        || status < 200 || status >= 300) {
        qCWarning(lcLookup) << "request failed:" << reply->url().toString() << "HTTP" << status
                            << (reply->property(kTooLargeProperty).toBool()
                                    ? QStringLiteral("body too large")
                                    : reply->errorString());
        return result;
    }
    result.body = std::move(body.append(reply->readAll()));
    result.contentType = reply->rawHeader("Content-Type");
    result.status = result.body.size() > maxBytes ? FetchResult::Failed : FetchResult::Ok;
    return result;
}

}  // namespace

QNetworkRequest makeRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

QNetworkReply *startFetch(QNetworkAccessManager *manager, const QNetworkRequest &request,
                          int limitMs, QObject *context, FetchDone done, qint64 maxBytes)
{
    if (!manager || !isWebAddress(request.url())) {
        qCWarning(lcLookup) << "not a web address:" << request.url().toString();
        return nullptr;
    }
    QNetworkReply *reply = manager->get(request);
    auto body = std::make_shared<QByteArray>();
    takeBody(reply, maxBytes, body);
    if (limitMs > 0) {
        auto *limit = new QTimer(reply);
        limit->setSingleShot(true);
        QObject::connect(limit, &QTimer::timeout, reply, [reply] {
            reply->setProperty(kTimedOutProperty, true);
            reply->abort();
        });
        limit->start(limitMs);
    }
    // The reply goes on every path, whether or not the context still wants the outcome.
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply, maxBytes, body, done = std::move(done)] {
                         done(resultOf(reply, maxBytes, *body));
                     });
    return reply;
}

void cancelFetch(QNetworkReply *reply)
{
    if (!reply || reply->isFinished())
        return;
    reply->setProperty(kCancelledProperty, true);
    reply->abort();
}

namespace {

bool isHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Lower-case ASCII copy.
QByteArray lowered(QByteArrayView text)
{
    return QByteArray(text.data(), text.size()).toLower();
}

// The value after "charset" at position at of a lower-cased text: blanks, "=", blanks, then
// a token, quoted or ending at a blank, ";", quote or ">".
QByteArray charsetValueAt(const QByteArray &text, qsizetype at)
{
    qsizetype i = at + 7;
    const qsizetype n = text.size();
    while (i < n && isHtmlSpace(text[i]))
        ++i;
    if (i >= n || text[i] != '=')
        return {};
    ++i;
    while (i < n && isHtmlSpace(text[i]))
        ++i;
    if (i < n && (text[i] == '"' || text[i] == '\''))
        ++i;
    const qsizetype from = i;
    while (i < n && !isHtmlSpace(text[i]) && text[i] != ';'
           && text[i] != '"' && text[i] != '\'' && text[i] != '>')
        ++i;
    return text.mid(from, i - from);
}

enum class Encoding { Unknown, Utf8, Utf16LE, Utf16BE, Cp1252, Other };

Encoding encodingOfLabel(const QByteArray &label)
{
    if (label.isEmpty())
        return Encoding::Unknown;
    if (label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8")
        return Encoding::Utf8;
    if (label == "utf-16le" || label == "utf-16")
        return Encoding::Utf16LE;
    if (label == "utf-16be")
        return Encoding::Utf16BE;
    static const char *const latin[] = {
        "windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "iso_8859-1",
        "iso-ir-100", "latin1", "l1", "us-ascii", "ascii", "ansi_x3.4-1968", "cp819",
        "ibm819", "csisolatin1"};
    for (const char *name : latin) {
        if (label == name)
            return Encoding::Cp1252;
    }
    return Encoding::Other;
}

// Decodes bytes by a charset label into out; false when the label names no usable encoding.
bool decodeAs(const QByteArray &bytes, const QByteArray &label, QString *out)
{
    switch (encodingOfLabel(label)) {
    case Encoding::Unknown:
        return false;
    case Encoding::Utf8:
        *out = QString::fromUtf8(bytes);
        return true;
    case Encoding::Utf16LE: {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        *out = decoder(bytes);
        return true;
    }
    case Encoding::Utf16BE: {
        QStringDecoder decoder(QStringConverter::Utf16BE);
        *out = decoder(bytes);
        return true;
    }
    case Encoding::Cp1252:
        *out = fromCp1252(bytes);
        return true;
    case Encoding::Other: {
        QStringDecoder decoder(label.constData());
        if (!decoder.isValid())
            return false;
        *out = decoder(bytes);
        return true;
    }
    }
    return false;
}

}  // namespace

QByteArray contentTypeCharset(QByteArrayView contentType)
{
    const QByteArray text = lowered(contentType);
    qsizetype at = 0;
    while ((at = text.indexOf("charset", at)) >= 0) {
        // A parameter name: after ";" and blanks, not inside another word.
        qsizetype before = at - 1;
        while (before >= 0 && isHtmlSpace(text[before]))
            --before;
        if (before >= 0 && text[before] == ';') {
            const QByteArray value = charsetValueAt(text, at);
            if (!value.isEmpty())
                return value;
        }
        at += 7;
    }
    return {};
}

QByteArray declaredCharset(QByteArrayView markup)
{
    const QByteArray head = lowered(markup.first(qMin<qsizetype>(markup.size(), 4096)));
    qsizetype at = 0;
    while ((at = head.indexOf("<meta", at)) >= 0) {
        qsizetype end = head.indexOf('>', at);
        if (end < 0)
            end = head.size();
        const QByteArray tag = head.mid(at, end - at);
        // <meta charset="x"> and <meta http-equiv="Content-Type" content="...; charset=x">
        qsizetype c = tag.indexOf("charset");
        while (c >= 0) {
            const QByteArray value = charsetValueAt(tag, c);
            if (!value.isEmpty()) {
                // A page that says UTF-16 in its own ASCII bytes is not UTF-16.
                return value.startsWith("utf-16") ? QByteArray("utf-8") : value;
            }
            c = tag.indexOf("charset", c + 7);
        }
        at = end;
    }
    return {};
}

QString decodePageBytes(const QByteArray &bytes, QByteArrayView contentType)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16BE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    QString text;
    if (decodeAs(bytes, contentTypeCharset(contentType), &text))
        return text;
    if (decodeAs(bytes, declaredCharset(bytes), &text))
        return text;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromCp1252(bytes);
}

QString pageText(const QByteArray &bytes, QByteArrayView contentType)
{
    return HTMLDecode(decodePageBytes(bytes, contentType));
}

}  // namespace torvane
