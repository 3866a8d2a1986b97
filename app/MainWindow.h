#pragma once
// The main window: start-up and close, the call box and the result panel.

#include "core/HostTable.h"
#include "core/LookupRules.h"
#include "core/ProgramValues.h"
#include "calldb/CallRecord.h"
#include "ui/LanguageFile.h"

#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;
class QNetworkAccessManager;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
namespace torvane {
class CallCompleter;
class DropDownMenu;
class EntityLine;
class LookupControl;
class LastImagesWindow;
class MapWindow;
class Geocoder;
class MainMenus;
class StationLookup;
class UpdateCheck;
}

namespace torvane {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(torvane::ProgramValues &values, QWidget *parent = nullptr);
    ~MainWindow() override;

    /// Start-up: data folder, configuration, window placement; the window is shown at the end.
    void startUp();
    /// Loads the language file of LanguageIndex and refreshes the captions and menu lists.
    void loadLanguage();
    /// Tool-tip of the local option: how many records the local database holds.
    void showRecordCount();
    /// Language item n (1-73) of the loaded language.
    QString item(int n) const;
    /// The header menus, the panel's menus and their commands.
    torvane::MainMenus *menus() const { return m_menus; }
    /// The hosts of Hosts.cfg, read at start-up.
    const torvane::HostTable &hosts() const { return m_hosts; }

    // Lookup workflow.
    /// The lookup command: Enter, cmdGet, a history entry, Timer3, F8.
    void Lookup();
    /// Asks the web source for call's page and picture.
    void StartWebLookup(const QString &call);
    /// Loads the current source's site page to learn whether it answers and the login state.
    void ConnectToSource();
    /// F8: takes a call sign from the clipboard and looks it up.
    void pasteAndLookup();

    // Result panel.
    void ClearResultPanel();
    void ShowLocalRecord(const torvane::CallRecord &record);
    void ShowWebResult();
    /// Loads, fits and shows a station picture; false when the file holds no picture.
    bool ShowPicture(const QString &file);
    /// The four copyable labels back to their normal look.
    void ResetLabelHighlight();
    /// Image1's place in the panel's 332 x 189 units.
    QRectF pictureRect() const;
    /// The last web result.
    torvane::StationResult &stationResult() { return m_station; }

    // Source and captions.
    /// SourceName and SourceUrl from the source table for CurrentSource.
    void setSourceFromTable();
    /// Captions that name the source: optFrom(1) and lblSource; the headers are placed again.
    void applySource();
    /// lblStatus from LookupState (after a language change).
    void refreshStatusText();
    /// The header labels at their places (lblSetup right-aligned).
    void placeHeaders();
    /// The entity line fitted beside the site link.
    void fitEntityLine();
    /// The station is shown at its country's position, which is never stored.
    bool approximatePosition() const { return m_approximate; }
    /// The completion list under the call box.
    torvane::CallCompleter *completer() const { return m_completer; }
    /// The entity of the current call, from the country file.
    torvane::EntityLine *entityLine() const { return m_entityLine; }

    // Other windows of the program, opened from the lookup, the menus and the panel.
    /// Chooses the map for the station and plots it; opens the map window when needed.
    /// With popupWhenMissing the operator is told when no map file matches.
    void plotStationMap(bool openWindow, bool popupWhenMissing);
    /// The map window, when it is open.
    MapWindow *mapWindow() const;
    void openStationSetup();
    void openDatabaseEditor();
    void openSatelliteView(bool addressForm);
    void openWebMap();
    void openLastImages();
    void openSignIn();
    void refreshSignInEntry();
    void openPictureWindow();

    torvane::ProgramValues &values() { return m_values; }
    /// The outer rectangle of the window in pixels (frame included).
    QRect outerRect() const;
    /// The outer left, top and width in twips, as stored in Torvane.cfg.
    QRect twipsRect() const;
    /// Where the controls are laid out: the whole client area, or, in a window the window
    /// manager maximized, the largest part of it with the window's proportions, centred.
    QRect contentRect() const;
    /// The outer width in twips that the fonts follow: that of the content when maximized.
    int contentTwipsWidth() const;

