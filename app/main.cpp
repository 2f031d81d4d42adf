#include "app/gorseed.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    GorseED window;
    window.show();
    return application.exec();
}
