#include "app/gorseed.h"
#include "app/startupenvironment.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareStartupEnvironment();
    QApplication application(argc, argv);
    GorseED window;
    window.show();
    return application.exec();
}
