// The main window's lookup workflow: from the call box to the lookup component and back.

#include "app/MainWindow.h"

#include "app/CallCompleter.h"
#include "app/EntityLine.h"
#include "app/NoAnswerText.h"
#include "app/SignInText.h"

#include "app/Logging.h"

#include "calldb/CallDatabase.h"
#include "core/DataFolder.h"
#include "core/Sources.h"
#include "core/TextUtil.h"
#include "core/WholeFile.h"
#include "geo/Geodesy.h"
#include "lookup/LookupControl.h"
#include "lookup/StationLookup.h"
#include "lookup/UpdateCheck.h"
#include "sites/SiteList.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"
#include "windows/MapWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QRadioButton>
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
        if (!endLookup(call))
            return;
        if (!showNoAnswer()) {
            lblNot->setText(call + QStringLiteral(" not found"));
            lblNot->show();
        }
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
    const int16_t database = databaseIndex(m_values.CurrentSource);
    if (!sourceFacts(database))
        return;
    // The pointer stays busy until the site answers (GotSite or SiteNotFound).
    setCursor(Qt::WaitCursor);
    lookUp->setDatabase(database);
    lookUp->GetSite();
}

void MainWindow::setStatusFrom(bool loggedIn)
{
    const StatusLine line = statusLine(loggedIn, m_values.CurrentSource, m_values.SourceName,
                                       item(66), item(67), item(68), item(70));
    lblStatus->setText(line.text);
    lblStatus->setToolTip(QString());
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
    m_completer->hide();
    ResetLabelHighlight();
    m_values.StationLatitude = m_values.StationLongitude = 0;
    const QString typed = cboCall->currentText().toUpper().trimmed();
    m_values.CurrentCall = typed;
    if (typed.isEmpty() || isSpecialCall(typed)) {
        cboCall->setFocus();
        emit lookupSettled();
        return;
    }
    // From here on the panel belongs to this lookup; an older one still running only stores.
    m_lookup = nullptr;
    updateHistory(typed);

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
    // The country is known at once, before any answer.
    m_entityLine->showCall(m_values.CurrentCall);
    if (std::exchange(m_approximate, false))
        layoutControls();

    m_storedRecord.reset();
    if (optFrom[0]->isChecked()) {
        CallDatabase db(m_values.DataFolder);
        const int32_t n = db.FindCall(m_values.CurrentCall);
        // A latitude of "0" marks a record stored without a position; so does an empty one,
        // which the database editor can save.
        const QString lat = db.CurrentRecord.trimmed(CallRecord::Lat);
        if (n > 0 && !db.CurrentRecord.trimmed(CallRecord::Name).isEmpty() && !lat.isEmpty()
            && lat != QStringLiteral("0")) {
            ShowLocalRecord(db.CurrentRecord);
            if (m_mapWindow)
                plotStationMap(false, true);
            return;
        }
        // Stored without a position: the web is asked, and should it fail this is shown.
        if (n > 0 && !db.CurrentRecord.trimmed(CallRecord::Name).isEmpty())
            m_storedRecord = db.CurrentRecord;
    }
    if (sourceFactsOfSetting(m_values.CurrentSource) && !m_values.CurrentCall.isEmpty()) {
        StartWebLookup(m_values.CurrentCall);
        return;
    }
    // Nothing to ask (an unknown source, or a call that normalises to nothing).
    lblNot->setText(m_values.CurrentCall + item(38));
    m_values.LookupFailed = -1;
    settle();
}

void MainWindow::updateHistory(const QString &typed)
{
    // Newest first, at most eight after each lookup; the box keeps what was typed.
    QStringList history;
    for (int i = 0; i < cboCall->count(); ++i)
        history << cboCall->itemText(i);
    const QStringList updated = updatedHistory(history, typed);
    // The typed call becomes the current entry, so that the box does not take the edit text
    // for a new choice when it loses the focus.
    const QSignalBlocker block(cboCall);
    if (updated != history) {
        cboCall->clear();
        cboCall->addItems(updated);
    }
    cboCall->setCurrentIndex(int(updated.indexOf(typed)));
    cboCall->setEditText(typed);
}

