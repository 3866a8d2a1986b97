// The main window's lookup workflow: from the call box to the lookup component and back.

#include "app/MainWindow.h"

#include "core/DataFolder.h"
#include "core/TextUtil.h"
#include "calldb/CallDatabase.h"
#include "geo/Geodesy.h"
#include "windows/MapWindow.h"
#include "lookup/Geocoder.h"
#include "lookup/LookupControl.h"
#include "lookup/UpdateCheck.h"
#include "lookup/ZipTable.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QRadioButton>
#include <QSaveFile>
#include <QTimer>

using namespace torvane;

void MainWindow::connectLookUp()
{
    connect(lookUp, &LookupControl::GotSite, this, &MainWindow::onGotSite);
    connect(lookUp, &LookupControl::SiteNotFound, this, [this](const QString &marker) {
        lblStatus->setText(marker + QStringLiteral(" not found"));
        unsetCursor();
    });
    connect(lookUp, &LookupControl::GotPage, this, &MainWindow::onGotPage);
    connect(lookUp, &LookupControl::PageNotFound, this, [this](const QString &call) {
        lblNot->setText(call + QStringLiteral(" not found"));
        lblNot->show();
        settle();
    });
    connect(lookUp, &LookupControl::CallNotFound, this, &MainWindow::onCallNotFound);
    connect(lookUp, &LookupControl::GotPicture, this, &MainWindow::onGotPicture);
    connect(lookUp, &LookupControl::LoginRequired, this, &MainWindow::onLoginRequired);
    connect(lookUp, &LookupControl::UpdateFound, this, [this](const QString &text) {
        if (m_update)
            m_update->UpdateFound(text);
    });
}

void MainWindow::ConnectToSource()
{
    setCursor(Qt::WaitCursor);
    if (m_values.CurrentSource >= 0 && m_values.CurrentSource < 5) {
        lookUp->setDatabase(int16_t(m_values.CurrentSource + 1));
        lookUp->GetSite();
    }
    unsetCursor();
}

void MainWindow::setStatusFrom(bool loggedIn)
{
    const StatusLine line = statusLine(loggedIn, m_values.CurrentSource, m_values.SourceName,
                                       item(66), item(67), item(68), item(70));
    lblStatus->setText(line.text);
    m_values.LookupState = int16_t(line.state);
}

void MainWindow::refreshStatusText()
{
    const QString text = statusText(m_values.LookupState, m_values.SourceName, item(66), item(67),
                                    item(68), item(70));
    if (!text.isEmpty())
        lblStatus->setText(text);
}

void MainWindow::onGotSite(const QString &, bool loggedIn)
{
    setStatusFrom(loggedIn);
    Timer3->start();
    unsetCursor();
}

void MainWindow::pasteAndLookup()
{
    if (m_pasteLock)
        return;
    m_pasteLock = true;
    Timer1->start();
    cboCall->setEditText(QString());
    cboCall->setEditText(pastedCall(QApplication::clipboard()->text(), m_values.PlainZero));
    Lookup();
}

