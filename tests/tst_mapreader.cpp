// Reading the text of a level: sections, grids, definitions, texture
// references, the limits of a level, and malformed or hostile text. No window
// and no files.
#include "mapfile/mapreader.h"

#include <QTest>

namespace {
const char *const example = "#Wall\r\n0,101,\r\n0,0,\r\n\r\n#Floor\r\n0,0,\r\n102,102,\r\n\r\n"
                            "#Lightmap\r\n130,0,\r\n0,0,\r\n\r\n#Definitions\r\n101,Wall,Solid,level1/brick.png\r\n"
                            "102,Floor,,level1/stone.jpg\r\n130,Lightmap,Static,10,0,255,false,0.5\r\n";
const char *const exampleRead = "Wall: 1,0:0 ; Floor: 0,1:1 1,1:1 ; Lightmap: 0,0:2 # "
                                "Wall/Solid//maps/level1/brick.png | Floor///maps/level1/stone.jpg | "
                                "Lightmap/Static/assets/lamp.png/10,0,255,0,0.5";

// Layers as "name: column,row:definition ..." in file order, then the
// definitions in the order the cells first use them, lights with their values.
QString summary(const MapReader::Contents &contents)
{
    if (!contents.error.empty())
        return "error: " + QString::fromStdString(contents.error);
    QStringList layers;
    for (const MapReader::Layer &layer : contents.layers) {
        QString text = QString::fromStdString(layer.name) + ":";
        for (const MapReader::Cell &cell : layer.cells)
            text += QString::asprintf(" %d,%d:%u", cell.column, cell.row, cell.definition);
        layers << text;
    }
    QStringList definitions;
    for (const MapDefinition &d : contents.definitions) {
        const SectorLighting &l = d.lighting;
        definitions << QString::fromStdString(d.kind + "/" + d.subtype + "/" + d.texturePath)
                + (d.kind != "Lightmap" ? QString()
                                        : QString::asprintf("/%d,%d,%d,%d,%g", l.emission, l.emissionMin, l.emissionMax,
                                                            int(l.randomIntensity), l.blinkDelay));
    }
    QString text = layers.join(" ; ") + " # " + definitions.join(" | ");
    for (const std::string &warning : contents.warnings)
        text += " ! " + QString::fromStdString(warning);
    return text;
}

QString read(const QByteArray &text)
{
    return summary(MapReader("/maps").parseMapText(text.toStdString()));
}

QByteArray repeated(const char *part, int count)
{
    return QByteArray(part).repeated(count);
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
        QTest::newRow("empty text") << QByteArray() << " # ";
        QTest::newRow("binary garbage") << QByteArray("\0\xff#\xfe\r\r\n,\0,", 10) << " # ";
        // Empty cells are dropped, rows before any header and the second
        // section of a name are left out, and a header without a blank line
        // before it renames the lines gathered.
        QTest::newRow("grid sections")
            << QByteArray("7,\n\n#Wall\n0,,101,\n\n#Wall\n2,\n\n#Roof\n1,\n##Do#or\n2,\n\n#Definitions\n7,Item,A,a\n"
                          "101,Wall,B,b\n1,Door,C,c\n2,Door,D,d\n")
            << "Wall: 1,0:0 ; Door: 0,0:1 0,1:2 # Wall/B//maps/b | Door/C//maps/c | Door/D//maps/d";
        QTest::newRow("ids are texts; the first definition stays; two tables")
            << QByteArray("#Wall\n0101,101, 101,3,2,9,\n\n#Definitions\n0101,Wall,A,a.png\n101,Wall,B,b.png\n"
                          " 101,Wall,C,\n101,Door,D,d.png\n\n2,Item,E,e.png\n\n#Definitions\n3,Item,F,f.png\n\n")
            << "Wall: 0,0:0 1,0:1 2,0:2 3,0:3 4,0:4 # Wall/A//maps/a.png | Wall/B//maps/b.png | Wall/C/ | "
               "Item/F//maps/f.png | Item/E//maps/e.png";
        QTest::newRow("short lines; kinds decide the fields")
            << QByteArray("#X\n1,2,3,4,5\n\n#Definitions\n1,Ceil,X,c.png\n2,Floor,Y,f.png,more\n3,ceil,Z,z.png\n4\n"
                          "5,Wall\n,\n")
            << "X: 0,0:0 1,0:1 2,0:2 3,0:3 4,0:4 # Ceil///maps/c.png | Floor///maps/f.png | ceil/Z//maps/z.png | "
               "// | Wall//";
        // References that would lead out of the level's folder are not followed.
        static const char references[]
            = "#W\n1,2,3,4,5,6,7,8,9,10\n\n#Definitions\n1,Wall,S,lev/..a..png\n2,Wall,S,/etc/passwd\n"
              "3,Wall,S,../x.png\n4,Wall,S,lev/../../x.png\n5,Wall,S,lev\\..\\..\\x.png\n6,Wall,S,\\\\srv\\x.png\n"
              "7,Wall,S,C:/x.png\n8,Wall,S,lev/..\n9,Wall,S,\xc3\xb6.png\n10,Wall,S,a\0/../../x\n";
        QTest::newRow("texture references")
            << QByteArray(references, sizeof references - 1)
            << "W: 0,0:0 1,0:1 2,0:2 3,0:3 4,0:4 5,0:5 6,0:6 7,0:7 8,0:8 9,0:9 # Wall/S//maps/lev/..a..png | "
               "Wall/S/ | Wall/S/ | Wall/S/ | Wall/S/ | Wall/S/ | Wall/S/ | Wall/S/ | Wall/S//maps/\u00f6.png | "
               "Wall/S/";
        QTest::newRow("light values")
            << QByteArray("#Lightmap\n1,2,3,4,5\n\n#Definitions\n1,Lightmap,Dynamic,20,5,200,true,0.25\n"
                          "2,Lightmap,Static,20\n3,Lightmap,S,x,,1e,TRUE,abc\n"
                          "4,Lightmap,S,99999999999999999999,-5,-2147483649,true,1e999\n"
                          "5,Lightmap,S,2147483647,-2147483648,0,false,nan\n")
            << "Lightmap: 0,0:0 1,0:1 2,0:2 3,0:3 4,0:4 # Lightmap/Dynamic/assets/lamp.png/20,5,200,1,0.25 | "
               "Lightmap/Static/assets/lamp.png/20,0,0,0,0 | Lightmap/S/assets/lamp.png/0,0,0,0,0 | "
               "Lightmap/S/assets/lamp.png/0,-5,0,1,0 | Lightmap/S/assets/lamp.png/2147483647,-2147483648,0,0,0";
    }

