#include "element_selection.h"
#include "element_table.h"
#include "recording_window.h"

#include <QTest>

#include <climits>

using namespace vostrel;

namespace {

std::array<std::string, 8> recordTexts(int n) {
    std::array<std::string, 8> texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = std::string(elementRecord(n)->*kFieldOrder[k]);
    return texts;
}

} // namespace

class ElementSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void writesTheEightFieldsInBoxOrder() {
        RecordingWindow window;
        QCOMPARE(selectElement(window, 11), 0);
        QCOMPARE(window.writes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
        const std::array<std::string, 8> sodium{"11", "1", "Sodium", "829", "97.72", "11", "IA", "11"};
        QCOMPARE(window.text, sodium);
        QCOMPARE(window.mostHeld, 1);
        QCOMPARE(window.held, 0);
    }

    void everyElementShowsExactlyItsRecord() {
        RecordingWindow window;
        for (int n = kFirstElement; n <= kLastElement; ++n) {
            QCOMPARE(selectElement(window, n), 0);
            QCOMPARE(window.text, recordTexts(n));
        }
    }

    void replacesWhateverTheBoxesHeld() {
        RecordingWindow window;
        window.text.fill("typed by the user, much longer than any value");
        selectElement(window, 1);
        QCOMPARE(window.text, recordTexts(1));
        selectElement(window, 112); // then another element: nothing of hydrogen stays
        QCOMPARE(window.text, recordTexts(112));
        selectElement(window, 112); // and the same again looks the same
        QCOMPARE(window.text, recordTexts(112));
    }

    void failedWriteStopsAtThatBox_data() {
        QTest::addColumn<int>("failingBox");
        for (int k = 1; k <= 8; ++k)
            QTest::addRow("Text%d", k) << k;
    }

    void failedWriteStopsAtThatBox() {
        QFETCH(int, failingBox);
        RecordingWindow window;
        selectElement(window, 6); // carbon shown before
        window.writes.clear();
        window.failingBox = failingBox;
        window.failureStatus = -424;

        try {
            selectElement(window, 79);
            QFAIL("the failed write was not reported");
        } catch (const SelectionError& e) {
            QCOMPARE(e.status(), -424);
            QCOMPARE(e.control(), "Text" + std::to_string(failingBox));
            QCOMPARE(e.handler(), std::string("Command79_Click"));
            QVERIFY(std::string(e.what()).find("Command79_Click") != std::string::npos);
        }
        const auto gold = recordTexts(79), carbon = recordTexts(6);
        for (int k = 1; k <= 8; ++k) {
            const auto i = static_cast<std::size_t>(k - 1);
            QCOMPARE(window.text[i], k < failingBox ? gold[i] : carbon[i]);
        }
        QCOMPARE(static_cast<int>(window.writes.size()), failingBox - 1);
        QCOMPARE(window.held, 0); // the box in hand was given back on the way out
    }

    void numbersWithoutAnElementWriteNothing() {
        RecordingWindow window;
        for (int n : {0, -5, 113, INT_MAX, INT_MIN}) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, selectElement(window, n));
            QVERIFY(window.writes.empty());
        }
    }
};

QTEST_GUILESS_MAIN(ElementSelectionTest)
#include "test_element_selection.moc"
