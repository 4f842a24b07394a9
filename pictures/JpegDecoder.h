#pragma once

#include "Decode.h"
#include "JpegErrorManager.h"
#include "JpegSource.h"
#include "MemoryReservation.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <vector>

namespace Pictures {

// Decodes one JPEG with libjpeg, at the smallest of libjpeg's scales (1/8 to
// 8/8) that covers the size wanted, straight into a QImage. What it costs is
// judged from what libjpeg itself parsed in the header: a decode that would
// pass the memory limit is refused before anything large is allocated, a
// progressive file is stopped after a bounded number of scans, and when the
// data runs out the rest of the picture is filled with the grey libjpeg
// would decode it as, instead of being decoded row by row.
class JpegDecoder {
public:
    // Reads the file from its current position; fd stays the caller's.
    explicit JpegDecoder(int fd);
    // Reads bytes that stay valid for the decoder's life.
    explicit JpegDecoder(QByteArrayView bytes);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Reads the markers up to the first scan. Failure::None when the frame
    // header is usable; the getters below need it.
    Failure readHeader();
    QSize size() const;
    bool progressive() const;
    // The payload of the first EXIF APP1 marker ("Exif\0\0" and on), if any.
    const QByteArray& exifPayload() const { return exif_; }
    // The embedded ICC profile, empty when there is none or it is broken.
    QByteArray iccProfile();

    // Decodes at the smallest scale whose size covers `cover`, in the
    // stored orientation. dcOnly lets a progressive file that is decoded at
    // 1/8 stop reading once every component's DC coefficients have come (a
    // thumbnail's quality at a fraction of the work). The scaled copy the
    // caller makes afterwards (of size `cover`) is counted in the limit.
    // What it needs is reserved in the process's shared budget first (and
    // held until the decoder goes, so the caller's copy is covered too);
    // a decode past its time or no longer wanted stops at its next progress
    // check. shrinkToLimits: a decode that would pass the memory limit is
    // made at the largest smaller scale that does not, and the target
    // shrinks with it, instead of failing.
    Failure decode(QSize cover, bool dcOnly, QImage& image, bool shrinkToLimits = false);
    // Decodes only the part `area` (stored pixels, within size()) of the
    // picture, at the smallest scale at which that part covers `cover`:
    // libjpeg reads every row down to the area's last but decodes only the
    // area's columns, and skips the rows above it without their inverse
    // transforms. The image is exactly the area at that scale, the same
    // pixels a decode of the whole picture at that scale has there. Its
    // memory is judged and reserved as decode()'s is.
    Failure decodeArea(QRect area, QSize cover, QImage& image);
    // The size the last decode's image is to be scaled to: `cover`, or for a
    // decode made smaller, its own size or the largest of cover's shape
    // within it. The copies counted before decoding are those of this size.
    QSize target() const { return target_; }

    // Whether the caller turns or mirrors the decoded picture afterwards (a
    // copy the limit must count); a picture stored upright needs none, which
    // lets a large one be shown whole.
    void setTurnedAfterwards(bool turned) { turnedAfterwards_ = turned; }

    // What the last decode did, for tests and benchmarks.
    struct Report {
        int rowsDecoded = 0; // rows libjpeg produced
        int rowsFilled = 0;  // rows filled with grey after the data ran out
        int scans = 0;       // scans read (progressive and multi-scan files)
        bool dcOnly = false;
        qint64 bytesRead = 0;
    };
    const Report& report() const { return report_; }
    // True when libjpeg found nothing to complain about.
    bool clean() const { return errors_.warnings == 0; }

private:
    static QSize targetFor(QSize output, QSize cover);
    qint64 copiesAfterwards(QSize output, QSize target, bool grey) const;
    static boolean keepApplicationMarker(j_decompress_ptr cinfo);
    static void checkProgress(j_common_ptr cinfo);
    void countScanWork();
    void stopIfGuardSays();
    QSize scaledSize(int eighths) const;
    int largestScaleWithin(int eighths, QSize cover, bool keepsCoefficients) const;
    void setUp();
    Failure failureAfterError() const;
    int scaleCovering(QSize cover) const;
    qint64 coefficientBytes() const;
    bool everyComponentHasDc() const;
    Failure checkMemory(QSize decoded, qint64 buffers, bool keepsCoefficients);
    Failure startOutput(int eighths, bool buffered, bool& multipleScans);
    QRect scaledArea(QRect area, int eighths) const;
    bool readAreaRows(QRect out, uchar* rowBuffer, QImage& image, int& rowsDone);
    bool readRows(uchar* bits, qsizetype bytesPerLine, bool singleScan);
    bool readDcScans();
    void fillWithGrey(QImage& image, int fromRow) const;
    void convertCmyk(QImage& image) const;

    jpeg_decompress_struct cinfo_{};
    JpegErrorManager errors_;
    JpegSource source_;
    jpeg_progress_mgr progress_{};
    bool created_ = false;
    bool headerRead_ = false;
    bool absorbingScans_ = false; // libjpeg is reading scans into its coefficient buffer
    qint64 blockVisits_ = 0;
    QByteArray exif_;
    std::vector<QByteArray> iccChunks_;
    qint64 iccBytes_ = 0;
    Report report_;
    Failure stopped_ = Failure::None; // why the guard stopped the decode
    MemoryReservation memory_;
    bool turnedAfterwards_ = true;
    QSize target_;
    JDIMENSION cropOffset_ = 0; // an area's left edge as libjpeg crops it
};

} // namespace Pictures
