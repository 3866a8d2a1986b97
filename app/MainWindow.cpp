#include "app/MainWindow.h"

#include "core/ConfigFile.h"
#include "core/DataFolder.h"
#include "app/Logging.h"
#include "app/CallCompleter.h"
#include "app/EntityLine.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"
#include "core/TextUtil.h"
#include "core/WindowRules.h"
#include "calldb/CallDatabase.h"
#include "windows/MapWindow.h"
#include "lookup/Geocoder.h"
#include "lookup/LookupControl.h"
#include "lookup/UpdateCheck.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>

using namespace torvane;

namespace {

template <typename T>
T *named(QWidget *parent, const char *name)
{
    auto *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QTimer *namedTimer(QObject *parent, const char *name, int intervalMs)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(intervalMs);
    t->setSingleShot(true);
    return t;
}

int toPixels(int twips)
{
    return twipsToPixels(twips);
}

/// The available areas of the screens, the primary screen's first.
QList<QRect> availableAreas()
{
    QList<QRect> areas;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas.append(screen->availableGeometry());
    }
    return areas;
}

}  // namespace

MainWindow::MainWindow(ProgramValues &values, QWidget *parent) : QWidget(parent), m_values(values)
{
    setObjectName(QStringLiteral("Form1"));
    // No maximize: the window keeps its proportions, which a maximized window could not.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(m_values.VersionText);
    createControls();

    m_menus = new MainMenus(*this);
    connect(cmdGet, &QPushButton::clicked, this, &MainWindow::Lookup);
    connect(cboCall, &QComboBox::activated, this, [this] { Lookup(); });
    // Keys reach the line edit either directly or forwarded by the combo box.
    cboCall->installEventFilter(this);
    cboCall->lineEdit()->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, [this] { m_pasteLock = false; });
    connect(Timer3, &QTimer::timeout, this, [this] {
        if (!cboCall->currentText().isEmpty())
            Lookup();
    });
}