void MainWindow::StartWebLookup(const QString &call)
{
    // A newer lookup of a call replaces an older one of the same call: the component cancels
    // the older page request.
    const QList<StationLookup *> running = m_lookups;
    for (StationLookup *older : running) {
        if (older->call() == call)
            removeLookup(older);
    }
    auto *lookup = new StationLookup(call, m_values.CurrentSource, m_station.Zip,
                                     m_values.DataFolder, m_geocoder.get(), this);
    connect(lookup, &StationLookup::resolved, this, [this, lookup] { finishWebLookup(lookup); });
    m_lookups.append(lookup);
    m_lookup = lookup;
    lookUp->GetPage(call + u'2');
    requestPicture(call);
}

void MainWindow::requestPicture(const QString &call)
{
    const QString address = pictureAddress(m_hosts.host(QStringLiteral("qrzpictures")), call);
    if (!address.isEmpty())
        lookUp->GetPicture(address, call + u'5');
}

StationLookup *MainWindow::lookupFor(const QString &call) const
{
    for (auto it = m_lookups.crbegin(); it != m_lookups.crend(); ++it) {
        if ((*it)->call() == call)
            return *it;
    }
    return nullptr;
}

void MainWindow::removeLookup(StationLookup *lookup)
{
    if (!m_lookups.removeOne(lookup))
        return;
    if (m_lookup == lookup)
        m_lookup = nullptr;
    lookup->deleteLater();
}

bool MainWindow::endLookup(const QString &call)
{
    StationLookup *lookup = lookupFor(call);
    if (!lookup)
        return false;
    const bool current = lookup == m_lookup;
    removeLookup(lookup);
    return current;
}

void MainWindow::onGotPage(const QString &call, bool loggedIn)
{
    setStatusFrom(loggedIn);
    StationLookup *lookup = lookupFor(call);
    if (!lookup)
        return;  // nobody here asked for that page
    if (lookup == m_lookup) {
        const QString zip = m_station.Zip;
        m_station = StationResult();
        m_station.Zip = zip;
        m_values.StationLatitude = m_values.StationLongitude = 0;
        unsetCursor();
    }
    if (!lookup->readPage(*lookUp))
        removeLookup(lookup);  // the component has reported the missing station
}

void MainWindow::finishWebLookup(StationLookup *lookup)
{
    const bool current = lookup == m_lookup;
    if (current) {
        m_station = lookup->station();
        m_values.StationLatitude = lookup->latitude();
        m_values.StationLongitude = lookup->longitude();
        showDistanceLine();
        ShowWebResult();
    }
    storeStation(*lookup);
    removeLookup(lookup);
    if (!current)
        return;
    showApproximatePosition();
    Beep(kGoodTone, kGoodToneMs);
    showRecordCount();
    if (m_mapWindow)
        plotStationMap(false, true);
    // Ready for the next call; the pointer stays as the picture's request has it.
    cboCall->setFocus();
    cboCall->lineEdit()->selectAll();
    emit lookupSettled();
}

void MainWindow::storeStation(const StationLookup &lookup)
{
    QString error;
    const DbStatus status = lookup.store(&error);
    if (status == DbStatus::Ok)
        m_completer->addLocalCall(lookup.call());
    if (status == DbStatus::Ok || m_databaseWarned)
        return;
    // Once per run: the lookups go on, only the local copy is missing.
    m_databaseWarned = true;
    OpenUniMsgBox(this, QStringLiteral("The local database could not be written:\r\n") + error, 48,
                  QStringLiteral("Torvane"), QStringLiteral("Ok"), QString(), {});
}

void MainWindow::onCallNotFound(const QString &call)
{
    if (!endLookup(call))
        return;
    if (!showNoAnswer()) {
        lblNot->setText(call + item(38));
        lblNot->show();
    }
    m_values.LookupFailed = -1;
    settle();
}

