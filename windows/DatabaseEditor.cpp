#include "windows/DatabaseEditor.h"

#include "calldb/CallDatabase.h"
#include "core/DataFolder.h"
#include "core/LookupRules.h"
#include "core/Sources.h"
#include "core/TextUtil.h"
#include "lookup/Geocoder.h"
#include "lookup/LookupControl.h"
#include "lookup/StationLookup.h"
#include "ui/Beep.h"
#include "ui/LanguageFile.h"
#include "ui/MessageBox.h"
#include "windows/DatabaseEditorLogic.h"
#include "windows/InPlaceOfMain.h"
#include "windows/PictureWindow.h"
#include "windows/StationSetup.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>

namespace torvane {

namespace {

// Language items used here.
constexpr int kItemLoginRequired = 45;
constexpr int kItemLookup = 42;
constexpr int kItemSave = 58;
constexpr int kItemDelete = 61;
constexpr int kItemClose = 69;
constexpr int kInfoItems[] = {54, 55, 59, 60};

// The picture frame: 32 x 25 units of 5 pixels, with room beside it for pictures whose
// proportions make them a little wider than the frame.
constexpr double kPictureUnit = 5;
const QRectF kFrameUnits(2, 0, 32, 25);
const QSizeF kHolderUnits(36, 25);

constexpr int kListRows = 18;    // rows the list shows: an added entry is scrolled to the 15th
constexpr int kFieldChars = 32;  // width of the address fields, in average characters

QRect toPixels(const QRectF &units)
{
    return QRectF(units.topLeft() * kPictureUnit, units.size() * kPictureUnit).toRect();
}

}  // namespace

DatabaseEditor::DatabaseEditor(ProgramValues &values, const HostTable &hosts, QWidget *mainWindow,
                               QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_values(values),
      m_hosts(hosts),
      m_mainWindow(mainWindow),
      m_geocoder(std::make_unique<Geocoder>(hosts))
{
    setObjectName(QStringLiteral("Form26"));
    ucLookUp = new LookupControl(values, hosts, this);
    ucLookUp->setObjectName(QStringLiteral("ucLookUp"));
    createControls();
    layOutControls();
    setCaptions();
    connectLookUp();

    connect(txtCall, &QLineEdit::textEdited, this, &DatabaseEditor::txtCallEdited);
    connect(txtCall, &QLineEdit::textChanged, this, &DatabaseEditor::txtCallChange);
    connect(txtName, &QLineEdit::textChanged, this, &DatabaseEditor::refreshButtons);
    connect(txtLat, &QLineEdit::textChanged, this, &DatabaseEditor::coordinateChange);
    connect(txtLon, &QLineEdit::textChanged, this, &DatabaseEditor::coordinateChange);
    connect(lstCall->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_selecting && current.isValid())
                    entryClicked(current.row());
            });
    connect(lstCall, &QListView::clicked, this, [this](const QModelIndex &index) { entryClicked(index.row()); });
    connect(cmdAddNewSite, &QPushButton::clicked, this, &DatabaseEditor::cmdAddNewSiteClick);
    connect(cmdDeleteSite, &QPushButton::clicked, this, &DatabaseEditor::cmdDeleteSiteClick);
    connect(cmdLookup, &QPushButton::clicked, this, &DatabaseEditor::cmdLookupClick);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    refillList(false);
    refreshButtons();
}

DatabaseEditor::~DatabaseEditor() = default;

