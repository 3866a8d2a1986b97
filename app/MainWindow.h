#pragma once
// The main window: start-up and close, the call box and the result panel.

#include "app/HostTable.h"
#include "app/ProgramValues.h"
#include "ui/LanguageFile.h"

#include <QRect>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class ucMenu;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(torvane::ProgramValues &values, QWidget *parent = nullptr);

    /// Start-up: data folder, configuration, window placement; the window is shown at the end.
    void startUp();
    /// Loads the language file of LanguageIndex and refreshes the captions and menu lists.
    void loadLanguage();
    /// Tool-tip of the local option: how many records the local database holds.
    void showRecordCount();
    /// Language item n (1-73) of the loaded language.
    QString item(int n) const;

    torvane::ProgramValues &values() { return m_values; }
    /// The outer rectangle of the window in pixels (frame included).
    QRect outerRect() const;
    /// The outer left, top and width in twips, as stored in Torvane.cfg.
    QRect twipsRect() const;

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
    QListWidget *lstMap = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer3 = nullptr;
    QTimer *tmrMenus = nullptr;
    // Drop-down menus: the three headers', the Setup menu's two sub-menus, the panel's two.
    ucMenu *ucMnuSource = nullptr;
    ucMenu *ucMnuMaps = nullptr;
    ucMenu *ucMnuSetup = nullptr;
    ucMenu *ucMnuDefaultSource = nullptr;
    ucMenu *ucMnuLanguage = nullptr;
    ucMenu *ucMnuSaveAdd = nullptr;
    ucMenu *ucMnuSavePic = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void createControls();
    void applySource();
    void refreshCaptions();
    void fillMenuLists();
    void layoutControls();
    QSize frameExtra() const;
    void setOuterSize(const QSize &outer);
    void syncTwips();

    torvane::ProgramValues &m_values;
    torvane::HostTable m_hosts;
    QRect m_lastOuter;
    QRect m_twips;  ///< left, top, width in twips; follows the window when it moves a pixel
    bool m_adjusting = false;
};
