// The yardstick for the panel's start-up time on Windows: the least a Qt
// Widgets program can show, built with the same Qt and compiler as the panel.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(320, 200);
    window.show();
    return app.exec();
}
