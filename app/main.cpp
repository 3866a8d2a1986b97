// Torvane: call-sign lookup for radio amateurs.

#include "core/DataFolder.h"
#include "core/InstanceLock.h"
#include "app/MainWindow.h"
#include "core/ProgramValues.h"
#include "app/QuitSignal.h"

#include "ui/MessageBox.h"

#include <QApplication>

int main(int argc, char *argv[])
{
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

    torvane::ProgramValues values;
    torvane::MainWindow form(values);
    torvane::QuitSignal quit;
    QObject::connect(&quit, &torvane::QuitSignal::quitRequested, &form, &QWidget::close);
    form.startUp();
    return app.exec();
}
