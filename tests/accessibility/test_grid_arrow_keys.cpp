// Arrow keys on the element grid: each moves the focus to the nearest element button that way, as a
// reader moves across the printed table, and does nothing at an edge.
#include "grid_navigation.h"
#include "window_fixture.h"

#include <deque>
#include <set>

using namespace vostrel;

namespace {

GridStep opposite(GridStep step) {
    switch (step) {
    case GridStep::Left:
        return GridStep::Right;
    case GridStep::Right:
        return GridStep::Left;
    case GridStep::Up:
        return GridStep::Down;
    case GridStep::Down:
        return GridStep::Up;
    }
    return step;
}

constexpr GridStep kSteps[] = {GridStep::Left, GridStep::Right, GridStep::Up, GridStep::Down};

} // namespace

class GridArrowKeysTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { configureApplication(); }

    // From element `from`, the key lands on element `to`; 0 means the focus stays where it is.
    void arrowMovesTheFocus_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("to");
        const Qt::Key left = Qt::Key_Left, right = Qt::Key_Right, up = Qt::Key_Up, down = Qt::Key_Down;
        QTest::newRow("Na right to Mg") << 11 << right << 12;
        QTest::newRow("Mg right across the gap to Al") << 12 << right << 13;
        QTest::newRow("Al left across the gap to Mg") << 13 << left << 12;
        QTest::newRow("H right across period 1 to He") << 1 << right << 2;
        QTest::newRow("He right: edge") << 2 << right << 0;
        QTest::newRow("H left: edge") << 1 << left << 0;
        QTest::newRow("H up: edge") << 1 << up << 0;
        QTest::newRow("H down to Li") << 1 << down << 3;
        QTest::newRow("He down to Ne") << 2 << down << 10;
        QTest::newRow("K up to Na") << 19 << up << 11;
        QTest::newRow("Ga up to Al") << 31 << up << 13;
        QTest::newRow("Sc up: nothing above in its column") << 21 << up << 0;
        QTest::newRow("La down to Ac") << 57 << down << 89;
        QTest::newRow("Ac down: nothing below in its column") << 89 << down << 0;
        QTest::newRow("Ac right to Rf") << 89 << right << 104;
        QTest::newRow("Fr down: edge") << 87 << down << 0;
        QTest::newRow("Ha down into the lanthanides, Ce") << 105 << down << 58;
        QTest::newRow("Uub down to Tb") << 112 << down << 65;
        QTest::newRow("Rn down to Lu") << 86 << down << 71;
        QTest::newRow("Ce up into period 7, Ha") << 58 << up << 105;
        QTest::newRow("Tb up to Uub") << 65 << up << 112;
        QTest::newRow("Dy up into period 6, Tl") << 66 << up << 81;
        QTest::newRow("Lu up to Rn") << 71 << up << 86;
        QTest::newRow("Lu right: edge") << 71 << right << 0;
        QTest::newRow("Ce left: edge") << 58 << left << 0;
        QTest::newRow("Ce down to Th") << 58 << down << 90;
        QTest::newRow("Th up to Ce") << 90 << up << 58;
        QTest::newRow("Th down: edge") << 90 << down << 0;
        QTest::newRow("Lw up to Lu") << 103 << up << 71;
        QTest::newRow("Lw right: edge") << 103 << right << 0;
    }

    void arrowMovesTheFocus() {
        QFETCH(int, from);
        QFETCH(Qt::Key, key);
        QFETCH(int, to);
        QVERIFY(arrowStep(key));
        QCOMPARE(gridNeighbour(from, *arrowStep(key)), to);

        RunningWindow running;
        running.button(from)->setFocus();
        QTest::keyClick(running.button(from), key);
        QCOMPARE(QApplication::focusWidget(), running.button(to == 0 ? from : to));
        QCOMPARE(running.boxTexts(), QStringList(8, QString())); // moving presses nothing
    }

    void keypadArrowsMoveToo() {
        RunningWindow running;
        running.button(11)->setFocus();
        QTest::keyClick(running.button(11), Qt::Key_Right, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), running.button(12));
    }

    void tabKeepsTheDesignedOrderAfterArrows() {
        RunningWindow running;
        running.button(11)->setFocus();
        QTest::keyClick(running.button(11), Qt::Key_Down); // to K, tab index 136
        QCOMPARE(QApplication::focusWidget(), running.button(19));
        QTest::keyClick(running.button(19), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), running.button(113));
        QTest::keyClick(running.button(113), Qt::Key_Backtab);
        QTest::keyClick(running.button(19), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), running.box(1)); // the last box in the tab order
    }

    void everyStepCanBeRetraced() {
        for (int n = 1; n <= 112; ++n)
            for (GridStep step : kSteps)
                if (const int next = gridNeighbour(n, step))
                    QCOMPARE(gridNeighbour(next, opposite(step)), n);
    }

    void everyElementCanBeReachedFromHydrogen() {
        std::set<int> reached{1};
        std::deque<int> waiting{1};
        while (!waiting.empty()) {
            const int n = waiting.front();
            waiting.pop_front();
            for (GridStep step : kSteps)
                if (const int next = gridNeighbour(n, step); next != 0 && reached.insert(next).second)
                    waiting.push_back(next);
        }
        QCOMPARE(reached.size(), std::size_t(112));
        QCOMPARE(*reached.begin(), 1);
        QCOMPARE(*reached.rbegin(), 112);
    }

    void numbersWithoutAButtonGoNowhere() {
        for (int n : {-1, 0, 113, 1000})
            for (GridStep step : kSteps)
                QCOMPARE(gridNeighbour(n, step), 0);
    }
};

QTEST_MAIN(GridArrowKeysTest)
#include "test_grid_arrow_keys.moc"
