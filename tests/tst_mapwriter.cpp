// The text of a written level, byte for byte. No window and no files.
#include "mapfile/mapwriter.h"
#include "model/savedlayers.h"
#include "model/sector.h"

#include <QTest>
#include <memory>

namespace {
// Objects separated by ";", each "layer x y number image subtype", where a
// light gives its five values in place of the image; a layer name alone is an
// empty layer. "~" stands for "," and "+" for " ". Images lie in
// textures/<layer>/ unless the image names a folder.
struct Scene
{
    explicit Scene(const QString &text)
    {
        for (const QString &entry : text.split(';', Qt::SkipEmptyParts)) {
            const QStringList f = entry.trimmed().split(' ');
            const std::string layer = f[0].toStdString();
            registry[layer];
            if (f.size() < 5)
                continue;
            auto *p = new SectorProperties;
            p->mapX = f[1].toInt();
            p->mapY = f[2].toInt();
            p->textureId = f[3].toInt();
            p->subtype = f.value(5).replace('+', ' ').replace('~', ',').toStdString();
            p->textureName = f[4].section('/', -1).replace('~', ',').toStdString();
            p->textureDir
                = f[4].contains('/') ? f[4].section('/', 0, -2).toStdString() + "/" : "textures/" + layer + "/";
            const QStringList v = f[4].split(',');
            if (layer == "Lightmap")
                p->lighting
                    = {0, 255, v[4].toDouble(), v[0].toInt(), v[1].toInt(), v[2].toInt(), false, v[3] == "true"};
            sectors.push_back(std::make_unique<Sector>(p));
            registry[layer].push_back(sectors.back().get());
        }
    }
    std::vector<std::unique_ptr<Sector>> sectors;
    SectorRegistry registry;
};

// The expected text has its CR LF line ends written as "|".
void row(const char *name, const char *scene, const char *fileName, const char *expected)
{
    QTest::newRow(name) << QString(scene) << QString(fileName) << QString(expected);
}
} // namespace

class MapWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void mapText_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("expected");
        row("worked example",
            "Lightmap 0 0 130 10,0,255,false,0.5 Static; Floor 0 1 102 stone.jpg; Floor 1 1 102 stone.jpg;"
            "Wall 1 0 101 brick.png Solid",
            "/maps/level1.map",
            "#Wall|0,101,|0,0,||#Floor|0,0,|102,102,||#Lightmap|130,0,|0,0,||#Definitions|"
            "101,Wall,Solid,level1/brick.png|102,Floor,,level1/stone.jpg|130,Lightmap,Static,10,0,255,false,0.5|");
        row("empty map", "Lightmap;Item;Sprite;Actor;Door;Floor;Wall;Ceil", "/m/e.map",
            "#Ceil|0,||#Wall|0,||#Floor|0,||#Door|0,||#Actor|0,||#Sprite|0,||#Item|0,||#Lightmap|0,||#Definitions|");
        row("subtypes of one texture",
            "Wall 0 0 101 b.png Solid; Wall 1 0 101 b.png PiercedWall; Wall 2 0 101 b.png PiercedWall;"
            "Wall 3 0 101 b.png SolidBounding",
            "/m/l.map",
            "#Wall|101,5101,5101,10101,||#Definitions|101,Wall,Solid,l/b.png|5101,Wall,PiercedWall,l/b.png|"
            "10101,Wall,SolidBounding,l/b.png|");
        // A shifted number that another texture holds is skipped; so are
        // numbers that would overflow.
        row("numbers taken, 0, -1 and the largest",
            "Wall 0 0 0 a.png Solid; Wall 1 0 -1 none/ Solid; Wall 2 0 2147483647 a.png Solid;"
            "Wall 3 0 2147483647 a.png PiercedWall; Wall 4 0 5101 o.png Solid; Wall 5 0 101 b.png Solid;"
            "Wall 6 0 101 b.png PiercedWall",
            "/m/l.map",
            "#Wall|5000,-1,2147483647,1,5101,101,10101,||#Definitions|5000,Wall,Solid,l/a.png|-1,Wall,Solid,l/|"
            "2147483647,Wall,Solid,l/a.png|1,Wall,PiercedWall,l/a.png|5101,Wall,Solid,l/o.png|"
            "101,Wall,Solid,l/b.png|10101,Wall,PiercedWall,l/b.png|");
        // Kinds never share a line: a door drawn with a wall's texture and
        // subtype (Ctrl on the Wall layer) is written as a door.
        row("one texture on Ceil and Floor", "Ceil 0 0 120 textures/Ceil/p.png; Floor 0 0 120 textures/Ceil/p.png",
            "/m/l.map", "#Ceil|120,||#Floor|5120,||#Definitions|120,Ceil,,l/p.png|5120,Floor,,l/p.png|");
        row("a wall's texture on a door",
            "Wall 0 0 101 b.png Solid; Door 1 0 101 textures/Wall/b.png Solid; Wall 2 0 101 b.png PiercedWall",
            "/m/l.map",
            "#Wall|101,0,5101,||#Door|0,10101,0,||#Definitions|101,Wall,Solid,l/b.png|5101,Wall,PiercedWall,l/b.png|"
            "10101,Door,Solid,l/b.png|");
        row("light values",
            "Lightmap 0 0 130 20,5,200,true,0.25 Static; Lightmap 1 0 130 10,0,255,false,3 Dynamic;"
            "Lightmap 2 0 131 -7,0,2147483647,false,0.00001 Static; Lightmap 3 0 130 20,5,200,true,0.25 Static;"
            "Lightmap 4 0 130 10,0,255,false,1.23456789 Static",
            "/m/l.map",
            "#Lightmap|130,5130,131,130,10130,||#Definitions|130,Lightmap,Static,20,5,200,true,0.25|"
            "5130,Lightmap,Dynamic,10,0,255,false,3|131,Lightmap,Static,-7,0,2147483647,false,1e-05|"
            "10130,Lightmap,Static,10,0,255,false,1.23457|");
        // Cells at negative coordinates are dropped and do not widen the grid;
        // of two objects in one cell the later one is written.
        row("negative cells, one cell twice",
            "Wall -1 0 101 a.png Solid; Wall 5 -3 102 b.png Solid; Wall 0 0 103 c.png Solid;"
            "Wall 0 0 104 d.png Solid; Door 3 1 105 e.png Solid",
            "/m/l.map",
            "#Wall|104,0,0,0,|0,0,0,0,||#Door|0,0,0,0,|0,0,0,105,||#Definitions|103,Wall,Solid,l/c.png|"
            "104,Wall,Solid,l/d.png|105,Door,Solid,l/e.png|");
        // One image name in two folders, and back: each object keeps its own.
        row("one name in two folders, in turn",
            "Wall 0 0 101 a/b.png Solid; Wall 1 0 101 c/b.png Solid; Wall 2 0 101 a/b.png Solid;"
            "Wall 3 0 101 c/b.png Solid",
            "/m/l.map", "#Wall|101,5101,101,5101,||#Definitions|101,Wall,Solid,l/b.png|5101,Wall,Solid,l/b_2.png|");
        row("commas and .map twice", "Wall 0 0 101 a~b.png Pierced~Wall+X", "/m/le,vel.map.b.map",
            "#Wall|101,||#Definitions|101,Wall,Pierced_Wall X,le_vel.b/a_b.png|");
        row("nothing left of the name", "Wall 0 0 101 a.png Solid", "/m/.map",
            "#Wall|101,||#Definitions|101,Wall,Solid,_/a.png|");
        row("dots only", "Wall 0 0 101 a.png Solid", "/m/...map", "#Wall|101,||#Definitions|101,Wall,Solid,_../a.png|");
    }

    void mapText()
    {
        QFETCH(QString, scene);
        QFETCH(QString, fileName);
        QFETCH(QString, expected);
        const Scene objects(scene);
        MapWriter writer(MapWriter::mapNameOf(fileName.toStdString()));
        // A bare CR or LF would survive the replacement and fail the comparison.
        QCOMPARE(QString::fromStdString(writer.mapText(savedLayersOf(objects.registry))).replace("\r\n", "|"),
                 expected);
    }
};

QTEST_GUILESS_MAIN(MapWriterTest)
#include "tst_mapwriter.moc"
