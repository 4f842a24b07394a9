#include "CommandLine.h"
#include "FolderService.h"
#include "Kalvio.h"
#include "MessageBox.h"
#include "QtTranslation.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace {

// The session bus libdbus would find by itself: the one the environment
// names, or the user's bus at $XDG_RUNTIME_DIR/bus.
bool sessionBusKnown()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat info {};
    return !runtime.isEmpty() && ::stat((runtime + "/bus").constData(), &info) == 0 && S_ISSOCK(info.st_mode) &&
           info.st_uid == ::getuid();
}

// Qt asks for the session bus (accessibility, the platform theme). Where there
// is none, libdbus would start one through dbus-launch, which writes
// ~/.dbus/session-bus and runs on after the program, until the display
// closes; the viewer writes nothing, so it goes without a bus instead.
void noBusStartedForUs()
{
    if (!sessionBusKnown())
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

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
    QtTranslation::InstallCzech(app);
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return; // nobody could see it, or close it
    MessageBox::Show(nullptr, message);
}

// The base icon theme's index ("hicolor", which every theme falls back on):
// Qt reads it the first time it looks an icon up in the theme (the folder
// list's folder icons), 2 500 keys through QSettings. Opened here and read on
// a thread of its own (readAll), it stays read while these hold it, and Qt's
// look-up finds it so. They are made on the main thread, as every QObject
// before QApplication must be: Qt takes the first thread that makes one for
// its main thread.
std::vector<std::unique_ptr<QSettings>> iconThemeIndexes()
{
    std::vector<std::unique_ptr<QSettings>> indexes;
    for (const QString& path :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons/hicolor/index.theme")))
        indexes.push_back(std::make_unique<QSettings>(path, QSettings::IniFormat));
    return indexes;
}

void readAll(const std::vector<std::unique_ptr<QSettings>>& indexes)
{
    for (const std::unique_ptr<QSettings>& index : indexes)
        index->allKeys();
}

} // namespace

int main(int argc, char* argv[])
{
    // The command line is read before Qt starts, so that --help, --version and
    // a path that cannot be shown need no display.
    const CommandLine line = CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    noBusStartedForUs();
    if (line.action != CommandLine::Action::Run) {
        std::fputs(line.message.toLocal8Bit().constData(), line.action == CommandLine::Action::Print ? stdout : stderr);
        std::fflush(stderr);
        if (!line.windowMessage.isEmpty())
            tellInMessageBox(argv[0], line.windowMessage);
        return line.exitCode();
    }

    // Read ahead while Qt connects to the display: the icon theme's index
    // (iconThemeIndexes), and fontconfig's configuration (dozens of files),
    // which it reads the first time a font is wanted: it is ready when the
    // window lays out its first caption.
    const std::vector<std::unique_ptr<QSettings>> themeIndexes = iconThemeIndexes();
    const std::future<void> themeIndexesRead = std::async(std::launch::async, readAll, std::cref(themeIndexes));
    std::thread(FcInit).detach();
    // The start folder is found and listed while Qt sets up; the window
    // then asks for its first page before it builds its widgets.
    StartListing listing(line.folder, CommandLine::ListedPictures);
    int qtArgc = 1; // nothing on the command line is for Qt
    QApplication app(qtArgc, argv);
    // The window speaks Czech whatever the user's language, and so do Qt's own
    // texts in it.
    QtTranslation::InstallCzech(app);
    QApplication::setApplicationName(QStringLiteral("Kalvio"));
    QApplication::setApplicationVersion(QStringLiteral(KALVIO_VERSION));
    // Ties the window to its desktop entry (its icon and name in the task bar):
    // on Wayland by the entry's name, on X11 by WM_CLASS, whose class is the
    // application name and the entry's StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral(KALVIO_APP_ID));
    // A picture to show full screen is decoded from here on, while the
    // window is built.
    const QString fullScreenPicture =
        line.fullScreen && !line.picture.isEmpty() ? FolderService::JoinPath(line.folder, line.picture) : QString();
    Kalvio window(Pictures::Pipeline::Options(), fullScreenPicture, std::move(listing));
    window.setStartPath(line.folder, line.picture);
    window.setFullScreenStart(line.fullScreen);
    window.setSlideshowDelay(std::chrono::milliseconds(line.slideshowMilliseconds));
    // The window loads inside the event loop, so that closing it during the
    // first page ends the program as it would at any later time.
    QTimer::singleShot(0, &window, &Kalvio::load);
    return app.exec();
}
