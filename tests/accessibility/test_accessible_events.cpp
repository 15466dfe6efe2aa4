// What the window announces to a screen reader while it is used: the focus moving, and the boxes
// taking their new texts after a click. Run with Qt's accessibility bridge active on a real display.
#include "window_fixture.h"

#include <QAccessible>

using namespace vostrel;

namespace {

using TextChange = std::pair<QString, QString>; // the box, and the text it now holds

QStringList focusHeard;
QList<TextChange> textsHeard;

void listen(QAccessibleEvent* event) {
    const QString control = event->object() ? event->object()->objectName() : QString();
    switch (event->type()) {
    case QAccessible::Focus:
        focusHeard << control;
        break;
    case QAccessible::TextInserted: // into an empty box
        textsHeard.append({control, static_cast<QAccessibleTextInsertEvent*>(event)->textInserted()});
        break;
    case QAccessible::TextUpdated: // over an earlier text
        textsHeard.append({control, static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted()});
        break;
    default:
        break;
    }
}

void forgetWhatWasHeard() {
    focusHeard.clear();
    textsHeard.clear();
}

} // namespace

class AccessibleEventsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        configureApplication();
        QAccessible::installUpdateHandler(listen);
    }
    void cleanupTestCase() { QAccessible::installUpdateHandler(nullptr); }

    void aClickAnnouncesTheFocusAndEveryNewText() {
        RunningWindow running;
        QTRY_VERIFY2(QAccessible::isActive(), "accessibility is off: run under with-accessibility-bus.sh");
        forgetWhatWasHeard();
        QTest::mouseClick(running.button(11), Qt::LeftButton);
        QCOMPARE(focusHeard, QStringList{"Command11"});
        QCOMPARE(textsHeard, (QList<TextChange>{{"Text1", "11"},
                                                {"Text2", "1"},
                                                {"Text3", "Sodium"},
                                                {"Text4", "829"},
                                                {"Text5", "97.72"},
                                                {"Text6", "11"},
                                                {"Text7", "IA"},
                                                {"Text8", "11"}}));

        // The next element replaces every text, and each replacement is announced again.
        forgetWhatWasHeard();
        QTest::mouseClick(running.button(12), Qt::LeftButton);
        QCOMPARE(textsHeard.size(), 8);
        QCOMPARE(textsHeard[2], TextChange("Text3", "Magnesium"));
        QCOMPARE(textsHeard[6], TextChange("Text7", "IIA"));
    }

    void tabAndArrowsAnnounceTheNewFocus() {
        RunningWindow running;
        QTRY_VERIFY2(QAccessible::isActive(), "accessibility is off: run under with-accessibility-bus.sh");
        running.button(11)->setFocus();
        forgetWhatWasHeard();
        QTest::keyClick(running.button(11), Qt::Key_Tab);   // Na, tab index 24, to Mg
        QTest::keyClick(running.button(12), Qt::Key_Right); // Mg across the gap to Al
        QTest::keyClick(running.button(13), Qt::Key_Down);  // Al to Ga
        QTest::keyClick(running.button(31), Qt::Key_Right); // Ga to Ge
        QTest::keyClick(running.button(32), Qt::Key_Up);    // Ge to Si
        QTest::keyClick(running.button(14), Qt::Key_Up);    // Si to C
        QTest::keyClick(running.button(6), Qt::Key_Up);     // C: nothing above, nothing said
        QCOMPARE(focusHeard,
                 (QStringList{"Command12", "Command13", "Command31", "Command32", "Command14", "Command6"}));
    }
};

QTEST_MAIN(AccessibleEventsTest)
#include "test_accessible_events.moc"
