#pragma once
// The result panel's country line: the entity of the looked-up call from the country file,
// shown as soon as a lookup starts (before any web answer, with or without network), with the
// station's local time ticking while it is shown. The country file is read on a worker thread
// at start-up, off the window's way; a call asked for before it is read is shown when it is.

#include "lookup/CountryFile.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

class QLabel;

namespace torvane {

class EntityLine : public QObject {
    Q_OBJECT
public:
    /// `languageIndex` is read at every refresh (0 English ... 6 Japanese).
    EntityLine(QLabel *label, const int16_t &languageIndex, QObject *parent = nullptr);

    /// Reads cty.dat (the data folder's copy, else the system's) on a worker thread.
    void loadCountryFile(const QString &dataFolder);
    /// Uses an already read country file (tests, benchmarks).
    void setCountryFile(std::shared_ptr<const CountryFile> file);

    /// Shows the entity of `call`; an unknown call, or none, empties the line.
    void showCall(const QString &call);
    /// Whether the country file has been read (it may have turned out empty).
    bool ready() const { return m_file != nullptr; }
    /// The entity shown, if any.
    const std::optional<Entity> &entity() const { return m_entity; }

    /// Writes the line again: the time, and the text fitted to the label's width (minus
    /// `reservedLeft` pixels taken by another label on the same line).
    void refresh(int reservedLeft = -1);

signals:
    void countryFileReady();

private:
    QLabel *m_label;
    const int16_t &m_languageIndex;
    std::shared_ptr<const CountryFile> m_file;
    QString m_call;
    std::optional<Entity> m_entity;
    QTimer m_tick;
    int m_reservedLeft = 0;
};

/// "local" in the language of `languageIndex`, for the local time of the entity line.
QString localTimeWord(int languageIndex);

}  // namespace torvane
