#include "CmykToSrgb.h"

#include "DecodeLimits.h"

#include <lcms2.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace Pictures {
namespace {

struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDelete {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileClose>;
using Transform = std::shared_ptr<void>;

// The header's data colour space field: bytes 16 to 19.
constexpr int ColourSpaceOffset = 16;

Transform cmykTransform(const QByteArray& iccProfile, bool inverted)
{
    const Profile cmyk(cmsOpenProfileFromMem(iccProfile.constData(), cmsUInt32Number(iccProfile.size())));
    if (!cmyk || cmsGetColorSpace(cmyk.get()) != cmsSigCmykData)
        return nullptr;
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb)
        return nullptr;
    // The fourth byte of every pixel is left alone: it becomes the opaque
    // alpha byte of RGB32 below. Without the one-pixel cache, workers may
    // use one transform at once.
    void* transform = cmsCreateTransform(cmyk.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, srgb.get(), TYPE_BGRA_8,
                                         INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    return transform ? Transform(transform, TransformDelete()) : nullptr;
}

// Making a transform samples the whole profile (tens of milliseconds); the
// pictures of one folder mostly share their profile, so the last two made
// are kept, with their profiles, for the next pictures.
class TransformCache {
public:
    Transform get(const QByteArray& iccProfile, bool inverted)
    {
        if (Transform kept = find(iccProfile, inverted))
            return kept;
        Transform made = cmykTransform(iccProfile, inverted);
        if (made) {
            const std::lock_guard lock(mutex_);
            entries_.insert(entries_.begin(), Entry{iccProfile, inverted, made});
            if (entries_.size() > Kept)
                entries_.pop_back();
        }
        return made;
    }

private:
    static constexpr size_t Kept = 2;
    struct Entry {
        QByteArray profile;
        bool inverted = false;
        Transform transform;
    };

    Transform find(const QByteArray& iccProfile, bool inverted)
    {
        const std::lock_guard lock(mutex_);
        for (const Entry& entry : entries_) {
            if (entry.inverted == inverted && entry.profile == iccProfile)
                return entry.transform;
        }
        return nullptr;
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

// lcms2 samples a CMYK to RGB transform on a grid of 17 points a side, three
// 16-bit values a point.
constexpr qint64 TransformTableBytes = 17LL * 17 * 17 * 17 * 3 * 2;

} // namespace

qint64 CmykConversionBytes(int width)
{
    return 3 * Limits::MaxIccProfileBytes + TransformTableBytes + qint64(width) * 4;
}

bool IsCmykProfile(const QByteArray& iccProfile)
{
    return iccProfile.size() > ColourSpaceOffset + 4 &&
           std::memcmp(iccProfile.constData() + ColourSpaceOffset, "CMYK", 4) == 0;
}

bool ConvertCmykToSrgb(QImage& image, const QByteArray& iccProfile, bool inverted)
{
    if (!IsCmykProfile(iccProfile) || image.format() != QImage::Format_RGB32)
        return false;
    static TransformCache transforms;
    const Transform transform = transforms.get(iccProfile, inverted);
    if (!transform)
        return false;
    std::vector<uchar> inks(size_t(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::memcpy(inks.data(), row, inks.size());
        std::fill_n(row, image.width(), QRgb(0xFF000000));
        cmsDoTransform(transform.get(), inks.data(), row, cmsUInt32Number(image.width()));
    }
    return true;
}

} // namespace Pictures
