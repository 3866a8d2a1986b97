#pragma once
// Hosts.cfg: the base addresses of the web services, one "name=address" per line.

#include <QHash>
#include <QString>

namespace torvane {

class HostTable {
public:
    /// Built-in addresses of the real services ("maker" has none).
    HostTable();

    /// Reads Hosts.cfg; blank lines and lines starting with "#" are ignored, a trailing "/" is
    /// dropped. Names missing from the file keep their built-in address.
    static HostTable fromFile(const QString &path);
    static HostTable fromText(const QString &text);

    /// Base address without a trailing slash, or empty when the name is unknown or unset.
    QString host(const QString &name) const;
    void setHost(const QString &name, const QString &address);

private:
    QHash<QString, QString> m_hosts;
};

/// Display name and start address of a web source (0 eHam ... 4 HamCall).
struct SourceInfo {
    QString name;  ///< "QRZ.com": the part before the first "." is what captions show
    QString url;   ///< the site's root, or "/db/" for QRZ; empty for an unknown index
};

SourceInfo sourceInfo(int index, const HostTable &hosts);

}  // namespace torvane
