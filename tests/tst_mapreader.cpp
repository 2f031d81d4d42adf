// Reading the text of a level: sections, grids, definitions, texture
// references, and malformed or hostile text. No window and no files.
#include "mapfile/mapreader.h"

#include <QRandomGenerator>
#include <QTest>

namespace {
const char *const example = "#Wall\r\n0,101,\r\n0,0,\r\n\r\n#Floor\r\n0,0,\r\n102,102,\r\n\r\n"
                            "#Lightmap\r\n130,0,\r\n0,0,\r\n\r\n#Definitions\r\n101,Wall,Solid,level1/brick.png\r\n"
                            "102,Floor,,level1/stone.jpg\r\n130,Lightmap,Static,10,0,255,false,0.5\r\n";
const char *const exampleRead = "Wall: 0,101|0,0 ; Floor: 0,0|102,102 ; Lightmap: 130,0|0,0 # "
                                "101=Wall/Solid//maps/level1/brick.png 102=Floor///maps/level1/stone.jpg "
                                "130=Lightmap/Static/assets/lamp.png/10,0,255,0,0.5";

// Sections as "name: row|row" in file order, then the definitions as
// "id=kind/subtype/path" sorted, lights with their five values.
QString summary(const MapReader::Contents &contents)
{
    QStringList sections;
    for (const auto &[name, grid] : contents.grids) {
        QStringList rows;
        for (const auto &row : grid) {
            std::string cells;
            for (const std::string &cell : row)
                cells += "," + cell;
            rows << QString::fromStdString(cells).mid(1);
        }
        sections << QString::fromStdString(name) + ": " + rows.join('|');
    }
    QStringList definitions;
    for (const auto &[id, d] : contents.definitions) {
        const SectorLighting &l = d.lighting;
        definitions << QString::fromStdString(id + "=" + d.kind + "/" + d.subtype + "/" + d.texturePath)
                + (d.kind != "Lightmap" ? QString()
                                        : QString::asprintf("/%d,%d,%d,%d,%g", l.emission, l.emissionMin, l.emissionMax,
                                                            int(l.randomIntensity), l.blinkDelay));
    }
    definitions.sort();
    return sections.join(" ; ") + " # " + definitions.join(' ');
}
} // namespace

class MapReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void parseMapText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        const QByteArray lf = QByteArray(example).replace("\r\n", "\n");
        QTest::newRow("worked example") << QByteArray(example) << exampleRead;
        // Blank lines after the table, common after editing by hand, keep it.
        QTest::newRow("LF, blank lines after the definitions") << lf + "\n\n" << exampleRead;
        QTest::newRow("CR, last line without an end") << QByteArray(lf).replace('\n', '\r').chopped(1) << exampleRead;
        QTest::newRow("empty text") << QByteArray() << ":  # ";
        QTest::newRow("binary garbage") << QByteArray("\0\xff#\xfe\r\r\n,\0,", 10)
                                        << QString::fromUtf8(": \0\xff#\xfe # ", 9);
        // Empty cells are dropped, the first section of a name is kept, and a
        // header without a blank line before it renames the lines gathered.
        QTest::newRow("grid sections") << QByteArray("7,\n\n#Wall\n0,,101,\n\n#Wall\n2,\n\n#Roof\n1,\n##Do#or\n2,\n")
                                       << ": 7 ; Wall: 0,101 ; Door: 1|2 # ";
        QTest::newRow("ids are texts; the first definition stays; two tables")
            << QByteArray("#Definitions\n0101,Wall,A,a.png\n101,Wall,B,b.png\n 101,Wall,C,\n101,Door,D,d.png\n\n"
                          "2,Item,E,e.png\n\n#Definitions\n3,Item,F,f.png\n\n")
            << " #  101=Wall/C/ 0101=Wall/A//maps/a.png 101=Wall/B//maps/b.png 2=Item/E//maps/e.png "
               "3=Item/F//maps/f.png";
        QTest::newRow("short lines; kinds decide the fields")
            << QByteArray("#Definitions\n1,Ceil,X,c.png\n2,Floor,Y,f.png,more\n3,ceil,Z,z.png\n4\n5,Wall\n,\n")
            << " # 1=Ceil///maps/c.png 2=Floor///maps/f.png 3=ceil/Z//maps/z.png 4=// 5=Wall// =//";
        // References that would lead out of the level's folder are not followed.
        static const char references[]
            = "#Definitions\n1,Wall,S,lev/..a..png\n2,Wall,S,/etc/passwd\n3,Wall,S,../x.png\n"
              "4,Wall,S,lev/../../x.png\n5,Wall,S,lev\\..\\..\\x.png\n6,Wall,S,\\\\srv\\x.png\n"
              "7,Wall,S,C:/x.png\n8,Wall,S,lev/..\n9,Wall,S,\xc3\xb6.png\n10,Wall,S,a\0/../../x\n";
        QTest::newRow("texture references")
            << QByteArray(references, sizeof references - 1)
            << " # 10=Wall/S/ 1=Wall/S//maps/lev/..a..png 2=Wall/S/ 3=Wall/S/ 4=Wall/S/ 5=Wall/S/ 6=Wall/S/ "
               "7=Wall/S/ 8=Wall/S/ 9=Wall/S//maps/\u00f6.png";
        QTest::newRow("light values")
            << QByteArray("#Definitions\n1,Lightmap,Dynamic,20,5,200,true,0.25\n2,Lightmap,Static,20\n"
                          "3,Lightmap,S,x,,1e,TRUE,abc\n4,Lightmap,S,99999999999999999999,-5,-2147483649,true,1e999\n"
                          "5,Lightmap,S,2147483647,-2147483648,0,false,nan\n")
            << " # 1=Lightmap/Dynamic/assets/lamp.png/20,5,200,1,0.25 2=Lightmap/Static/assets/lamp.png/20,0,0,0,0 "
               "3=Lightmap/S/assets/lamp.png/0,0,0,0,0 4=Lightmap/S/assets/lamp.png/0,-5,0,1,0 "
               "5=Lightmap/S/assets/lamp.png/2147483647,-2147483648,0,0,0";
    }

    void parseMapText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QCOMPARE(summary(MapReader("/maps").parseMapText(text.toStdString())), expected);
    }

    // A deterministic mutation run: random bytes, cuts, file-format tokens and
    // splices applied to sample levels. The parser must neither crash nor
    // hang, and what it returns must stay well-formed.
    void mutatedTexts()
    {
        const std::vector<std::string> seeds {example, "#Wall\n0,,101,\n0101,\n\n#Definitions\n101,Wall,S,../x\n\n",
                                              "7,\n#Door\n#Definitions\n-1,Lightmap,Dynamic,1,2\n,,,\n"};
        static const char tokenText[] = "#|#Definitions|\n|\r\n|\r|,|0|101|Lightmap|-2147483649|"
                                        "99999999999999999999|..|/|\\|nan|\0";
        const QList<QByteArray> tokens = QByteArray(tokenText, sizeof tokenText - 1).split('|');
        QRandomGenerator random(4);
        const MapReader reader("/maps");
        for (int round = 0; round < 8000; ++round) {
            std::string text = seeds[random.bounded(int(seeds.size()))];
            for (int edit = random.bounded(1, 9); edit > 0; --edit) {
                const size_t at = random.bounded(int(text.size() + 1));
                const std::string &other = seeds[random.bounded(int(seeds.size()))];
                const std::string insertions[] {std::string(1, char(random.bounded(256))),
                                                tokens[random.bounded(tokens.size())].toStdString(),
                                                other.substr(random.bounded(int(other.size())), random.bounded(64))};
                const int kind = random.bounded(4);
                if (kind < 3)
                    text.insert(at, insertions[kind]);
                else
                    text.erase(at, random.bounded(16));
            }
            const MapReader::Contents contents = reader.parseMapText(text);
            for (const auto &[name, grid] : contents.grids)
                for (const auto &row : grid)
                    for (const std::string &cell : row)
                        QVERIFY(!cell.empty() && cell.find_first_of(",\r\n") == std::string::npos);
            for (const auto &[id, d] : contents.definitions) {
                QVERIFY(id.find_first_of(",\r\n") == std::string::npos);
                const std::string &path = d.texturePath;
                QVERIFY(path.empty() || path == MapReader::lampImage
                        || (path.rfind("/maps/", 0) == 0 && MapReader::isSafeReference(path.substr(6))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(MapReaderTest)
#include "tst_mapreader.moc"