void MainWindow::showStoredRecord()
{
    if (!m_storedRecord || m_storedRecord->trimmed(CallRecord::Call) != m_values.CurrentCall)
        return;
    // What the database knows, under the line that says why the web gave nothing more.
    const CallRecord &record = *m_storedRecord;
    lblName->setText(record.trimmed(CallRecord::Name));
    lblAdd1->setText(record.trimmed(CallRecord::Add1));
    lblAdd2->setText(record.trimmed(CallRecord::Add2));
    lblCtry->setText(record.trimmed(CallRecord::Ctry));
    lblClass->setText(record.trimmed(CallRecord::Class) + u' ');
}

bool MainWindow::showNoAnswer()
{
    const LookupControl::NoAnswer why = lookUp->lastPageNoAnswer();
    if (why == LookupControl::NoAnswer::None)
        return false;
    // Longer than the texts the labels were laid out for: fitted, whole in the tooltip.
    const auto fit = [](QLabel *label, const QString &text) {
        const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
        label->setText(shown);
        label->setToolTip(shown == text ? QString() : text);
    };
    fit(lblStatus, noAnswerText(m_values.SourceName, why == LookupControl::NoAnswer::TimedOut,
                                m_values.LanguageIndex));
    fit(lblNot, checkNetworkText(m_values.LanguageIndex));
    lblNot->show();
    return true;
}

void MainWindow::onLoginRequired(const QString &call)
{
    if (!endLookup(call))
        return;
    // Where the operator signs in, as far as the label has room; whole in its tooltip.
    const QString text = item(45) + u' ' + m_values.SourceName + QStringLiteral(" (")
                         + signInHintText(m_values.LanguageIndex) + u')';
    const QString shown = lblNot->fontMetrics().elidedText(text, Qt::ElideRight, lblNot->width());
    lblNot->setText(shown);
    lblNot->setToolTip(text);
    lblNot->show();
    // The source has just said it does not know us: the status line must not claim otherwise.
    setStatusFrom(false);
    settle();
}

void MainWindow::onGotPicture(const QString &call)
{
    // The cache keeps every picture that arrives; the panel shows only the current station's.
    const QString path = pictureCacheFolder(m_values.DataFolder) + u'/' + call + QStringLiteral(".jpg");
    if (const QString error = writeWholeFile(path, m_values.DownloadBuffer); !error.isEmpty())
        qCWarning(lcApp) << "cannot write" << path << error;
    if (call != m_values.CurrentCall)
        return;
    ShowPicture(path);
    // The picture may come before or after the page; only the page settles the lookup.
    readyForNextCall();
}

void MainWindow::readyForNextCall()
{
    unsetCursor();
    cboCall->setFocus();
    cboCall->lineEdit()->selectAll();
}

void MainWindow::settle()
{
    showStoredRecord();
    showApproximatePosition();
    readyForNextCall();
    emit lookupSettled();
}

void MainWindow::RefreshSiteList()
{
    lookUp->CheckUpdates();
    const QString maker = m_hosts.host(QStringLiteral("maker"));
    if (maker.isEmpty())
        return;
    // The list of image-receiving sites is rebuilt from this text; nothing waits for it. A text
    // that does not arrive leaves the list of the last run.
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    startFetch(m_network, makeRequest(QUrl(maker + QStringLiteral("/updates/updates.txt"))),
               kPageTimeLimitMs, this, [this](const FetchResult &fetched) {
                   if (fetched.status != FetchResult::Ok)
                       return;
                   m_values.UpdateText = fromCp1252(fetched.body);
                   QString problem;
                   const int count = RebuildSiteList(m_values.UpdateText,
                                                     m_values.DataFolder + QStringLiteral("/dsstvSites.dat"), &problem);
                   if (count < 0) {
                       qCWarning(lcApp) << "site list not written:" << problem;
                       return;
                   }
                   m_values.DsstvSiteCount = int16_t(std::min(count, 32767));
                   // The station on show may be one of the sites: its link appears now rather
                   // than at its next lookup.
                   if (!lblName->text().isEmpty())
                       showSiteLink();
               });
}