void DatabaseEditor::createControls()
{
    const auto line = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    const auto button = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_calls = new CallListModel(this);
    lstCall = new QListView(this);
    lstCall->setObjectName(QStringLiteral("lstCall"));
    lstCall->setModel(m_calls);
    // One row height for all: the view lays out 100,000 calls without measuring each.
    lstCall->setUniformItemSizes(true);
    lstCall->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstCall->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCall->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    lstCall->installEventFilter(this);

    txtCall = line("txtCall");
    txtCall->installEventFilter(this);
    txtName = line("txtName");
    txtAdd1 = line("txtAdd1");
    txtAdd2 = line("txtAdd2");
    txtCtry = line("txtCtry");
    txtLat = line("txtLat");
    txtLon = line("txtLon");
    txtClass = line("txtClass");
    txtYearBorn = line("txtYearBorn");

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    lblEntries = new QLabel(this);
    lblEntries->setObjectName(QStringLiteral("lblEntries"));
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->hide();

    m_pictureFrame = new QWidget(this);
    m_pictureFrame->setObjectName(QStringLiteral("pictureFrame"));
    m_pictureFrame->setFixedSize(toPixels(QRectF(QPointF(), kHolderUnits)).size());
    m_frameRect = QRectF(toPixels(kFrameUnits));
    Image1 = new QLabel(m_pictureFrame);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);
    clearPicture();

    cmdLookup = button("cmdLookup");
    cmdAddNewSite = button("cmdAddNewSite");
    cmdDeleteSite = button("cmdDeleteSite");
    cmdClose = button("cmdClose");
}

void DatabaseEditor::layOutControls()
{
    static const char *const captions[] = {"Call:", "Name: ", "Address: ", "City: ", "Country: ",
                                           "Latitude: ", "Longitude: ", "Class: ", "Year born: "};
    static const char *const names[] = {"lblCall", "lblName", "lblAdd1", "lblAdd2", "lblCtry",
                                        "lblLat", "lblLon", "lblClass", "lblYearBorn"};
    // Columns: the list, the field captions, the fields, the look-up button and the picture.
    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    const QList<QLineEdit *> boxes = fields();
    const int average = fontMetrics().averageCharWidth();
    for (int i = 0; i < boxes.size(); ++i) {
        auto *label = new QLabel(QString::fromLatin1(captions[i]), this);
        label->setObjectName(QLatin1String(names[i]));
        grid->addWidget(label, i + 1, 1);
        // Widths follow the record's fields: short for the call, the position and the year.
        const bool narrow = i == 0 || i >= 5;
        boxes[i]->setFixedWidth(average * (narrow ? kFieldChars / 2 : kFieldChars));
        grid->addWidget(boxes[i], i + 1, 2, Qt::AlignLeft);
    }
    lstCall->setFixedWidth(average * 14 + 24);
    lstCall->setMinimumHeight(fontMetrics().height() * kListRows + 8);
    grid->addWidget(lstCall, 1, 0, 11, 1);
    grid->setColumnMinimumWidth(0, lstCall->width() + 6);
    grid->addWidget(cmdLookup, 1, 3, 2, 1);
    cmdLookup->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    grid->addWidget(m_pictureFrame, 3, 3, 7, 1, Qt::AlignCenter);
    // Two lines of messages, their room kept while none is shown: the window keeps its size.
    Label4->setWordWrap(true);
    Label4->setText(QStringLiteral("*\n*"));
    Label4->setFixedHeight(Label4->sizeHint().height());
    Label4->clear();
    QSizePolicy keep = Label4->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    Label4->setSizePolicy(keep);
    grid->addWidget(Label4, 10, 1, 1, 3);
    grid->setRowStretch(10, 1);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(cmdAddNewSite);
    buttons->addWidget(cmdDeleteSite);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 11, 1, 1, 3, Qt::AlignBottom);
    for (QPushButton *b : {cmdLookup, cmdAddNewSite, cmdDeleteSite, cmdClose})
        b->setMinimumWidth(average * 18);
    grid->addWidget(lblEntries, 12, 0, 1, 4);
    // The info text wraps to the width of the rest.
    lblInfo->setFixedWidth(grid->sizeHint().width() - grid->contentsMargins().left()
                           - grid->contentsMargins().right());
    lblInfo->setContentsMargins(0, 0, 0, 6);
    grid->addWidget(lblInfo, 0, 0, 1, 4);
}

QList<QLineEdit *> DatabaseEditor::fields() const
{
    return {txtCall, txtName, txtAdd1, txtAdd2, txtCtry, txtLat, txtLon, txtClass, txtYearBorn};
}

QString DatabaseEditor::item(int n) const
{
    return languageItem(m_values.LanguageText, n);
}

QString DatabaseEditor::sourceName() const
{
    return m_values.SourceName;
}

QString DatabaseEditor::fieldCall() const
{
    return trimBlanks(txtCall->text());
}

