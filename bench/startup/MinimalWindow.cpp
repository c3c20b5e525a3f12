// The peer of the start-up benchmark: the least a Qt widget program does to
// show a window.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Updates"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
