#include "Kalvio.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvio"));
    Kalvio window;
    // The window loads inside the event loop, so that closing it during the
    // first page ends the program as it would at any later time.
    QTimer::singleShot(0, &window, &Kalvio::Form_Load);
    return app.exec();
}