void DatabaseEditor::setCaptions()
{
    QStringList info;
    for (const int n : kInfoItems)
        info << item(n);
    lblInfo->setText(displayLines(info.join(u' ')));
    cmdClose->setText(displayLines(item(kItemClose)));
    // While the window opens, "???" reads "callsign".
    cmdLookup->setText(displayLines(editorCaption(item(kItemLookup), QString(), sourceName())));
    cmdAddNewSite->setText(displayLines(editorCaption(item(kItemSave), QString(), sourceName())));
    cmdDeleteSite->setText(displayLines(editorCaption(item(kItemDelete), QString(), sourceName())));
}

void DatabaseEditor::connectLookUp()
{
    connect(ucLookUp, &LookupControl::GotPage, this, [this](const QString &call) { onGotPage(call); });
    connect(ucLookUp, &LookupControl::CallNotFound, this, &DatabaseEditor::onNotFound);
    connect(ucLookUp, &LookupControl::PageNotFound, this, &DatabaseEditor::onNotFound);
    connect(ucLookUp, &LookupControl::LoginRequired, this, &DatabaseEditor::onLoginRequired);
    connect(ucLookUp, &LookupControl::GotPicture, this, &DatabaseEditor::onGotPicture);
}

// ---- The call field and the list ------------------------------------------------------

