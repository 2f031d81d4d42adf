#include "level/layerstates.h"

void LayerStates::setHidden(const std::string &layer, bool on)
{
    if (on)
        hidden.insert(layer);
    else
        hidden.erase(layer);
}

void LayerStates::setLocked(const std::string &layer, bool on)
{
    if (on)
        locked.insert(layer);
    else
        locked.erase(layer);
}

std::string LayerStates::editRefusal(const std::string &layer) const
{
    // A hidden layer is refused first: the designer cannot see what would change.
    if (isHidden(layer))
        return "The " + layer + " layer is hidden: nothing on it can be changed (Ctrl+H shows it)";
    if (isLocked(layer))
        return "The " + layer + " layer is locked: nothing on it can be changed (Ctrl+L unlocks it)";
    return {};
}
