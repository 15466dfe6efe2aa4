// The floor for the start-up and memory benchmarks: the least a Qt Widgets program does to show a window
// of Vostrel's size. Built and started the same way as Vostrel, with nothing of its own on the window.
#include <QApplication>
#include <QWidget>

int main(int, char*[]) { // both arguments, as Qt's entry point on Windows calls it
    static char programName[] = "floor_window";
    static char* arguments[] = {programName, nullptr};
    static int argumentCount = 1;
    QApplication application(argumentCount, arguments);
    QWidget window;
    window.resize(792, 416);
    window.show();
    return QApplication::exec();
}
