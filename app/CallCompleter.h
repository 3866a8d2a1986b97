#pragma once
// Call completion under the call box: from the second typed character, `lstPartial` lists up to
// 20 calls that hold the typed text, calls of the local database first, then the active calls
// of MASTER.SCP. Down and Up move in the list, Enter or a click takes a call (the caller then
// looks it up), Escape closes it. The lists are read on a worker thread at start-up.

#include "lookup/CallCompletion.h"

#include <QObject>
#include <memory>

class QComboBox;
class QListWidget;
class QKeyEvent;

namespace torvane {

class CallCompleter : public QObject {
    Q_OBJECT
public:
    /// The list is made a child of the call box's parent, shown below the box.
    explicit CallCompleter(QComboBox *callBox, QObject *parent = nullptr);

    /// Reads MASTER.SCP (the data folder's copy, else the system's) and the local database's
    /// calls on a worker thread.
    void load(const QString &dataFolder);
    /// Uses lists already read (tests).
    void setCompletion(std::shared_ptr<CallCompletion> completion);
    bool ready() const { return m_completion != nullptr; }
    /// A call stored during this run is offered with the local ones.
    void addLocalCall(const QString &call);

    /// The box's text was edited: the list follows it.
    void textEdited(const QString &text);
    /// Keys of the call box while the list is open; true when the key was the list's. Enter
    /// with a call chosen puts it into the box and returns false, so that it is looked up.
    bool handleKey(const QKeyEvent *key);
    void hide();
    QListWidget *list() const { return m_list; }

signals:
    /// A call was clicked: it is in the box, to be looked up.
    void chosen();

private:
    QComboBox *m_callBox;
    QListWidget *m_list;
    std::shared_ptr<CallCompletion> m_completion;
    QStringList m_addedLocal;
};

}  // namespace torvane
