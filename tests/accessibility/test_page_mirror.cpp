// The window retold for a web page's document: what each node says, in which order, and how the
// mirror and the window follow each other.
#include "accessibility/page_mirror.h"
#include "window_fixture.h"

#include <QSignalSpy>

using namespace vostrel;

namespace {

// The element buttons in the window's designed tab order, by element number.
QStringList designedButtonOrder() {
    QList<int> numbers{1, 2, 10, 18, 36, 54, 86, 3, 4, 9, 8, 7, 6, 5, 25, 24, 23, 22, 21, 30, 29, 28, 27, 26};
    for (int n = 11; n <= 17; ++n)
        numbers << n;
    numbers << QList<int>{20, 35, 34, 33, 32, 31, 43, 42, 41, 40, 39, 48, 47, 46, 45, 44, 37, 38, 53, 52,
                          51, 50, 49, 75, 74, 73, 72, 57, 80, 79, 78, 77, 76, 55, 56, 85, 84, 83, 82, 81};
    for (int n : {87, 88, 89, 104, 105})
        numbers << n;
    for (int n = 58; n <= 71; ++n)
        numbers << n;
    for (int n = 90; n <= 103; ++n)
        numbers << n;
    for (int n = 106; n <= 112; ++n)
        numbers << n;
    QStringList ids;
    for (int n : numbers)
        ids << QStringLiteral("Command%1").arg(n);
    return ids;
}

const MirrorNode& nodeOf(const PageMirror& mirror, const QString& id) {
    const auto& nodes = mirror.nodes();
    const auto found =
        std::find_if(nodes.begin(), nodes.end(), [&](const MirrorNode& n) { return n.id == id; });
    if (found == nodes.end())
        qFatal("no node %s", qPrintable(id));
    return *found;
}

QString announcementOf(const QString& summary, const QStringList& texts) {
    // The boxes top to bottom: the electrons (Text8) stand above the group (Text7).
    return summary + ". เลขอะตอม " + texts[0] + ", เลขออกซิเดชั่น " + texts[1] + ", ชื่อธาตุ " + texts[2] +
           ", จุดเดือด " + texts[3] + ", จุดหลอมเหลว " + texts[4] + ", จำนวนโปรตรอน " + texts[5] +
           ", จำนวนอิเล็กตรอน " + texts[7] + ", หมู่ธาตุ " + texts[6];
}

} // namespace

class PageMirrorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { configureApplication(); }

    // The title, captions and legend first; then every control in tab order, each box after its label.
    void nodesRunAsAReaderMeetsThem() {
        RunningWindow running;
        PageMirror mirror(running.window);
        QStringList ids, buttons;
        for (const MirrorNode& node : mirror.nodes()) {
            ids << node.id;
            if (node.kind == MirrorNode::Kind::Button)
                buttons << node.id;
        }
        QCOMPARE(ids.size(), 113 + 8 + 17);
        QCOMPARE(ids.mid(0, 9), (QStringList{"Label9", "Label10", "Label11", "Label12", "Label13", "Label14",
                                             "Label15", "Label16", "Label17"}));
        QCOMPARE(buttons, designedButtonOrder() + QStringList({"Command19", "Command113"}));
        QCOMPARE(ids.mid(9 + 111, 16),
                 (QStringList{"Label2", "Text2", "Label3", "Text3", "Label4", "Text4", "Label5", "Text5",
                              "Label6", "Text6", "Label7", "Text7", "Label8", "Text8", "Label1", "Text1"}));

        const MirrorNode& title = mirror.nodes().front();
        QCOMPARE(title.kind, MirrorNode::Kind::Text);
        QCOMPARE(title.name, QString("ตารางธาตุ"));

        // Each node says what Qt's accessibility interface says of its control, and stands where it is drawn.
        const QPoint client = running.window.mapToGlobal(QPoint(0, 0));
        const MirrorNode& h = mirror.nodes()[9];
        QCOMPARE(h.id, QString("Command1"));
        QCOMPARE(h.name, QString("H Hydrogen"));
        QCOMPARE(h.description, QString("ก๊าซ"));
        QCOMPARE(h.rect.translated(-client), QRect(8, 16, 33, 33)); // raised 120 twips above He
        QCOMPARE(nodeOf(mirror, "Command19").name, QString("K Potassium"));
        QCOMPARE(nodeOf(mirror, "Command113").name, QString("จบการทำงาน"));
        QVERIFY(nodeOf(mirror, "Command113").description.isEmpty());

        const MirrorNode& name = nodeOf(mirror, "Text3");
        QCOMPARE(name.kind, MirrorNode::Kind::TextField);
        QCOMPARE(name.name, QString("ชื่อธาตุ"));
        QCOMPARE(name.labelledBy, QString("Label3"));
        QCOMPARE(nodeOf(mirror, "Label3").name, QString("ชื่อธาตุ"));
        QCOMPARE(name.rect.translated(-client), QRect(704, 112, 81, 33));
        QVERIFY(name.value.isEmpty());

        // The page places each node again when the window moves.
        QSignalSpy placed(&mirror, &PageMirror::geometryChanged);
        running.window.move(running.window.pos() + QPoint(30, 20));
        QTRY_VERIFY(!placed.isEmpty());
        QCOMPARE(mirror.nodes()[9].rect.translated(-running.window.mapToGlobal(QPoint(0, 0))),
                 QRect(8, 16, 33, 33));
        QCOMPARE(mirror.nodes()[9].rect.topLeft(), client + QPoint(8, 16) + QPoint(30, 20));
    }

    // A click in the window: the focus, the boxes' new texts and one announcement reach the page.
    void thePageFollowsTheWindow() {
        RunningWindow running;
        PageMirror mirror(running.window);
        QCOMPARE(mirror.focusedId(), QString("Command1"));
        QSignalSpy focus(&mirror, &PageMirror::focusMoved);
        QSignalSpy values(&mirror, &PageMirror::valueChanged);
        QSignalSpy announced(&mirror, &PageMirror::announced);

        QTest::mouseClick(running.button(11), Qt::LeftButton);
        QCOMPARE(focus.size(), 1);
        QCOMPARE(focus.front().front().toString(), QString("Command11"));
        QCOMPARE(values.size(), 8);
        QCOMPARE(values[2], (QVariantList{"Text3", "Sodium"}));
        QCOMPARE(nodeOf(mirror, "Text3").value, QString("Sodium"));
        QTRY_COMPARE(announced.size(), 1);
        const QString sodium = announced.front().front().toString();
        QCOMPARE(sodium, announcementOf("Sodium, 11", recordTexts(11)));
        QCOMPARE(sodium.count("Sodium, 11"), 1);

        // The same element again is told again, though no box changes.
        values.clear();
        QTest::keyClick(running.button(11), Qt::Key_Space);
        QTRY_COMPARE(announced.size(), 2);
        QCOMPARE(announced.back().front().toString(), sodium);
        QCOMPARE(values.size(), 0);

        // The focus moved by the keyboard; a text typed into a box.
        QTest::keyClick(running.button(11), Qt::Key_Down);
        QCOMPARE(focus.back().front().toString(), QString("Command19"));
        running.box(2)->setFocus();
        QCOMPARE(focus.back().front().toString(), QString("Text2"));
        QTest::keyClick(running.box(2), Qt::Key_End);
        QTest::keyClicks(running.box(2), "+3");
        QCOMPARE(values.back(), (QVariantList{"Text2", "1+3"}));
        QCOMPARE(announced.size(), 2);
    }

    // What the page's user does to a node acts on its control, as in the window itself.
    void theWindowFollowsThePage() {
        RunningWindow running;
        PageMirror mirror(running.window);
        QSignalSpy focus(&mirror, &PageMirror::focusMoved);
        QSignalSpy announced(&mirror, &PageMirror::announced);

        mirror.focusFromPage("Command11");
        QCOMPARE(QApplication::focusWidget(), running.button(11));
        QCOMPARE(focus.size(), 1);
        mirror.focusFromPage("Label3"); // text takes no focus
        QCOMPARE(QApplication::focusWidget(), running.button(11));

        // Keys as the page names them: Tab on in tab order (Na to Mg), an arrow across the table, Space.
        QVERIFY(mirror.keyFromPage("Tab", Qt::NoModifier, false));
        QVERIFY(mirror.keyFromPage("Tab", Qt::NoModifier, true));
        QCOMPARE(mirror.focusedId(), QString("Command12"));
        QVERIFY(mirror.keyFromPage("ArrowRight", Qt::NoModifier, false)); // across the gap to Al
        QCOMPARE(mirror.focusedId(), QString("Command13"));
        QVERIFY(mirror.keyFromPage("Tab", Qt::ShiftModifier, false)); // Al, tab index 26, back to Mg
        QCOMPARE(mirror.focusedId(), QString("Command12"));
        QCOMPARE(focus.size(), 4);
        QVERIFY(mirror.keyFromPage(" ", Qt::NoModifier, false));
        QVERIFY(mirror.keyFromPage(" ", Qt::NoModifier, true));
        QCOMPARE(running.box(3)->text(), QString("Magnesium"));
        QTRY_COMPARE(announced.size(), 1);
        QVERIFY(announced.back().front().toString().startsWith("Magnesium, 12. "));
        QVERIFY(mirror.keyFromPage("Enter", Qt::NoModifier, false));
        QTRY_COMPARE(announced.size(), 2);

        // Keys the browser or the screen reader keeps.
        QVERIFY(!mirror.keyFromPage("F5", Qt::NoModifier, false));
        QVERIFY(!mirror.keyFromPage("l", Qt::ControlModifier, false));
        QVERIFY(!mirror.keyFromPage("ArrowDown", Qt::AltModifier, false));
        QCOMPARE(mirror.focusedId(), QString("Command12"));

        // Activated from the page, as a screen reader does it: the same selection as a click.
        mirror.activateFromPage("Command1");
        QCOMPARE(QApplication::focusWidget(), running.button(1));
        QCOMPARE(running.boxTexts(), recordTexts(1));
        QTRY_COMPARE(announced.size(), 3);
        QCOMPARE(announced.back().front().toString(), announcementOf("Hydrogen, 1", recordTexts(1)));
        mirror.activateFromPage("Text1"); // a box is no button
        QCOMPARE(QApplication::focusWidget(), running.button(1));

        // Typed into a box, Thai as well; the page's caret follows the box's, and its selection.
        QSignalSpy caret(&mirror, &PageMirror::caretMoved);
        mirror.focusFromPage("Text3");
        for (const QString key : {"End", "ก", "x", "Backspace"})
            QVERIFY(mirror.keyFromPage(key, Qt::NoModifier, false));
        QCOMPARE(running.box(3)->text(), QString("Hydrogenก"));
        QCOMPARE(nodeOf(mirror, "Text3").value, QString("Hydrogenก"));
        QCOMPARE(caret.back(), (QVariantList{"Text3", 9, 9}));
        QVERIFY(mirror.keyFromPage("Home", Qt::ShiftModifier, false));
        QCOMPARE(caret.back(), (QVariantList{"Text3", 0, 9}));
        QTest::qWait(20);
        QCOMPARE(announced.size(), 3);
    }
};

QTEST_MAIN(PageMirrorTest)
#include "test_page_mirror.moc"
