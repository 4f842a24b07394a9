#include "ExifBlock.h"

#include <libexif/exif-data.h>

namespace Pictures {

void ExifBlock::Release::operator()(ExifData* data) const
{
    exif_data_unref(data);
}

ExifBlock::ExifBlock(QByteArrayView payload)
{
    if (payload.isEmpty())
        return;
    data_.reset(exif_data_new());
    if (!data_)
        return;
    // Only read: left on, libexif would add missing entries and correct
    // others while loading, work that nothing here needs.
    exif_data_unset_option(data_.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data_.get(), reinterpret_cast<const unsigned char*>(payload.data()),
                        static_cast<unsigned int>(payload.size()));
}

ExifBlock::~ExifBlock() = default;

Orientation ExifBlock::orientation() const
{
    if (!data_)
        return {};
    const ExifEntry* entry = exif_content_get_entry(data_->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data || entry->size < 2)
        return {};
    return Orientation(exif_get_short(entry->data, exif_data_get_byte_order(data_.get())));
}

QByteArrayView ExifBlock::thumbnail() const
{
    if (!data_ || !data_->data || data_->size == 0)
        return {};
    return {reinterpret_cast<const char*>(data_->data), qsizetype(data_->size)};
}

} // namespace Pictures