MainWindow::~MainWindow()
{
    // The menus filter the controls' events and read this window's members: they go first, as
    // QWidget's destructor still sends events to the controls while it deletes them.
    delete m_menus;
    delete m_mapWindow;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == cboCall || watched == cboCall->lineEdit()) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (m_completer->handleKey(key))
            return true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Lookup();
            return true;
        }
        if (key->key() == Qt::Key_F8) {
            pasteAndLookup();
            return true;
        }
        const QString text = key->text();
        if (text.size() == 1 && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QChar typed = typedCallChar(text[0], m_values.PlainZero);
            if (typed != text[0]) {
                cboCall->lineEdit()->insert(QString(typed));
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::createControls()
{
    imgMenuBar = named<QLabel>(this, "imgMenuBar");
    imgMenuBar->setAutoFillBackground(true);
    imgMenuBar->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f6fa, stop:1 #d9dee8);"));
    lblSource = named<QLabel>(this, "lblSource");
    lblMaps = named<QLabel>(this, "lblMaps");
    lblSetup = named<QLabel>(this, "lblSetup");

    picBackground = named<QWidget>(this, "picBackground");
    // The panel's fixed places were laid out for Arial; its metric twin stands in where missing.
    picBackground->setFont(dialogFont());
    picBackground->setAutoFillBackground(true);
    QPalette back = picBackground->palette();
    back.setColor(QPalette::Window, QColor(0xe8, 0xec, 0xf2));
    picBackground->setPalette(back);

    cboCall = named<QComboBox>(picBackground, "cboCall");
    cboCall->setEditable(true);
    cboCall->setInsertPolicy(QComboBox::NoInsert);
    m_completer = new CallCompleter(cboCall, this);
    connect(cboCall->lineEdit(), &QLineEdit::textEdited, m_completer, &CallCompleter::textEdited);
    connect(m_completer, &CallCompleter::chosen, this, &MainWindow::Lookup);
    lblStatus = named<QLabel>(picBackground, "lblStatus");
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cmdGet = named<QPushButton>(picBackground, "cmdGet");
    optFrom[0] = named<QRadioButton>(picBackground, "optFrom(0)");
    optFrom[1] = named<QRadioButton>(picBackground, "optFrom(1)");
    Image1 = named<QLabel>(picBackground, "Image1");
    Image1->setScaledContents(true);

    picInfo = named<QFrame>(picBackground, "picInfo");
    picInfo->setFrameShape(QFrame::StyledPanel);
    lblDx = named<QLabel>(picInfo, "lblDx");
    lblClass = named<QLabel>(picInfo, "lblClass");
    lblNot = named<QLabel>(picInfo, "lblNot");
    lblGrid = named<QLabel>(picInfo, "lblGrid");
    lblDOB = named<QLabel>(picInfo, "lblDOB");

    pic1 = named<QFrame>(picBackground, "pic1");
    pic1->setFrameShape(QFrame::StyledPanel);
    pic1->setAutoFillBackground(true);
    QPalette white = pic1->palette();
    white.setColor(QPalette::Window, Qt::white);
    pic1->setPalette(white);
    picInfo->setAutoFillBackground(true);
    picInfo->setPalette(white);
    lblName = named<QLabel>(pic1, "lblName");
    lblAdd1 = named<QLabel>(pic1, "lblAdd1");
    lblAdd2 = named<QLabel>(pic1, "lblAdd2");
    lblCtry = named<QLabel>(pic1, "lblCtry");
    lblEmail = named<QLabel>(pic1, "lblEmail");
    lblEmail->hide();  // shown when the station runs a last-images site
    lblEntity = named<QLabel>(pic1, "lblEntity");
    m_entityLine = new EntityLine(lblEntity, m_values.LanguageIndex, this);

    lstMap = named<QListWidget>(this, "lstMap");
    lstMap->hide();

    Timer1 = namedTimer(this, "Timer1", 3000);
    Timer3 = namedTimer(this, "Timer3", 100);
    tmrMenus = namedTimer(this, "tmrMenus", 500);
    m_resizeRest = new QTimer(this);
    m_resizeRest->setSingleShot(true);
    m_resizeRest->setInterval(200);
    connect(m_resizeRest, &QTimer::timeout, this, &MainWindow::keepProportions);
    tmrMenus->setSingleShot(false);

    ucMnuSource = named<DropDownMenu>(this, "ucMnuSource");
    ucMnuMaps = named<DropDownMenu>(this, "ucMnuMaps");
    ucMnuSetup = named<DropDownMenu>(this, "ucMnuSetup");
    ucMnuDefaultSource = named<DropDownMenu>(this, "ucMnuDefaultSource");
    ucMnuLanguage = named<DropDownMenu>(this, "ucMnuLanguage");
    ucMnuSaveAdd = named<DropDownMenu>(this, "ucMnuSaveAdd");
    ucMnuSavePic = named<DropDownMenu>(this, "ucMnuSavePic");
}

void MainWindow::startUp()
{
    prepareDataFolder();
    createLookupServices();
    readConfiguration();
    applyMenuFont();
    loadLanguage();
    showSettings();
    placeWindow();

    setCursor(Qt::WaitCursor);
    applySource();
    lblStatus->setText(item(33));
    m_values.FirstLookupPending = true;

    show();
    // The frame is known once the window is shown: keep the outer size as stored.
    setOuterSize(QSize(toPixels(m_twips.width()), toPixels(m_twips.height())));
    ConnectToSource();
    cboCall->setFocus();
}

void MainWindow::prepareDataFolder()
{
    // The data folder and its sub-folders; a fresh installation gets the shipped files.
    m_values.DataFolder = dataFolderPath();
    installShippedData(shippedDataFolder(), m_values.DataFolder);
    showRecordCount();
    createPictureFolders(m_values.DataFolder);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->virtualGeometry();
        m_values.VirtualScreenWidth = desk.width();
        m_values.VirtualScreenHeight = desk.height();
    }
    m_values.TwipsPerPixelX = m_values.TwipsPerPixelY = kTwipsPerPixel;
    lblStatus->setText(item(33));

    m_values.MapList = listMapFiles(m_values.DataFolder);
    lstMap->clear();
    lstMap->addItems(m_values.MapList);

    QFile::remove(m_values.DataFolder + QStringLiteral("/Ham.bmp"));
}

void MainWindow::createLookupServices()
{
    m_hosts = HostTable::fromFile(m_values.DataFolder + QStringLiteral("/Hosts.cfg"));
    lookUp = new LookupControl(m_values, m_hosts, this);
    connectLookUp();
    m_geocoder = std::make_unique<Geocoder>(m_hosts);
    m_entityLine->loadCountryFile(m_values.DataFolder);
    m_completer->load(m_values.DataFolder);
    m_update = std::make_unique<UpdateCheck>(
        m_values, m_hosts, [this](const UpdateMessage &m, std::function<void(int)> answered) {
            OpenUniMsgBox(this, m.prompt, m.buttons, m.title, m.button1Caption, m.button2Caption,
                          [answered](int16_t result) { answered(result); });
        });
}

void MainWindow::readConfiguration()
{
    if (!readConfigFile(m_values.DataFolder + QStringLiteral("/Torvane.cfg"), m_values))
        ShellPopup(QStringLiteral("Torvane.cfg file not found"), 0, QStringLiteral("Torvane"));

    setWindowFlag(Qt::WindowStaysOnTopHint, m_values.AlwaysOnTop == 1);
    if (m_values.DefaultSource == -1)
        m_values.DefaultSource = 0;
    m_values.CurrentSource = m_values.DefaultSource;
    setSourceFromTable();
}

void MainWindow::applyMenuFont()
{
    // Header labels in the desktop's menu font.
    QString fontName;
    bool bold = false, italic = false;
    int fontSize = 0;
    if (!DropDownMenu::GetMenuFonts(fontName, bold, italic, fontSize))
        return;
    m_values.MenuFontName = fontName;
    m_values.MenuFontSize = float(fontSize);
    for (QLabel *header : {lblSource, lblMaps, lblSetup}) {
        QFont font = header->font();
        font.setFamily(fontName);
        font.setPointSize(fontSize);
        header->setFont(font);
    }
}

void MainWindow::showSettings()
{
    ucMnuSetup->Check(3, m_values.AlwaysOnTop != 0);
    ucMnuSetup->Check(4, m_values.PlainZero != 0);

    cboCall->addItems(m_values.CallHistory);
    cboCall->setCurrentIndex(-1);
    optFrom[m_values.WebMode ? 1 : 0]->setChecked(true);
}

void MainWindow::placeWindow()
{
    if (m_values.WindowWidth < kMinWindowWidthTwips)
        m_values.WindowWidth = kMinWindowWidthTwips;
    m_twips = QRect(m_values.WindowLeft, m_values.WindowTop, m_values.WindowWidth,
                    int(roundHalfEven(kAspectRatio * m_values.WindowWidth)));
    // A place stored on a monitor that is gone, a larger screen or at another scale: the
    // window comes onto the screen, the stored twips stay where it fits as stored.
    const QRect stored(toPixels(m_twips.left()), toPixels(m_twips.top()), toPixels(m_twips.width()),
                       toPixels(m_twips.height()));
    const QRect onScreen = clampOntoScreen(stored, availableAreas(), toPixels(kMinWindowWidthTwips));
    if (onScreen != stored)
        m_twips = followInTwips(m_twips, onScreen);
    setMinimumSize(kMinWindowWidthTwips / kTwipsPerPixel / 2, 1);
    setOuterSize(QSize(toPixels(m_twips.width()), toPixels(m_twips.height())));
    move(toPixels(m_twips.left()), toPixels(m_twips.top()));
    layoutControls();
}

void MainWindow::showRecordCount()
{
    const CallDatabase db(m_values.DataFolder);
    optFrom[0]->setToolTip(QStringLiteral("Local database has %1 records.").arg(db.CountRecords()));
}

QString MainWindow::item(int n) const
{
    return languageItem(m_values.LanguageText, n);
}

void MainWindow::loadLanguage()
{
    const LanguageLoad load = torvane::loadLanguage(m_values.DataFolder, m_values.LanguageIndex,
                                                    m_values.VersionText, m_values.LanguageText);
    m_values.LanguageText = load.texts;
    const QPoint at = languageNoticePosition(m_values.VirtualScreenWidth * kTwipsPerPixel,
                                             m_values.VirtualScreenHeight * kTwipsPerPixel);
    for (const LanguageNotice &notice : load.notices)
        ShowUniMsgBox(this, notice.prompt, notice.buttons, notice.title, notice.buttonCaption,
                      QString(), QString(), QString(), at.x(), at.y());
    if (load.refreshCaptions)
        refreshCaptions();
    fillMenuLists();
}

void MainWindow::fillMenuLists()
{
    const MenuLists lists =
        torvane::fillMenuLists(m_values.LanguageText, m_values.CurrentSource, m_values.LanguageIndex);
    ucMnuSource->setCaption(lists.ucMnuSource);
    ucMnuMaps->setCaption(lists.ucMnuMaps);
    refreshSignInEntry();  // the Setup menu, with its sign-in entry
    ucMnuDefaultSource->setCaption(lists.ucMnuDefaultSource);
    ucMnuLanguage->setCaption(lists.ucMnuLanguage);
    ucMnuSaveAdd->setCaption(lists.ucMnuSaveAdd);
    ucMnuSavePic->setCaption(lists.ucMnuSavePic);
    if (lists.sourceChecked >= 0) {
        ucMnuSource->Check(lists.sourceChecked, true);
        ucMnuDefaultSource->Check(lists.sourceChecked, true);
    }
    if (lists.languageChecked >= 0)
        ucMnuLanguage->Check(lists.languageChecked, true);
}

void MainWindow::refreshCaptions()
{
    cmdGet->setText(item(19));
    lblEmail->setText(item(65));
    lblMaps->setText(QStringLiteral("  ") + item(4) + QStringLiteral("  "));
    lblSetup->setText(item(2));
    optFrom[0]->setText(item(63));
    applySource();
    lblDOB->setVisible(true);
    layoutControls();
}

void MainWindow::setOuterSize(const QSize &outer)
{
    m_adjusting = true;
    m_sizedExtra = frameExtra();
    resize(outer - m_sizedExtra);
    m_adjusting = false;
    geometryChanged();
}

bool MainWindow::keepOuterSizeOnNewFrame()
{
    // The window manager frames the window only after it is shown: the stored outer size is
    // then given again, or the frame would be added to it at every start.
    if (!isVisible() || m_adjusting || frameExtra() == m_sizedExtra || maximized())
        return false;
    // The twips stay: a frame that is still changing (after a maximize) tells no true place.
    m_adjusting = true;
    m_sizedExtra = frameExtra();
    resize(QSize(toPixels(m_twips.width()), toPixels(m_twips.height())) - m_sizedExtra);
    m_adjusting = false;
    m_lastClient = geometry();
    layoutControls();
    return true;
}

bool MainWindow::maximized() const
{
    return windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

void MainWindow::geometryChanged()
{
    m_lastClient = geometry();
    if (isVisible() && !maximized())
        syncTwips();
    layoutControls();
}

void MainWindow::syncTwips()
{
    m_twips = followInTwips(m_twips, outerRect());
}

QRect MainWindow::twipsRect() const
{
    return m_twips;
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (keepOuterSizeOnNewFrame())
        return;
    if (!m_resizeRest->isActive())  // a drag of the left or top edge moves the window too
        m_lastClient = geometry();
    if (isVisible() && !maximized())
        syncTwips();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layoutControls();
    // The operator works here now: in front of the map window, which otherwise stays above.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_mapWindow && m_mapWindow->isVisible()) {
        m_mapWindow->setInFront(false);
        raise();
    }
}

QRect MainWindow::contentRect() const
{
    if (!maximized())
        return rect();
    // Maximized by the window manager: the window of the kept proportions that would fill the
    // screen, centred in it.
    const QSize extra = m_sizedExtra;
    const QSize content = maximizedRect(QRect(QPoint(0, 0), size() + extra)).size() - extra;
    return QRect(QPoint((width() - content.width()) / 2, (height() - content.height()) / 2), content);
}

int MainWindow::contentTwipsWidth() const
{
    return maximized() ? (contentRect().width() + m_sizedExtra.width()) * kTwipsPerPixel : m_twips.width();
}

void MainWindow::setSourceFromTable()
{
    const SourceInfo source = sourceInfo(m_values.CurrentSource, m_hosts);
    m_values.SourceName = source.name;
    m_values.SourceUrl = source.url;
}

void MainWindow::applySource()
{
    // Captions that name the current source; an unknown source leaves the option's caption.
    const qsizetype dot = m_values.SourceName.indexOf(u'.');
    if (dot >= 0)
        optFrom[1]->setText(item(62) + u' ' + m_values.SourceName.left(dot));
    lblSource->setText(item(3) + m_values.SourceName);
    placeHeaders();
    refreshSignInEntry();
}

QSize MainWindow::frameExtra() const
{
    // The frame as the window manager reports it, the same whatever the window's size.
    const QMargins frame = isVisible() && windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}

QRect MainWindow::outerRect() const
{
    return QRect(frameGeometry().topLeft(), size() + frameExtra());
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_lastClient = geometry();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (keepOuterSizeOnNewFrame())
        return;
    if (!m_adjusting && isVisible() && m_lastClient.isValid() && !maximized()) {
        // The operator drags a border. The window manager owns the size until the drag ends:
        // the proportions are restored once the size has rested, from where the drag began.
        if (!m_resizeRest->isActive())
            m_dragStart = m_lastClient;
        m_resizeRest->start();
    }
    geometryChanged();
}

void MainWindow::keepProportions()
{
    if (!isVisible() || maximized())
        return;
    // The edge is told from the client area, which the frame moves with.
    const int edge = draggedEdge(m_dragStart, geometry());
    const QRect outer = outerRect();
    const QRect kept = toQRect(keepAspect(edge, toEdgeRect(outer)));
    if (kept == outer)
        return;
    // A window manager that refuses the kept size (puts the window back) is asked again a
    // few times, not at every rest; a late echo of the drag is no refusal.
    const bool again = kept == m_keptRequest && outer == m_refusedOuter;
    m_refusals = again ? m_refusals + 1 : 0;
    if (m_refusals > 2)
        return;
    m_keptRequest = kept;
    m_refusedOuter = outer;
    m_adjusting = true;
    setGeometry(QRect(kept.topLeft() + (geometry().topLeft() - frameGeometry().topLeft()),
                      kept.size() - frameExtra()));
    m_adjusting = false;
    geometryChanged();
}

void MainWindow::layoutControls()
{
    layoutMainWindow(*this);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!maximized())  // a maximized window keeps the place it comes back to
        syncTwips();
    WindowPlacement placement;
    placement.left = m_twips.left();
    placement.top = m_twips.top();
    placement.width = m_twips.width();
    m_values.CallHistory.clear();
    for (int i = 0; i < cboCall->count(); ++i)
        m_values.CallHistory.append(cboCall->itemText(i));
    m_values.WebMode = !optFrom[0]->isChecked();

    const QString path = m_values.DataFolder + QStringLiteral("/Torvane.cfg");
    const QString error = writeConfigFile(path, m_values, placement);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "Torvane: could not save %s: %s\n", qPrintable(path), qPrintable(error));
        qCWarning(lcApp).noquote() << "Torvane.cfg not written:" << path << "-" << error;
    }

    event->accept();
    // Every other window of the program closes with the main window.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w != this)
            w->close();
    }
}
