// What the accessibility layer tells a screen reader about the window and every control on it.
#include "window_fixture.h"

#include <QAccessible>
#include <QLabel>
#include <QRegularExpression>

#include <set>

using namespace vostrel;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

const QString kSolid = "ของแข็ง", kLiquid = "ของเหลว", kGas = "ก๊าซ",
              kSynthesized = "ธาตุที่นักวิทยาศาสตร์สังเคราะห์ขึ้น";

} // namespace

class AccessibleWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { configureApplication(); }

    void elementButtons_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("H") << 1 << "H Hydrogen" << kGas;
        QTest::newRow("Na") << 11 << "Na Sodium" << kSolid;
        QTest::newRow("K, the one regular caption") << 19 << "K Potassium" << kSolid;
        QTest::newRow("Tc") << 43 << "Tc Technetium" << kSynthesized;
        QTest::newRow("La*") << 57 << "La Lanthanum" << kSolid;
        QTest::newRow("*Ce") << 58 << "Ce Cerium" << kSolid;
        QTest::newRow("Hg") << 80 << "Hg Mercury" << kLiquid;
        QTest::newRow("Ac**") << 89 << "Ac Actinium" << kSolid;
        QTest::newRow("**Th") << 90 << "Th Thorium" << kSolid;
        QTest::newRow("Lw") << 103 << "Lw Lawrencium" << kSynthesized;
        QTest::newRow("Ha") << 105 << "Ha Hahnium" << kSynthesized;
        QTest::newRow("Uun") << 110 << "Uun Ununnilium" << kSynthesized;
        QTest::newRow("Uub") << 112 << "Uub Ununbium" << kSynthesized;
    }

    void elementButtons() {
        QFETCH(int, n);
        QFETCH(QString, name);
        QFETCH(QString, description);
        Form1 window;
        QAccessibleInterface* button = accessible(window.command(n));
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), name);
        QCOMPARE(button->text(QAccessible::Description), description);
        QVERIFY(button->state().focusable);
        QVERIFY(button->actionInterface());
        QVERIFY(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QCOMPARE(window.command(n)->toolTip(), description); // one text for sighted and spoken use
    }

    void everyElementButtonHasItsOwnSpokenName() {
        Form1 window;
        const QRegularExpression symbolAndName("^([A-Z][a-z]{0,2}) [A-Z][a-z]+$");
        std::set<QString> names;
        for (int n = 1; n <= 112; ++n) {
            QPushButton* button = window.command(n);
            const QString name = accessible(button)->text(QAccessible::Name);
            const QRegularExpressionMatch match = symbolAndName.match(name);
            QVERIFY2(match.hasMatch(), qPrintable(name));
            QCOMPARE(match.captured(1), QString(button->text()).remove('*'));
            QCOMPARE(accessible(button)->text(QAccessible::Description), button->toolTip());
            names.insert(name);
        }
        QCOMPARE(names.size(), std::size_t(112));
    }

    void detailBoxesAreNamedByTheirLabels_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("labelNumber");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sodium");
        QTest::newRow("Text1") << 1 << 1 << "เลขอะตอม"
                               << "11";
        QTest::newRow("Text2") << 2 << 2 << "เลขออกซิเดชั่น"
                               << "1";
        QTest::newRow("Text3") << 3 << 3 << "ชื่อธาตุ"
                               << "Sodium";
        QTest::newRow("Text4") << 4 << 4 << "จุดเดือด"
                               << "829";
        QTest::newRow("Text5") << 5 << 5 << "จุดหลอมเหลว"
                               << "97.72";
        QTest::newRow("Text6") << 6 << 6 << "จำนวนโปรตรอน"
                               << "11";
        QTest::newRow("Text7, the group at the bottom") << 7 << 7 << "หมู่ธาตุ"
                                                        << "IA";
        QTest::newRow("Text8, the electrons above it") << 8 << 8 << "จำนวนอิเล็กตรอน"
                                                       << "11";
    }

    void detailBoxesAreNamedByTheirLabels() {
        QFETCH(int, k);
        QFETCH(int, labelNumber);
        QFETCH(QString, name);
        QFETCH(QString, sodium);
        RunningWindow running;
        QLineEdit* box = running.box(k);
        QLabel* label = running.window.label(labelNumber);
        QAccessibleInterface* iface = accessible(box);
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(label->text(), name);
        QCOMPARE(label->buddy(), box);

        // The field label is reported as the label of the box.
        const auto labels = iface->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.front().first->object(), label);

        // The value, through the text interface, is whatever the box shows.
        QAccessibleTextInterface* text = iface->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 0);
        QTest::mouseClick(running.button(11), Qt::LeftButton);
        QCOMPARE(text->text(0, text->characterCount()), sodium);
        QCOMPARE(iface->text(QAccessible::Value), sodium);
    }

    void theRestOfTheWindow() {
        // Shown, as a screen reader finds it: from Qt 6.11 on a hidden window has no accessible name.
        RunningWindow running;
        Form1& window = running.window;
        QAccessibleInterface* self = accessible(&window);
        QCOMPARE(self->role(), QAccessible::Window);
        QCOMPARE(self->text(QAccessible::Name), QString("Vostrel"));
        QCOMPARE(self->childCount(), 113 + 17 + 8);

        QAccessibleInterface* exit = accessible(window.command(113));
        QCOMPARE(exit->role(), QAccessible::Button);
        QCOMPARE(exit->text(QAccessible::Name), QString("จบการทำงาน"));
        QVERIFY(exit->text(QAccessible::Description).isEmpty());

        // Title, region captions and legend captions are static text, read as written.
        for (int n = 9; n <= 17; ++n) {
            QAccessibleInterface* label = accessible(window.label(n));
            QCOMPARE(label->role(), QAccessible::StaticText);
            QCOMPARE(label->text(QAccessible::Name), window.label(n)->text());
            QVERIFY(!label->state().focusable);
        }
        QCOMPARE(accessible(window.label(9))->text(QAccessible::Name), QString("ตารางธาตุ"));
        QCOMPARE(accessible(window.label(11))->text(QAccessible::Name), QString("Actenide"));
    }
};

QTEST_MAIN(AccessibleWindowTest)
#include "test_accessible_window.moc"
