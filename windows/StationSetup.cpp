#include "windows/StationSetup.h"

#include "core/LookupRules.h"
#include "core/TextUtil.h"
#include "geo/Geodesy.h"
#include "lookup/LookupControl.h"
#include "ui/Beep.h"
#include "ui/LanguageFile.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace torvane {

namespace {

// Language items used here.
constexpr int kItemHelp = 28;  // already joined with item 29 by the language loader
constexpr int kItemGrid = 30;
constexpr int kItemLatitude = 31;
constexpr int kItemLongitude = 32;
constexpr int kItemUnit = 39;
constexpr int kItemMiles = 40;
constexpr int kItemKilometres = 41;
constexpr int kItemFetch = 42;
constexpr int kItemClose = 69;

// Field width that holds "-179.123456" comfortably, in average characters.
constexpr int kFieldChars = 14;

}  // namespace

QString fetchButtonCaption(const QString &itemText, const QString &call,
                           const QString &sourceName, const QString &statusText)
{
    QString caption = itemText;
    caption.replace(QStringLiteral("???"), call);
    const qsizetype open = statusText.indexOf(u'(');
    if (open >= 0) {
        caption.replace(QStringLiteral("***"), sourceName);
        caption += u'\n' + statusText.mid(open);
    }
    return caption;
}

QString positionLookupCall(const QString &typed)
{
    qsizetype end = 0;
    while (end < typed.size() && typed[end] != u'-' && typed[end] != u' ')
        ++end;
    return plainZeroes(typed.left(end));
}

QString locatorText(const QString &gridItem, double lat, double lon)
{
    // Latitude 90 and longitude 180 are outside here, although the locator itself takes them.
    if (!(lat >= -90 && lat < 90 && lon >= -180 && lon < 180))
        return QString();
    const QString grid = LatLonToGrid(lat, lon);
    if (grid.isEmpty())
        return QString();
    return gridItem + QStringLiteral(":   ") + grid;
}

QString coordinateText(double degrees)
{
    if (degrees == 0 || !std::isfinite(degrees))
        return QStringLiteral("0");  // also -0; the fields never hold inf or nan text
    return QString::number(degrees, 'f', QLocale::FloatingPointShortest);
}

CoordinateInput readCoordinate(const QString &text, double limit, double *value)
{
    const QString t = text.trimmed();
    static const QStringList starts{"", "-", "+", ".", "-.", "+."};
    if (starts.contains(t)) {
        *value = 0;
        return CoordinateInput::Unfinished;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v) || v < -limit || v > limit)
        return CoordinateInput::Refused;
    *value = v;
    return CoordinateInput::Number;
}

QString coordinateRefusedText(bool latitude, int languageIndex)
{
    // English, Spanish, German, French, Dutch, Polish, Japanese; %1 and %2 are the limits.
    static const char16_t *const texts[][2] = {
        {u"Latitude must be a number from %1 to %2", u"Longitude must be a number from %1 to %2"},
        {u"La latitud debe ser un n\u00famero de %1 a %2", u"La longitud debe ser un n\u00famero de %1 a %2"},
        {u"Breite muss eine Zahl von %1 bis %2 sein", u"L\u00e4nge muss eine Zahl von %1 bis %2 sein"},
        {u"La latitude doit \u00eatre un nombre de %1 \u00e0 %2", u"La longitude doit \u00eatre un nombre de %1 \u00e0 %2"},
        {u"Breedtegraad moet een getal van %1 tot %2 zijn", u"Lengtegraad moet een getal van %1 tot %2 zijn"},
        {u"Szeroko\u015b\u0107 musi by\u0107 liczb\u0105 od %1 do %2", u"D\u0142ugo\u015b\u0107 musi by\u0107 liczb\u0105 od %1 do %2"},
        {u"\u7def\u5ea6\u306f %1 \u304b\u3089 %2 \u307e\u3067\u306e\u6570\u5024\u3067\u3059",
         u"\u7d4c\u5ea6\u306f %1 \u304b\u3089 %2 \u307e\u3067\u306e\u6570\u5024\u3067\u3059"},
    };
    const int language = languageIndex >= 0 && languageIndex < 7 ? languageIndex : 0;
    const int limit = latitude ? 90 : 180;
    return QString::fromUtf16(texts[language][latitude ? 0 : 1]).arg(-limit).arg(limit);
}

QString withDecimalPoints(QString text)
{
    return text.replace(u',', u'.');
}

