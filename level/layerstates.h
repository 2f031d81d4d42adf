#pragma once

#include <set>
#include <string>

// Which layers the designer has hidden (eye closed) or locked, for this
// editing session only: the level file knows nothing of them, so they survive
// a load and a save. Plain values, no widgets; the layer controller applies
// them to the map and every edit of the map asks `editRefusal` first.
class LayerStates
{
public:
    bool isHidden(const std::string &layer) const { return hidden.count(layer) != 0; }
    bool isLocked(const std::string &layer) const { return locked.count(layer) != 0; }
    void setHidden(const std::string &layer, bool on);
    void setLocked(const std::string &layer, bool on);

    // Why an edit of `layer` is refused ("The Wall layer is locked ..."), or
    // empty when the layer may be edited.
    std::string editRefusal(const std::string &layer) const;

private:
    std::set<std::string> hidden;
    std::set<std::string> locked;
};
