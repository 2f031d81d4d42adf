// The sample level: three rooms in a row. The player starts in the west
// room; a door leads to the middle room, where a soldier guards the blue key;
// the blue key door opens the east room with the level end. Health, armour, a
// shotgun, a barrel and a plant lie about; the west room has a point light
// that fades with the distance from its centre, the others a dim light.
#include "samplelevel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {
const char *const plan[] = {
    "##########################",
    "#.......#........#.......#",
    "#..P....#...S....#...E...#",
    "#.......D........B.......#",
    "#...h...#..b..k..#.......#",
    "#.......#........#..G....#",
    "#..p..s.#....a...#.......#",
    "##########################",
};
const int rows = int(sizeof(plan) / sizeof(plan[0]));
const int columns = 26;

// One definition of the level: its number, layer, subtype and image (the
// file under textures/ and its name in the level's folder).
struct Definition
{
    int id;
    const char *layer;
    const char *subtype;
    const char *source;
    const char *image;
};

const Definition definitions[] = {
    {101, "Wall", "Solid", "Wall/brick.png", "brick.png"},
    {102, "Floor", "", "Floor/tiles.png", "tiles.png"},
    {103, "Ceil", "", "Ceil/panel.png", "panel.png"},
    {104, "Door", "Solid", "Door/door.png", "door.png"},
    {105, "Door", "BlueKeyDoor", "Door/bluekey.png", "bluekeydoor.png"},
    {106, "Actor", "Player", "Actor/player.png", "player.png"},
    {107, "Actor", "Soldier", "Actor/soldier.png", "soldier.png"},
    {108, "Actor", "Shotgunner", "Actor/shotgunner.png", "shotgunner.png"},
    {109, "Item", "BlueKey", "Item/bluekey.png", "bluekey.png"},
    {110, "Item", "LevelEnd", "Item/levelend.png", "levelend.png"},
    {111, "Item", "Healthpack", "Item/health.png", "health.png"},
    {112, "Item", "Armor", "Item/armor.png", "armor.png"},
    {113, "Item", "Shotgun", "Item/shotgun.png", "shotgun.png"},
    {114, "Sprite", "Solid", "Sprite/barrel.png", "barrel.png"},
    {115, "Sprite", "No Collision", "Sprite/plant.png", "plant.png"},
};

// What stands on a cell of the plan, besides the floor and ceiling under it.
const std::map<char, std::pair<const char *, int>> thingOf = {
    {'#', {"Wall", 101}},  {'D', {"Door", 104}},  {'B', {"Door", 105}},   {'P', {"Actor", 106}},
    {'S', {"Actor", 107}}, {'G', {"Actor", 108}}, {'k', {"Item", 109}},   {'E', {"Item", 110}},
    {'h', {"Item", 111}},  {'a', {"Item", 112}},  {'s', {"Item", 113}},   {'b', {"Sprite", 114}},
    {'p', {"Sprite", 115}},
};

// The light level of a cell: a point light of radius 4 around (4, 3) in the
// west room, a dim 40 elsewhere.
int lightAt(int x, int y)
{
    const double distance = std::hypot(x - 4, y - 3);
    if (x < 8 && distance <= 4)
        return int(255 - distance * 50);
    return 40;
}

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        std::fprintf(stderr, "makeassets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}
} // namespace

bool writeSampleLevel(const QString &root)
{
    const QString folder = root + QStringLiteral("/levels/sample");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "makeassets: cannot create directory %s\n", qPrintable(folder));
        return false;
    }
    for (const Definition &definition : definitions) {
        const QString target = folder + QLatin1Char('/') + QLatin1String(definition.image);
        QFile::remove(target);
        if (!QFile::copy(root + QStringLiteral("/textures/") + QLatin1String(definition.source), target)) {
            std::fprintf(stderr, "makeassets: cannot copy %s\n", definition.source);
            return false;
        }
    }

    // Each layer's grid; light cells carry numbers of their own from 1000.
    std::map<std::string, std::vector<std::vector<int>>> grids;
    for (const char *layer : {"Ceil", "Wall", "Floor", "Door", "Actor", "Sprite", "Item", "Lightmap"})
        grids[layer].assign(rows, std::vector<int>(columns, 0));
    QByteArray lights;
    int nextLight = 1000;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const char cell = plan[y][x];
            const auto thing = thingOf.find(cell);
            if (thing != thingOf.end())
                grids[thing->second.first][y][x] = thing->second.second;
            if (cell == '#')
                continue;
            grids["Floor"][y][x] = 102;
            grids["Ceil"][y][x] = 103;
            grids["Lightmap"][y][x] = nextLight;
            lights += QByteArray::number(nextLight++) + ",Lightmap,Static," + QByteArray::number(lightAt(x, y))
                      + ",0,255,false,0.5\r\n";
        }
    }

    QByteArray text;
    for (const auto &[layer, grid] : grids) {
        text += "#" + QByteArray(layer.c_str()) + "\r\n";
        for (const auto &row : grid) {
            for (int id : row)
                text += QByteArray::number(id) + ",";
            text += "\r\n";
        }
        text += "\r\n";
    }
    text += "#Definitions\r\n";
    for (const Definition &definition : definitions)
        text += QByteArray::number(definition.id) + "," + definition.layer + "," + definition.subtype + ",sample/"
                + definition.image + "\r\n";
    text += lights;
    return writeText(root + QStringLiteral("/levels/sample.map"), text);
}
