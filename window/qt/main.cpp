// Almanoria Calendar Update: the wizard that writes the 2012 liturgical year into the
// calendar database of the Almanoria desktop calendar.
#include <QApplication>
#include <clocale>

#include "database/basDatabase.hpp"
#include "errors/basErrorHandler.hpp"
#include "window/qt/QtFormServices.hpp"
#include "window/qt/QtFrmMain.hpp"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The error log writes the month in the user's language.
    std::setlocale(LC_ALL, "");

    almanoria::QtMessageBox messageBox;
    almanoria::SystemClock clock;
    almanoria::basErrorHandler errors(messageBox, clock, almanoria::RunningProgram());
    almanoria::basDatabase database(errors);

    almanoria::QtFrmMain window(errors, database);
    window.show();
    return application.exec();
}
