#include "JpegDecoder.h"

#include "CmykToSrgb.h"
#include "DecodeGuard.h"
#include "DecodeLimits.h"
#include "LargeImage.h"

#include <jerror.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pictures {
namespace {

// Runs libjpeg calls so that an error inside them comes back here as false.
// Nothing with a destructor may be created inside work: the jump back skips
// over it.
template <typename Work>
bool guarded(JpegErrorManager& errors, Work&& work)
{
    if (setjmp(errors.jump))
        return false;
    work();
    return true;
}

JpegDecoder& decoderOf(j_common_ptr cinfo)
{
    return *static_cast<JpegDecoder*>(cinfo->client_data);
}

JOCTET nextByte(j_decompress_ptr cinfo)
{
    jpeg_source_mgr& source = *cinfo->src;
    if (source.bytes_in_buffer == 0)
        source.fill_input_buffer(cinfo); // ours never suspends: at the end it gives an end marker
    --source.bytes_in_buffer;
    return *source.next_input_byte++;
}

constexpr QRgb MidGrey = 0xFF808080;
constexpr int RowsPerCall = 16;
// Output columns decoded either side of an area (see decodeArea): the
// widest MCU there is.
constexpr int AreaLead = 16;
constexpr char ExifSignature[] = "Exif\0\0";
constexpr char IccSignature[] = "ICC_PROFILE\0";
constexpr int IccHeaderBytes = 14; // signature, sequence number, count

} // namespace

JpegDecoder::JpegDecoder(int fd)
{
    setUp();
    if (created_)
        source_.readFile(&cinfo_, fd);
}

JpegDecoder::JpegDecoder(QByteArrayView bytes)
{
    setUp();
    if (created_)
        source_.readMemory(&cinfo_, bytes);
}

JpegDecoder::~JpegDecoder()
{
    if (created_)
        jpeg_destroy_decompress(&cinfo_);
}

void JpegDecoder::setUp()
{
    errors_.install(reinterpret_cast<j_common_ptr>(&cinfo_));
    created_ = guarded(errors_, [&] { jpeg_create_decompress(&cinfo_); });
    if (!created_)
        return; // the few bytes of libjpeg's own tables could not be had
    cinfo_.client_data = this;
    progress_.progress_monitor = checkProgress;
    cinfo_.progress = &progress_;
    // The EXIF block and the ICC profile are kept by the decoder itself,
    // within limits, rather than saving every marker of their kind.
    jpeg_set_marker_processor(&cinfo_, JPEG_APP0 + 1, keepApplicationMarker);
    jpeg_set_marker_processor(&cinfo_, JPEG_APP0 + 2, keepApplicationMarker);
}

// Keeps the first EXIF APP1 payload and the ICC profile's APP2 chunks (up
// to a total size); skips every other APP1 and APP2 marker unread.
boolean JpegDecoder::keepApplicationMarker(j_decompress_ptr cinfo)
{
    JpegDecoder& self = decoderOf(reinterpret_cast<j_common_ptr>(cinfo));
    int length = nextByte(cinfo) << 8;
    length = (length | nextByte(cinfo)) - 2;
    JOCTET head[IccHeaderBytes];
    const int headLength = std::clamp(length, 0, IccHeaderBytes);
    for (int i = 0; i < headLength; ++i)
        head[i] = nextByte(cinfo);
    length -= headLength;

    QByteArray* keep = nullptr;
    if (cinfo->unread_marker == JPEG_APP0 + 1) {
        if (self.exif_.isEmpty() && headLength >= 6 && std::memcmp(head, ExifSignature, 6) == 0)
            keep = &self.exif_;
    } else if (headLength == IccHeaderBytes && std::memcmp(head, IccSignature, 12) == 0 &&
               self.iccBytes_ + IccHeaderBytes + length <= Limits::MaxIccProfileBytes) {
        keep = &self.iccChunks_.emplace_back();
        self.iccBytes_ += IccHeaderBytes + length;
    }
    if (!keep) {
        if (length > 0)
            cinfo->src->skip_input_data(cinfo, length);
        return TRUE;
    }
    keep->append(reinterpret_cast<const char*>(head), headLength);
    while (length > 0 && !self.errors_.dataEnded) {
        if (cinfo->src->bytes_in_buffer == 0)
            cinfo->src->fill_input_buffer(cinfo);
        const int step = int(std::min<size_t>(size_t(length), cinfo->src->bytes_in_buffer));
        keep->append(reinterpret_cast<const char*>(cinfo->src->next_input_byte), step);
        cinfo->src->next_input_byte += step;
        cinfo->src->bytes_in_buffer -= size_t(step);
        length -= step;
    }
    return TRUE;
}

