#include "ZoomedPart.h"

#include "Orientation.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

// The viewer's quarter turns clockwise as the EXIF orientation that turns a
// picture so, and the one that turns it back.
Pictures::Orientation turning(int turns)
{
    static constexpr int Tags[] = {1, 6, 3, 8};
    return Pictures::Orientation(Tags[((turns % 4) + 4) % 4]);
}

Pictures::Orientation turningBack(int turns)
{
    return turning(4 - ((turns % 4) + 4) % 4);
}

QSize turnedSize(QSize fileSize, int turns)
{
    return turns % 2 ? fileSize.transposed() : fileSize;
}

int gridBelow(int value, int grid)
{
    return value / grid * grid;
}

int gridAbove(int value, int grid)
{
    return (value + grid - 1) / grid * grid;
}

} // namespace

QRect ZoomedPart::VisibleArea(const Viewport& viewport, QSize fileSize, int turns)
{
    const QRectF picture = viewport.pictureRect();
    const QRectF onScreen = picture.intersected(QRectF(QPointF(0, 0), viewport.screen()));
    if (onScreen.isEmpty() || fileSize.isEmpty())
        return {};
    const double scale = viewport.scale();
    const QRect turned = QRectF((onScreen.x() - picture.x()) / scale, (onScreen.y() - picture.y()) / scale,
                                onScreen.width() / scale, onScreen.height() / scale)
                             .toAlignedRect()
                             .intersected(QRect(QPoint(0, 0), turnedSize(fileSize, turns)));
    // The turned picture is the upright one turned: read back, as a stored
    // picture is from its upright one.
    return turning(turns).storedArea(turned, fileSize);
}

ZoomedPart::Wanted ZoomedPart::WantedFor(const Viewport& viewport, QSize fileSize, int turns, int marginPixels,
                                         int gridPixels)
{
    const QRect visible = VisibleArea(viewport, fileSize, turns);
    if (visible.isEmpty())
        return {};
    const double scale = viewport.scale();
    const int margin = int(std::ceil(marginPixels / scale));
    const QRect around = visible.adjusted(-margin, -margin, margin, margin);
    const QRect snapped(
        QPoint(gridBelow(std::max(around.left(), 0), gridPixels), gridBelow(std::max(around.top(), 0), gridPixels)),
        QPoint(gridAbove(around.right() + 1, gridPixels) - 1, gridAbove(around.bottom() + 1, gridPixels) - 1));
    return Fitted(snapped.intersected(QRect(QPoint(0, 0), fileSize)), scale);
}

ZoomedPart::Wanted ZoomedPart::OnScreen(const Viewport& viewport, QSize fileSize, int turns)
{
    const QRect visible = VisibleArea(viewport, fileSize, turns);
    return visible.isEmpty() ? Wanted{} : Fitted(visible, viewport.scale());
}

// Enlarged, the file's own pixels; reduced, as many as the screen shows.
ZoomedPart::Wanted ZoomedPart::Fitted(QRect area, double scale)
{
    const double pixelsPerFilePixel = std::min(scale, 1.0);
    const QSize box(std::max(1, int(std::ceil(area.width() * pixelsPerFilePixel))),
                    std::max(1, int(std::ceil(area.height() * pixelsPerFilePixel))));
    return {area, box};
}

QRect ZoomedPart::TurnedArea(QRect area, QSize fileSize, int turns)
{
    return turningBack(turns).storedArea(area, turnedSize(fileSize, turns));
}

void ZoomedPart::take(const Pictures::Picture& picture, int turns)
{
    area_ = picture.area;
    turnedArea_ = TurnedArea(area_, picture.fileSize, turns);
    turned_ = turns % 4 == 0 ? picture.image : picture.image.transformed(QTransform().rotate(90.0 * turns));
}

void ZoomedPart::clear()
{
    area_ = turnedArea_ = {};
    turned_ = {};
}

bool ZoomedPart::covers(QRect visible, double scale) const
{
    if (turned_.isNull() || !area_.contains(visible))
        return false;
    // A part decoded at an eighth scale has its edge pixel rounded up.
    const double held =
        double(std::max(turned_.width(), turned_.height())) / std::max(turnedArea_.width(), turnedArea_.height());
    return held + 0.01 >= std::min(scale, 1.0);
}
