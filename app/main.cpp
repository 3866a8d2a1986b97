// Torvane: call-sign lookup for radio amateurs.

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

    torvane::InstanceLock lock;
    if (!lock.acquire()) {
        torvane::ShellPopup(QStringLiteral("Another instance of Torvane is running"), 0, QString());
        return 0;
    }

    torvane::ProgramValues values;
    torvane::MainWindow form(values);
    torvane::QuitSignal quit;
    QObject::connect(&quit, &torvane::QuitSignal::quitRequested, &form, &QWidget::close);
    form.startUp();
    return app.exec();
}
