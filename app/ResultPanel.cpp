// The main window's result panel, and the other windows it opens.

#include "app/MainWindow.h"

#include "app/EntityLine.h"

#include "core/DataFolder.h"
#include "app/Logging.h"
#include "app/MainLayout.h"
#include "app/SignInText.h"
#include "app/StreetView.h"
#include "core/Sources.h"
#include "core/TextUtil.h"
#include "lookup/SessionCookies.h"
#include "ui/DropDownMenu.h"
#include "ui/LanguageFile.h"
#include "geo/Geodesy.h"
#include "geo/MapProjection.h"
#include "windows/DatabaseEditor.h"
#include "windows/MapWindow.h"
#include "windows/LastImagesWindow.h"
#include "windows/SatelliteView.h"
#include "windows/SignInWindow.h"
#include "windows/WebMapEntry.h"
#include "windows/PictureWindow.h"
#include "windows/StationSetup.h"
#include "sites/SiteList.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace torvane;

namespace {

void setUnderline(QWidget *w, bool on)
{
    QFont f = w->font();
    f.setUnderline(on);
    w->setFont(f);
}

}  // namespace

void MainWindow::ResetLabelHighlight()
{
    for (QLabel *label : {lblName, lblAdd1, lblAdd2, lblCtry}) {
        label->setAutoFillBackground(false);
        label->setPalette(pic1->palette());
    }
}

void MainWindow::ClearResultPanel()
{
    ResetLabelHighlight();
    for (QLabel *label : {lblDx, lblClass, lblGrid, lblDOB})
        label->clear();
    lblDx->setToolTip(QString());
    lblNot->setText(item(34));
    lblNot->setToolTip(QString());
    lblNot->show();
    for (QLabel *label : {lblName, lblAdd1, lblAdd2, lblCtry}) {
        label->clear();
        label->show();
    }
    lblEmail->hide();
    setUnderline(optFrom[0], false);
    setUnderline(optFrom[1], false);
    Image1->clear();
    QFile::remove(m_values.DataFolder + QStringLiteral("/Ham.bmp"));
    placePicture(defaultPictureBox());
    lblDOB->hide();
}

void MainWindow::placePicture(const QRectF &logical)
{
    m_pictureRect = logical;
    Image1->setGeometry(logicalToPixels(logical, QSizeF(332, 189), picBackground->size()));
}

QRectF MainWindow::pictureRect() const
{
    return m_pictureRect;
}

void MainWindow::showSiteLink()
{
    m_values.DsstvSiteUrl.clear();
    lblEmail->hide();
    const SiteRecord site =
        FindSite(m_values.DataFolder + QStringLiteral("/dsstvSites.dat"), m_values.CurrentCall);
    if (site.number > 0) {
        m_values.DsstvSiteUrl = site.url;
        lblEmail->show();
    }
    fitEntityLine();
}

void MainWindow::fitEntityLine()
{
    // Beside a shown site link the line keeps to the room right of the link's text; the link,
    // as wide as its text, lies above the line so that it takes the mouse.
    int reserved = 0;
    if (!lblEmail->isHidden()) {
        const int text = lblEmail->fontMetrics().horizontalAdvance(lblEmail->text()) + 6;
        lblEmail->resize(std::min(text, lblEmail->width()), lblEmail->height());
        lblEmail->raise();
        reserved = lblEmail->x() - lblEntity->x() + text + 6;
    }
    m_entityLine->refresh(reserved);
}

void MainWindow::showDistanceLine(bool approximate)
{
    const auto line = FormatDistanceLine(m_values, QLocale());
    if (!line)
        return;
    lblDx->setText(approximate ? QStringLiteral("\u2248 ") + *line : *line);
    lblDx->setToolTip(FormatLongPath(m_values, QLocale()).value_or(QString()));
}

void MainWindow::showApproximatePosition()
{
    const std::optional<Entity> &entity = m_entityLine->entity();
    if (m_values.StationLatitude != 0 || !entity)
        return;
    // Only the panel and the map see it: the lookup has stored what the call-book gave.
    m_values.StationLatitude = entity->latitude;
    m_values.StationLongitude = entity->longitude;
    m_approximate = true;
    showDistanceLine(true);
    layoutControls();
    if (m_mapWindow)
        plotStationMap(false, false);
}

