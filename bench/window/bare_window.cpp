// The yardstick for the window's start: the smallest Qt Widgets program that shows a window of
// the same size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication Application(argc, argv);
    QWidget Window;
    Window.setWindowTitle(QStringLiteral("Bare window"));
    Window.resize(536, 349);
    Window.show();
    return QApplication::exec();
}
