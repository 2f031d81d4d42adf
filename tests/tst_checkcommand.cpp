// GorseED's command line, run as a real process without any X display: the
// compiler-style lines of --check, exit statuses, --help, --version, usage
// errors, and files that are not levels or are far too big in some way.
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {
// The player alone in a closed room with the level end.
const QByteArray goodLevel = "#Wall\n1,1,1,1,\n1,0,0,1,\n1,1,1,1,\n\n#Actor\n0,0,0,0,\n0,2,0,0,\n0,0,0,0,\n\n"
                             "#Item\n0,0,0,0,\n0,0,3,0,\n0,0,0,0,\n\n#Definitions\n1,Wall,Solid,a/w.png\n"
                             "2,Actor,Player,a/p.png\n3,Item,LevelEnd,a/e.png\n";

// A section of `rows` rows of `width` cells, every cell `id`.
QByteArray filledSection(const char *layer, int width, int rows, const char *id)
{
    QByteArray row;
    for (int i = 0; i < width; ++i)
        row += QByteArray(id) + ',';
    QByteArray text = QByteArray("#") + layer + '\n';
    for (int r = 0; r < rows; ++r)
        text += row + '\n';
    return text + '\n';
}

// Three rows `width` cells wide: walls only at both ends of the first and
// last row, the player in the middle of the one between.
QByteArray wideLevel(int width)
{
    QByteArray ends = "1," + QByteArray("0,").repeated(width - 2) + "1,\n";
    QByteArray player = QByteArray("0,").repeated(width / 2) + "2," + QByteArray("0,").repeated(width / 2 - 1) + '\n';
    return "#Wall\n" + ends + QByteArray("0,\n") + ends + "\n#Actor\n0,\n" + player + "\n#Definitions\n"
        + "1,Wall,Solid,a/w.png\n2,Actor,Player,a/p.png\n";
}
} // namespace

class CheckCommandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // Runs GorseED in the test folder where no display can be reached: were a
    // window made, the process would abort.
    int run(const QStringList &arguments, QByteArray &out, QByteArray &err,
            const QString &program = QStringLiteral(GORSEED_BINARY))
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
        // Only a guard against a hang; the checks themselves take milliseconds.
        if (!process.waitForFinished(120000))
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void initTestCase()
    {
        QDir(dir.path()).mkdir("a");
        for (const char *image : {"a/w.png", "a/p.png", "a/e.png", "a/d.png"})
            QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(dir.filePath(image)));
        write("good.map", goodLevel);
        write("open.map", QByteArray(goodLevel).replace("1,0,0,1,", "1,0,0,0,"));
        write("empty.map", "");
        write("binary.map", QByteArray("#Wall\n\x7f" "ELF\0\x01\x02", 12));
        write("text.map", "Dear designer,\nthis is a letter.\n");
        write("players.map", filledSection("Actor", 100, 100, "2") + "#Definitions\n2,Actor,Player,a/p.png\n");
        write("doors.map", filledSection("Door", 100, 100, "4") + "#Definitions\n4,Door,BlueKeyDoor,a/d.png\n");
        write("wide.map", wideLevel(2048)); // the widest level the editor reads
        write("wider.map", wideLevel(100000));
        // 150 different texts that are no number, the last one eleven times.
        QByteArray texts = "#Wall\n";
        for (int i = 0; i < 160; ++i)
            texts += 't' + QByteArray::number(std::min(i, 149)) + ',';
        write("texts.map", texts + '\n');
        QDir(dir.path()).mkdir("folder.map");

    }

    void command_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // a part of standard error
        const QString noEnd = ": error: the level has no level end: place an Item of subtype LevelEnd\n";
        const QString noPlayer = ": error: the level has no player: place an Actor of subtype Player\n";
        QTest::newRow("a good level") << QStringList {"--check", "good.map"} << 0 << QString() << QString();
        QTest::newRow("an error in the second file")
            << QStringList {"--check", "good.map", "open.map"} << 1
            << "open.map: error: (3, 1) Wall: the player's area is open to the void here: the player at (1, 1) can "
               "walk off the level; close it with walls\n"
            << QString();
        QTest::newRow("an unreadable file wins")
            << QStringList {"--check", "open.map", "missing.map", "folder.map"} << 2 << QString("@open.map")
            << "missing.map: error: cannot read the level: the file does not exist\n"
               "folder.map: error: cannot read the level: it is a folder, not a level file\n";
        QTest::newRow("empty, binary, not a level")
            << QStringList {"--check", "empty.map", "binary.map", "text.map"} << 1
            << "empty.map:1: error: the file is empty; it holds no level\n"
               "binary.map:2: error: this is not a level file: it holds binary data\n"
               "text.map:1: error: this is not a level file: it has no section line such as #Wall or #Definitions\n"
            << QString();
        QTest::newRow("10,000 players")
            << QStringList {"--check", "players.map"} << 1
            << "players.map: error: (1, 0) Actor: the level has 10000 players; the game needs exactly one (the first "
               "is at (0, 0))\nplayers.map"
                + noEnd
                + "players.map: error: (0, 0) Wall: the player's area is open to the void here: the player at "
                  "(0, 0) can walk off the level; close it with walls\n"
            << QString();
        QTest::newRow("10,000 key doors")
            << QStringList {"--check", "doors.map"} << 1
            << "doors.map" + noPlayer + "doors.map" + noEnd
                + "doors.map: error: (0, 0) Door: the blue key door cannot be opened: there is no blue key on the "
                  "level (nor for 9999 more blue key doors)\n"
            << QString();
        QTest::newRow("2,048 cells wide")
            << QStringList {"--check", "wide.map"} << 1
            << "wide.map" + noEnd
                + "wide.map: error: (1024, 2) Wall: the player's area is open to the void here: the player at "
                  "(1024, 1) can walk off the level; close it with walls\n"
            << QString();
        QTest::newRow("100,000 cells wide: the part beyond the grid is left out, the player with it")
            << QStringList {"--check", "wider.map"} << 1
            << "wider.map:2: warning: the level is larger than 2,048 x 2,048 cells; the objects beyond, from this "
               "line on, were left out\n"
                + ("wider.map" + noPlayer) + "wider.map" + noEnd
            << QString();
        QTest::newRow("150 different bad cell texts: the first 100 listed, the cells of the rest counted")
            << QStringList {"--check", "texts.map"} << 1
            << QString("@texts.map:2: warning: a cell holds \"t99\", which is not a number and names no definition; the "
                       "cell stays empty\ntexts.map:2: warning: 60 more cells from here on hold other texts")
            << QString();
        QTest::newRow("--help") << QStringList {"--help"} << 0 << QString("@Usage: GorseED [--check FILE.map")
                                << QString();
        QTest::newRow("--version") << QStringList {"--version"} << 0 << QString("GorseED 1.0.0\n") << QString();
        QTest::newRow("unknown option") << QStringList {"--check", "good.map", "--fast"} << 2 << QString()
                                        << QString("GorseED: unknown option '--fast'\nUsage: GorseED");
        QTest::newRow("no file") << QStringList {"--check"} << 2 << QString() << QString("needs at least one level");
        QTest::newRow("a file without --check") << QStringList {"good.map"} << 2 << QString() << QString("Usage:");
    }

    // Names are bytes on Linux: a name that is not UTF-8 reaches the file as
    // given (its textures found beside it) and is printed back as given; a
    // second section of a layer is told.
    void fileNameNotUtf8()
    {
        const QByteArray name = "lat\xe9n.map";
        QFile file(dir.path() + "/latin.map");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(goodLevel + "\n#Wall\n7,\n");
        file.close();
        const QByteArray path = QFile::encodeName(dir.path()) + "/" + name;
        QCOMPARE(::rename(QFile::encodeName(file.fileName()).constData(), path.constData()), 0);
        // QTemporaryDir cannot name it to remove it.
        const auto remove = qScopeGuard([&path] { ::remove(path.constData()); });
        // The bytes pass through a shell: QProcess would hand over text.
        QByteArray out, err;
        const int status = run({"-c", R"sh(exec "$0" --check "$(printf 'lat\351n.map')" "$(printf 'lat\351n2.map')")sh",
                                QStringLiteral(GORSEED_BINARY)},
                               out, err, QStringLiteral("/bin/sh"));
        QCOMPARE(status, 2);
        QCOMPARE(out, name + ":21: warning: a second section \"Wall\" is left out; the one on line 1 is read\n");
        QCOMPARE(err, "lat\xe9n2.map: error: cannot read the level: the file does not exist\n");
    }

    // Output starting with "@" need only contain the rest.
    void command()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QByteArray stdOut, stdErr;
        QCOMPARE(run(arguments, stdOut, stdErr), status);
        if (out.startsWith('@'))
            QVERIFY2(stdOut.contains(out.mid(1).toUtf8()), stdOut.constData());
        else
            QCOMPARE(QString::fromUtf8(stdOut), out);
        if (err.isEmpty())
            QCOMPARE(stdErr, QByteArray());
        else
            QVERIFY2(stdErr.contains(err.toUtf8()), stdErr.constData());
    }
};

QTEST_GUILESS_MAIN(CheckCommandTest)
#include "tst_checkcommand.moc"
