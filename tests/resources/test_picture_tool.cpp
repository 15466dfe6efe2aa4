// make_pictures.py on maps other than the program's own: odd sizes come out right, and a map it cannot
// represent is refused with a message that says why, before any file is written.
#include "icon_file.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString xpm(const QString& values, const QStringList& lines) {
    QString text = "/* XPM */\nstatic const char* map[] = {\n\"" + values + "\",\n";
    for (const QString& line : lines)
        text += '"' + line + "\",\n";
    return text + "};\n";
}

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

ToolRun runTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(VOSTREL_PYTHON), QStringList{QStringLiteral(VOSTREL_PICTURE_TOOL)} + arguments);
    if (!tool.waitForFinished(60000))
        return {-1, "did not finish: " + tool.errorString()};
    const QString errors = QString::fromUtf8(tool.readAllStandardError());
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, errors};
}

bool writeFile(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// The tool's arguments for one command on the maps written as map0.xpm, map1.xpm, ... in dir.
QStringList commandLine(const QString& command, const QString& dir, int maps, const QStringList& ids) {
    if (command == "cursor")
        return {"cursor", "--cur", dir + "/out.cur", dir + "/map0.xpm"};
    if (command == "png")
        return {"png", "--png", dir + "/out.png", dir + "/map0.xpm"};
    QStringList arguments{"icon", "--ico", dir + "/out.ico", "--group", dir + "/group.bin"};
    for (int i = 0; i < maps; ++i)
        arguments << "--image" << QString("%1/map%2.xpm").arg(dir).arg(i) << ids.value(i, "1")
                  << QString("%1/image%2.bin").arg(dir).arg(i);
    return arguments;
}

const QString kBlack = ". c #000000";
const QString kNone = "  c None";

} // namespace

class PictureToolTest : public QObject {
    Q_OBJECT

private slots:
    void refusesWhatItCannotRepresent_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("maps");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("message");

        const QString good = xpm("2 1 2 1 0 0", {kBlack, kNone, ". "});
        QTest::addRow("not an XPM file")
            << "png" << QStringList{"P1\n2 1\n0 1\n"} << QStringList{} << "not an XPM file";
        QTest::addRow("colour outside the palette")
            << "png" << QStringList{xpm("1 1 1 1", {"a c #123456", "a"})} << QStringList{}
            << "colour #123456 is not one of the 16 standard colours";
        QTest::addRow("colour by name") << "png" << QStringList{xpm("1 1 1 1", {"a c red", "a"})}
                                        << QStringList{} << "colour 'red' must be #RRGGBB or None";
        QTest::addRow("key given twice") << "png" << QStringList{xpm("1 1 2 1", {kBlack, ". c None", "."})}
                                         << QStringList{} << "key '.' is given twice";
        QTest::addRow("short row") << "png" << QStringList{xpm("2 2 1 1", {kBlack, "..", "."})}
                                   << QStringList{} << "row 1 has 1 characters, not 2";
        QTest::addRow("unknown key") << "png" << QStringList{xpm("2 1 1 1", {kBlack, ".x"})} << QStringList{}
                                     << "row 0 uses key 'x', which is not a colour";
        QTest::addRow("missing row") << "png" << QStringList{xpm("2 2 1 1", {kBlack, ".."})} << QStringList{}
                                     << "expected 1 colours and 2 rows";
        QTest::addRow("too large for a directory entry")
            << "png" << QStringList{xpm("256 1 1 1", {kBlack, QString(256, '.')})} << QStringList{}
            << "size 256 x 1 is not between 1 and 255";
        QTest::addRow("string not closed")
            << "png" << QStringList{"/* XPM */\n{ \"1 1 1 1\",\n\". c #000000\n"} << QStringList{}
            << "string is not closed on its line";
        QTest::addRow("cursor without a hot spot") << "cursor" << QStringList{xpm("1 1 1 1", {kBlack, "."})}
                                                   << QStringList{} << "a cursor needs a hot spot";
        QTest::addRow("hot spot on a transparent pixel")
            << "cursor" << QStringList{xpm("2 1 2 1 1 0", {kBlack, kNone, ". "})} << QStringList{}
            << "hot spot 1,0 is a transparent pixel";
        QTest::addRow("hot spot outside the map")
            << "cursor" << QStringList{xpm("2 1 2 1 2 0", {kBlack, kNone, ". "})} << QStringList{}
            << "hot spot 2,0 lies outside the 2 x 1 map";
        QTest::addRow("two images with one id") << "icon" << QStringList{good, good} << QStringList{"7", "7"}
                                                << "two images have the same resource id";
        QTest::addRow("id 0") << "icon" << QStringList{good} << QStringList{"0"}
                              << "resource id '0' is not a number from 1 to 65535";
        QTest::addRow("second image bad") << "icon" << QStringList{good, xpm("1 1 1 1", {"a c #FFFFFE", "a"})}
                                          << QStringList{"1", "2"} << "is not one of the 16 standard colours";
    }

    void refusesWhatItCannotRepresent() {
        QFETCH(QString, command);
        QFETCH(QStringList, maps);
        QFETCH(QStringList, ids);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (int i = 0; i < maps.size(); ++i)
            QVERIFY(writeFile(QString("%1/map%2.xpm").arg(dir.path()).arg(i), maps[i]));

        const ToolRun run = runTool(commandLine(command, dir.path(), maps.size(), ids));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QCOMPARE(run.errors.count('\n'), 1); // one line that says it, no traceback
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), maps.size()); // nothing was written
    }

    void oddSizesArePaddedAsBitmapsRequire_data() {
        QTest::addColumn<QString>("map");
        // 3 wide: the colour row is 2 bytes and the mask row 1 byte before padding to 4; 33 wide crosses a
        // word.
        QTest::addRow("3 x 2") << xpm("3 2 4 1 2 1",
                                      {kBlack, kNone, "r c #FF0000", "w c #FFFFFF", "r w", ".wr"});
        QTest::addRow("33 x 1") << xpm("33 1 3 1 31 0",
                                       {kBlack, kNone, "b c #0000FF", QString(".b ").repeated(11)});
    }

    void oddSizesArePaddedAsBitmapsRequire() {
        QFETCH(QString, map);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("map0.xpm");
        QVERIFY(writeFile(path, map));
        const QImage expected(path);
        QVERIFY(!expected.isNull());

        for (const QString& command : QStringList{"icon", "cursor"}) {
            const ToolRun run = runTool(commandLine(command, dir.path(), 1, {"1"}));
            QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
            QString error;
            const auto file = readIconFile(
                readWholeFile(dir.filePath(command == "icon" ? "out.ico" : "out.cur"), &error), &error);
            QVERIFY2(file, qPrintable(error));
            const auto bitmap = readIconBitmap(file->entries[0].data, &error);
            QVERIFY2(bitmap, qPrintable(error));
            QCOMPARE(bitmap->maskedNonZeroPixels, 0);
            QVERIFY(samePixels(bitmap->image, expected));
        }
        QVERIFY(runTool(commandLine("png", dir.path(), 1, {})).exitCode == 0);
        QVERIFY(samePixels(QImage(dir.filePath("out.png"), "PNG"), expected));
    }
};

QTEST_GUILESS_MAIN(PictureToolTest)
#include "test_picture_tool.moc"