// Called by libjpeg before each row of MCUs it reads from a file of several
// scans, and before each batch of output rows: a decode past its time or no
// longer wanted stops here.
void JpegDecoder::checkProgress(j_common_ptr cinfo)
{
    JpegDecoder& self = decoderOf(cinfo);
    self.stopIfGuardSays();
    if (self.absorbingScans_)
        self.countScanWork();
}

void JpegDecoder::stopIfGuardSays()
{
    if (const Failure stop = DecodeGuard::Check(); stop != Failure::None) {
        stopped_ = stop;
        cinfo_.err->error_exit(reinterpret_cast<j_common_ptr>(&cinfo_));
    }
}

// Counts the blocks of the coming row of MCUs of the current scan; a file
// with more scans, or more passes over its blocks, than any encoder writes
// is stopped before it costs more.
void JpegDecoder::countScanWork()
{
    for (int i = 0; i < cinfo_.comps_in_scan; ++i)
        blockVisits_ += qint64(cinfo_.cur_comp_info[i]->width_in_blocks) * cinfo_.cur_comp_info[i]->v_samp_factor;
    if (cinfo_.input_scan_number > Limits::MaxJpegScans || blockVisits_ > Limits::MaxJpegBlockVisits) {
        errors_.limitReached = true;
        cinfo_.err->error_exit(reinterpret_cast<j_common_ptr>(&cinfo_));
    }
}

Failure JpegDecoder::failureAfterError() const
{
    if (source_.readFailed())
        return Failure::Unreadable;
    if (source_.stopped() != Failure::None)
        return source_.stopped();
    if (stopped_ != Failure::None)
        return stopped_;
    if (errors_.limitReached)
        return Failure::TooLarge;
    switch (errors_.manager.msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE: // the coefficients would pass max_memory_to_use
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return Failure::TooLarge;
    default:
        return Failure::Damaged;
    }
}

Failure JpegDecoder::readHeader()
{
    if (!created_)
        return Failure::TooLarge;
    if (!guarded(errors_, [&] { jpeg_read_header(&cinfo_, TRUE); }))
        return failureAfterError();
    source_.headerRead();
    headerRead_ = cinfo_.image_width > 0 && cinfo_.image_height > 0;
    return headerRead_ ? Failure::None : Failure::Damaged;
}

QSize JpegDecoder::size() const
{
    return headerRead_ ? QSize(int(cinfo_.image_width), int(cinfo_.image_height)) : QSize();
}

bool JpegDecoder::progressive() const
{
    return headerRead_ && cinfo_.progressive_mode;
}

QByteArray JpegDecoder::iccProfile()
{
    if (!headerRead_ || iccChunks_.empty())
        return {};
    // libjpeg assembles the profile from its list of saved markers; the
    // chunks kept here are handed to it as that list.
    std::vector<jpeg_marker_struct> markers(iccChunks_.size());
    for (size_t i = 0; i < markers.size(); ++i) {
        const auto length = static_cast<unsigned int>(iccChunks_[i].size());
        markers[i] = {i + 1 < markers.size() ? &markers[i + 1] : nullptr, JPEG_APP0 + 2, length, length,
                      reinterpret_cast<JOCTET*>(iccChunks_[i].data())};
    }
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    const jpeg_saved_marker_ptr saved = cinfo_.marker_list;
    cinfo_.marker_list = markers.data();
    const bool read = guarded(errors_, [&] {
        if (!jpeg_read_icc_profile(&cinfo_, &profile, &length))
            length = 0;
    });
    cinfo_.marker_list = saved;
    QByteArray bytes;
    if (read && profile)
        bytes = QByteArray(reinterpret_cast<const char*>(profile), qsizetype(length));
    std::free(profile);
    return bytes;
}

