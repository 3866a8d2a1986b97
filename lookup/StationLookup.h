#pragma once
// One web lookup of a station, from its page to the stored record. It carries its own call,
// fields and position from request to store, so that a lookup started meanwhile can never mix
// its data into this one, whatever the lookup component loads in between.

#include "calldb/CallDatabase.h"
#include "core/LookupRules.h"
#include "lookup/PageScraper.h"

#include <QObject>
#include <QString>

namespace torvane {

class Geocoder;
class LookupControl;

class StationLookup : public QObject {
    Q_OBJECT
public:
    /// call: normalised (0 for Ø, upper case), as the page request was named. zip: the zip
    /// code kept from the previous result. currentSource: 0 to 4.
    StationLookup(const QString &call, int currentSource, const QString &zip,
                  const QString &dataFolder, Geocoder *geocoder, QObject *parent = nullptr);

    QString call() const { return m_call; }

    /// When set, a position found from the zip code is kept as text ending in "*", as the
    /// geocoder's is; otherwise the texts stay as the page gave them. Off unless set.
    void setMarksZipPosition(bool marks) { m_marksZipPosition = marks; }

    /// Reads the page that control delivered with GotPage for this call, in the handler of
    /// that event. False when the page names no station: the control then raised CallNotFound
    /// or LoginRequired. Otherwise resolved() follows, at once or after the source's pause
    /// and the position fallbacks.
    bool readPage(LookupControl &control);

    /// The fields read from the page; complete once resolved() was raised.
    const StationResult &station() const { return m_station; }
    double latitude() const { return m_latitude; }
    double longitude() const { return m_longitude; }
    /// The position as stored: the page's numbers, or the geocoder's texts ending in "*".
    QString latitudeText() const { return m_latText; }
    QString longitudeText() const { return m_lonText; }

    /// The record the station is stored as: its call and the fields, each cut to its width.
    CallRecord record() const;

    /// Stores the station into the call database of the data folder (replaced, or appended in
    /// order). On failure, error names the file and the reason.
    DbStatus store(QString *error) const;

signals:
    /// Every field and the position are known.
    void resolved();

private:
    void readRest();
    void positionFromAddress(const QString &found);
    void finish();

    QString m_call;
    int m_source;
    QString m_dataFolder;
    Geocoder *m_geocoder;
    PageScraper m_page;
    StationResult m_station;
    double m_latitude = 0;
    double m_longitude = 0;
    bool m_marksZipPosition = false;
    QString m_latText;
    QString m_lonText;
};

}  // namespace torvane
