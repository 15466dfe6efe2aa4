// What the running window does: clicks, keys, element selection into the real boxes, ending the program.
#include "element_table.h"
#include "window_fixture.h"

#include <QLabel>

using namespace vostrel;

class Form1BehaviourTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { configureApplication(); }

    void everyButtonIsBoundToItsOwnHandler() {
        RunningWindow running;
        QCOMPARE(running.dispatch.boundButtons(), 113);
        for (int n = 1; n <= 112; ++n) {
            QTest::mouseClick(running.button(n), Qt::LeftButton);
            QCOMPARE(running.boxTexts(), recordTexts(n));
            QCOMPARE(QApplication::focusWidget(), running.button(n)); // a click focuses the button
        }
        QVERIFY(running.control.endings.empty());
        QVERIFY(running.control.reports.isEmpty());
    }

    void eachClickReplacesTheWholePanel() {
        RunningWindow running;
        QCOMPARE(running.boxTexts(), QStringList(8, QString()));
        QTest::mouseClick(running.button(1), Qt::LeftButton);
        QTest::mouseClick(running.button(104), Qt::LeftButton);
        QCOMPARE(running.boxTexts(), recordTexts(104));

        // Whatever the user typed is replaced; the box shows the start of its new text.
        for (int k = 1; k <= 8; ++k) {
            running.box(k)->setFocus();
            QTest::keyClicks(running.box(k), "typed by hand");
        }
        QTest::mouseClick(running.button(104), Qt::LeftButton);
        QCOMPARE(running.boxTexts(), recordTexts(104));
        for (int k = 1; k <= 8; ++k)
            QCOMPARE(running.box(k)->cursorPosition(), 0);
        QCOMPARE(running.box(3)->text(), QString("Rutherfordium"));
    }

    void keyboardPressesOnlyTheFocusedButton() {
        RunningWindow running;
        QTest::keyClick(running.button(1), Qt::Key_Space);
        QCOMPARE(running.boxTexts(), recordTexts(1));
        running.button(11)->setFocus();
        QTest::keyClick(running.button(11), Qt::Key_Return);
        QCOMPARE(running.boxTexts(), recordTexts(11));
        running.button(26)->setFocus();
        QTest::keyClick(running.button(26), Qt::Key_Enter);
        QCOMPARE(running.boxTexts(), recordTexts(26));

        // Enter in a detail box presses no button; Esc does nothing anywhere.
        running.box(3)->setFocus();
        QTest::keyClick(running.box(3), Qt::Key_Return);
        QTest::keyClick(running.box(3), Qt::Key_Escape);
        running.button(1)->setFocus();
        QTest::keyClick(running.button(1), Qt::Key_Escape);
        QCOMPARE(running.boxTexts(), recordTexts(26));
        QVERIFY(running.control.endings.empty());
        QVERIFY(running.window.isVisible());
    }

    void clicksOutsideTheButtonsRunNothing() {
        RunningWindow running;
        QTest::mouseClick(running.button(6), Qt::LeftButton);
        for (QLabel* label : running.window.findChildren<QLabel*>())
            QTest::mouseClick(label, Qt::LeftButton);
        QTest::mouseClick(&running.window, Qt::LeftButton, {}, QPoint(2280 / 15, 5400 / 15)); // a swatch
        QTest::mouseClick(&running.window, Qt::LeftButton, {}, QPoint(780, 300));             // bare surface
        QTest::mouseClick(running.box(2), Qt::LeftButton);
        QCOMPARE(running.boxTexts(), recordTexts(6));
        QVERIFY(running.control.endings.empty());
        QCOMPARE(QApplication::focusWidget(), running.box(2));
    }

    void exitButtonEndsTheProgramWithSuccess() {
        RunningWindow running;
        QTest::mouseClick(running.button(57), Qt::LeftButton);
        QTest::mouseClick(running.button(113), Qt::LeftButton);
        QCOMPARE(running.control.endings, std::vector<int>{0});
        QVERIFY(running.control.reports.isEmpty());

        running.button(113)->setFocus();
        QTest::keyClick(running.button(113), Qt::Key_Space);
        QCOMPARE(running.control.endings, (std::vector<int>{0, 0}));
    }

    void failedBoxWriteIsReportedOnceAndEndsTheProgram() {
        RunningWindow running;
        QTest::mouseClick(running.button(6), Qt::LeftButton);
        delete running.box(5); // Text5 is gone
        QTest::mouseClick(running.button(79), Qt::LeftButton);

        QCOMPARE(running.control.reports.size(), 1);
        const QString report = running.control.reports.front();
        QVERIFY2(report.contains("Command79_Click"), qPrintable(report));
        QVERIFY2(report.contains("Text5"), qPrintable(report));
        QVERIFY2(report.contains("-1"), qPrintable(report));
        QCOMPARE(running.control.endings, std::vector<int>{ClickDispatch::kErrorExitStatus});
        QVERIFY(ClickDispatch::kErrorExitStatus != 0);

        const QStringList gold = recordTexts(79), carbon = recordTexts(6);
        for (int k : {1, 2, 3, 4})
            QCOMPARE(running.box(k)->text(), gold[k - 1]);
        for (int k : {6, 7, 8})
            QCOMPARE(running.box(k)->text(), carbon[k - 1]);
    }

    void pastedTextIsKeptWhole() {
        RunningWindow running;
        const QString huge(1 << 20, QChar('x'));
        running.box(4)->setFocus();
        running.box(4)->insert(huge);
        QCOMPARE(running.box(4)->text().size(), huge.size());
        QTest::mouseClick(running.button(1), Qt::LeftButton);
        QCOMPARE(running.box(4)->text(), recordTexts(1)[3]);
    }
};

QTEST_MAIN(Form1BehaviourTest)
#include "test_form1_behaviour.moc"
