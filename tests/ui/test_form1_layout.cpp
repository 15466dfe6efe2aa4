// The window as it is laid out: every control's place, colour, font, alignment and focus behaviour.
#include "window_fixture.h"
#include "window_font.h"

#include <QLabel>
#include <QRegularExpression>
#include <QStyle>

#include <map>

using namespace vostrel;

namespace {

QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QColor faceColour(const QWidget* widget) {
    return widget->palette().color(QPalette::Button);
}

// Where every element button stands, in twips: (N, Left, Top).
struct Place {
    int n, left, top;
};
const Place kButtonPlaces[] = {
    {1, 120, 240},     {2, 8280, 360},    {3, 120, 840},     {4, 600, 840},     {5, 5880, 840},
    {6, 6360, 840},    {7, 6840, 840},    {8, 7320, 840},    {9, 7800, 840},    {10, 8280, 840},
    {11, 120, 1320},   {12, 600, 1320},   {13, 5880, 1320},  {14, 6360, 1320},  {15, 6840, 1320},
    {16, 7320, 1320},  {17, 7800, 1320},  {18, 8280, 1320},  {19, 120, 1800},   {20, 600, 1800},
    {21, 1080, 1800},  {22, 1560, 1800},  {23, 2040, 1800},  {24, 2520, 1800},  {25, 3000, 1800},
    {26, 3480, 1800},  {27, 3960, 1800},  {28, 4440, 1800},  {29, 4920, 1800},  {30, 5400, 1800},
    {31, 5880, 1800},  {32, 6360, 1800},  {33, 6840, 1800},  {34, 7320, 1800},  {35, 7800, 1800},
    {36, 8280, 1800},  {37, 120, 2280},   {38, 600, 2280},   {39, 1080, 2280},  {40, 1560, 2280},
    {41, 2040, 2280},  {42, 2520, 2280},  {43, 3000, 2280},  {44, 3480, 2280},  {45, 3960, 2280},
    {46, 4440, 2280},  {47, 4920, 2280},  {48, 5400, 2280},  {49, 5880, 2280},  {50, 6360, 2280},
    {51, 6840, 2280},  {52, 7320, 2280},  {53, 7800, 2280},  {54, 8280, 2280},  {55, 120, 2760},
    {56, 600, 2760},   {57, 1080, 2760},  {58, 2040, 4080},  {59, 2520, 4080},  {60, 3000, 4080},
    {61, 3480, 4080},  {62, 3960, 4080},  {63, 4440, 4080},  {64, 4920, 4080},  {65, 5400, 4080},
    {66, 5880, 4080},  {67, 6360, 4080},  {68, 6840, 4080},  {69, 7320, 4080},  {70, 7800, 4080},
    {71, 8280, 4080},  {72, 1560, 2760},  {73, 2040, 2760},  {74, 2520, 2760},  {75, 3000, 2760},
    {76, 3480, 2760},  {77, 3960, 2760},  {78, 4440, 2760},  {79, 4920, 2760},  {80, 5400, 2760},
    {81, 5880, 2760},  {82, 6360, 2760},  {83, 6840, 2760},  {84, 7320, 2760},  {85, 7800, 2760},
    {86, 8280, 2760},  {87, 120, 3240},   {88, 600, 3240},   {89, 1080, 3240},  {90, 2040, 4560},
    {91, 2520, 4560},  {92, 3000, 4560},  {93, 3480, 4560},  {94, 3960, 4560},  {95, 4440, 4560},
    {96, 4920, 4560},  {97, 5400, 4560},  {98, 5880, 4560},  {99, 6360, 4560},  {100, 6840, 4560},
    {101, 7320, 4560}, {102, 7800, 4560}, {103, 8280, 4560}, {104, 1560, 3240}, {105, 2040, 3240},
    {106, 2520, 3240}, {107, 3000, 3240}, {108, 3480, 3240}, {109, 3960, 3240}, {110, 4440, 3240},
    {111, 4920, 3240}, {112, 5400, 3240},
};

// Elements by tab index 0..110; K (136) and the exit button (137) come after the detail boxes.
QList<int> designedElementTabOrder() {
    QList<int> order{1, 2, 10, 18, 36, 54, 86, 3, 4, 9, 8, 7, 6, 5, 25, 24, 23, 22, 21, 30, 29, 28, 27, 26};
    const auto range = [&order](int from, int to) {
        for (int n = from; n <= to; ++n)
            order << n;
    };
    range(11, 17);
    order << 20 << 35 << 34 << 33 << 32 << 31 << 43 << 42 << 41 << 40 << 39 << 48 << 47 << 46 << 45 << 44
          << 37 << 38 << 53 << 52 << 51 << 50 << 49 << 75 << 74 << 73 << 72 << 57 << 80 << 79 << 78 << 77
          << 76 << 55 << 56 << 85 << 84 << 83 << 82 << 81;
    range(87, 89);
    order << 104 << 105;
    range(58, 71);
    range(90, 103);
    range(106, 112);
    return order;
}

} // namespace