QString displayLines(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace torvane

using namespace torvane;

StationSetup::StationSetup(ProgramValues &values, const HostTable &hosts, QWidget *mainWindow,
             const QString &statusText, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_values(values),
      m_mainWindow(mainWindow),
      m_statusText(statusText)
{
    setObjectName(QStringLiteral("Form2"));
    ucLookUp1 = new LookupControl(values, hosts, this);
    ucLookUp1->setObjectName(QStringLiteral("ucLookUp1"));
    createControls();
    setCaptions();

    connect(txtCall, &QLineEdit::textChanged, this, &StationSetup::txtCallChange);
    connect(txtLat, &QLineEdit::textChanged, this,
            [this] { coordinateChange(txtLat, m_values.OwnLatitude); });
    connect(txtLon, &QLineEdit::textChanged, this,
            [this] { coordinateChange(txtLon, m_values.OwnLongitude); });
    connect(cmdGetLatLon, &QPushButton::clicked, this, &StationSetup::cmdGetLatLonClick);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    // From the keyboard: Enter in the call field fetches the position, as the button does;
    // Escape closes the window.
    connect(txtCall, &QLineEdit::returnPressed, this, [this] {
        if (cmdGetLatLon->isEnabled())
            cmdGetLatLon->click();
    });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // Opening: the fields show the settings (and the locator follows through the edit rule).
    txtCall->setText(m_values.OwnCall);
    cmdGetLatLon->setEnabled(!m_values.OwnCall.isEmpty());
    if (m_values.UseMiles == 1)
        optMi->setChecked(true);
    else
        optKm->setChecked(true);
    txtLat->setText(coordinateText(m_values.OwnLatitude));
    txtLon->setText(coordinateText(m_values.OwnLongitude));
    refreshLocator();

    // Connected after the initial choice: opening alone does not rewrite UseMiles.
    connect(optMi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_values.UseMiles = 1;
    });
    connect(optKm, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_values.UseMiles = 0;
    });

    connect(ucLookUp1, &LookupControl::GotPage, this, [this] {
        Beep(kGoodTone, kGoodToneMs);
        setBusy(false);
        // LatLon follows at once when the page has a position; after it, the fetch is over.
        const int serial = m_fetch ? m_fetch->serial : -1;
        QTimer::singleShot(0, this, [this, serial] {
            if (m_fetch && m_fetch->serial == serial)
                endFetch(false);
        });
    });
    connect(ucLookUp1, &LookupControl::LatLon, this, [this](double lat, double lon) {
        txtLat->setText(coordinateText(lat));
        txtLon->setText(coordinateText(lon));
        endFetch(true);
    });
    const auto failed = [this] {
        Beep(kBadTone, kBadToneMs);
        endFetch(false);
    };
    connect(ucLookUp1, &LookupControl::LoginRequired, this, failed);
    connect(ucLookUp1, &LookupControl::LatLonNotFound, this, failed);
}

StationSetup::~StationSetup()
{
    setBusy(false);
}

void StationSetup::createControls()
{
    const auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    const auto field = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMinimumWidth(e->fontMetrics().averageCharWidth() * kFieldChars);
        return e;
    };

    Label1 = label("Label1");
    lblCall = label("lblCall");
    txtCall = field("txtCall");
    txtCall->installEventFilter(this);
    cmdGetLatLon = new QPushButton(this);
    cmdGetLatLon->setObjectName(QStringLiteral("cmdGetLatLon"));
    Label2 = label("Label2");
    txtLat = field("txtLat");
    Label3 = label("Label3");
    txtLon = field("txtLon");
    lblGrid = label("lblGrid");
    lblDx = label("lblDx");
    optMi = new QRadioButton(this);
    optMi->setObjectName(QStringLiteral("optMi"));
    optKm = new QRadioButton(this);
    optKm->setObjectName(QStringLiteral("optKm"));
    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(Label1, 0, 0, 1, 3);
    grid->addWidget(lblCall, 1, 0);
    grid->addWidget(txtCall, 1, 1);
    grid->addWidget(cmdGetLatLon, 1, 2, 2, 1);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(txtLat, 2, 1);
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(txtLon, 3, 1);
    grid->addWidget(lblGrid, 4, 1, 1, 2);
    grid->addWidget(lblDx, 5, 0);
    auto *units = new QHBoxLayout;
    units->addWidget(optMi);
    units->addWidget(optKm);
    units->addStretch(1);
    grid->addLayout(units, 5, 1, 1, 2);
    grid->addWidget(cmdClose, 6, 2, Qt::AlignRight);
    grid->setColumnStretch(2, 1);
    Label1->setContentsMargins(0, 0, 0, 6);
    cmdGetLatLon->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    cmdClose->setMinimumWidth(cmdClose->fontMetrics().averageCharWidth() * kFieldChars);
}

