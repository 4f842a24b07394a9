#pragma once

#include "CaptionLabel.h"
#include "CommandButton.h"
#include "EnlargedView.h"
#include "FileList.h"
#include "FolderList.h"
#include "FolderSource.h"
#include "FrameButton.h"
#include "FullScreenView.h"
#include "ImageControl.h"
#include "Kalvio.h"
#include "PageGrid.h"
#include "PictureBox.h"

#include <QAction>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>

// Shared helpers of the tests: folders of generated pictures, a started window, pixel checks.
namespace TestSupport {

// A temporary folder tree that every user may read, so that a test may drop
// root rights while the program reads it.
class PictureFolder {
public:
    PictureFolder();
    QString path() const { return dir_.path(); }
    QString at(const QString& relative) const { return relative.isEmpty() ? path() : path() + u'/' + relative; }
    QString makeFolder(const QString& relative) const { return QDir().mkpath(at(relative)) ? at(relative) : QString(); }
    // A picture of one colour, or the image given, in the format of the suffix
    // (JPG, JPEG, BMP, GIF, PNG); or raw bytes. Each returns the file's path.
    QString addPicture(const QString& relative, QSize size, QColor color) const;
    QString addImage(const QString& relative, const QImage& image) const;
    QString addFile(const QString& relative, const QByteArray& bytes = QByteArray("x")) const;

private:
    QTemporaryDir dir_;
};

// A distinct, saturated colour for picture number k.
inline QColor colorFor(int k)
{
    return QColor::fromHsv((k * 47) % 360, 230, 200);
}
// True when the colours differ by at most tolerance in every channel.
inline bool near(const QColor& a, const QColor& b, int tolerance = 16)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Changes the process's current directory for the guard's lifetime.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& path) : previous_(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentDirectory() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

// While alive, a process running as root acts as user "nobody", so that
// permission bits are honoured.
class WithoutRootRights {
public:
    WithoutRootRights() : dropped_(::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0) {}
    ~WithoutRootRights() { static_cast<void>(dropped_ && ::seteuid(0) == 0 && ::setegid(0) == 0); }

private:
    bool dropped_ = false;
};

// A control of the window by its name: the window and its parts keep their
// widgets to themselves, and the tests reach them as a user would see them.
template <typename Control>
Control* control(const QObject& window, const QString& name)
{
    Control* found = window.findChild<Control*>(name);
    if (!found)
        qFatal("no control \"%s\"", qPrintable(name));
    return found;
}
inline PictureBox* thumbnail(const Kalvio& w, int cell)
{
    return control<PictureBox>(w, QStringLiteral("thumbnail%1").arg(cell));
}
inline FrameButton* frame(const Kalvio& w, int cell)
{
    return control<FrameButton>(w, QStringLiteral("frame%1").arg(cell));
}
inline PictureBox* loadBuffer(const Kalvio& w)
{
    return control<PictureBox>(w, QStringLiteral("loadBuffer"));
}
inline PictureBox* viewBox(const Kalvio& w)
{
    return control<PictureBox>(w, QStringLiteral("enlargedView"));
}
inline ImageControl* stepBackImage(const Kalvio& w)
{
    return control<ImageControl>(w, QStringLiteral("stepBackImage"));
}
inline ImageControl* stepForwardImage(const Kalvio& w)
{
    return control<ImageControl>(w, QStringLiteral("stepForwardImage"));
}
inline FolderList* folderList(const Kalvio& w)
{
    return control<FolderList>(w, QStringLiteral("folderList"));
}
inline FileList* fileList(const Kalvio& w)
{
    return control<FileList>(w, QStringLiteral("fileList"));
}
inline ImageControl* pageBackArrow(const Kalvio& w)
{
    return control<ImageControl>(w, QStringLiteral("pageBackArrow"));
}
inline ImageControl* pageForwardArrow(const Kalvio& w)
{
    return control<ImageControl>(w, QStringLiteral("pageForwardArrow"));
}
inline ImageControl* exitImage(const Kalvio& w)
{
    return control<ImageControl>(w, QStringLiteral("exitImage"));
}
inline CaptionLabel* exitLabel(const Kalvio& w)
{
    return control<CaptionLabel>(w, QStringLiteral("exitLabel"));
}
inline CaptionLabel* pageCounter(const Kalvio& w)
{
    return control<CaptionLabel>(w, QStringLiteral("pageCounter"));
}
inline CaptionLabel* pageCounterHeading(const Kalvio& w)
{
    return control<CaptionLabel>(w, QStringLiteral("pageCounterHeading"));
}
inline CommandButton* logo(const Kalvio& w)
{
    return control<CommandButton>(w, QStringLiteral("logo"));
}
inline QAction* exitAction(const Kalvio& w)
{
    return control<QAction>(w, QStringLiteral("exitAction"));
}
inline QAction* aboutAction(const Kalvio& w)
{
    return control<QAction>(w, QStringLiteral("aboutAction"));
}
inline QAction* openAction(const Kalvio& w)
{
    return control<QAction>(w, QStringLiteral("openAction"));
}

// Decodes as the program does, but holds the decode of one file (a native
// path), for every purpose or for one, until released: a slow picture at a
// moment the test chooses. Release it before the pipeline that decodes with
// it goes.
class HeldDecode {
public:
    // Holds the decodes of path `held` (every path when empty), of every
    // purpose or of `onlyFor`.
    explicit HeldDecode(std::string held, std::optional<Pictures::Purpose> onlyFor = std::nullopt)
        : held_(std::move(held)), onlyFor_(onlyFor)
    {
    }
    Pictures::Pipeline::Options options(int workers = 2);
    void release();
    bool released() const;

private:
    const std::string held_;
    const std::optional<Pictures::Purpose> onlyFor_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
};

// A window started as the program starts, with folder as current directory.
std::unique_ptr<Kalvio> startIn(const QString& folder, Pictures::Pipeline::Options pictures = {});

// True when every pixel is within tolerance of colour.
bool isFilledWith(const QImage& image, const QColor& colour, int tolerance);
inline bool cellIsFilledWith(Kalvio& w, int cell, const QColor& colour, int tolerance = 4)
{
    return isFilledWith(thumbnail(w, cell)->canvas(), colour, tolerance);
}
// Only the cell's back colour: nothing drawn or printed.
bool cellIsBlank(Kalvio& window, int cell);
QColor cellCentre(Kalvio& window, int cell);
// Every frame has frameColor, and every frame and cell is enabled as given.
bool gridHasLook(Kalvio& window, int frameColor, bool enabled);
QStringList frameCaptions(Kalvio& window);

// "P00.BMP", "P01.BMP", …: picture k of a numbered folder, 120 x 100 pixels
// (a cell's shape) in colorFor(k). addNumberedPictures writes count of them.
inline QString numberedName(int k)
{
    return QStringLiteral("P%1.BMP").arg(k, 2, 10, QLatin1Char('0'));
}
void addNumberedPictures(const PictureFolder& folder, const QString& sub, int count);

} // namespace TestSupport
