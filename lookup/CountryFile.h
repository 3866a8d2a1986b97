#pragma once
// The radio amateurs' country file, cty.dat: every DXCC entity with its continent, CQ and ITU
// zones, position and time offset, and the prefixes and whole calls that belong to it. A call
// resolves to its entity by an exact-call entry ("=W1AW/KH6") first, else by the longest
// prefix that starts it; a prefix or call may carry its own zones, continent, position or
// offset. Portable forms resolve by the part that is a prefix: K1ABC/VE3 and VE3/K1ABC are in
// Canada, K1ABC/P stays at home, K1ABC/MM and K1ABC/AM are in no entity.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class QDateTime;

namespace torvane {

struct Entity {
    QString name;           ///< e.g. "Canada"
    QString primaryPrefix;  ///< e.g. "VE"
    QString continent;      ///< AF AN AS EU NA OC SA
    int cqZone = 0;
    int ituZone = 0;
    double latitude = 0;    ///< degrees, north positive
    double longitude = 0;   ///< degrees, east positive (the file keeps west positive)
    double utcOffset = 0;   ///< hours to add to UTC for local time (the file keeps it negated)
};

class CountryFile {
public:
    /// Reads the file's text; a line that cannot be read is skipped. Empty when nothing was read.
    static CountryFile fromText(const QByteArray &text);

    /// cty.dat of the data folder when it has one, else the system's copy
    /// (/usr/share/hamradio-files); empty when neither can be read.
    static CountryFile load(const QString &dataFolder);

    /// Where load() reads `fileName`: the data folder's copy wins; empty when neither exists.
    static QString locate(const QString &dataFolder, const QString &fileName);

    bool isEmpty() const { return m_prefixes.isEmpty() && m_calls.isEmpty(); }
    int entityCount() const { return m_entityCount; }

    /// The entity of a call as typed (any case, blanks around it ignored); none for an empty
    /// or unknown call, and for maritime (/MM) and aeronautical (/AM) mobile.
    std::optional<Entity> resolve(const QString &call) const;

private:
    std::optional<Entity> byPrefix(const QString &text) const;
    void addAlias(const QString &alias, const Entity &entity);

    QHash<QString, Entity> m_calls;     // exact calls
    QHash<QString, Entity> m_prefixes;
    int m_longestPrefix = 0;
    int m_entityCount = 0;
};

/// The entity line of the result panel, e.g. "Canada · NA · CQ 5 · ITU 9 · 09:32 local", the
/// local time from utcNow and the entity's offset, followed by `localWord`.
QString entityLine(const Entity &entity, const QDateTime &utcNow,
                   const QString &localWord = QStringLiteral("local"));

}  // namespace torvane
