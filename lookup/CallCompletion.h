#pragma once
// Super check partial: the calls that hold what was typed anywhere in them, from the list of
// active calls (MASTER.SCP, one call a line, "#" lines are comments) and the local database.
// The list is kept as one block of text searched at once, so that a keystroke over the whole
// list of about 85,000 calls costs well under a millisecond.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace torvane {

class CallCompletion {
public:
    /// Reads the active-call list; lines that are not calls (blanks, "#", other characters)
    /// are skipped.
    void setActiveCalls(const QByteArray &text);
    /// MASTER.SCP of the data folder when it has one, else the system's copy; false when there
    /// is neither (completion then offers the local calls alone).
    bool loadActiveCalls(const QString &dataFolder);
    /// The calls of the local database, offered before the others.
    void setLocalCalls(const QStringList &calls);
    /// Calls stored since: offered with the local ones.
    void addLocalCalls(const QStringList &calls);

    int activeCount() const { return m_activeCount; }

    /// Up to `limit` calls holding `typed` (compared in upper case), local calls first, then
    /// within each group the calls that start with it, each group in alphabetical order; none
    /// for fewer than two typed characters.
    QStringList complete(const QString &typed, int limit = 20) const;

private:
    static QByteArray block(QList<QByteArray> calls);

    QByteArray m_active;  // "\n" + calls joined by "\n" + "\n", sorted
    QByteArray m_local;
    QByteArray m_added;  // calls stored since the local ones were read
    int m_activeCount = 0;
};

}  // namespace torvane
