#include "app/EntityLine.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QFutureWatcher>
#include <QLabel>
#include <QtConcurrent/QtConcurrentRun>

namespace torvane {

QString localTimeWord(int languageIndex)
{
    static const char16_t *const words[] = {u"local", u"hora local", u"Ortszeit", u"heure locale",
                                            u"lokale tijd", u"czas lokalny", u"\u73FE\u5730\u6642\u9593"};
    const bool known = languageIndex >= 0 && languageIndex < int(std::size(words));
    return QString::fromUtf16(words[known ? languageIndex : 0]);
}

EntityLine::EntityLine(QLabel *label, const int16_t &languageIndex, QObject *parent)
    : QObject(parent), m_label(label), m_languageIndex(languageIndex)
{
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] { refresh(); });
}

void EntityLine::loadCountryFile(const QString &dataFolder)
{
    auto *watcher = new QFutureWatcher<std::shared_ptr<const CountryFile>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        setCountryFile(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([dataFolder] {
        return std::shared_ptr<const CountryFile>(std::make_shared<CountryFile>(CountryFile::load(dataFolder)));
    }));
}

void EntityLine::setCountryFile(std::shared_ptr<const CountryFile> file)
{
    m_file = std::move(file);
    if (!m_call.isEmpty())
        showCall(m_call);
    emit countryFileReady();
}

void EntityLine::showCall(const QString &call)
{
    m_call = call;
    m_entity = m_file ? m_file->resolve(call) : std::nullopt;
    if (m_entity)
        m_tick.start();
    else
        m_tick.stop();
    refresh();
}

void EntityLine::refresh(int reservedLeft)
{
    if (reservedLeft >= 0)
        m_reservedLeft = reservedLeft;
    if (!m_entity) {
        m_label->clear();
        m_label->setToolTip(QString());
        return;
    }
    const QString line = entityLine(*m_entity, QDateTime::currentDateTimeUtc(),
                                    localTimeWord(m_languageIndex));
    const int room = qMax(0, m_label->width() - m_reservedLeft);
    const QString shown = QFontMetrics(m_label->font()).elidedText(line, Qt::ElideRight, room);
    if (m_label->text() != shown)
        m_label->setText(shown);
    m_label->setToolTip(shown == line ? QString() : line);
}

}  // namespace torvane
