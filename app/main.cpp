#include "app/commandline.h"
#include "app/gorseed.h"
#include "app/startupenvironment.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // The command line is handled without a window, so it needs no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!CommandLine::wantsWindow(arguments)) {
        QByteArrayList bytes;
        for (int i = 0; i < argc; ++i)
            bytes << QByteArray(argv[i]);
        // Image formats come from plugins, which need the core application.
        QCoreApplication core(argc, argv);
        std::string out, err;
        const int status = CommandLine::run(bytes, out, err);
        fwrite(out.data(), 1, out.size(), stdout);
        fwrite(err.data(), 1, err.size(), stderr);
        return status;
    }
    prepareStartupEnvironment();
    QApplication application(argc, argv);
    GorseED window;
    window.show();
    return application.exec();
}
