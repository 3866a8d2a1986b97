#include "lookup/StationLookup.h"

#include "core/Sources.h"
#include "core/TextUtil.h"
#include "geo/Geodesy.h"
#include "lookup/Geocoder.h"
#include "lookup/LookupControl.h"
#include "lookup/ZipTable.h"

#include <QTimer>

namespace torvane {

StationLookup::StationLookup(const QString &call, int currentSource, const QString &zip,
                             const QString &dataFolder, Geocoder *geocoder, QObject *parent)
    : QObject(parent), m_call(call), m_source(currentSource), m_dataFolder(dataFolder),
      m_geocoder(geocoder)
{
    m_station.Zip = zip;
}

bool StationLookup::readPage(LookupControl &control)
{
    m_station.Name = control.cName(m_call);
    if (m_station.Name.isEmpty())
        return false;
    m_station.Add1 = control.Add1();
    m_station.Add2 = control.Add2();
    m_station.Ctry = control.Ctry();
    // The rest is read from this lookup's own copy of the page.
    m_page = control.scraper();
    const SourceFacts *facts = sourceFactsOfSetting(m_source);
    if (facts && facts->fieldPauseMs > 0)
        QTimer::singleShot(facts->fieldPauseMs, this, &StationLookup::readRest);
    else
        readRest();
    return true;
}

void StationLookup::readRest()
{
    m_latitude = m_page.Latitude();
    m_longitude = m_page.Longitude();
    m_latText = formatNumber(m_latitude);
    m_lonText = formatNumber(m_longitude);
    m_station.Class = m_page.Class();
    m_station.DateOfBirth = m_page.DateOfBirth();
    m_station.Grid = m_page.Grid();
    m_station.WebAddress = m_page.WebAddress();
    if (m_latitude != 0 || m_longitude != 0) {
        finish();
        return;
    }
    if (!m_geocoder) {
        positionFromAddress(QString());
        return;
    }
    // A page without a position: the address, else the zip code.
    m_geocoder->GeocodeAddress(m_station.Add1 + u' ' + m_station.Add2 + u' ' + m_station.Ctry,
                               this, [this](const QString &found) { positionFromAddress(found); });
}

void StationLookup::positionFromAddress(const QString &found)
{
    if (!found.isEmpty()) {
        const QStringList parts = found.split(u',');
        m_latText = parts.value(0);
        m_lonText = parts.value(1);
        m_latitude = leadingNumber(m_latText);
        m_longitude = leadingNumber(m_lonText);
    }
    const qsizetype blank = m_station.Add2.lastIndexOf(u' ');
    if (m_latitude == 0 && m_longitude == 0 && blank >= 0) {
        m_station.Zip = m_station.Add2.mid(blank + 1, 5);
        ZipPosition(m_dataFolder, m_station.Zip, m_latitude, m_longitude);
        if (m_marksZipPosition && (m_latitude != 0 || m_longitude != 0)) {
            m_latText = formatNumber(m_latitude) + u'*';
            m_lonText = formatNumber(m_longitude) + u'*';
        }
    }
    finish();
}

void StationLookup::finish()
{
    if (m_station.Grid.isEmpty() && m_latitude != 0 && m_longitude != 0)
        m_station.Grid = LatLonToGrid(m_latitude, m_longitude);
    emit resolved();
}

CallRecord StationLookup::record() const
{
    CallRecord record;
    record.setText(CallRecord::Call, m_call);
    record.setText(CallRecord::Name, m_station.Name);
    record.setText(CallRecord::Add1, m_station.Add1);
    record.setText(CallRecord::Add2, m_station.Add2);
    record.setText(CallRecord::Ctry, m_station.Ctry);
    record.setText(CallRecord::Lat, m_latText);
    record.setText(CallRecord::Lon, m_lonText);
    record.setText(CallRecord::Class, m_station.Class);
    record.setText(CallRecord::YearBorn, m_station.DateOfBirth);
    return record;
}

DbStatus StationLookup::store(QString *error) const
{
    const SourceFacts *facts = sourceFactsOfSetting(m_source);
    CallDatabase db(m_dataFolder);
    const DbStatus status = db.StoreStation(record(), facts && facts->keepsStoredAdd1);
    if (status != DbStatus::Ok && error)
        *error = db.lastError();
    return status;
}

}  // namespace torvane