void MainWindow::Lookup()
{
    ResetLabelHighlight();
    m_values.StationLatitude = m_values.StationLongitude = 0;
    const QString typed = cboCall->currentText().toUpper().trimmed();
    m_values.CurrentCall = typed;
    if (typed.isEmpty() || isSpecialCall(typed)) {
        cboCall->setFocus();
        emit lookupSettled();
        return;
    }

    // History: newest first, at most eight after each lookup; the box keeps what was typed.
    QStringList history;
    for (int i = 0; i < cboCall->count(); ++i)
        history << cboCall->itemText(i);
    const QStringList updated = updatedHistory(history, typed);
    {
        // The typed call becomes the current entry, so that the box does not take the edit
        // text for a new choice when it loses the focus.
        const QSignalBlocker block(cboCall);
        if (updated != history) {
            cboCall->clear();
            cboCall->addItems(updated);
        }
        cboCall->setCurrentIndex(int(updated.indexOf(typed)));
        cboCall->setEditText(typed);
    }

    setCursor(Qt::WaitCursor);
    ClearResultPanel();
    m_values.UpdateText.clear();
    m_values.SourceUrl.clear();
    m_station.Name.clear();
    m_station.Add1.clear();
    m_station.Add2.clear();
    m_station.Ctry.clear();
    m_values.LookupFailed = 0;

    m_values.CurrentCall = normaliseCall(typed);

    if (optFrom[0]->isChecked()) {
        CallDatabase db(m_values.DataFolder);
        const int32_t n = db.FindCall(m_values.CurrentCall);
        if (n > 0 && !db.CurrentRecord.trimmed(CallRecord::Name).isEmpty()
            && db.CurrentRecord.trimmed(CallRecord::Lat) != QStringLiteral("0")) {
            ShowLocalRecord(db.CurrentRecord);
            if (m_mapWindow)
                plotStationMap(false, true);
            return;
        }
    }
    if (m_values.CurrentSource >= 0 && m_values.CurrentSource < 5 && !m_values.CurrentCall.isEmpty()) {
        StartWebLookup(m_values.CurrentCall);
        return;
    }
    // Nothing to ask (an unknown source, or a call that normalises to nothing).
    lblNot->setText(m_values.CurrentCall + item(38));
    m_values.LookupFailed = -1;
    settle();
}

void MainWindow::StartWebLookup(const QString &call)
{
    lookUp->GetPage(call + u'2');
    requestPicture(call);
}

void MainWindow::requestPicture(const QString &call)
{
    const QString address = pictureAddress(m_hosts.host(QStringLiteral("qrzpictures")), call);
    if (!address.isEmpty())
        lookUp->GetPicture(address, call + u'5');
}

void MainWindow::onGotPage(const QString &, bool loggedIn)
{
    setStatusFrom(loggedIn);
    const QString zip = m_station.Zip;
    m_station = StationResult();
    m_station.Zip = zip;
    m_values.StationLatitude = m_values.StationLongitude = 0;
    unsetCursor();

    const QString call = m_values.CurrentCall;
    m_station.Name = lookUp->cName(call);
    if (m_station.Name.isEmpty())
        return;  // the component reports the missing station
    m_station.Add1 = lookUp->Add1();
    m_station.Add2 = lookUp->Add2();
    m_station.Ctry = lookUp->Ctry();
    if (m_values.CurrentSource == 4) {
        QEventLoop pause;
        QTimer::singleShot(500, &pause, &QEventLoop::quit);
        pause.exec();
        if (m_values.CurrentCall != call)
            return;  // a newer lookup took over the page meanwhile
    }
    m_values.StationLatitude = lookUp->Latitude();
    m_values.StationLongitude = lookUp->Longitude();
    QString latText = formatNumber(m_values.StationLatitude);
    QString lonText = formatNumber(m_values.StationLongitude);
    m_station.Class = lookUp->Class();
    m_station.DateOfBirth = lookUp->DateOfBirth();
    m_station.Grid = lookUp->Grid();
    m_station.WebAddress = lookUp->WebAddress();

    // A page without a position: the address, else the zip code.
    if (m_values.StationLatitude == 0 && m_values.StationLongitude == 0) {
        const QString found = m_geocoder->GeocodeAddress(m_station.Add1 + u' ' + m_station.Add2 + u' ' + m_station.Ctry);
        if (m_values.CurrentCall != call)
            return;
        if (!found.isEmpty()) {
            const QStringList parts = found.split(u',');
            latText = parts.value(0);
            lonText = parts.value(1);
            m_values.StationLatitude = leadingNumber(latText);
            m_values.StationLongitude = leadingNumber(lonText);
        }
        const qsizetype blank = m_station.Add2.lastIndexOf(u' ');
        if (m_values.StationLatitude == 0 && m_values.StationLongitude == 0 && blank >= 0) {
            m_station.Zip = m_station.Add2.mid(blank + 1, 5);
            ZipPosition(m_values.DataFolder, m_station.Zip, m_values.StationLatitude,
                        m_values.StationLongitude);
        }
    }

    if (const auto line = FormatDistanceLine(m_values, QLocale()))
        lblDx->setText(*line);
    if (m_station.Grid.isEmpty() && m_values.StationLatitude != 0 && m_values.StationLongitude != 0)
        m_station.Grid = LatLonToGrid(m_values.StationLatitude, m_values.StationLongitude);
    ShowWebResult();
    storeStation(latText, lonText);
    Beep(400, 75);
    showRecordCount();
    if (m_mapWindow)
        plotStationMap(false, true);
    emit lookupSettled();
}

