// Program entry: hands the window to the toolkit and runs its event loop.
#include "app/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Form1 form;
    form.showMaximizedFromDescription();
    return QApplication::exec();
}
