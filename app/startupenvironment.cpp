#include "app/startupenvironment.h"

#include <QByteArray>
#include <QtGlobal>

void prepareStartupEnvironment()
{
    // Every placed object is a flat, see-through button on the map, so a big
    // level has tens of thousands of sibling widgets. Qt's search for opaque
    // siblings that hide part of a repainted widget then costs time for every
    // sibling and never finds one; turning it off changes nothing on screen.
    if (!qEnvironmentVariableIsSet("QT_NO_SUBTRACTOPAQUESIBLINGS"))
        qputenv("QT_NO_SUBTRACTOPAQUESIBLINGS", "1");
}
