#include "app/CallCompleter.h"

#include "calldb/CallDatabase.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace torvane {

namespace {
constexpr int kVisibleRows = 8;
}

CallCompleter::CallCompleter(QComboBox *callBox, QObject *parent)
    : QObject(parent), m_callBox(callBox), m_list(new QListWidget(callBox->parentWidget()))
{
    m_list->setObjectName(QStringLiteral("lstPartial"));
    m_list->setFocusPolicy(Qt::NoFocus);  // typing stays in the call box
    m_list->setUniformItemSizes(true);
    m_list->hide();
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_callBox->setEditText(item->text());
        hide();
        emit chosen();
    });
}

void CallCompleter::load(const QString &dataFolder)
{
    auto *watcher = new QFutureWatcher<std::shared_ptr<CallCompletion>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        setCompletion(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([dataFolder] {
        auto completion = std::make_shared<CallCompletion>();
        completion->loadActiveCalls(dataFolder);
        QStringList local;
        CallDatabase(dataFolder).FillCallList(local);  // none when there is no database yet
        completion->setLocalCalls(local);
        return completion;
    }));
}

void CallCompleter::setCompletion(std::shared_ptr<CallCompletion> completion)
{
    m_completion = std::move(completion);
    if (!m_addedLocal.isEmpty())
        m_completion->addLocalCalls(m_addedLocal);
}

void CallCompleter::addLocalCall(const QString &call)
{
    m_addedLocal.append(call);
    if (m_completion)
        m_completion->addLocalCalls({call});
}

void CallCompleter::textEdited(const QString &text)
{
    const QStringList calls = m_completion ? m_completion->complete(text) : QStringList();
    if (calls.isEmpty()) {
        hide();
        return;
    }
    m_list->clear();
    m_list->setFont(m_callBox->font());
    m_list->addItems(calls);
    m_list->setCurrentRow(-1);
    const int rowHeight = m_list->sizeHintForRow(0);
    const int rows = std::min(int(calls.size()), kVisibleRows);
    const QRect box = m_callBox->geometry();
    m_list->setGeometry(box.left(), box.bottom() + 1, box.width(),
                        rows * rowHeight + 2 * m_list->frameWidth());
    m_list->show();
    m_list->raise();
}

bool CallCompleter::handleKey(const QKeyEvent *key)
{
    if (m_list->isHidden())
        return false;
    const int row = m_list->currentRow();
    switch (key->key()) {
    case Qt::Key_Down:
        m_list->setCurrentRow(std::min(row + 1, m_list->count() - 1));
        return true;
    case Qt::Key_Up:
        m_list->setCurrentRow(std::max(row - 1, 0));
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (row >= 0)
            m_callBox->setEditText(m_list->item(row)->text());
        hide();
        return false;
    default:
        return false;
    }
}

void CallCompleter::hide()
{
    m_list->hide();
}

}  // namespace torvane