    void parseMapText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QCOMPARE(read(text), expected);
    }

    // Absolute image paths (recovery copies, the clipboard) are followed only
    // when accepted, never through ".."; without a folder no relative one is.
    void absoluteReferences()
    {
        const std::string text = "#W\n1,2,3\n\n#Definitions\n1,W,S,/img/a.png\n2,W,S,/img/../b.png\n3,W,S,c.png\n";
        MapReader inFolder("/maps");
        MapReader noFolder {std::string()};
        for (MapReader *reader : {&inFolder, &noFolder})
            reader->acceptAbsoluteReferences();
        QCOMPARE(summary(inFolder.parseMapText(text)),
                 "W: 0,0:0 1,0:1 2,0:2 # W/S//img/a.png | W/S/ | W/S//maps/c.png");
        QCOMPARE(summary(noFolder.parseMapText(text)), "W: 0,0:0 1,0:1 2,0:2 # W/S//img/a.png | W/S/ | W/S/");
        QCOMPARE(summary(MapReader("/maps").parseMapText(text)),
                 "W: 0,0:0 1,0:1 2,0:2 # W/S/ | W/S/ | W/S//maps/c.png");
    }

    // Levels that passed through other tools read as the level they were.
    void blankLinesByteOrderMarkAndHeaders_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray plain(example);
        QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + plain;
        QTest::newRow("lines of spaces and tabs end sections")
            << QByteArray(plain)
                   .replace("0,0,\r\n\r\n#Floor", "0,0,\r\n \t\r\n#Floor")
                   .replace("\r\n\r\n#Def", "\r\n\t\r\n#Def");
        QTest::newRow("headers with white space") << QByteArray(plain)
                                                         .replace("#Wall", "#Wall ")
                                                         .replace("#Floor", "# Floor\t")
                                                         .replace("#Definitions", "#Definitions  ");
        QTest::newRow("CR CR LF line ends") << QByteArray(plain).replace("\r\n", "\r\r\n");
    }

    void blankLinesByteOrderMarkAndHeaders()
    {
        QFETCH(QByteArray, text);
        QCOMPARE(read(text), exampleRead);
    }

    // What is left out is told by line: rows outside any section, rows after
    // the end of one, a second section of a name.
    void sectionsLeftOut()
    {
        const MapReader::Contents contents = MapReader("/maps").parseMapText(
            "1,\n\n#Wall\n1,\n\n2,\n\n\n#Wall\n1,\n\n#\n1,\n\n#Wall\n\n#Definitions\n1,Wall,Solid,a\n2,Wall,Solid,b\n");
        QStringList told;
        for (const LevelProblem &problem : contents.problems)
            told << QString::number(problem.line) + ": " + QString::fromStdString(problem.message);
        QCOMPARE(summary(contents), "Wall: 0,0:0 # Wall/Solid//maps/a");
        QCOMPARE(told, QStringList({
                           "1: rows before the first section line (such as #Wall) are outside any section; they are "
                           "left out",
                           "6: rows after the empty line that ends the section \"Wall\" (line 3) are left out",
                           "9: a second section \"Wall\" is left out; the one on line 3 is read",
                           "13: rows under a section line without a name are outside any section; they are left out",
                           "15: a second section \"Wall\" is left out; the one on line 3 is read",
                       }));
    }

    // A hostile level gives a short list: each kind of problem at most 100
    // times and then counted, each text quoted in at most 80 bytes.
    void problemsListedBriefly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("problems");
        QTest::addColumn<QString>("last");
        const QByteArray longId = QByteArray(1000, '7');
        QTest::newRow("second definitions of a long id")
            << "#Definitions\n" + repeated(longId + ",Wall,Solid,a\n", 151) << 101
            << "103: 50 more second definitions of an id from here on are not listed";
        QTest::newRow("second sections") << repeated("#Wall\n1,\n\n", 151) << 102
                                         << "304: 50 more second sections of a name from here on are not listed";
        QTest::newRow("a cell of a megabyte") << "#Wall\n" + QByteArray(1 << 20, 'x') + ",\n" << 1
                                              << "2: a cell holds \"" + QString(80, 'x')
                + "...\", which is not a number and names no definition; the cell stays empty";
        QTest::newRow("a section name of 100 KB")
            << "#" + QByteArray(100000, 'W') + "\n1,\n\n#Definitions\n1,Wall,Solid,a\n" << 1
            << "1: the section name is longer than 64 characters; it is cut to \"" + QString(64, 'W') + "\"";
    }

    void problemsListedBriefly()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, problems);
        QFETCH(QString, last);
        const MapReader::Contents contents = MapReader("/maps").parseMapText(text.toStdString());
        QCOMPARE(int(contents.problems.size()), problems);
        const LevelProblem &told = contents.problems.back();
        QCOMPARE(QString::number(told.line) + ": " + QString::fromStdString(told.message), last);
        for (const LevelProblem &problem : contents.problems)
            QVERIFY(problem.message.size() < 200);
        for (const MapReader::Layer &layer : contents.layers)
            QVERIFY(layer.name.size() <= MapReader::nameBytes);
    }

    // The grid a level may use and the objects, definitions and sections it may hold.
    void limitsOfALevel()
    {
        const QByteArray definition = "\n\n#Definitions\n1,Wall,S,a.png\n";
        // Cells beyond 2,048 columns or rows are left out with a warning.
        const QByteArray wide = "#Wall\n" + repeated("0,", 2047) + "1,1,\n" + repeated("0,\n", 2047) + "1,";
        QCOMPARE(read(wide + definition),
                 "Wall: 2047,0:0 # Wall/S//maps/a.png ! The level is larger than 2,048 x "
                 "2,048 cells; the objects beyond were left out.");

        // 262,144 objects are read; one more, and the level is refused.
        const QByteArray full = "#Wall\n" + repeated(repeated("1,", 512) + "\n", 512);
        QCOMPARE(MapReader("/maps").parseMapText((full + definition).toStdString()).objectCount(), size_t(262144));
        QCOMPARE(read(full + "1," + definition),
                 "error: The level holds more than 262,144 objects, more than the editor can show.");
        QCOMPARE(read("#Definitions\n" + repeated("x\n", 262145)),
                 "error: The level has more than 262,144 definitions.");
        QByteArray sections;
        for (int i = 0; i < 257; ++i)
            sections += "#layer" + QByteArray::number(i) + "\n1,\n\n";
        QCOMPARE(read(sections), "error: The level has more than 256 sections.");
    }
};

QTEST_GUILESS_MAIN(MapReaderTest)
#include "tst_mapreader.moc"
