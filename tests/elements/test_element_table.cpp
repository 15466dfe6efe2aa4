#include "element_table.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <climits>
#include <string>

using namespace vostrel;

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool matches(const char* pattern, std::string_view value) {
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)))
        .match(q(value))
        .hasMatch();
}

const ElementRecord& record(int n) {
    const ElementRecord* r = elementRecord(n);
    if (!r)
        qFatal("element %d has no record", n);
    return *r;
}

} // namespace

class ElementTableTest : public QObject {
    Q_OBJECT

private slots:
    void everyNumberHasItsOwnRecord() {
        for (int n = kFirstElement; n <= kLastElement; ++n) {
            const ElementRecord& r = record(n);
            const std::string decimal = std::to_string(n);
            QCOMPARE(r.AtomicNumber, decimal);
            QCOMPARE(r.ProtonCount, decimal);
            QCOMPARE(r.ElectronCount, decimal);
        }
        QCOMPARE(kLastElement - kFirstElement + 1, 112);
    }

    void numbersOutsideTheTableHaveNoRecord() {
        for (int n : {0, -1, 113, 1000, INT_MIN, INT_MAX})
            QVERIFY2(elementRecord(n) == nullptr, qPrintable(QString::number(n)));
    }

    void everyFieldHasItsDocumentedForm() {
        const QSet<QString> groups{"IA",  "IIA",  "IIIA", "IVA", "VA",  "VIA",  "VIIA", "VIIIA", "IB",
                                   "IIB", "IIIB", "IVB",  "VB",  "VIB", "VIIB", "VIII", "-"};
        std::size_t longest[kFieldCount] = {};
        for (int n = kFirstElement; n <= kLastElement; ++n) {
            const ElementRecord& r = record(n);
            for (std::size_t k = 0; k < kFieldOrder.size(); ++k) {
                const std::string_view value = r.*kFieldOrder[k];
                QVERIFY2(matches("[0-9A-Za-z.,-]+", value), qPrintable(QString("%1/%2").arg(n).arg(k + 1)));
                longest[k] = std::max(longest[k], value.size());
            }
            QVERIFY2(matches("-|-?[1-8](,-?[1-8]){0,4}", r.OxidationNumbers), r.OxidationNumbers.data());
            QVERIFY2(matches("[A-Z][a-z]+", r.ElementName), r.ElementName.data());
            QVERIFY2(matches("-|-?[0-9]{1,4}(\\.[0-9]{1,2})?", r.BoilingPoint), r.BoilingPoint.data());
            QVERIFY2(matches("-|-?[0-9]{1,4}(\\.[0-9]{1,2})?", r.MeltingPoint), r.MeltingPoint.data());
            QVERIFY2(groups.contains(q(r.Group)), r.Group.data());
        }
        // The widest value of each field, as the detail boxes were sized for them.
        const std::size_t documented[kFieldCount] = {3, 10, 13, 7, 7, 3, 5, 3};
        for (std::size_t k = 0; k < kFieldOrder.size(); ++k)
            QCOMPARE(longest[k], documented[k]);
    }

    void noneMarkStandsOnlyWhereNoValueIsGiven() {
        QSet<int> noOxidation{2, 10, 18, 36, 54, 86}, noBoiling{93}, noMelting, noGroup{1};
        for (int n = 105; n <= 112; ++n)
            noOxidation.insert(n);
        for (int n = 96; n <= 112; ++n)
            noBoiling.insert(n);
        for (int n = 104; n <= 112; ++n)
            noMelting.insert(n);
        for (int n = 58; n <= 71; ++n)
            noGroup.insert(n);
        for (int n = 90; n <= 103; ++n)
            noGroup.insert(n);

        for (int n = kFirstElement; n <= kLastElement; ++n) {
            const ElementRecord& r = record(n);
            QCOMPARE(r.OxidationNumbers == kNoneMark, noOxidation.contains(n));
            QCOMPARE(r.BoilingPoint == kNoneMark, noBoiling.contains(n));
            QCOMPARE(r.MeltingPoint == kNoneMark, noMelting.contains(n));
            QCOMPARE(r.Group == kNoneMark, noGroup.contains(n));
            QVERIFY(r.ElementName != kNoneMark);
        }
    }

    void storedStringsAreShownUnchanged_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        // Trailing zeros, whole numbers, sign order and the original spellings are all data.
        QTest::newRow("In melting point keeps its zero") << 49 << 5 << "156.60";
        QTest::newRow("Bi melting point keeps its zero") << 83 << 5 << "271.40";
        QTest::newRow("Li boiling point has no decimals") << 3 << 4 << "1330";
        QTest::newRow("C oxidation order") << 6 << 2 << "4,-4,2";
        QTest::newRow("N oxidation, longest") << 7 << 2 << "3,-3,4,5,2";
        QTest::newRow("Re oxidation order") << 75 << 2 << "7,-1,2,4,6";
        QTest::newRow("O oxidation is a value") << 8 << 2 << "-2";
        QTest::newRow("He oxidation is the none mark") << 2 << 2 << "-";
        QTest::newRow("Br melting point below zero") << 35 << 5 << "-7.2";
        QTest::newRow("H melting point, widest") << 1 << 5 << "-259.34";
        QTest::newRow("H has no group") << 1 << 7 << "-";
        QTest::newRow("Mn spelling") << 25 << 3 << "Mangenese";
        QTest::newRow("As spelling") << 33 << 3 << "Asenic";
        QTest::newRow("Al spelling") << 13 << 3 << "Aluminum";
        QTest::newRow("Db as Hahnium") << 105 << 3 << "Hahnium";
        QTest::newRow("Rf, longest name") << 104 << 3 << "Rutherfordium";
        QTest::newRow("110 placeholder") << 110 << 3 << "Ununnilium";
        QTest::newRow("111 placeholder") << 111 << 3 << "Unununium";
        QTest::newRow("112 placeholder") << 112 << 3 << "Ununbium";
        QTest::newRow("La group") << 57 << 7 << "IIIB";
        QTest::newRow("Ac group") << 89 << 7 << "IIIB";
        QTest::newRow("Fe group") << 26 << 7 << "VIII";
        QTest::newRow("Ne group") << 10 << 7 << "VIIIA";
        QTest::newRow("Na boiling point") << 11 << 4 << "829";
        QTest::newRow("Hg melting point") << 80 << 5 << "-38.83";
    }

    void storedStringsAreShownUnchanged() {
        QFETCH(int, n);
        QFETCH(int, field);
        QFETCH(QString, expected);
        QCOMPARE(q(record(n).*kFieldOrder[static_cast<std::size_t>(field - 1)]), expected);
    }
};

QTEST_GUILESS_MAIN(ElementTableTest)
#include "test_element_table.moc"
