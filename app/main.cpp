#include "CommandLine.h"
#include "Kalvio.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The command line is read before Qt starts, so that --help, --version and
    // a path that cannot be shown need no display.
    const CommandLine line = CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action != CommandLine::Action::Run) {
        std::fputs(line.message.toLocal8Bit().constData(), line.action == CommandLine::Action::Print ? stdout : stderr);
        return line.exitCode();
    }

    int qtArgc = 1; // nothing on the command line is for Qt
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvio"));
    QApplication::setApplicationVersion(QStringLiteral(KALVIO_VERSION));
    // Ties the window to its desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral(KALVIO_APP_ID));
    Kalvio window;
    window.setStartPath(line.folder, line.picture);
    window.setFullScreenStart(line.fullScreen);
    window.setSlideshowDelay(std::chrono::milliseconds(line.slideshowMilliseconds));
    // The window loads inside the event loop, so that closing it during the
    // first page ends the program as it would at any later time.
    QTimer::singleShot(0, &window, &Kalvio::Form_Load);
    return app.exec();
}
