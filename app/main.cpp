// Torvane: call-sign lookup for radio amateurs.

#include "core/DataFolder.h"
#include "core/InstanceLock.h"
#include "app/MainWindow.h"
#include "core/ProgramValues.h"
#include "lookup/SessionCookies.h"
#include "app/QuitSignal.h"

#include "ui/MessageBox.h"
#include "windows/SignInWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    torvane::prepareEmbeddedBrowser();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvane"));

    // The lock lives in the data folder it protects: a first start makes the folder (with the
    // shipped files) before taking it.
    torvane::installShippedData(torvane::shippedDataFolder(), torvane::dataFolderPath());
    torvane::InstanceLock lock;
    if (!lock.acquire()) {
        if (lock.heldByAnother())
            torvane::ShellPopup(QStringLiteral("Another instance of Torvane is running"), 0, QString());
        else
            torvane::ShellPopup(QStringLiteral("Torvane cannot use its data folder:\r\n") + lock.problem(),
                                16, QStringLiteral("Torvane"));
        return lock.heldByAnother() ? 0 : 1;
    }

    // The sign-ins of earlier runs, before the first request; it outlives every window.
    torvane::SessionCookies cookies(torvane::sessionFolder(torvane::dataFolderPath()));
    torvane::ProgramValues values;
    values.Cookies = &cookies;
    torvane::MainWindow form(values);
    torvane::QuitSignal quit;
    QObject::connect(&quit, &torvane::QuitSignal::quitRequested, &form, &QWidget::close);
    form.startUp();
    const int status = app.exec();
    // Windows closed with the main window go now, their browsers before the browser profile.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
