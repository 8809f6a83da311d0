// The program's entry: runs the table window modally and returns 0 when it
// has ended. The program reads no command line, no file and no setting: the
// toolkit is given the program's name only.
#include <QApplication>

#include "table/computer_dialog.h"
#include "table/connect_dialog.h"
#include "table/table_window.h"

int main() {
    char name[] = "vantoro";
    char* arguments[] = {name, nullptr};
    int count = 1;
    QApplication application(count, arguments);
    TableWindow window;
    window.SetConnectDialogRunner(RunConnectDialog);
    window.SetComputerDialogRunner(RunComputerDialog);
    window.exec();
    return 0;
}
