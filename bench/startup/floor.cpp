// The start-up floor: the least a Qt Widgets program does to show a window of
// tavrin's size with a title and some text. tavrin's start-up is measured
// against it.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QStringLiteral("tavrin start-up floor"));
    // tavrin's client area: 8925 x 5430 twips at 15 twips a pixel.
    window.setFixedSize(595, 362);
    auto* label = new QLabel(QStringLiteral("A bare Qt window"), &window);
    label->move(16, 16);
    window.show();
    return app.exec();
}