void MainWindow::ShowLocalRecord(const CallRecord &record)
{
    setUnderline(optFrom[0], true);
    if (!lblNot->text().contains(QStringLiteral("QRZ")))
        lblNot->hide();
    lblName->setText(record.trimmed(CallRecord::Name));
    lblAdd1->setText(record.trimmed(CallRecord::Add1));
    lblAdd2->setText(record.trimmed(CallRecord::Add2));
    lblCtry->setText(record.trimmed(CallRecord::Ctry));
    lblClass->setText(record.trimmed(CallRecord::Class) + u' ');
    const QString year = record.trimmed(CallRecord::YearBorn);
    lblDOB->setText(item(37) + year + u' ');
    lblDOB->setVisible(!year.isEmpty());

    m_values.StationLatitude = leadingNumber(record.text(CallRecord::Lat));
    m_values.StationLongitude = leadingNumber(record.text(CallRecord::Lon));
    // 0, 0 is a record without a position, not a square in the Gulf of Guinea.
    const bool placed = m_values.StationLatitude != 0 || m_values.StationLongitude != 0;
    const QString grid = placed ? LatLonToGrid(m_values.StationLatitude, m_values.StationLongitude) : QString();
    if (grid.isEmpty())
        lblGrid->clear();
    else
        m_station.Grid = grid;
    lblGrid->setText(grid.isEmpty() ? QString() : item(30) + QStringLiteral(": ") + grid);
    lblGrid->setVisible(!grid.isEmpty());
    showDistanceLine();
    showSiteLink();

    // The cached picture; a small file is a placeholder or an error page: fetch it again.
    const QFileInfo cached(pictureCacheFolder(m_values.DataFolder) + u'/' + m_values.CurrentCall
                           + QStringLiteral(".jpg"));
    if (cached.exists() && cached.size() > 2000)
        ShowPicture(cached.filePath());
    else if (cached.exists())
        requestPicture(m_values.CurrentCall);

    if (m_values.FirstLookupPending) {
        m_values.FirstLookupPending = false;
        RefreshSiteList();
    }
    settle();
}

void MainWindow::ShowWebResult()
{
    setUnderline(optFrom[1], true);
    if (!lblNot->text().contains(QStringLiteral("QRZ")))
        lblNot->hide();
    lblName->setText(m_station.Name);
    lblAdd1->setText(m_station.Add1);
    lblAdd2->setText(m_station.Add2);
    lblCtry->setText(m_station.Ctry);
    lblClass->setText(m_station.Class);
    lblDOB->setText(item(37) + m_station.DateOfBirth);
    lblDOB->setVisible(!m_station.DateOfBirth.isEmpty());
    lblGrid->setText(m_station.Grid.isEmpty() ? QString() : item(30) + QStringLiteral(": ") + m_station.Grid);
    lblGrid->setVisible(!m_station.Grid.isEmpty());
    showSiteLink();
    if (m_values.FirstLookupPending) {
        m_values.FirstLookupPending = false;
        RefreshSiteList();
    }
    unsetCursor();
    cboCall->setFocus();
    cboCall->lineEdit()->selectAll();
}

bool MainWindow::ShowPicture(const QString &file)
{
    // Only the formats station pictures come in are decoded, each by its own reader.
    QFile source(file);
    const QByteArray format = source.open(QIODevice::ReadOnly) ? pictureFormat(source.peek(8)) : QByteArray();
    if (format.isEmpty())
        return false;
    QImageReader reader(&source, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;
    const QRectF box = fittedPictureBox(picture.width(), picture.height(), m_pictureRect);
    if (box.isEmpty())
        return false;
    Image1->setPixmap(QPixmap::fromImage(picture));
    placePicture(box);
    QImageWriter bitmap(m_values.DataFolder + QStringLiteral("/Ham.bmp"), "BMP");
    if (!bitmap.write(picture))
        qCWarning(lcApp).noquote() << "Ham.bmp not written:" << bitmap.fileName() << "-" << bitmap.errorString();
    return true;
}

void MainWindow::plotStationMap(bool openWindow, bool popupWhenMissing)
{
    if (!m_mapWindow && !openWindow)
        return;
    const int index = FindMapIndex(m_values.MapList,
                                   ChooseMapName(m_values.StationLatitude, m_values.StationLongitude));
    if (index < 0) {
        if (popupWhenMissing)
            OpenShellPopup(QStringLiteral("World Map not found"), 0, QString());
        if (!m_mapWindow)
            return;
    } else {
        m_values.CurrentMapIndex = int16_t(index);
    }
    if (!m_mapWindow) {
        m_mapWindow = new MapWindow(m_values, m_values.CurrentMapIndex);
        m_mapWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_mapWindow, &MapWindow::FocusCallBox, this, [this] {
            activateWindow();
            readyForNextCall();  // focus and the call selected
        });
    }
    m_mapWindow->PlotMap();
}

