#include "CommandLine.h"
#include "Kalvio.h"
#include "MessageBox.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// Started from the desktop ("Open with"), the viewer has no terminal: what it
// refuses is said in a message box as well, when there is a display to show
// one on. Where the display cannot be reached, the message stays on stderr.
void tellInMessageBox(char* program, const QString& message)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb;offscreen" : "wayland;xcb;offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return; // nobody could see it, or close it
    MessageBox::Show(nullptr, message);
}

} // namespace

int main(int argc, char* argv[])
{
    // The command line is read before Qt starts, so that --help, --version and
    // a path that cannot be shown need no display.
    const CommandLine line = CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action != CommandLine::Action::Run) {
        std::fputs(line.message.toLocal8Bit().constData(), line.action == CommandLine::Action::Print ? stdout : stderr);
        std::fflush(stderr);
        if (!line.windowMessage.isEmpty())
            tellInMessageBox(argv[0], line.windowMessage);
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
    // The window loads inside the event loop, so that closing it during the
    // first page ends the program as it would at any later time.
    QTimer::singleShot(0, &window, &Kalvio::load);
    return app.exec();
}
