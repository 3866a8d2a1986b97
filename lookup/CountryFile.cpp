#include "lookup/CountryFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace torvane {

namespace {

const char *const kSystemFolder = "/usr/share/hamradio-files";

// A position on the globe and a time offset of at most a day: anything else, such as a number
// that overflows the offset's seconds, is not read as an entity's.
bool plausible(const Entity &entity)
{
    return std::fabs(entity.latitude) <= 90 && std::fabs(entity.longitude) <= 180
           && std::fabs(entity.utcOffset) <= 24;
}

// The text between open and close from `at` on, with `at` moved past it; false when the
// override is not closed.
bool takeBetween(const QString &alias, int &at, QChar close, QString *value)
{
    const int end = int(alias.indexOf(close, at + 1));
    if (end < 0)
        return false;
    *value = alias.mid(at + 1, end - at - 1);
    at = end + 1;
    return true;
}

// Applies the overrides after a prefix or call: (CQ zone) [ITU zone] <lat/lon> {continent}
// ~offset~. False when one cannot be read.
bool applyOverrides(const QString &alias, int at, Entity *entity)
{
    while (at < alias.size()) {
        const QChar open = alias.at(at);
        QString value;
        bool ok = false;
        if (open == '(' && takeBetween(alias, at, ')', &value)) {
            entity->cqZone = value.toInt(&ok);
        } else if (open == '[' && takeBetween(alias, at, ']', &value)) {
            entity->ituZone = value.toInt(&ok);
        } else if (open == '<' && takeBetween(alias, at, '>', &value)) {
            const QStringList parts = value.split('/');
            bool latOk = false;
            if (parts.size() == 2) {
                entity->latitude = parts[0].toDouble(&latOk);
                entity->longitude = -parts[1].toDouble(&ok);
            }
            ok = ok && latOk;
        } else if (open == '{' && takeBetween(alias, at, '}', &value)) {
            entity->continent = value;
            ok = value.size() == 2;
        } else if (open == '~' && takeBetween(alias, at, '~', &value)) {
            entity->utcOffset = -value.toDouble(&ok);
        }
        if (!ok)
            return false;
    }
    return plausible(*entity);
}

// The eight fields of an entity's first line; false when they cannot be read.
bool readEntityLine(const QString &line, Entity *entity, QString *primary)
{
    const QStringList fields = line.split(':');
    if (fields.size() < 8)
        return false;
    bool ok[5] = {};
    entity->name = fields[0].trimmed();
    entity->cqZone = fields[1].trimmed().toInt(&ok[0]);
    entity->ituZone = fields[2].trimmed().toInt(&ok[1]);
    entity->continent = fields[3].trimmed();
    entity->latitude = fields[4].trimmed().toDouble(&ok[2]);
    entity->longitude = -fields[5].trimmed().toDouble(&ok[3]);
    entity->utcOffset = -fields[6].trimmed().toDouble(&ok[4]);
    *primary = fields[7].trimmed();
    if (primary->startsWith('*'))
        primary->remove(0, 1);  // an entity of some awards only: its prefix is kept as it is
    entity->primaryPrefix = *primary;
    return ok[0] && ok[1] && ok[2] && ok[3] && ok[4] && !entity->name.isEmpty()
           && entity->continent.size() == 2 && !primary->isEmpty() && plausible(*entity);
}

bool isHomeSuffix(const QString &part)
{
    return part == "P" || part == "M" || part == "QRP" || part == "A"
           || (part.size() == 1 && part.at(0).isDigit());
}

}  // namespace

void CountryFile::addAlias(const QString &alias, const Entity &entity)
{
    const bool exact = alias.startsWith('=');
    int end = exact ? 1 : 0;
    while (end < alias.size() && !QStringLiteral("([<{~").contains(alias.at(end)))
        ++end;
    const QString key = alias.mid(exact ? 1 : 0, end - (exact ? 1 : 0));
    Entity own = entity;
    if (key.isEmpty() || !applyOverrides(alias, end, &own))
        return;  // skipped, as any piece that cannot be read
    if (exact) {
        m_calls.insert(key, own);
    } else {
        m_prefixes.insert(key, own);
        m_longestPrefix = std::max(m_longestPrefix, int(key.size()));
    }
}

CountryFile CountryFile::fromText(const QByteArray &text)
{
    CountryFile file;
    Entity entity;
    bool inEntity = false;  // reading the aliases of a readable entity line
    QString aliases;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromLatin1(raw).remove('\r');
        if (line.trimmed().isEmpty())
            continue;
        if (!line.at(0).isSpace()) {
            QString primary;
            inEntity = readEntityLine(line, &entity, &primary);
            aliases.clear();
            if (inEntity)
                ++file.m_entityCount;
            continue;
        }
        if (!inEntity)
            continue;
        aliases += line.trimmed();
        if (!aliases.endsWith(';'))
            continue;
        aliases.chop(1);
        for (const QString &alias : aliases.split(',', Qt::SkipEmptyParts))
            file.addAlias(alias.trimmed(), entity);
        inEntity = false;
    }
    return file;
}

QString CountryFile::locate(const QString &dataFolder, const QString &fileName)
{
    for (const QString &folder : {dataFolder, QString::fromLatin1(kSystemFolder)}) {
        const QString path = folder + '/' + fileName;
        if (!folder.isEmpty() && QFileInfo(path).isFile())
            return path;
    }
    return {};
}

CountryFile CountryFile::load(const QString &dataFolder)
{
    QFile file(locate(dataFolder, "cty.dat"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return fromText(file.read(16 << 20));  // the real file is about 330 KB
}

std::optional<Entity> CountryFile::byPrefix(const QString &text) const
{
    for (int n = std::min(int(text.size()), m_longestPrefix); n > 0; --n) {
        const auto hit = m_prefixes.constFind(text.left(n));
        if (hit != m_prefixes.constEnd())
            return *hit;
    }
    return std::nullopt;
}

std::optional<Entity> CountryFile::resolve(const QString &typed) const
{
    const QString call = typed.trimmed().toUpper();
    if (call.isEmpty())
        return std::nullopt;
    if (const auto exact = m_calls.constFind(call); exact != m_calls.constEnd())
        return *exact;
    QStringList parts = call.split('/', Qt::SkipEmptyParts);
    if (parts.size() > 1 && (parts.last() == "MM" || parts.last() == "AM"))
        return std::nullopt;  // at sea or in the air: in no entity
    while (parts.size() > 1 && isHomeSuffix(parts.last()))
        parts.removeLast();
    if (parts.isEmpty())
        return std::nullopt;
    if (parts.size() == 1)
        return byPrefix(parts[0]);
    // Of a call and a prefix, the prefix is the shorter part.
    const QString &first = parts[0];
    const QString &second = parts[1];
    const bool firstIsPrefix = first.size() <= second.size();
    if (auto entity = byPrefix(firstIsPrefix ? first : second))
        return entity;
    return byPrefix(firstIsPrefix ? second : first);
}

QString entityLine(const Entity &entity, const QDateTime &utcNow, const QString &localWord)
{
    const QDateTime local = utcNow.toUTC().addSecs(qint64(entity.utcOffset * 3600));
    return QStringLiteral("%1 \u00B7 %2 \u00B7 CQ %3 \u00B7 ITU %4 \u00B7 %5 %6")
        .arg(entity.name, entity.continent)
        .arg(entity.cqZone)
        .arg(entity.ituZone)
        .arg(local.toString(QStringLiteral("HH:mm")), localWord);
}

}  // namespace torvane