QString StationSetup::item(int n) const
{
    return languageItem(m_values.LanguageText, n);
}

void StationSetup::setCaptions()
{
    Label1->setText(displayLines(item(kItemHelp)));
    // No language item names the call field.
    lblCall->setText(QStringLiteral("Call: "));
    Label2->setText(item(kItemLatitude) + QStringLiteral(": "));
    Label3->setText(item(kItemLongitude) + QStringLiteral(": "));
    lblDx->setText(item(kItemUnit) + QStringLiteral(": "));
    optMi->setText(item(kItemMiles));
    optKm->setText(item(kItemKilometres));
    cmdClose->setText(item(kItemClose));
    cmdGetLatLon->setText(fetchButtonCaption(item(kItemFetch), m_values.OwnCall,
                                             m_values.SourceName, m_statusText));
}

void StationSetup::txtCallChange()
{
    const QString call = txtCall->text();
    // Kept at once, so that closing keeps a call typed without a fetch.
    m_values.OwnCall = call;
    cmdGetLatLon->setEnabled(!call.isEmpty());
    cmdGetLatLon->setText(fetchButtonCaption(item(kItemFetch), call, m_values.SourceName,
                                             m_statusText));
}

void StationSetup::coordinateChange(QLineEdit *field, double &setting)
{
    const QString text = field->text();
    const QString fixed = withDecimalPoints(text);
    if (fixed != text) {
        // Same length, so the cursor stays where it was; setText calls us again.
        const int cursor = field->cursorPosition();
        field->setText(fixed);
        field->setCursorPosition(cursor);
        return;
    }
    // A refused text leaves the setting as it was and says why where the locator stands.
    double value = 0;
    const bool latitude = field == txtLat;
    if (readCoordinate(text, latitude ? 90 : 180, &value) == CoordinateInput::Refused) {
        lblGrid->setStyleSheet(QStringLiteral("color: #b00000"));
        lblGrid->setText(coordinateRefusedText(latitude, m_values.LanguageIndex));
        return;
    }
    setting = value;
    refreshLocator();
}

void StationSetup::refreshLocator()
{
    lblGrid->setStyleSheet(QString());
    lblGrid->setText(locatorText(item(kItemGrid), m_values.OwnLatitude, m_values.OwnLongitude));
}

void StationSetup::cmdGetLatLonClick()
{
    m_values.OwnCall = txtCall->text();
    if (m_values.OwnCall.isEmpty())
        return;  // the button is disabled then; nothing to fetch, nothing to clear
    // One fetch at a time: a new click replaces the one still running, whose fields it keeps.
    Fetch fetch{positionLookupCall(m_values.OwnCall), txtLat->text(), txtLon->text(),
                ++m_fetchCount};
    if (m_fetch) {
        ucLookUp1->CancelRequest(m_fetch->call);
        fetch.oldLatitude = m_fetch->oldLatitude;
        fetch.oldLongitude = m_fetch->oldLongitude;
    }
    txtLat->clear();
    txtLon->clear();

    setBusy(true);
    const QString zero = coordinateText(0);
    txtLat->setText(zero);
    txtLon->setText(zero);
    m_fetch = fetch;
    ucLookUp1->GetLatLon(fetch.call + u'4');
}

void StationSetup::endFetch(bool gotPosition)
{
    if (!m_fetch)
        return;
    setBusy(false);
    const Fetch fetch = *m_fetch;
    m_fetch.reset();
    // A failed fetch puts back what the fields held, rather than leaving 0, 0, unless the
    // operator typed over the zeros meanwhile.
    const QString zero = coordinateText(0);
    if (!gotPosition && txtLat->text() == zero && txtLon->text() == zero) {
        txtLat->setText(fetch.oldLatitude);
        txtLon->setText(fetch.oldLongitude);
    }
}

void StationSetup::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

bool StationSetup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtCall && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (typed.size() == 1) {
            const QChar mapped = typedCallChar(typed[0], m_values.PlainZero);
            if (mapped != typed[0]) {
                txtCall->insert(QString(mapped));
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StationSetup::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    takeMainWindowsPlace(this, m_mainWindow);
    txtCall->setFocus();
}

void StationSetup::closeEvent(QCloseEvent *event)
{
    setBusy(false);
    event->accept();
    giveBackMainWindow(m_mainWindow);
    emit FocusCallBox();
}