    // Controls, by their design names (objectName is the same).
    QLabel *imgMenuBar = nullptr;
    QLabel *lblSource = nullptr;
    QLabel *lblMaps = nullptr;
    QLabel *lblSetup = nullptr;
    QWidget *picBackground = nullptr;
    QComboBox *cboCall = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *cmdGet = nullptr;
    QRadioButton *optFrom[2] = {nullptr, nullptr};
    QLabel *Image1 = nullptr;
    QFrame *picInfo = nullptr;
    QFrame *pic1 = nullptr;
    QLabel *lblDx = nullptr;
    QLabel *lblClass = nullptr;
    QLabel *lblNot = nullptr;
    QLabel *lblGrid = nullptr;
    QLabel *lblDOB = nullptr;
    QLabel *lblName = nullptr;
    QLabel *lblAdd1 = nullptr;
    QLabel *lblAdd2 = nullptr;
    QLabel *lblCtry = nullptr;
    QLabel *lblEmail = nullptr;
    QLabel *lblEntity = nullptr;  ///< the call's country, zones and local time
    QListWidget *lstMap = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer3 = nullptr;
    QTimer *tmrMenus = nullptr;
    LookupControl *lookUp = nullptr;  ///< objectName "ucLookUp"
    // Drop-down menus: the three headers', the Setup menu's two sub-menus, the panel's two.
    DropDownMenu *ucMnuSource = nullptr;
    DropDownMenu *ucMnuMaps = nullptr;
    DropDownMenu *ucMnuSetup = nullptr;
    DropDownMenu *ucMnuDefaultSource = nullptr;
    DropDownMenu *ucMnuLanguage = nullptr;
    DropDownMenu *ucMnuSaveAdd = nullptr;
    DropDownMenu *ucMnuSavePic = nullptr;

signals:
    /// A lookup's outcome reached the panel (shown, failed, or nothing to do); the picture may
    /// still follow.
    void lookupSettled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    // The steps of startUp, in their order.
    /// The data folder with its shipped files, the desktop's size, the map list.
    void prepareDataFolder();
    /// Hosts.cfg, the lookup control, the geocoder and the update check.
    void createLookupServices();
    /// Torvane.cfg, always on top, and the source of this run.
    void readConfiguration();
    /// The header labels in the desktop's menu font.
    void applyMenuFont();
    /// Setup marks, call history and the local or web option as configured.
    void showSettings();
    /// The stored size and place, kept to the smallest width and the aspect ratio.
    void placeWindow();
    void connectLookUp();
    void setStatusFrom(bool loggedIn);
    void onGotSite(const QString &siteText, bool loggedIn);
    void onGotPage(const QString &call, bool loggedIn);
    void updateHistory(const QString &typed);
    /// The newest web lookup of call still running, or nullptr.
    StationLookup *lookupFor(const QString &call) const;
    void removeLookup(StationLookup *lookup);
    /// Ends the lookup of call; true when it was the one the panel belongs to.
    bool endLookup(const QString &call);
    void finishWebLookup(StationLookup *lookup);
    void onGotPicture(const QString &call);
    void onCallNotFound(const QString &call);
    /// A site that gave no answer at all is told as such (status line and lblNot), not as a
    /// station not found; false when it answered.
    bool showNoAnswer();
    /// After a failed web lookup in local mode: the stored record that had no position.
    void showStoredRecord();
    void onLoginRequired(const QString &call);
    void storeStation(const StationLookup &lookup);
    void showSiteLink();
    /// lblDx from the station position, with the long path as its tooltip; `approximate`
    /// marks a position that is only the country's.
    void showDistanceLine(bool approximate = false);
    /// After a lookup that gave no position: the country's position for lblDx and the map.
    void showApproximatePosition();

    /// Pointer back, focus to the call box with its text selected.
    void readyForNextCall();
    /// readyForNextCall, and the lookup's outcome is announced.
    void settle();
    void RefreshSiteList();
    void requestPicture(const QString &call);
    void placePicture(const QRectF &logical);
    void refreshCaptions();
    void fillMenuLists();
    void layoutControls();
    QSize frameExtra() const;
    void setOuterSize(const QSize &outer);
    /// The stored outer size given again when the frame changed since; true when it was.
    bool keepOuterSizeOnNewFrame();
    bool maximized() const;
    /// After a drag of a border has rested: height = 0.7 x width again.
    void keepProportions();
    void syncTwips();
    /// After any change of size: the remembered rectangle, the twips and the controls.
    void geometryChanged();

    torvane::ProgramValues &m_values;
    torvane::HostTable m_hosts;
    QRect m_lastClient;  ///< the client area at the last change of place or size
    QSize m_sizedExtra;  ///< the frame the outer size was last given with
    QRect m_dragStart;   ///< the client area before the operator's drag of a border
    QRect m_keptRequest;   ///< the outer rectangle the proportions last asked for
    QRect m_refusedOuter;  ///< the outer rectangle before that request
    int m_refusals = 0;    ///< times in a row the same request was put back
    QTimer *m_resizeRest = nullptr;  ///< runs while the operator drags a border
    QRect m_twips;  ///< left, top, width in twips; follows the window when it moves a pixel
    bool m_adjusting = false;
    bool m_pasteLock = false;
    bool m_databaseWarned = false;
    QNetworkAccessManager *m_network = nullptr;  ///< for the site-list text
    QList<StationLookup *> m_lookups;  ///< web lookups running, oldest first
    QPointer<StationLookup> m_lookup;  ///< the newest: the only one the panel shows
    torvane::StationResult m_station;
    QRectF m_pictureRect;  ///< Image1 in the panel's 332 x 189 units
    std::unique_ptr<torvane::Geocoder> m_geocoder;
    std::unique_ptr<torvane::UpdateCheck> m_update;
    torvane::MainMenus *m_menus = nullptr;
    torvane::EntityLine *m_entityLine = nullptr;
    torvane::CallCompleter *m_completer = nullptr;
    /// The station shown at its country's position (no position of its own): never stored.
    bool m_approximate = false;
    std::optional<torvane::CallRecord> m_storedRecord;  ///< stored without a position
    QPointer<MapWindow> m_mapWindow;
    QPointer<LastImagesWindow> m_lastImages;
    QStringList m_webMapEntries;  ///< what the web-map entry held last, for the rest of the run
};

}  // namespace torvane
