#pragma once
// The web-map entry: the operator types an address or a latitude and longitude and asks for
// the satellite view of that place. What was typed is kept for the rest of the run.

#include "core/ProgramValues.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace torvane {

/// The map host's place page of an address: the three entries joined by "+" as they are.
QString webMapByAddress(const QString &mapHost, const QString &a, const QString &b, const QString &c);
/// The map host's place page of a position; a decimal comma in either becomes ".".
QString webMapByPosition(const QString &mapHost, QString latitude, QString longitude);

/// The entry window (objectName "Form7"). Deletes itself when closed.
class WebMapEntry : public QWidget {
    Q_OBJECT
public:
    /// entries: the five texts kept for the run (address 1-3, latitude, longitude), written back
    /// as the window closes. openView is called with the map address.
    WebMapEntry(ProgramValues &values, QStringList &entries, const QString &mapHost,
                std::function<void(const QString &)> openView, QWidget *parent = nullptr);

    QLineEdit *txtAdd1 = nullptr;
    QLineEdit *txtAdd2 = nullptr;
    QLineEdit *txtAdd3 = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtLon = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdLat = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdAddClick();
    void cmdLatClick();
    void openMap(const QString &address);

    ProgramValues &m_values;
    QStringList &m_entries;
    QString m_mapHost;
    std::function<void(const QString &)> m_openView;
};

}  // namespace torvane
