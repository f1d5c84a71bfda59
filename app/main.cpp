#include "app/Main.h"
#include "app/About.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.2"));
    QApplication::setWindowIcon(About::programIcon());
    Main window;
    window.show();
    return app.exec();
}