int JpegDecoder::scaleCovering(QSize cover) const
{
    for (int eighths = 1; eighths < 8; ++eighths) {
        const qint64 width = (qint64(cinfo_.image_width) * eighths + 7) / 8;
        const qint64 height = (qint64(cinfo_.image_height) * eighths + 7) / 8;
        if (width >= cover.width() && height >= cover.height())
            return eighths;
    }
    return 8;
}

QSize JpegDecoder::scaledSize(int eighths) const
{
    return QSize(int((qint64(cinfo_.image_width) * eighths + 7) / 8),
                 int((qint64(cinfo_.image_height) * eighths + 7) / 8));
}

// What a decode of size output is scaled to for cover: cover itself when the
// output covers it (a scale chosen to cover it always does); a decode made
// smaller than cover is kept at its own size when it fits inside cover, and
// otherwise cut to cover's shape within it.
QSize JpegDecoder::targetFor(QSize output, QSize cover)
{
    if (output.width() <= cover.width() && output.height() <= cover.height())
        return output;
    if (output.width() >= cover.width() && output.height() >= cover.height())
        return cover;
    return cover.scaled(cover.boundedTo(output), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// The copies the caller makes of a decode of size output: the scaled one
// (for grey pixels also the 32-bit copy smooth scaling works on) unless the
// decode already has the target's size, and the upright turn if there is one.
qint64 JpegDecoder::copiesAfterwards(QSize output, QSize target, bool grey) const
{
    const qint64 targetBytes = qint64(target.width()) * target.height() * 4;
    const bool scaled = output != target;
    return (scaled ? targetBytes + (grey ? qint64(output.width()) * output.height() * 4 : 0) : 0) +
           (turnedAfterwards_ ? targetBytes : 0);
}

// The largest scale up to `eighths` whose decode passes the memory limit
// (judged as checkMemory judges it), or 1 when none does.
int JpegDecoder::largestScaleWithin(int eighths, QSize cover, bool keepsCoefficients) const
{
    const int channels = cinfo_.num_components == 1 ? 1 : 4;
    for (; eighths > 1; --eighths) {
        const QSize output = scaledSize(eighths);
        const qint64 bytes = qint64(output.width()) * output.height() * channels +
                             copiesAfterwards(output, targetFor(output, cover), channels == 1) +
                             qint64(cinfo_.image_width) * Limits::JpegBytesPerColumn +
                             (keepsCoefficients ? coefficientBytes() : 0);
        if (bytes <= Limits::MemoryBytes)
            break;
    }
    return eighths;
}

// libjpeg's buffer of every coefficient of the frame, kept for files coded
// in several scans: 64 coefficients of 2 bytes per block, each component
// rounded up to whole MCUs.
qint64 JpegDecoder::coefficientBytes() const
{
    qint64 bytes = 0;
    for (int c = 0; c < cinfo_.num_components; ++c) {
        const jpeg_component_info& component = cinfo_.comp_info[c];
        const auto roundUp = [](qint64 value, qint64 step) { return (value + step - 1) / step * step; };
        bytes += roundUp(component.width_in_blocks, component.h_samp_factor) *
                 roundUp(component.height_in_blocks, component.v_samp_factor) * qint64(sizeof(JBLOCK));
    }
    return bytes;
}

bool JpegDecoder::everyComponentHasDc() const
{
    for (int c = 0; c < cinfo_.num_components; ++c) {
        if (cinfo_.coef_bits[c][0] < 0)
            return false;
    }
    return true;
}

// Everything one decode holds at once, against the limit, before any of it
// is allocated. libjpeg's cap (max_memory_to_use) is set to what is left as
// a second guard, but in libjpeg-turbo 2.1 (jmemnobs) it only governs the
// coefficient buffer, allocated in jpeg_start_decompress: past it libjpeg
// asks for a backing store it does not have and fails with
// JERR_NO_BACKING_STORE. Its rows and other buffers are not capped, hence
// the count here.
Failure JpegDecoder::checkMemory(QSize decodedSize, qint64 buffers, bool keepsCoefficients)
{
    const qint64 pixels = qint64(decodedSize.width()) * decodedSize.height();
    const bool grey = cinfo_.out_color_space == JCS_GRAYSCALE;
    const qint64 decoded = pixels * (grey ? 1 : 4) + buffers;
    const qint64 later = copiesAfterwards(decodedSize, target_, grey);
    const qint64 rows = qint64(cinfo_.image_width) * Limits::JpegBytesPerColumn;
    const qint64 coefficients = keepsCoefficients ? coefficientBytes() : 0;
    const bool throughProfile = cinfo_.out_color_space == JCS_CMYK && !iccChunks_.empty();
    const qint64 conversion = throughProfile ? CmykConversionBytes(decodedSize.width()) : 0;
    if (decoded + later + rows + coefficients + conversion > Limits::MemoryBytes)
        return Failure::TooLarge;
    cinfo_.mem->max_memory_to_use = long(Limits::MemoryBytes - decoded - later);
    return memory_.take(decoded + later + rows + coefficients + conversion);
}

// Reads scans until every component's DC coefficients have come (or the
// data ends), then starts output from what has been read.
bool JpegDecoder::readDcScans()
{
    for (;;) {
        stopIfGuardSays();
        countScanWork();
        const int status = jpeg_consume_input(&cinfo_);
        if (status == JPEG_SUSPENDED || status == JPEG_REACHED_EOI)
            break;
        if (status == JPEG_SCAN_COMPLETED && everyComponentHasDc())
            break;
    }
    return jpeg_start_output(&cinfo_, cinfo_.input_scan_number);
}

// Reads rows into the image's memory. In a file of one scan, rows are
// decoded as the data is read, so once the data has run out (the file ends,
// or the scan stops at a marker with no restart marker to resume at) every
// later row would be the same grey: reading stops there.
bool JpegDecoder::readRows(uchar* bits, qsizetype bytesPerLine, bool singleScan)
{
    JSAMPROW rows[RowsPerCall];
    while (cinfo_.output_scanline < cinfo_.output_height) {
        const JDIMENSION first = cinfo_.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(RowsPerCall, cinfo_.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = bits + qsizetype(first + i) * bytesPerLine;
        jpeg_read_scanlines(&cinfo_, rows, count);
        if (singleScan && (errors_.dataEnded || (errors_.hitMarker && cinfo_.restart_interval == 0)))
            return false;
    }
    return true;
}

void JpegDecoder::fillWithGrey(QImage& image, int fromRow) const
{
    for (int y = fromRow; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        if (cinfo_.out_color_space == JCS_EXT_BGRX)
            std::fill_n(reinterpret_cast<QRgb*>(row), image.width(), MidGrey);
        else // grey, or CMYK before its conversion: every component at its middle
            std::memset(row, 0x80, size_t(image.bytesPerLine()));
    }
}

// CMYK to RGB by the ink left out. Adobe's applications write CMYK inverted
// (255 is no ink), and a file with their APP14 marker is read that way.
void JpegDecoder::convertCmyk(QImage& image) const
{
    const bool inverted = cinfo_.saw_Adobe_marker;
    for (int y = 0; y < image.height(); ++y) {
        uchar* pixel = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, pixel += 4) {
            int c = pixel[0], m = pixel[1], yellow = pixel[2], k = pixel[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yellow = 255 - yellow;
                k = 255 - k;
            }
            const auto channel = [k](int paper) { return (paper * k + 127) / 255; };
            *reinterpret_cast<QRgb*>(pixel) = qRgb(channel(c), channel(m), channel(yellow));
        }
    }
}

// Sets the output's colour model and scale for libjpeg and works out its
// dimensions.
Failure JpegDecoder::startOutput(int eighths, bool buffered, bool& multipleScans)
{
    const bool cmyk = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
    cinfo_.out_color_space = cinfo_.num_components == 1 ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    cinfo_.scale_num = unsigned(eighths);
    cinfo_.scale_denom = 8;
    cinfo_.buffered_image = buffered;
    // Smoothing would guess the missing AC coefficients from the DC ones:
    // at 1/8 a block is one pixel and there is nothing to gain.
    cinfo_.do_block_smoothing = !buffered;
    if (!guarded(errors_, [&] {
            jpeg_calc_output_dimensions(&cinfo_);
            multipleScans = jpeg_has_multiple_scans(&cinfo_);
        }))
        return failureAfterError();
    return Failure::None;
}

Failure JpegDecoder::decode(QSize cover, bool dcOnly, QImage& image, bool shrinkToLimits)
{
    report_ = {};
    target_ = cover;
    if (!headerRead_)
        return Failure::Damaged;
    int eighths = scaleCovering(cover);
    if (shrinkToLimits) {
        bool keepsCoefficients = true;
        if (!guarded(errors_, [&] { keepsCoefficients = jpeg_has_multiple_scans(&cinfo_); }))
            return failureAfterError();
        eighths = largestScaleWithin(eighths, cover, keepsCoefficients);
    }
    const bool buffered = dcOnly && eighths == 1 && cinfo_.progressive_mode;
    bool multipleScans = false;
    if (const Failure failure = startOutput(eighths, buffered, multipleScans); failure != Failure::None)
        return failure;
    const QSize output(int(cinfo_.output_width), int(cinfo_.output_height));
    target_ = targetFor(output, cover);
    if (const Failure tooLarge = checkMemory(output, 0, multipleScans || buffered); tooLarge != Failure::None)
        return tooLarge;

    // Read while libjpeg still holds the header: CMYK has to be converted through it here.
    const QByteArray cmykProfile = cinfo_.out_color_space == JCS_CMYK ? iccProfile() : QByteArray();
    QImage decoded =
        NewLargeImage(int(cinfo_.output_width), int(cinfo_.output_height),
                      cinfo_.out_color_space == JCS_GRAYSCALE ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (decoded.isNull())
        return Failure::TooLarge;
    uchar* const bits = decoded.bits();
    const qsizetype bytesPerLine = decoded.bytesPerLine();
    const bool ok = guarded(errors_, [&] {
        absorbingScans_ = multipleScans && !buffered; // a file of several scans is read whole first
        jpeg_start_decompress(&cinfo_);
        absorbingScans_ = false;
        if (buffered)
            readDcScans();
        readRows(bits, bytesPerLine, !multipleScans && !buffered);
    });
    report_.rowsDecoded = int(cinfo_.output_scanline);
    report_.scans = cinfo_.input_scan_number;
    report_.dcOnly = buffered;
    report_.bytesRead = source_.consumed();
    guarded(errors_, [&] { jpeg_abort_decompress(&cinfo_); });
    if (!ok)
        return failureAfterError();
    report_.rowsFilled = decoded.height() - report_.rowsDecoded;
    fillWithGrey(decoded, report_.rowsDecoded);
    if (cinfo_.out_color_space == JCS_CMYK && !ConvertCmykToSrgb(decoded, cmykProfile, cinfo_.saw_Adobe_marker))
        convertCmyk(decoded);
    image = std::move(decoded);
    return Failure::None;
}

// The area (file pixels) in the output of a decode at eighths: its corners
// scaled down and up, so that it covers the whole area.
QRect JpegDecoder::scaledArea(QRect area, int eighths) const
{
    const auto down = [eighths](int value) { return int(qint64(value) * eighths / 8); };
    const auto up = [eighths](int value) { return int((qint64(value) * eighths + 7) / 8); };
    const QSize output = scaledSize(eighths);
    const int left = std::min(down(area.x()), output.width() - 1);
    const int top = std::min(down(area.y()), output.height() - 1);
    const int right = std::clamp(up(area.x() + area.width()), left + 1, output.width());
    const int bottom = std::clamp(up(area.y() + area.height()), top + 1, output.height());
    return QRect(left, top, right - left, bottom - top);
}

// Reads the output rows of out (the crop already set), copying each row's
// columns of out from the row libjpeg wrote into rowBuffer, whose first
// column is libjpeg's cropped left edge. Stops early, as readRows() does,
// when a single scan's data has run out.
bool JpegDecoder::readAreaRows(QRect out, uchar* rowBuffer, QImage& image, int& rowsDone)
{
    const int channels = image.format() == QImage::Format_Grayscale8 ? 1 : 4;
    const int skipLeft = out.x() - int(cropOffset_);
    const bool singleScan = !jpeg_has_multiple_scans(&cinfo_);
    while (int(cinfo_.output_scanline) < out.y() + out.height()) {
        const int row = int(cinfo_.output_scanline);
        JSAMPROW rows[1] = {rowBuffer};
        jpeg_read_scanlines(&cinfo_, rows, 1);
        if (row >= out.y()) {
            std::memcpy(image.scanLine(row - out.y()), rowBuffer + qsizetype(skipLeft) * channels,
                        size_t(out.width()) * size_t(channels));
            rowsDone = row - out.y() + 1;
        }
        if (singleScan && (errors_.dataEnded || (errors_.hitMarker && cinfo_.restart_interval == 0)))
            return false;
    }
    return true;
}

Failure JpegDecoder::decodeArea(QRect area, QSize cover, QImage& image)
{
    report_ = {};
    if (!headerRead_)
        return Failure::Damaged;
    area &= QRect(QPoint(0, 0), size());
    if (area.isEmpty())
        return Failure::Damaged;
    int eighths = 8;
    while (eighths > 1 && scaledArea(area, eighths - 1).width() >= cover.width() &&
           scaledArea(area, eighths - 1).height() >= cover.height())
        --eighths;
    bool multipleScans = false;
    if (const Failure failure = startOutput(eighths, false, multipleScans); failure != Failure::None)
        return failure;
    const QRect out = scaledArea(area, eighths);
    target_ = out.size();
    const int channels = cinfo_.out_color_space == JCS_GRAYSCALE ? 1 : 4;
    // One output row of the whole width: the crop is never wider.
    const qint64 rowBufferBytes = qint64(cinfo_.output_width) * channels;
    if (const Failure tooLarge = checkMemory(out.size(), rowBufferBytes, multipleScans); tooLarge != Failure::None)
        return tooLarge;

    const QByteArray cmykProfile = cinfo_.out_color_space == JCS_CMYK ? iccProfile() : QByteArray();
    QImage decoded =
        NewLargeImage(out.width(), out.height(), channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    std::vector<uchar> rowBuffer(static_cast<size_t>(rowBufferBytes));
    if (decoded.isNull())
        return Failure::TooLarge;
    // Decoding starts a little left of the area and ends a little right of
    // it, so that its edge columns are upsampled from their true neighbours
    // rather than from the edge of libjpeg's crop. (Its skip of the rows
    // above reads the rows upsampling needs itself.)
    const int leadX = std::min(out.x(), AreaLead);
    int rowsDone = 0;
    const bool ok = guarded(errors_, [&] {
        absorbingScans_ = multipleScans;
        jpeg_start_decompress(&cinfo_);
        absorbingScans_ = false;
        // libjpeg moves the crop's left edge to a whole column of MCUs.
        cropOffset_ = JDIMENSION(out.x() - leadX);
        JDIMENSION width =
            JDIMENSION(std::min(out.width() + leadX + AreaLead, int(cinfo_.output_width) - int(cropOffset_)));
        jpeg_crop_scanline(&cinfo_, &cropOffset_, &width);
        if (out.y() > 0)
            jpeg_skip_scanlines(&cinfo_, JDIMENSION(out.y()));
        readAreaRows(out, rowBuffer.data(), decoded, rowsDone);
    });
    report_.rowsDecoded = rowsDone;
    report_.scans = cinfo_.input_scan_number;
    report_.bytesRead = source_.consumed();
    guarded(errors_, [&] { jpeg_abort_decompress(&cinfo_); });
    if (!ok)
        return failureAfterError();
    report_.rowsFilled = decoded.height() - rowsDone;
    fillWithGrey(decoded, rowsDone);
    if (cinfo_.out_color_space == JCS_CMYK && !ConvertCmykToSrgb(decoded, cmykProfile, cinfo_.saw_Adobe_marker))
        convertCmyk(decoded);
    image = std::move(decoded);
    return Failure::None;
}

} // namespace Pictures
