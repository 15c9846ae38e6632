#include <QApplication>

#include "tavrin.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    tavrin window;
    window.show();
    return application.exec();
}