class Form1LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { configureApplication(); }

    void windowItself() {
        const QFont defaultFont = QApplication::font(); // what tool tips and message boxes draw with
        Form1 window;
        QCOMPARE(QApplication::font(), defaultFont);
        QCOMPARE(window.windowTitle(), QString("Vostrel"));
        QCOMPARE(window.size(), QSize(792, 416));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(0, 0, 128));
        QVERIFY(window.autoFillBackground());
        QCOMPARE(window.font().family(), windowFontFamily());
        QCOMPARE(window.font().pointSizeF(), 15.75);
        QCOMPARE(window.font().weight(), QFont::Bold);
        QVERIFY(window.cursor().shape() != Qt::ArrowCursor);
        QCOMPARE(window.findChildren<QPushButton*>().size(), 113);
        QCOMPARE(window.findChildren<QLabel*>().size(), 17);
        QCOMPARE(window.findChildren<QLineEdit*>().size(), 8);
    }

    void resizingMovesNothing() {
        RunningWindow running;
        QMap<QWidget*, QRect> before;
        for (QWidget* control : running.window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            before.insert(control, control->geometry());

        running.window.resize(1100, 700); // enlarged: the new area is bare navy
        QTRY_COMPARE(running.window.size(), QSize(1100, 700));
        const QImage enlarged = running.window.grab().toImage();
        QCOMPARE(enlarged.pixelColor(1000, 600), QColor(0, 0, 128));
        QCOMPARE(enlarged.pixelColor(800, 100), QColor(0, 0, 128));

        running.window.resize(300, 200); // shrunk: what falls outside is simply not shown
        QTRY_COMPARE(running.window.size(), QSize(300, 200));
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(it.key()->geometry(), it.value());
    }

    void applicationSettings() {
        QCOMPARE(QApplication::style()->name(), QString("windows"));
        QCOMPARE(QLocale().name(), QString("en_US"));
    }

    void labels_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QColor>("textColour");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("alignment");
        const QColor yellow(255, 255, 0);
        const int left = Qt::AlignLeft, right = Qt::AlignRight, centre = Qt::AlignHCenter;
        QTest::newRow("title") << 9 << "ตารางธาตุ" << fromTwips(1800, 120, 3495, 855) << QColor(255, 255, 192)
                               << 36.0 << centre;
        QTest::newRow("lanthanides") << 10 << "Lanthanide series" << fromTwips(360, 4200, 1575, 255) << yellow
                                     << 14.25 << right;
        QTest::newRow("actinides") << 11 << "Actenide" << fromTwips(480, 4680, 1455, 255) << yellow << 14.25
                                   << right;
        QTest::newRow("transition") << 12 << "Transition Element" << fromTwips(2640, 1320, 1695, 255)
                                    << yellow << 14.25 << centre;
        QTest::newRow("inner transition") << 13 << "Inner transition Metal"
                                          << fromTwips(4320, 3720, 1935, 255) << yellow << 14.25 << centre;
        QTest::newRow("metal") << 14 << "โลหะ" << fromTwips(840, 5280, 1095, 375) << yellow << 15.75 << left;
        QTest::newRow("metalloid") << 15 << "กึ่งอโลหะ" << fromTwips(2880, 5280, 1095, 375) << yellow << 15.75
                                   << left;
        QTest::newRow("non-metal") << 16 << "อโลหะ" << fromTwips(5160, 5280, 1095, 375) << yellow << 15.75
                                   << left;
        QTest::newRow("inert gas") << 17 << "ก๊าซเฉื่อย" << fromTwips(7440, 5280, 1095, 375) << yellow << 15.75
                                   << left;
        QTest::newRow("atomic number")
            << 1 << "เลขอะตอม" << fromTwips(8760, 360, 1695, 375) << yellow << 15.75 << right;
        QTest::newRow("oxidation") << 2 << "เลขออกซิเดชั่น" << fromTwips(8760, 1080, 1695, 375) << yellow
                                   << 15.75 << right;
        QTest::newRow("name") << 3 << "ชื่อธาตุ" << fromTwips(8760, 1800, 1695, 375) << yellow << 15.75 << right;
        QTest::newRow("boiling") << 4 << "จุดเดือด" << fromTwips(8760, 2520, 1695, 375) << yellow << 15.75
                                 << right;
        QTest::newRow("melting") << 5 << "จุดหลอมเหลว" << fromTwips(8760, 3240, 1695, 375) << yellow << 15.75
                                 << right;
        QTest::newRow("protons") << 6 << "จำนวนโปรตรอน" << fromTwips(8760, 3960, 1695, 375) << yellow << 15.75
                                 << right;
        QTest::newRow("group") << 7 << "หมู่ธาตุ" << fromTwips(8760, 5400, 1695, 375) << yellow << 15.75
                               << right;
        QTest::newRow("electrons") << 8 << "จำนวนอิเล็กตรอน" << fromTwips(8760, 4680, 1695, 375) << yellow
                                   << 15.75 << right;
    }

    void labels() {
        QFETCH(int, n);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(QColor, textColour);
        QFETCH(double, points);
        QFETCH(int, alignment);
        Form1 window;
        QLabel* label = window.findChild<QLabel*>(QString("Label%1").arg(n));
        QVERIFY(label);
        QCOMPARE(window.label(n), label);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->geometry(), geometry);
        QCOMPARE(label->palette().color(QPalette::WindowText), textColour);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(0, 0, 128));
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->font().family(), windowFontFamily());
        QCOMPARE(label->font().pointSizeF(), points);
        QCOMPARE(label->font().weight(), QFont::Bold);
        QCOMPARE(int(label->alignment()), alignment | Qt::AlignTop);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QCOMPARE(label->textInteractionFlags(), Qt::NoTextInteraction);
        QCOMPARE(label->cursor().shape(), window.cursor().shape()); // the window's own pointer
    }

    void detailBoxes_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("topTwips");
        QTest::newRow("Text1") << 1 << 240;
        QTest::newRow("Text2") << 2 << 960;
        QTest::newRow("Text3") << 3 << 1680;
        QTest::newRow("Text4") << 4 << 2400;
        QTest::newRow("Text5") << 5 << 3120;
        QTest::newRow("Text6") << 6 << 3840;
        QTest::newRow("Text8 above") << 8 << 4560;
        QTest::newRow("Text7 at the bottom") << 7 << 5280;
    }

    void detailBoxes() {
        QFETCH(int, k);
        QFETCH(int, topTwips);
        Form1 window;
        QLineEdit* box = window.text(k);
        QVERIFY(box);
        QCOMPARE(box->objectName(), QString("Text%1").arg(k));
        QCOMPARE(box->geometry(), fromTwips(10560, topTwips, 1215, 495));
        QVERIFY(box->text().isEmpty());
        QCOMPARE(box->alignment(), Qt::AlignCenter);
        QCOMPARE(box->font().family(), windowFontFamily());
        QCOMPARE(box->font().pointSizeF(), 14.25);
        QCOMPARE(box->font().weight(), QFont::Bold);
        QVERIFY(box->hasFrame());
        QVERIFY(!box->isReadOnly());
        QCOMPARE(box->echoMode(), QLineEdit::Normal);
        QVERIFY(box->maxLength() >= 16 * 1024 * 1024); // well past QLineEdit's default of 32767
        QCOMPARE(box->cursor().shape(), Qt::IBeamCursor);
        QVERIFY(box->focusPolicy() & Qt::ClickFocus);
        QVERIFY(box->focusPolicy() & Qt::TabFocus);
        const QColor base = box->palette().color(QPalette::Base);
        if (k == 7)
            QCOMPARE(base, QColor(255, 255, 255));
        else
            QCOMPARE(base, QApplication::palette().color(QPalette::Base));
    }

    void text7StaysWhiteUnderADarkScheme() {
        const QPalette saved = QApplication::palette();
        QPalette dark = saved;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        QApplication::setPalette(dark);
        {
            Form1 window;
            QCOMPARE(window.text(7)->palette().color(QPalette::Base), QColor(255, 255, 255));
            for (int k : {1, 2, 3, 4, 5, 6, 8})
                QCOMPARE(window.text(k)->palette().color(QPalette::Base), QColor(30, 30, 30));
        }
        QApplication::setPalette(saved);
    }

    void exitButton() {
        Form1 window;
        QPushButton* exit = window.command(113);
        QCOMPARE(exit->objectName(), QString("Command113"));
        QCOMPARE(exit->text(), QString("จบการทำงาน"));
        QCOMPARE(exit->geometry(), QRect(0, 392, 793, 26)); // overhangs the client area right and below
        QVERIFY(exit->geometry().right() >= window.width());
        QVERIFY(exit->geometry().bottom() >= window.height());
        QCOMPARE(exit->font(), window.font());
        QCOMPARE(faceColour(exit), QApplication::palette().color(QPalette::Button));
        QVERIFY(exit->toolTip().isEmpty());
        QVERIFY(exit->autoDefault());
        QVERIFY(!exit->isDefault());
        QCOMPARE(exit->cursor().shape(), Qt::ArrowCursor);
    }

    void everyButtonStandsOnItsDesignedPlace() {
        Form1 window;
        for (const Place& place : kButtonPlaces) {
            QPushButton* button = window.command(place.n);
            QVERIFY(button);
            QCOMPARE(button->objectName(), QString("Command%1").arg(place.n));
            QCOMPARE(button->geometry(), fromTwips(place.left, place.top, 495, 495));
        }
        QCOMPARE(std::size(kButtonPlaces), std::size_t(112));
        // H is raised above He in period 1; neighbours overlap by one pixel.
        QCOMPARE(window.command(1)->y() + 8, window.command(2)->y());
        QVERIFY(window.command(3)->geometry().intersects(window.command(4)->geometry()));
        QCOMPARE(window.command(3)->geometry().intersected(window.command(4)->geometry()).width(), 1);
    }

    void captionsSelectTheirElements_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("n");
        for (const auto& [caption, n] : std::map<QString, int>{{"La*", 57},
                                                               {"*Ce", 58},
                                                               {"Ac**", 89},
                                                               {"**Th", 90},
                                                               {"Lw", 103},
                                                               {"Ha", 105},
                                                               {"Uun", 110},
                                                               {"Uuu", 111},
                                                               {"Uub", 112},
                                                               {"H", 1},
                                                               {"K", 19},
                                                               {"Na", 11}})
            QTest::newRow(qPrintable(caption)) << caption << n;
    }

    void captionsSelectTheirElements() {
        QFETCH(QString, caption);
        QFETCH(int, n);
        RunningWindow running;
        QList<QPushButton*> withCaption;
        for (QPushButton* button : running.window.findChildren<QPushButton*>())
            if (button->text() == caption)
                withCaption << button;
        QCOMPARE(withCaption.size(), 1);
        QTest::mouseClick(withCaption.front(), Qt::LeftButton);
        QCOMPARE(running.box(1)->text(), QString::number(n));
    }

    void categoriesAndStates() {
        Form1 window;
        std::map<QRgb, int> colours;
        std::map<QString, QList<int>> states;
        const QRegularExpression asciiSymbol("^\\**[A-Z][a-z]{0,2}\\**$");
        for (int n = 1; n <= 112; ++n) {
            QPushButton* button = window.command(n);
            ++colours[faceColour(button).rgb() & 0xFFFFFF];
            states[button->toolTip()] << n;
            QVERIFY2(asciiSymbol.match(button->text()).hasMatch(), qPrintable(button->text()));
            QVERIFY(!button->text().contains('&'));
            QCOMPARE(button->palette().color(QPalette::ButtonText),
                     QApplication::palette().color(QPalette::ButtonText));
            QCOMPARE(button->font().family(), windowFontFamily());
            QCOMPARE(button->font().pointSizeF(), 14.25);
            QCOMPARE(button->font().weight(), n == 19 ? QFont::Normal : QFont::Bold);
            QVERIFY(button->autoDefault());
            QVERIFY(button->isEnabled());
        }
        QCOMPARE(colours,
                 (std::map<QRgb, int>{{0xFFC080, 87}, {0x008000, 8}, {0xFFFF00, 11}, {0xFF80FF, 6}}));
        QCOMPARE(states["ของแข็ง"].size(), 75);
        QCOMPARE(states["ของเหลว"], (QList<int>{31, 35, 80, 87}));
        QCOMPARE(states["ก๊าซ"], (QList<int>{1, 2, 7, 8, 9, 10, 17, 18, 36, 54, 86}));
        QList<int> synthesized{43, 61};
        for (int n = 93; n <= 112; ++n)
            synthesized << n;
        QCOMPARE(states["ธาตุที่นักวิทยาศาสตร์สังเคราะห์ขึ้น"], synthesized);
        for (int n : {90, 91, 92})
            QCOMPARE(window.command(n)->toolTip(), QString("ของแข็ง"));
        for (int n : {5, 14, 32, 33, 51, 52, 84, 85})
            QCOMPARE(faceColour(window.command(n)), QColor(0, 128, 0));
    }

    void tabChainRunsAsDesigned() {
        RunningWindow running;
        QList<QWidget*> expected;
        for (int n : designedElementTabOrder())
            expected << running.button(n);
        for (int k : {2, 3, 4, 5, 6, 7, 8, 1})
            expected << running.box(k);
        expected << running.button(19) << running.button(113);
        QCOMPARE(expected.size(), 111 + 8 + 2);

        QCOMPARE(QApplication::focusWidget(), running.button(1)); // H has the focus at start
        for (qsizetype i = 1; i <= expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i % expected.size()]);
        }
        for (qsizetype i = expected.size() - 1; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
    }
};

QTEST_MAIN(Form1LayoutTest)
#include "test_form1_layout.moc"
