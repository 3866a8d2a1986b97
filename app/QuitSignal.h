#pragma once
// SIGTERM and SIGINT close the main window the ordinary way, so the settings are saved when
// the desktop session ends or the program is stopped from a terminal.

#include <QObject>

class QSocketNotifier;

namespace torvane {

class QuitSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitSignal(QObject *parent = nullptr);
    ~QuitSignal() override;

signals:
    void quitRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

}  // namespace torvane
