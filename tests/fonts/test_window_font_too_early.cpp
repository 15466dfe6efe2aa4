#include "window_font.h"

#include <QTest>

using namespace vostrel;

// Called before any QGuiApplication exists, the installation refuses with a warning instead of
// reaching into a font database that is not there.
class WindowFontTooEarlyTest : public QObject {
    Q_OBJECT

private slots:
    void refusesWithoutAGuiApplication() {
        QTest::ignoreMessage(QtWarningMsg,
                             "window font: the substitute is installed only once a QGuiApplication exists");
        QVERIFY(!installWindowFontSubstitute());
    }
};

QTEST_GUILESS_MAIN(WindowFontTooEarlyTest)
#include "test_window_font_too_early.moc"
