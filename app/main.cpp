// Torvane: call-sign lookup for radio amateurs.

#include "app/InstanceLock.h"
#include "app/MainWindow.h"
#include "app/ProgramValues.h"
#include "app/QuitSignal.h"

#include <QApplication>
#include <QMessageBox>

static void showPopup(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.exec();
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvane"));

    torvane::InstanceLock lock;
    if (!lock.acquire()) {
        showPopup(QStringLiteral("Another instance of Torvane is running"), QString());
        return 0;
    }

    torvane::ProgramValues values;
    Form1 form(values, showPopup);
    torvane::QuitSignal quit;
    QObject::connect(&quit, &torvane::QuitSignal::quitRequested, &form, &QWidget::close);
    form.startUp();
    return app.exec();
}