bool DatabaseEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtCall && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.size() == 1 && typed[0] >= u'a' && typed[0] <= u'z') {
            txtCall->insert(typed.toUpper());
            return true;
        }
    } else if (watched == lstCall && event->type() == QEvent::Enter) {
        lstCall->setFocus();
    } else if (watched == Image1 && event->type() == QEvent::MouseButtonPress
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        openPictureWindow();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DatabaseEditor::txtCallEdited()
{
    // The operator changes the call: the rest of the form belonged to the old one.
    for (QLineEdit *field : fields().mid(1))
        field->clear();
    Label4->hide();
    clearPicture();
}

void DatabaseEditor::txtCallChange()
{
    selectCallEntry();
    refreshButtons();
}

void DatabaseEditor::refreshButtons()
{
    const QString call = fieldCall();
    const bool selected = lstCall->selectionModel()->hasSelection();
    const EditorButtons enabled = editorButtons(call, txtName->text(), selected);
    cmdLookup->setEnabled(enabled.lookup);
    cmdAddNewSite->setEnabled(enabled.save);
    cmdDeleteSite->setEnabled(enabled.remove);
    cmdLookup->setText(displayLines(editorCaption(item(kItemLookup), call, sourceName())));
    cmdAddNewSite->setText(displayLines(editorCaption(item(kItemSave), call, sourceName())));
    cmdDeleteSite->setText(displayLines(editorCaption(item(kItemDelete), call, sourceName())));
}

void DatabaseEditor::selectCallEntry()
{
    const int row = m_calls->findExact(fieldCall());
    m_selecting = true;
    if (row >= 0) {
        const QModelIndex index = m_calls->index(row);
        lstCall->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        lstCall->scrollTo(index);
    } else {
        lstCall->selectionModel()->clear();
    }
    m_selecting = false;
}

void DatabaseEditor::entryClicked(int row)
{
    if (row < 0 || row >= m_calls->rowCount())
        return;
    Label4->hide();
    clearPicture();
    // Emptied first, so that the coordinates shown decide Label4 even when they are the same.
    for (QLineEdit *field : fields().mid(1))
        field->clear();
    const QString call = m_calls->calls().at(row);
    CallDatabase db(m_values.DataFolder);
    db.ClearRecord();
    const int32_t number = db.FindCall(call);
    txtCall->setText(call);
    // Not found (the file changed behind the list): the fields stay empty rather than show
    // whatever record the search read last.
    showFields(number > 0 ? db.CurrentRecord : CallRecord());
    showPicture(call);
}

void DatabaseEditor::showFields(const CallRecord &record)
{
    const QList<QLineEdit *> boxes = fields();
    for (int f = 1; f < CallRecord::kFieldCount; ++f)
        boxes[f]->setText(record.trimmed(CallRecord::Field(f)));
}

void DatabaseEditor::coordinateChange(const QString &text)
{
    // The field changed last decides.
    const QString note = derivedCoordinateNote(text, sourceName());
    Label4->setText(note);
    Label4->setVisible(!note.isEmpty());
}

int DatabaseEditor::topRow() const
{
    return lstCall->indexAt(QPoint(1, 1)).row();
}

void DatabaseEditor::setTopRow(int row)
{
    if (row >= 0 && row < m_calls->rowCount())
        lstCall->scrollTo(m_calls->index(row), QAbstractItemView::PositionAtTop);
}

void DatabaseEditor::refillList(bool scrollToAdded, int keepTopRow)
{
    CallDatabase db(m_values.DataFolder);
    QStringList calls;
    const DbStatus status = db.FillCallList(calls);
    if (status != DbStatus::Ok && status != DbStatus::Missing) {
        // What cannot be read is said where messages go; the list stays as it was.
        Label4->setText(db.lastError());
        Label4->show();
        return;
    }
    lstCall->setUpdatesEnabled(false);
    m_calls->setCalls(std::move(calls));
    selectCallEntry();
    const int added = scrollToAdded ? addedEntryTopRow(m_calls->findExact(fieldCall())) : -1;
    setTopRow(added >= 0 ? added : keepTopRow);
    lstCall->setUpdatesEnabled(true);
    showEntryCount();
}

void DatabaseEditor::showEntryCount()
{
    lblEntries->setText(QStringLiteral("Number of callsigns in database = ")
                        + QString::number(m_calls->rowCount()));
}

// ---- Save and delete ------------------------------------------------------------------

void DatabaseEditor::cmdAddNewSiteClick()
{
    const QString call = fieldCall();
    if (call.isEmpty() || txtName->text().isEmpty())
        return;
    CallRecord record;
    const QList<QLineEdit *> boxes = fields();
    for (int f = 0; f < CallRecord::kFieldCount; ++f)
        record.setText(CallRecord::Field(f), f == 0 ? call : boxes[f]->text());
    CallDatabase db(m_values.DataFolder);
    const bool isNew = db.FindCall(call) == 0;
    if (db.StoreStation(record, false) != DbStatus::Ok) {
        reportFailure(db.lastError());
        return;
    }
    if (isNew)
        refillList(true);
    setBusy(false);
    Beep(kGoodTone, kGoodToneMs);
}

void DatabaseEditor::cmdDeleteSiteClick()
{
    const QString call = fieldCall();
    if (call.isEmpty())
        return;
    const int top = topRow();
    CallDatabase db(m_values.DataFolder);
    if (db.DeleteCall(call) != DbStatus::Ok) {
        reportFailure(db.lastError());
        return;
    }
    for (QLineEdit *field : fields())
        field->clear();
    refillList(false, top);
    clearPicture();
}

void DatabaseEditor::reportFailure(const QString &error)
{
    setBusy(false);
    Beep(kBadTone, kBadToneMs);
    OpenUniMsgBox(this, QStringLiteral("The local database could not be changed:\r\n") + error, 48,
                  QStringLiteral("Torvane"), QStringLiteral("Ok"), QString(), {});
}

// ---- Web lookup -----------------------------------------------------------------------

void DatabaseEditor::cmdLookupClick()
{
    if (txtCall->text().isEmpty())
        return;
    const QString call = editorLookupCall(txtCall->text());
    if (call.isEmpty())
        return;
    // One lookup at a time: a new one replaces the one still waiting for its page.
    if (m_lookup) {
        ucLookUp->CancelRequest(m_lookup->call());
        endLookup();
    }
    // The field shows what is looked up (a pasted "de w1aw" becomes W1AW).
    if (txtCall->text() != call)
        txtCall->setText(call);
    Label4->hide();
    setBusy(true);
    m_lookup = new StationLookup(call, m_values.CurrentSource, QString(), m_values.DataFolder,
                                 m_geocoder.get(), this);
    m_lookup->setMarksZipPosition(true);
    StationLookup *lookup = m_lookup;
    connect(lookup, &StationLookup::resolved, this, [this, lookup] { lookupResolved(lookup); });
    ucLookUp->setDatabase(databaseIndex(m_values.CurrentSource));
    ucLookUp->GetPage(call + u'2');
    const QString address = pictureAddress(m_hosts.host(QStringLiteral("qrzpictures")), call);
    if (!address.isEmpty())
        ucLookUp->GetPicture(address, call + u'5');
}

void DatabaseEditor::endLookup()
{
    if (m_lookup)
        m_lookup->deleteLater();
    m_lookup = nullptr;
    setBusy(false);
}

void DatabaseEditor::onGotPage(const QString &call)
{
    if (!m_lookup || m_lookup->call() != call)
        return;
    // A page without the station raises CallNotFound or LoginRequired from here.
    if (m_lookup && !m_lookup->readPage(*ucLookUp))
        endLookup();
}

void DatabaseEditor::lookupResolved(StationLookup *lookup)
{
    if (lookup != m_lookup)
        return;
    const QString call = lookup->call();
    CallDatabase db(m_values.DataFolder);
    const bool isNew = db.FindCall(call) == 0;
    QString error;
    const DbStatus status = lookup->store(&error);
    // The form shows the record as stored (fields cut to their widths).
    CallRecord shown = lookup->record();
    if (status == DbStatus::Ok && db.FindCall(call) > 0)
        shown = db.CurrentRecord;
    endLookup();
    if (fieldCall() == call)
        showFields(shown);
    if (status != DbStatus::Ok) {
        reportFailure(error);
        return;
    }
    if (isNew)
        refillList(true);
    refreshButtons();
    Beep(kGoodTone, kGoodToneMs);
}

void DatabaseEditor::onNotFound(const QString &call)
{
    if (!m_lookup || m_lookup->call() != call)
        return;
    endLookup();
    Beep(kBadTone, kBadToneMs);
    Label4->setText(call + QStringLiteral(" not found on ") + sourceName());
    Label4->show();
    cmdAddNewSite->setEnabled(false);
}

void DatabaseEditor::onLoginRequired(const QString &call)
{
    if (!m_lookup || m_lookup->call() != call)
        return;
    endLookup();
    Beep(kBadTone, kBadToneMs);
    const QRect frame = frameGeometry();
    OpenMsgBoxAt(this, item(kItemLoginRequired) + u' ' + sourceName(), QStringLiteral("Torvane"), 48,
                 frame.left(), frame.top() + 100);
}

void DatabaseEditor::onGotPicture(const QString &call)
{
    const QString file = pictureFile(call);
    if (file.isEmpty())
        return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(m_values.DownloadBuffer) < 0 || !out.commit())
        return;  // no picture is shown; the record is unaffected
    if (fieldCall() == call)
        showPicture(call);
}

