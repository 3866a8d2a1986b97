#include "core/HostTable.h"

#include "core/Sources.h"
#include "core/TextUtil.h"

#include <QFile>

namespace torvane {

HostTable::HostTable()
    : m_hosts{
          {QStringLiteral("eham"), QStringLiteral("https://www.eham.net")},
          {QStringLiteral("qrz"), QStringLiteral("https://www.qrz.com")},
          {QStringLiteral("qrzcq"), QStringLiteral("https://www.qrzcq.com")},
          {QStringLiteral("callook"), QStringLiteral("https://callook.info")},
          {QStringLiteral("hamcall"), QStringLiteral("https://hamcall.net")},
          {QStringLiteral("qrzpictures"), QStringLiteral("https://files.qrz.com")},
          {QStringLiteral("geocoder"), QStringLiteral("https://maps.googleapis.com")},
          {QStringLiteral("maps"), QStringLiteral("https://www.google.com")},
      }
{
}

HostTable HostTable::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return HostTable();
    return fromText(fromCp1252(file.read(64 * 1024)));
}

HostTable HostTable::fromText(const QString &text)
{
    HostTable table;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        table.setHost(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return table;
}

QString HostTable::host(const QString &name) const
{
    return m_hosts.value(name.toLower());
}

void HostTable::setHost(const QString &name, const QString &address)
{
    QString base = address;
    while (base.endsWith(u'/'))
        base.chop(1);
    m_hosts.insert(name.toLower(), base);
}

SourceInfo sourceInfo(int index, const HostTable &hosts)
{
    const SourceFacts *source = sourceFactsOfSetting(index);
    if (!source)
        return {};
    return {QString::fromUtf16(source->displayName),
            hosts.host(QLatin1String(source->hostName)) + QString::fromUtf16(source->startPath)};
}

}  // namespace torvane
