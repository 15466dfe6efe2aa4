// A second, informative floor: the empty window of floor_window with one Thai caption in the window font.
// The difference between the two floors is what any Qt program pays before it can show Thai text
// (the fontconfig set-up, the font match, the Thai word-break dictionary, the first glyphs).
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main() {
    static char programName[] = "text_floor_window";
    static char* arguments[] = {programName, nullptr};
    static int argumentCount = 1;
    QApplication application(argumentCount, arguments);
    QWidget window;
    window.resize(792, 416);
    QLabel caption(QString::fromUtf8("จบการทำงาน"), &window);
    QFont font(QStringLiteral("EucrosiaUPC"));
    font.setPointSizeF(15.75);
    font.setBold(true);
    caption.setFont(font);
    caption.move(300, 380);
    window.show();
    return QApplication::exec();
}
