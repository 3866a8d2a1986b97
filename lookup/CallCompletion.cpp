#include "lookup/CallCompletion.h"

#include "lookup/CountryFile.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <algorithm>

namespace torvane {

namespace {

bool isCall(const QByteArray &line)
{
    if (line.isEmpty() || line.size() > 20)
        return false;
    return std::all_of(line.begin(), line.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
    });
}

// The calls of a sorted block holding `key`, up to `limit` of each kind: those that start with
// it, and the others. They come in the block's order.
void collect(const QByteArray &calls, const QByteArray &key, int limit, QStringList *starting,
             QStringList *holding)
{
    const QByteArrayMatcher matcher(key);
    for (qsizetype at = 0; starting->size() < limit && (at = matcher.indexIn(calls, at)) >= 0;) {
        const qsizetype start = calls.lastIndexOf('\n', at) + 1;
        const qsizetype end = calls.indexOf('\n', at);
        QStringList *group = start == at ? starting : holding;
        if (group->size() < limit)
            group->append(QString::fromLatin1(calls.mid(start, end - start)));
        at = end;  // one entry a call, however often it holds the key
    }
}

}  // namespace

QByteArray CallCompletion::block(QList<QByteArray> calls)
{
    std::sort(calls.begin(), calls.end());
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    return "\n" + calls.join('\n') + "\n";
}

void CallCompletion::setActiveCalls(const QByteArray &text)
{
    QList<QByteArray> calls;
    calls.reserve(text.size() / 7);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        QByteArray line = text.mid(at, end - at).trimmed().toUpper();
        if (isCall(line))
            calls.append(std::move(line));
        at = end + 1;
    }
    m_activeCount = int(calls.size());
    m_active = block(std::move(calls));
}

bool CallCompletion::loadActiveCalls(const QString &dataFolder)
{
    QFile file(CountryFile::locate(dataFolder, "MASTER.SCP"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    setActiveCalls(file.read(16 << 20));  // the real list is about 540 KB
    return true;
}

void CallCompletion::setLocalCalls(const QStringList &calls)
{
    QList<QByteArray> upper;
    for (const QString &call : calls) {
        if (!call.trimmed().isEmpty())
            upper.append(call.trimmed().toUpper().toLatin1());
    }
    m_local = block(std::move(upper));
}

void CallCompletion::addLocalCalls(const QStringList &calls)
{
    QList<QByteArray> added = m_added.split('\n');
    for (const QString &call : calls)
        added.append(call.trimmed().toUpper().toLatin1());
    added.removeAll(QByteArray());
    m_added = block(std::move(added));
}

QStringList CallCompletion::complete(const QString &typed, int limit) const
{
    // A slashed zero is typed for 0; the lists hold 0.
    const QByteArray key = typed.trimmed().toUpper().replace(QChar(0xD8), QChar(u'0')).toLatin1();
    if (key.size() < 2 || key.contains('\n'))
        return {};
    QStringList out;
    for (const QByteArray *calls : {&m_added, &m_local, &m_active}) {
        QStringList starting, holding;
        collect(*calls, key, limit, &starting, &holding);
        for (const QString &call : starting + holding) {
            if (out.size() == limit)
                return out;
            if (!out.contains(call))
                out.append(call);
        }
    }
    return out;
}

}  // namespace torvane
