// The bare window plus one line of text: the first text a Qt program draws loads the font system
// (fontconfig's configuration, a font file, the shaper), a cost any window with words pays.
// Shows how much of the window's start is that cost and how much its own.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication Application(argc, argv);
    QWidget Window;
    Window.setWindowTitle(QStringLiteral("Bare window with a label"));
    Window.resize(536, 349);
    auto* Label = new QLabel(QStringLiteral("Quorim EDS Setting V1.2"), &Window);
    Label->setGeometry(0, 330, 150, 19);
    Window.show();
    return QApplication::exec();
}
