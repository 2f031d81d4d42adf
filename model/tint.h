#pragma once

#include <QColor>
#include <QRgb>

// A tint or none, as an object or a whole layer shows it over its picture.
class Tint
{
public:
    // Takes `colour` (an invalid colour: none); false when it held that already.
    bool set(const QColor &colour)
    {
        const bool nowSet = colour.isValid();
        const QRgb rgba = nowSet ? colour.rgba() : 0;
        if (nowSet == isSet && rgba == value)
            return false;
        isSet = nowSet;
        value = rgba;
        return true;
    }
    bool tinted() const { return isSet; }
    QRgb rgba() const { return value; }
    QColor colour() const { return isSet ? QColor::fromRgba(value) : QColor(); }

private:
    QRgb value = 0;
    bool isSet = false;
};
