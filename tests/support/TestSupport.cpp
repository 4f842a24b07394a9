#include "TestSupport.h"

#include "Colors.h"
#include "SampleFiles.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <sys/stat.h>

namespace TestSupport {
namespace {

QString written(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

} // namespace

PictureFolder::PictureFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
}

QString PictureFolder::addImage(const QString& relative, const QImage& image) const
{
    const QString suffix = QFileInfo(relative).suffix().toUpper();
    if (suffix == u"GIF")
        return written(at(relative), Samples::Gif(image));
    QDir().mkpath(QFileInfo(at(relative)).absolutePath());
    if (!image.save(at(relative), suffix == u"BMP" ? "BMP" : suffix == u"PNG" ? "PNG" : "JPEG", 95))
        throw std::runtime_error("cannot write " + relative.toStdString());
    return at(relative);
}

QString PictureFolder::addPicture(const QString& relative, QSize size, QColor color) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return addImage(relative, image);
}

QString PictureFolder::addFile(const QString& relative, const QByteArray& bytes) const
{
    return written(at(relative), bytes);
}

std::unique_ptr<Kalvio> startIn(const QString& folder, Pictures::Pipeline::Options pictures)
{
    const CurrentDirectory inFolder(folder);
    auto window = std::make_unique<Kalvio>(std::move(pictures));
    window->load();
    return window;
}

bool isFilledWith(const QImage& image, const QColor& colour, int tolerance)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!near(image.pixelColor(x, y), colour, tolerance))
                return false;
        }
    }
    return true;
}

bool cellIsBlank(Kalvio& w, int cell)
{
    return isFilledWith(thumbnail(w, cell)->canvas(), ToQColor(thumbnail(w, cell)->BackColor()), 0);
}

QColor cellCentre(Kalvio& w, int cell)
{
    return thumbnail(w, cell)->PixelAt(thumbnail(w, cell)->Width() / 2, thumbnail(w, cell)->Height() / 2);
}

bool gridHasLook(Kalvio& window, int frameColor, bool enabled)
{
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        if (frame(window, i)->BackColor() != frameColor || frame(window, i)->isEnabled() != enabled ||
            thumbnail(window, i)->isEnabled() != enabled)
            return false;
    }
    return true;
}

QStringList frameCaptions(Kalvio& window)
{
    QStringList captions;
    for (int i = 0; i < Kalvio::CellCount; ++i)
        captions << frame(window, i)->Caption();
    return captions;
}

void addNumberedPictures(const PictureFolder& folder, const QString& sub, int count)
{
    for (int k = 0; k < count; ++k)
        folder.addPicture(sub + u'/' + numberedName(k), QSize(120, 100), colorFor(k));
}

Pictures::Pipeline::Options HeldDecode::options(int workers)
{
    Pictures::Pipeline::Options options;
    options.workers = workers;
    options.decode = [this](const std::string& path, QSize box, Pictures::Purpose purpose) {
        if (path == held_ && (!only_ || purpose == *only_)) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return released_; });
        }
        return Pictures::Decode(path, box, purpose);
    };
    return options;
}

void HeldDecode::release()
{
    const std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

bool HeldDecode::released() const
{
    const std::lock_guard lock(mutex_);
    return released_;
}

} // namespace TestSupport
