// What the window announces to a screen reader while it is used: the focus moving, the boxes taking
// their new texts after a click, and each selection told once. Run with Qt's accessibility bridge active:
// on Linux on a real display with the accessibility bus, on Windows (or Wine) once a UI Automation client
// has asked for the window, as the test does.
#include "window_fixture.h"

#include <QAccessible>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace vostrel;

namespace {

using TextChange = std::pair<QString, QString>; // the box, and the text it now holds

QStringList focusHeard;
QList<TextChange> textsHeard;
QStringList selectionsHeard; // "<object> <how>: <what it says>"

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
    case QAccessible::ObjectShow: // only the notice is asked for its name: a widget may be shown half made
        if (control == QLatin1String("SelectionAnnouncement")) {
            const QAccessibleInterface* notice = event->accessibleInterface();
            const QString role = notice->role() == QAccessible::Notification ? "notification" : "other";
            selectionsHeard << control + " shown as " + role + ": " + notice->text(QAccessible::Name);
        }
        break;
    case QAccessible::ValueChanged:
        selectionsHeard << control + " value: " +
                               static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
        break;
    default:
        break;
    }
}

void forgetWhatWasHeard() {
    focusHeard.clear();
    textsHeard.clear();
    selectionsHeard.clear();
}

// What one selection tells a screen reader: the notice shown, which Orca speaks; on Windows also the
// window's new value, which Qt's UI Automation bridge raises as a notification (it drops the showing).
QStringList selectionTold(const QString& said) {
    QStringList told{"SelectionAnnouncement shown as notification: " + said};
#ifdef Q_OS_WIN
    told << "Form1 value: " + said;
#endif
    return told;
}

// Qt's accessibility is off until a screen reader asks. On Linux with-accessibility-bus.sh switches it on;
// on Windows a UI Automation client's first request for the window does, and this makes that request.
void askForTheWindowAsAScreenReaderWould([[maybe_unused]] QWidget& window) {
#ifdef Q_OS_WIN
    constexpr LPARAM kUiaRootObjectId = -25; // from uiautomationcoreapi.h
    SendMessageW(reinterpret_cast<HWND>(window.winId()), WM_GETOBJECT, 0, kUiaRootObjectId);
#endif
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

    // A click, Space and Enter each announce every new text and tell the new element once, and the
    // focus stays on the button pressed.
    void aSelectionAnnouncesEveryNewTextAndTheElement() {
        RunningWindow running;
        askForTheWindowAsAScreenReaderWould(running.window);
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
        QCOMPARE(selectionsHeard, selectionTold("Sodium, 11"));

        // The next element replaces every text, and each replacement is announced again.
        forgetWhatWasHeard();
        QTest::mouseClick(running.button(12), Qt::LeftButton);
        QCOMPARE(textsHeard.size(), 8);
        QCOMPARE(textsHeard[2], TextChange("Text3", "Magnesium"));
        QCOMPARE(textsHeard[6], TextChange("Text7", "IIA"));
        QCOMPARE(selectionsHeard, selectionTold("Magnesium, 12"));

        forgetWhatWasHeard();
        QTest::keyClick(running.button(12), Qt::Key_Space);
        QCOMPARE(selectionsHeard, selectionTold("Magnesium, 12"));
        QTest::keyClick(running.button(12), Qt::Key_Right);
        forgetWhatWasHeard();
        QTest::keyClick(running.button(13), Qt::Key_Return);
        QCOMPARE(selectionsHeard, selectionTold("Aluminum, 13"));
        QCOMPARE(textsHeard.size(), 8);
        QCOMPARE(focusHeard, QStringList());
        QCOMPARE(QApplication::focusWidget(), running.button(13));
    }

    void tabAndArrowsAnnounceTheNewFocus() {
        RunningWindow running;
        askForTheWindowAsAScreenReaderWould(running.window);
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
