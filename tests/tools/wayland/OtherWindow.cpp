// Another program's window for the Wayland tests: an ordinary window titled by its argument,
// open until the program is ended.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("other"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
