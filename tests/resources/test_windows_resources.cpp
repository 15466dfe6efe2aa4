// vostrel.rc compiled with mingw-w64's windres and linked into a small Windows program, whose resources
// wrestool lists and extracts: icon group 1 with images 30001 and 30002, byte for byte those of the
// window's icon, and the version record.
#include "icon_file.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QtEndian>

#include <optional>

namespace {

const QString kSource = QStringLiteral(VOSTREL_PICTURES_SOURCE "/");
const QString kMade = QStringLiteral(VOSTREL_PICTURES_MADE "/");
constexpr int kEnglishUnitedStates = 0x0409;

struct Run {
    bool ok = false;
    QByteArray output;
    QString errors;
};

Run run(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {false, {}, tool + " is not installed (see VOSTREL_TEST_PACKAGES in scripts/deps.sh)"};
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {false, {}, tool + " did not finish: " + process.errorString()};
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return {ok, process.readAllStandardOutput(), QString::fromLocal8Bit(process.readAllStandardError())};
}

// One node of a version record: a key, a value (text or bytes) and child nodes.
struct VersionNode {
    QString key;
    bool isText = false;
    QByteArray value;
    QList<VersionNode> children;

    const VersionNode* child(const QString& name) const {
        for (const VersionNode& node : children)
            if (node.key == name)
                return &node;
        return nullptr;
    }
    QString text() const {
        QString s =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(value.constData()), value.size() / 2);
        while (s.endsWith(QChar(0)))
            s.chop(1);
        return s;
    }
};

// Reads the node at `at`; nodes are aligned to 4 bytes from the start of the record.
std::optional<VersionNode> readVersionNode(const QByteArray& bytes, qsizetype at, QString* error) {
    const auto u16 = [&](qsizetype pos) { return qFromLittleEndian<quint16>(bytes.constData() + pos); };
    const auto align = [](qsizetype pos) { return (pos + 3) & ~qsizetype(3); };
    if (at + 6 > bytes.size()) {
        *error = QString("node at %1 runs past the end").arg(at);
        return std::nullopt;
    }
    const qsizetype end = at + u16(at);
    if (u16(at) < 6 || end > bytes.size()) {
        *error = QString("node at %1 has length %2").arg(at).arg(u16(at));
        return std::nullopt;
    }
    const int valueLength = u16(at + 2);
    VersionNode node;
    node.isText = u16(at + 4) == 1;
    qsizetype pos = at + 6;
    while (pos + 2 <= end && u16(pos) != 0) {
        node.key += QChar(u16(pos));
        pos += 2;
    }
    pos = align(pos + 2);
    const qsizetype valueBytes = node.isText ? 2 * valueLength : valueLength;
    if (pos + valueBytes > end) {
        *error = QString("node %1 is longer than its record").arg(node.key);
        return std::nullopt;
    }
    node.value = bytes.mid(pos, valueBytes);
    for (pos = align(pos + valueBytes); pos < end; pos = align(pos)) {
        const auto child = readVersionNode(bytes, pos, error);
        if (!child)
            return std::nullopt;
        pos += u16(pos);
        node.children.append(*child);
    }
    return node;
}

} // namespace

class WindowsResourcesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString program_;
    IconFile icon_;

    QByteArray extract(const QString& type, int name) {
        const Run extracted = run(
            "wrestool", {"--extract", "--raw", "--type=" + type, QString("--name=%1").arg(name), program_});
        if (!extracted.ok)
            qWarning("%s", qPrintable(extracted.errors));
        return extracted.output;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        const QString object = dir_.filePath("resources.o"), main = dir_.filePath("main.cpp");
        program_ = dir_.filePath("Vostrel.exe");

        const Run windres = run("i686-w64-mingw32-windres",
                                {"-I", kMade, "-I", kSource, "-i", kSource + "vostrel.rc", "-o", object});
        QVERIFY2(windres.ok, qPrintable(windres.errors));
        QFile source(main);
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("int main() { return 0; }\n");
        source.close();
        const Run link = run("i686-w64-mingw32-g++", {"-mwindows", "-o", program_, main, object});
        QVERIFY2(link.ok, qPrintable(link.errors));

        QString error;
        const auto icon = readIconFile(readWholeFile(kMade + "trefoil.ico", &error), &error);
        QVERIFY2(icon, qPrintable(error));
        icon_ = *icon;
    }

    void carriesTheIconTheVersionRecordAndTheManifestOnly() {
        const Run listed = run("wrestool", {"--list", program_});
        QVERIFY2(listed.ok, qPrintable(listed.errors));
        // --type=3 --name=30001 --language=1033 [type=icon offset=0xa118 size=744]
        static const QRegularExpression line(
            R"(^--type=(\d+) --name=(\d+) --language=(\d+) \[.*size=(\d+)\]$)",
            QRegularExpression::MultilineOption);
        QMap<QString, int> found; // "type/name" to size
        for (auto match = line.globalMatch(QString::fromUtf8(listed.output)); match.hasNext();) {
            const auto m = match.next();
            QCOMPARE(m.captured(3).toInt(), kEnglishUnitedStates);
            found.insert(m.captured(1) + "/" + m.captured(2), m.captured(4).toInt());
        }
        QCOMPARE(found.keys(), (QStringList{"14/1", "16/1", "24/1", "3/30001", "3/30002"}));
        QCOMPARE(found["3/30001"], 744);
        QCOMPARE(found["3/30002"], 296);
        QCOMPARE(found["14/1"], 6 + 2 * 14);
    }

    void iconIsTheWindowsIconByteForByte() {
        QString error;
        const auto group = readIconGroup(extract("14", 1), &error);
        QVERIFY2(group, qPrintable(error));
        QCOMPARE(group->size(), icon_.entries.size());
        const int ids[] = {30001, 30002};
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(group->at(i).id, ids[i]);
            QCOMPARE(group->at(i).head, icon_.entries[i].head); // size, colours, planes, bits per pixel
            QCOMPARE(qsizetype(group->at(i).bytes), icon_.entries[i].data.size());
            QCOMPARE(extract("3", ids[i]), icon_.entries[i].data);
        }
    }

    // Windows reads the manifest when it starts the program: made for Windows 10 and 11, run with the
    // starting user's rights, and per-monitor DPI aware as Qt itself asks at start-up.
    void manifest() {
        QXmlStreamReader xml(extract("24", 1));
        QMap<QString, QString> found; // element to its telling attribute or text
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString name = xml.name().toString();
            if (name == "requestedExecutionLevel")
                found.insert(name, xml.attributes().value("level").toString() + "/" +
                                       xml.attributes().value("uiAccess").toString());
            else if (name == "supportedOS")
                found.insert(name, found.value(name) + xml.attributes().value("Id").toString());
            else if (name == "dpiAware" || name == "dpiAwareness")
                found.insert(name, xml.readElementText());
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(found.value("requestedExecutionLevel"), "asInvoker/false");
        QCOMPARE(found.value("supportedOS"), "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"); // 10 and 11
        QCOMPARE(found.value("dpiAwareness"), "PerMonitorV2");
        QCOMPARE(found.value("dpiAware"), "true/pm"); // what Windows before 10 (1607) reads
    }

    void versionRecord() {
        QString error;
        const auto record = readVersionNode(extract("16", 1), 0, &error);
        QVERIFY2(record, qPrintable(error));
        QCOMPARE(record->key, "VS_VERSION_INFO");

        const QByteArray& fixed = record->value;
        QCOMPARE(fixed.size(), 52);
        const auto field = [&](int i) { return qFromLittleEndian<quint32>(fixed.constData() + 4 * i); };
        QCOMPARE(field(0), 0xFEEF04BDu); // signature
        QCOMPARE(field(2), 0x00010000u); // file version 1.0
        QCOMPARE(field(3), 0x00000000u); //              .0.0
        QCOMPARE(field(4), 0x00010000u); // product version 1.0
        QCOMPARE(field(5), 0x00000000u); //                 .0.0
        QCOMPARE(field(8), 0x00000004u); // VOS__WINDOWS32
        QCOMPARE(field(9), 0x00000001u); // VFT_APP

        const VersionNode* strings = record->child("StringFileInfo");
        QVERIFY(strings);
        QCOMPARE(strings->children.size(), 1);
        const VersionNode& table = strings->children[0];
        QCOMPARE(table.key, "040904B0"); // English (United States), Unicode
        QMap<QString, QString> entries;
        for (const VersionNode& entry : table.children) {
            QVERIFY(entry.isText);
            entries.insert(entry.key, entry.text());
        }
        QCOMPARE(entries.keys(), (QStringList{"CompanyName", "FileVersion", "InternalName",
                                              "OriginalFilename", "ProductName", "ProductVersion"}));
        QCOMPARE(entries["FileVersion"], "1.00");
        QCOMPARE(entries["ProductVersion"], "1.00");
        QCOMPARE(entries["InternalName"], "Vostrel");
        QCOMPARE(entries["OriginalFilename"], "Vostrel.exe");
        QVERIFY(!entries["CompanyName"].isEmpty());
        QVERIFY(!entries["ProductName"].isEmpty());

        const VersionNode* variables = record->child("VarFileInfo");
        QVERIFY(variables);
        const VersionNode* translation = variables->child("Translation");
        QVERIFY(translation);
        QCOMPARE(translation->value.size(), 4);
        QCOMPARE(int(qFromLittleEndian<quint16>(translation->value.constData())), kEnglishUnitedStates);
        QCOMPARE(int(qFromLittleEndian<quint16>(translation->value.constData() + 2)), 1200); // Unicode
    }
};

QTEST_GUILESS_MAIN(WindowsResourcesTest)
#include "test_windows_resources.moc"
