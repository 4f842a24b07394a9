#include "TestSupport.h"

#include "Colors.h"
#include "EventYield.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <stdexcept>

namespace TestSupport {
namespace {

constexpr uid_t NobodyId = 65534;

// GIF's variable-length LZW, kept trivially simple: a clear code is sent
// often enough that the code width never grows, so every pixel is one code.
QByteArray lzwUncompressed(const QByteArray& indexes, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    const int width = minCodeSize + 1;
    const int perClear = (1 << width) - clear - 2 - 1;
    QByteArray out;
    quint32 buffer = 0;
    int bits = 0;
    auto emitCode = [&](int code) {
        buffer |= quint32(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.append(char(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    };
    int sinceClear = perClear;
    for (char index : indexes) {
        if (sinceClear == perClear) {
            emitCode(clear);
            sinceClear = 0;
        }
        emitCode(static_cast<unsigned char>(index));
        ++sinceClear;
    }
    emitCode(end);
    if (bits > 0)
        out.append(char(buffer & 0xFF));
    return out;
}

void appendLittle16(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size();
}

} // namespace

PictureFolder::PictureFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
}

QString PictureFolder::at(const QString& relative) const
{
    return relative.isEmpty() ? dir_.path() : dir_.path() + u'/' + relative;
}

QString PictureFolder::makeFolder(const QString& relative) const
{
    const QString full = at(relative);
    QDir().mkpath(full);
    return full;
}

QString PictureFolder::addImage(const QString& relative, const QImage& image) const
{
    const QString full = at(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    const QString suffix = QFileInfo(full).suffix().toUpper();
    bool written = false;
    if (suffix == u"GIF") {
        written = writeGif(full, image);
    } else {
        const char* format = suffix == u"BMP" ? "BMP" : suffix == u"PNG" ? "PNG" : "JPEG";
        written = image.save(full, format, 95);
    }
    if (!written)
        throw std::runtime_error("cannot write " + full.toStdString());
    return full;
}

QString PictureFolder::addPicture(const QString& relative, QSize size, QColor color) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return addImage(relative, image);
}

QString PictureFolder::addFile(const QString& relative, const QByteArray& bytes) const
{
    const QString full = at(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    if (!writeBytes(full, bytes))
        throw std::runtime_error("cannot write " + full.toStdString());
    return full;
}

bool writeGif(const QString& path, const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> palette;
    QByteArray indexes;
    indexes.reserve(image.width() * image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y) | 0xFF000000u;
            auto found = palette.find(rgb);
            if (found == palette.end()) {
                if (palette.size() == 256)
                    return false;
                found = palette.emplace(rgb, int(palette.size())).first;
            }
            indexes.append(char(found->second));
        }
    }
    int tableBits = 1;
    while ((1 << tableBits) < int(palette.size()))
        ++tableBits;
    const int minCodeSize = std::max(2, tableBits);

    QByteArray out("GIF89a");
    appendLittle16(out, image.width());
    appendLittle16(out, image.height());
    out.append(char(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
    out.append('\0');
    out.append('\0');
    QByteArray table(3 * (1 << tableBits), '\0');
    for (const auto& [rgb, index] : palette) {
        table[3 * index] = char(qRed(rgb));
        table[3 * index + 1] = char(qGreen(rgb));
        table[3 * index + 2] = char(qBlue(rgb));
    }
    out.append(table);
    out.append(',');
    appendLittle16(out, 0);
    appendLittle16(out, 0);
    appendLittle16(out, image.width());
    appendLittle16(out, image.height());
    out.append('\0');
    out.append(char(minCodeSize));
    const QByteArray data = lzwUncompressed(indexes, minCodeSize);
    for (qsizetype offset = 0; offset < data.size(); offset += 255) {
        const QByteArray block = data.mid(offset, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append('\0');
    out.append(';');
    return writeBytes(path, out);
}

QColor colorFor(int k)
{
    // Hues far apart for neighbouring numbers, full saturation, mid value.
    return QColor::fromHsv((k * 47) % 360, 230, 200);
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

CurrentDirectory::CurrentDirectory(const QString& path) : previous_(QDir::currentPath())
{
    QDir::setCurrent(path);
}

CurrentDirectory::~CurrentDirectory()
{
    QDir::setCurrent(previous_);
}

WithoutRootRights::WithoutRootRights()
{
    if (::geteuid() == 0)
        dropped_ = ::setegid(NobodyId) == 0 && ::seteuid(NobodyId) == 0;
}

WithoutRootRights::~WithoutRootRights()
{
    if (dropped_) {
        [[maybe_unused]] const int user = ::seteuid(0);
        [[maybe_unused]] const int group = ::setegid(0);
    }
}

std::unique_ptr<Kalvio> startIn(const QString& folder)
{
    const CurrentDirectory inFolder(folder);
    auto window = std::make_unique<Kalvio>();
    window->Form_Load();
    return window;
}

QColor cellPixel(Kalvio& window, int cell, double xTwips, double yTwips)
{
    return window.Obr[cell]->PixelAt(xTwips, yTwips);
}

QColor cellCentre(Kalvio& window, int cell)
{
    PictureBox* box = window.Obr[cell];
    return box->PixelAt(box->Width() / 2, box->Height() / 2);
}

bool cellIsBlank(Kalvio& window, int cell)
{
    PictureBox* box = window.Obr[cell];
    const QImage& canvas = box->canvas();
    const QRgb background = ToQColor(box->BackColor()).rgb();
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if ((canvas.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u))
                return false;
        }
    }
    return true;
}

bool gridHasLook(Kalvio& window, int frameColor, bool enabled)
{
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        if (window.Okno[i]->BackColor() != frameColor || window.Okno[i]->isEnabled() != enabled ||
            window.Obr[i]->isEnabled() != enabled)
            return false;
    }
    return true;
}

QStringList frameCaptions(Kalvio& window)
{
    QStringList captions;
    for (const FrameButton* frame : window.Okno)
        captions << frame->Caption();
    return captions;
}

QString numberedName(int k)
{
    return QStringLiteral("P%1.BMP").arg(k, 2, 10, QLatin1Char('0'));
}

void addNumberedPictures(const PictureFolder& folder, const QString& sub, int count)
{
    for (int k = 0; k < count; ++k)
        folder.addPicture(sub + u'/' + numberedName(k), QSize(120, 100), colorFor(k));
}

bool cellIsFilledWith(Kalvio& window, int cell, const QColor& colour, int tolerance)
{
    const QImage& canvas = window.Obr[cell]->canvas();
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (!near(canvas.pixelColor(x, y), colour, tolerance))
                return false;
        }
    }
    return true;
}

ScopedYieldHook::ScopedYieldHook(std::function<void()> hook)
{
    EventYield::setHook(std::move(hook));
}

ScopedYieldHook::~ScopedYieldHook()
{
    EventYield::setHook(nullptr);
}

} // namespace TestSupport
