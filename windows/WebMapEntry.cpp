#include "windows/WebMapEntry.h"

#include "ui/LanguageFile.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvane {

namespace {
const QString kSatelliteSuffix = QStringLiteral(",19z/data=!3m1!1e3");
}

QString webMapByAddress(const QString &mapHost, const QString &a, const QString &b, const QString &c)
{
    const QString place = a + u'+' + b + u'+' + c;
    return mapHost + QStringLiteral("/maps/place/") + place + QStringLiteral("/@") + place + kSatelliteSuffix;
}

QString webMapByPosition(const QString &mapHost, QString latitude, QString longitude)
{
    latitude.replace(u',', u'.');
    longitude.replace(u',', u'.');
    return mapHost + QStringLiteral("/maps/place/") + latitude + u'+' + longitude + QStringLiteral("/@")
           + latitude + u',' + longitude + kSatelliteSuffix;
}

WebMapEntry::WebMapEntry(ProgramValues &values, QStringList &entries, const QString &mapHost,
                         std::function<void(const QString &)> openView, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_values(values), m_entries(entries),
      m_mapHost(mapHost), m_openView(std::move(openView))
{
    setObjectName(QStringLiteral("Form7"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Torvane"));
    while (m_entries.size() < 5)
        m_entries.append(QString());
    const auto item = [this](int n) { return languageItem(m_values.LanguageText, n).trimmed(); };
    const auto field = [this](const char *name, int index) {
        auto *edit = new QLineEdit(m_entries.at(index), this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    txtAdd1 = field("txtAdd1", 0);
    txtAdd2 = field("txtAdd2", 1);
    txtAdd3 = field("txtAdd3", 2);
    txtLat = field("txtLat", 3);
    txtLon = field("txtLon", 4);

    auto *byAddress = new QGroupBox(QStringLiteral(" Google map using address "), this);
    byAddress->setObjectName(QStringLiteral("Frame1"));
    auto *addressForm = new QFormLayout(byAddress);
    addressForm->addRow(item(47), txtAdd1);
    addressForm->addRow(item(48), txtAdd2);
    addressForm->addRow(item(49), txtAdd3);
    cmdAdd = new QPushButton(QStringLiteral("Map"), byAddress);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    addressForm->addRow(QString(), cmdAdd);

    auto *byPosition = new QGroupBox(QStringLiteral(" Google map using latitude and longitude "), this);
    byPosition->setObjectName(QStringLiteral("Frame2"));
    auto *positionForm = new QFormLayout(byPosition);
    positionForm->addRow(item(31), txtLat);
    positionForm->addRow(item(32), txtLon);
    cmdLat = new QPushButton(QStringLiteral("Map"), byPosition);
    cmdLat->setObjectName(QStringLiteral("cmdLat"));
    positionForm->addRow(QString(), cmdLat);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(byAddress);
    layout->addWidget(byPosition);
    connect(cmdAdd, &QPushButton::clicked, this, &WebMapEntry::cmdAddClick);
    connect(cmdLat, &QPushButton::clicked, this, &WebMapEntry::cmdLatClick);
    // Enter maps what the field it was typed in belongs to.
    for (QLineEdit *edit : {txtAdd1, txtAdd2, txtAdd3})
        connect(edit, &QLineEdit::returnPressed, this, &WebMapEntry::cmdAddClick);
    for (QLineEdit *edit : {txtLat, txtLon})
        connect(edit, &QLineEdit::returnPressed, this, &WebMapEntry::cmdLatClick);
}

void WebMapEntry::cmdAddClick()
{
    if (txtAdd1->text().isEmpty() && txtAdd2->text().isEmpty())
        return;
    openMap(webMapByAddress(m_mapHost, txtAdd1->text(), txtAdd2->text(), txtAdd3->text()));
}

void WebMapEntry::cmdLatClick()
{
    if (txtLat->text().isEmpty())
        return;
    openMap(webMapByPosition(m_mapHost, txtLat->text(), txtLon->text()));
}

void WebMapEntry::openMap(const QString &address)
{
    close();
    if (m_openView)
        m_openView(address);
}

void WebMapEntry::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void WebMapEntry::closeEvent(QCloseEvent *event)
{
    m_entries = {txtAdd1->text(), txtAdd2->text(), txtAdd3->text(), txtLat->text(), txtLon->text()};
    event->accept();
}

}  // namespace torvane
