#pragma once

#include "Kalvio.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Shared helpers of the tests: folders of generated pictures, a started
// window, pixel checks.
namespace TestSupport {

// A temporary folder tree, readable and searchable by every user so that a
// test may drop root rights while it reads it.
class PictureFolder {
public:
    PictureFolder();

    QString path() const { return dir_.path(); }
    // Absolute path of relative (may be "").
    QString at(const QString& relative) const;
    // Creates the folder relative and its parents; returns its path.
    QString makeFolder(const QString& relative) const;
    // Writes a picture of one colour; the format follows the suffix (JPG,
    // JPEG, BMP, GIF, PNG; any letter case). Returns its path.
    QString addPicture(const QString& relative, QSize size, QColor color) const;
    // Writes the given image; the format follows the suffix.
    QString addImage(const QString& relative, const QImage& image) const;
    // Writes raw bytes.
    QString addFile(const QString& relative, const QByteArray& bytes = QByteArray("x")) const;

private:
    QTemporaryDir dir_;
};

// Writes an image as GIF (Qt reads GIF but does not write it). At most 256
// colours; the image is quantised by exact colour.
bool writeGif(const QString& path, const QImage& image);

// A distinct, saturated colour for picture number k.
QColor colorFor(int k);

// True when the two colours differ by at most tolerance in every channel.
bool near(const QColor& a, const QColor& b, int tolerance = 16);

// Changes the process's current directory for the guard's lifetime.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    QString previous_;
};

// While alive, the process acts as the unprivileged user "nobody" when it runs
// as root, so that permission bits are honoured (root reads every folder).
class WithoutRootRights {
public:
    WithoutRootRights();
    ~WithoutRootRights();
    WithoutRootRights(const WithoutRootRights&) = delete;
    WithoutRootRights& operator=(const WithoutRootRights&) = delete;

private:
    bool dropped_ = false;
};

// A window started in folder as the program starts: constructed with folder
// as the current directory, Form_Load run to its end.
std::unique_ptr<Kalvio> startIn(const QString& folder);

// The colour shown at a point of cell i, in twips from the cell's corner.
QColor cellPixel(Kalvio& window, int cell, double xTwips, double yTwips);

// The colour at the centre of cell i.
QColor cellCentre(Kalvio& window, int cell);

// True when cell i shows only its background (no picture, no text).
bool cellIsBlank(Kalvio& window, int cell);

// True when every frame has frameColor and every frame and thumbnail box is
// enabled as given: mid grey and enabled is the grid's normal look, light grey
// and disabled its look under the enlarged view.
bool gridHasLook(Kalvio& window, int frameColor, bool enabled);

// The captions of the 24 frames, cell 0 first.
QStringList frameCaptions(Kalvio& window);

// "P00.BMP", "P01.BMP", …: the name of numbered picture k.
QString numberedName(int k);

// Writes count numbered pictures into the folder sub of folder, picture k in
// colorFor(k), 120 x 100 pixels: the shape of a cell, so each covers its cell.
void addNumberedPictures(const PictureFolder& folder, const QString& sub, int count);

// True when every pixel of cell i is within tolerance of colour.
bool cellIsFilledWith(Kalvio& window, int cell, const QColor& colour, int tolerance = 4);

// Runs hook at every yield of a drawing pass while the guard lives.
class ScopedYieldHook {
public:
    explicit ScopedYieldHook(std::function<void()> hook);
    ~ScopedYieldHook();
    ScopedYieldHook(const ScopedYieldHook&) = delete;
    ScopedYieldHook& operator=(const ScopedYieldHook&) = delete;
};

} // namespace TestSupport
