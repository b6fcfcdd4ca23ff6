// Almanoria Calendar Update: the wizard that writes a liturgical year into the calendar
// database of the Almanoria desktop calendar.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "database/basDatabase.hpp"
#include "errors/basErrorHandler.hpp"
#include "window/basCommandLine.hpp"
#include "window/qt/QtFormServices.hpp"
#include "window/qt/QtFrmMain.hpp"
#include "yeardata/basUpdate.hpp"

int main(int argc, char** argv) {
    // Read before Qt starts, so that a refused year or a printed one needs no display.
    const almanoria::CommandLine line =
        almanoria::ReadCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc}, almanoria::kBuildYear);
    if (!line.Error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argc > 0 ? argv[0] : "AlmanoriaYear", line.Error.c_str());
        return 2;
    }
    if (line.PrintYear) {
        almanoria::YearTable table;
        almanoria::BuildYearTable(table, *line.PrintYear);
        for (const std::string& record : table)
            std::fprintf(stdout, "%s\n", record.c_str());
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }

    QApplication application(argc, argv);
    // The error log writes the month in the user's language.
    std::setlocale(LC_ALL, "");

    almanoria::QtMessageBox messageBox;
    almanoria::SystemClock clock;
    almanoria::basErrorHandler errors(messageBox, clock, almanoria::RunningProgram());
    almanoria::basDatabase database(errors);

    almanoria::QtFrmMain window(errors, database, line.Year);
    window.show();
    return application.exec();
}
