#include "level/subtypetable.h"

#include <algorithm>

const std::vector<std::string> &Kinds::comboOrder()
{
    static const std::vector<std::string> order = {Ceil, Wall, Floor, Door, Actor, Sprite, Item, Lightmap};
    return order;
}

const std::vector<std::string> &Kinds::galleryOrder()
{
    static const std::vector<std::string> order = {Ceil, Floor, Wall, Door, Actor, Sprite, Item, Lightmap};
    return order;
}

SubtypeTable::SubtypeTable()
    : wallSubtypes {"Solid", "PiercedWall", "SolidBounding"}, doorSubtypes {"Solid", "BlueKeyDoor", "RedKeyDoor",
                                                                            "GreenKeyDoor", "YellowKeyDoor"},
      actorSubtypes {"Soldier", "Shotgunner", "Machinegunner", "Player"}, spriteSubtypes {"No Collision", "Solid"},
      itemSubtypes {"Healthpack",     "Explosive", "Teleport", "Armor",  "ArmorMini", "Machinegun", "Shotgun",
                    "RocketLauncher", "Plasma",    "BlueKey",  "RedKey", "GreenKey",  "YellowKey",  "LevelEnd"},
      lightmapSubtypes {"Static", "Dynamic"}
{
    subtypesByKind = {
        {Kinds::Ceil, {""}},           {Kinds::Floor, {""}},
        {Kinds::Wall, wallSubtypes},   {Kinds::Door, doorSubtypes},
        {Kinds::Actor, actorSubtypes}, {Kinds::Sprite, spriteSubtypes},
        {Kinds::Item, itemSubtypes},   {Kinds::Lightmap, lightmapSubtypes},
    };
}

bool SubtypeTable::kindHasSubtype(const std::string &kind, const std::string &subtype) const
{
    const auto found = subtypesByKind.find(kind);
    return found != subtypesByKind.end()
           && std::find(found->second.begin(), found->second.end(), subtype) != found->second.end();
}
