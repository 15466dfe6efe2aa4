#include "window_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

using namespace vostrel;

// Where the window font itself is installed, it is used. A renamed copy of the substitute,
// registered before start-up, plays the installed window font.
class InstalledWindowFontTest : public QObject {
    Q_OBJECT

private slots:
    void theInstalledFontIsUsed() {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(INSTALLED_WINDOW_FONT_FILE));
        QVERIFY2(id >= 0, INSTALLED_WINDOW_FONT_FILE);
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{QLatin1String(kWindowFontFamily)});

        QVERIFY(installWindowFontSubstitute());

        QVERIFY(QFont::substitutes(QLatin1String(kWindowFontFamily)).isEmpty());
        QCOMPARE(windowFontFamily(), QLatin1String(kWindowFontFamily));
        QFont font{QString::fromLatin1(kWindowFontFamily)};
        font.setPointSizeF(15.75);
        font.setBold(true);
        QCOMPARE(QFontInfo(font).family(), QLatin1String(kWindowFontFamily));
        // The substitute is still registered, harmlessly.
        QVERIFY(QFontDatabase::families().contains(QLatin1String(kWindowFontSubstituteFamily)));
        // A second call changes nothing and gives the same answer.
        QVERIFY(installWindowFontSubstitute());
        QVERIFY(QFont::substitutes(QLatin1String(kWindowFontFamily)).isEmpty());
    }
};

QTEST_MAIN(InstalledWindowFontTest)
#include "test_window_font_installed.moc"
