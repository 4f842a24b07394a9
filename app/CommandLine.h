#pragma once

#include <QString>

#include <string>
#include <vector>

// What the viewer was asked to do on its command line:
//   kalvio             the first folder below the current directory that holds files
//   kalvio FOLDER      that folder itself
//   kalvio PICTURE     the folder of the picture, on its page, the picture enlarged
//   kalvio --fullscreen PICTURE   the same, the picture full screen at once
//   kalvio --delay SECONDS ...    the slideshow's time a picture (default 4)
//   kalvio --help | --version
// Anything else, or a path that does not exist or cannot be read, is refused
// before any window opens; so is a picture the file list would not show.
struct CommandLine {
    enum class Action { Run, Print, Refuse };

    Action action = Action::Run;
    // What to print (standard output for Print, standard error for Refuse).
    QString message;
    // Run: the folder to show, empty to search below the current directory,
    // and the name of the picture in it to open, if any. Both are the
    // escaped form of NativeName.
    QString folder;
    QString picture;
    // Refuse: what a user who started the viewer from the desktop, with no
    // terminal to read, is told in a message box too (empty: nothing).
    QString windowMessage;

    // Run: the picture (or the folder's first) opens full screen.
    bool fullScreen = false;
    // Run: how long the full-screen slideshow shows each picture.
    int slideshowMilliseconds = 4000;

    // The names the file list shows, regardless of letter case.
    static inline const QString ListedPictures = QStringLiteral("*.JPG;*.BMP;*.GIF");

    int exitCode() const { return action == Action::Refuse ? 2 : 0; }

    static CommandLine Parse(const std::vector<std::string>& arguments);
};
