#include "CommandLine.h"
#include "Kalvio.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>

namespace {

// The window's icon in every size of the icon set, so that docks and task
// switchers need not scale one up: the 32 x 32 16-colour icon and the theme's
// renderings of the same drawing for the other sizes.
QIcon ApplicationIcon()
{
    QIcon icon(QStringLiteral(":/assets/kalvio.ico"));
    for (const int size : {16, 22, 24, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/assets/icons/kalvio-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace

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
    // Ties the window to its desktop entry (its icon and name in the task bar):
    // on Wayland by the entry's name, on X11 by WM_CLASS, whose class is the
    // application name and the entry's StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral(KALVIO_APP_ID));
    Kalvio window;
    window.setWindowIcon(ApplicationIcon()); // in place of its own single size
    window.setStartPath(line.folder, line.picture);
    // The window loads inside the event loop, so that closing it during the
    // first page ends the program as it would at any later time.
    QTimer::singleShot(0, &window, &Kalvio::Form_Load);
    return app.exec();
}