void MainWindow::storeStation(const QString &latText, const QString &lonText)
{
    CallDatabase db(m_values.DataFolder);
    const int32_t n = db.FindCall(m_values.CurrentCall);
    const QString keptAdd1 = n > 0 ? db.CurrentRecord.text(CallRecord::Add1) : QString();
    db.ClearRecord();
    CallRecord &r = db.CurrentRecord;
    r.setText(CallRecord::Call, m_values.CurrentCall);
    r.setText(CallRecord::Name, m_station.Name);
    r.setText(CallRecord::Add1, m_values.CurrentSource == 2 ? keptAdd1 : m_station.Add1);
    r.setText(CallRecord::Add2, m_station.Add2);
    r.setText(CallRecord::Ctry, m_station.Ctry);
    r.setText(CallRecord::Lat, latText);
    r.setText(CallRecord::Lon, lonText);
    r.setText(CallRecord::Class, m_station.Class);
    r.setText(CallRecord::YearBorn, m_station.DateOfBirth);
    DbStatus status = n > 0 ? db.ReplaceRecord(n) : db.AppendRecord();
    if (status == DbStatus::Missing)  // the search could not create the file either
        status = DbStatus::OpenFailed;
    if (status == DbStatus::Ok && n == 0)
        status = db.SortDatabase();
    if (status != DbStatus::Ok && !m_databaseWarned) {
        // Once per run: the lookups go on, only the local copy is missing.
        m_databaseWarned = true;
        ShowUniMsgBox(this, QStringLiteral("The local database could not be written:\r\n") + db.lastError(),
                      48, QStringLiteral("Torvane"), QStringLiteral("Ok"));
    }
}

void MainWindow::onCallNotFound(const QString &call)
{
    lblNot->setText(call + item(38));
    lblNot->show();
    m_values.LookupFailed = -1;
    settle();
}

void MainWindow::onLoginRequired(const QString &)
{
    lblNot->setText(item(45) + u' ' + m_values.SourceName);
    lblNot->show();
    settle();
}

void MainWindow::onGotPicture(const QString &call)
{
    // The cache keeps every picture that arrives; the panel shows only the current station's.
    QSaveFile file(pictureCacheFolder(m_values.DataFolder) + u'/' + call + QStringLiteral(".jpg"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(m_values.DownloadBuffer);
        file.commit();
    }
    if (call != m_values.CurrentCall)
        return;
    ShowPicture(file.fileName());
    settle();
}

void MainWindow::settle()
{
    unsetCursor();
    cboCall->setFocus();
    cboCall->lineEdit()->selectAll();
    emit lookupSettled();
}

void MainWindow::RefreshSiteList()
{
    lookUp->CheckUpdates();
    const QString maker = m_hosts.host(QStringLiteral("maker"));
    if (maker.isEmpty())
        return;
    // The list of image-receiving sites is rebuilt from this text.
    m_siteListText = DownloadText(maker + QStringLiteral("/updates/updates.txt"));
}

QString MainWindow::DownloadText(const QString &address)
{
    QNetworkAccessManager manager;
    const FetchResult result = fetchBlocking(&manager, QUrl(address), kPageTimeLimitMs);
    // A partial answer is still handed on, as a partial read would be.
    return fromCp1252(result.body);
}