// ---- The picture ----------------------------------------------------------------------

QString DatabaseEditor::pictureFile(const QString &call) const
{
    return stationPictureFile(pictureCacheFolder(m_values.DataFolder), call);
}

void DatabaseEditor::showPicture(const QString &call)
{
    const QImage picture = loadStationPicture(pictureFile(call));
    const QRectF rect = editorPictureRect(picture.width(), picture.height(), m_frameRect);
    if (rect.isEmpty()) {
        clearPicture();
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture));
    Image1->setGeometry(rect.toRect());
}

void DatabaseEditor::clearPicture()
{
    Image1->clear();
    Image1->setGeometry(m_frameRect.toRect());
}

void DatabaseEditor::openPictureWindow()
{
    const QString file = pictureFile(fieldCall());
    if (!Image1->pixmap().isNull() && !file.isEmpty())
        PictureWindow::open(file, this);
}

// ---- Opening and closing --------------------------------------------------------------

void DatabaseEditor::setBusy(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void DatabaseEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    takeMainWindowsPlace(this, m_mainWindow);
    txtCall->setFocus();
}

void DatabaseEditor::closeEvent(QCloseEvent *event)
{
    if (m_lookup) {
        ucLookUp->CancelRequest(m_lookup->call());
        endLookup();
    }
    event->accept();
    giveBackMainWindow(m_mainWindow);
    emit FocusCallBox();
}

}  // namespace torvane