MapWindow *MainWindow::mapWindow() const
{
    return m_mapWindow;
}

void MainWindow::openStationSetup()
{
    auto *setup = new StationSetup(m_values, m_hosts, this, lblStatus->text());
    setup->setAttribute(Qt::WA_DeleteOnClose);
    connect(setup, &StationSetup::FocusCallBox, this, [this] {
        // The own position or the unit may have changed: the shown station's distance follows.
        if (m_values.StationLatitude != 0) {
            showDistanceLine(m_approximate);
            if (m_mapWindow)
                plotStationMap(false, false);
        }
        readyForNextCall();  // focus and the call selected
    });
    setup->show();
}

void MainWindow::openDatabaseEditor()
{
    auto *editor = new DatabaseEditor(m_values, m_hosts, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &DatabaseEditor::FocusCallBox, this, [this] {
        showRecordCount();
        readyForNextCall();  // focus and the call selected
    });
    editor->show();
}

void MainWindow::openPictureWindow()
{
    PictureWindow::open(pictureCacheFolder(m_values.DataFolder) + u'/' + m_values.CurrentCall
                            + QStringLiteral(".jpg"),
                        this);
}

void MainWindow::openSatelliteView(bool addressForm)
{
    const QString address = StreetViewUrl(cboCall->currentText(), m_hosts.host(QStringLiteral("maps")),
                                          lblAdd1->text(), lblAdd2->text(), lblCtry->text(),
                                          m_values.StationLatitude, m_values.StationLongitude,
                                          addressForm ? StreetViewForm::Address : StreetViewForm::Position);
    SatelliteView::open(m_values, address);
}

void MainWindow::refreshSignInEntry()
{
    // The Setup menu's last entry names the current source.
    const MenuLists lists =
        torvane::fillMenuLists(m_values.LanguageText, m_values.CurrentSource, m_values.LanguageIndex);
    ucMnuSetup->setCaption(lists.ucMnuSetup + u'|' + signInMenuText(m_values.SourceName, m_values.LanguageIndex));
}

void MainWindow::openSignIn()
{
    const SourceFacts *source = sourceFactsOfSetting(m_values.CurrentSource);
    auto *jar = qobject_cast<SessionCookies *>(m_values.Cookies);
    if (!source || !jar)
        return;
    // The source's sign-in page: its own entry in Hosts.cfg, else its address + "/login".
    const QString name = QString::fromLatin1(source->hostName);
    QString page = m_hosts.host(name + QStringLiteral("login"));
    if (page.isEmpty())
        page = m_hosts.host(name) + QStringLiteral("/login");
    QStringList hosts;
    for (int setting = 0; setting < 5; ++setting)
        hosts << m_hosts.host(QString::fromLatin1(sourceFactsOfSetting(setting)->hostName));
    auto *window = new SignInWindow(m_values.DataFolder, QUrl(page), hosts, jar);
    QString title = signInMenuText(m_values.SourceName, m_values.LanguageIndex);
    window->setWindowTitle(QStringLiteral("Torvane - ") + title.remove(u'\u2026'));
    window->cmdSignOut->setText(signOutText(m_values.LanguageIndex));
    // The status line says at once what the source makes of the operator now.
    connect(window, &SignInWindow::closed, this, [this] {
        readyForNextCall();
        ConnectToSource();  // its busy pointer stays until the site answers
    });
    window->show();
    window->activateWindow();
}

void MainWindow::openWebMap()
{
    auto *entry = new WebMapEntry(m_values, m_webMapEntries, m_hosts.host(QStringLiteral("maps")),
                                  [this](const QString &address) { SatelliteView::open(m_values, address); });
    entry->show();
    entry->activateWindow();
}
void MainWindow::openLastImages()
{
    if (m_values.DsstvSiteUrl.isEmpty() || m_lastImages)
        return;
    m_lastImages = LastImagesWindow::open(m_values, this);
    connect(m_lastImages, &LastImagesWindow::closed, this, &MainWindow::readyForNextCall);
}
