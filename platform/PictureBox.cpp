#include "PictureBox.h"

#include "Colors.h"
#include "Twips.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : ClickableWidget(parent), TwipsPlacement(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setBackColor(int color)
{
    backColor_ = color;
    ClearPicture();
}

void PictureBox::ensureCanvas()
{
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = size() * ratio;
    if (canvas_.size() == wanted && canvas_.devicePixelRatio() == ratio)
        return;
    QImage fresh(wanted.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(ToQColor(backColor_));
    if (!canvas_.isNull()) {
        QPainter painter(&fresh);
        painter.drawImage(QPointF(0, 0), canvas_);
    }
    canvas_ = std::move(fresh);
}

void PictureBox::ClearPicture()
{
    ensureCanvas();
    canvas_.fill(ToQColor(backColor_));
    lastPrinted_.clear();
    update();
}

void PictureBox::Cls()
{
    ClearPicture();
    currentY_ = Twips();
}

void PictureBox::Print(const QString& text)
{
    ensureCanvas();
    QPainter painter(&canvas_);
    painter.setFont(font_);
    painter.setPen(ToQColor(foreColor_));
    const QFontMetricsF metrics(font_, &canvas_);
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (const QString& line : lines.split(u'\n')) {
        const double top = currentY_.pixelsF();
        painter.drawText(QPointF(0, top + metrics.ascent()), line);
        lastPrinted_ = line;
        currentY_ += Twips::fromPixels(metrics.height());
    }
    update();
}

void PictureBox::PaintPicture(const QImage& image, Twips x, Twips y, Twips width, Twips height)
{
    ensureCanvas();
    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target(x.pixelsF(), y.pixelsF(), width.pixelsF(), height.pixelsF());
    painter.drawImage(target, image);
    update();
}

void PictureBox::Refresh()
{
    ensureCanvas();
    update();
}

void PictureBox::setMousePointer(MousePointer pointer)
{
    pointer_ = pointer;
    applyCursor();
}

void PictureBox::setMouseIcon(const QCursor& icon)
{
    icon_ = icon;
    applyCursor();
}

void PictureBox::applyCursor()
{
    switch (pointer_) {
    case MousePointer::Default:
        unsetCursor();
        break;
    case MousePointer::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case MousePointer::Custom:
        setCursor(icon_);
        break;
    }
}

void PictureBox::setLoadedPicture(Pictures::Picture picture)
{
    picture_ = std::move(picture);
    setWidth(Twips::fromPixels(picture_->fileSize.width()));
    setHeight(Twips::fromPixels(picture_->fileSize.height()));
}

int PictureBox::ScaleWidthPixels() const
{
    return picture_ ? picture_->fileSize.width() : 0;
}

int PictureBox::ScaleHeightPixels() const
{
    return picture_ ? picture_->fileSize.height() : 0;
}

const QImage& PictureBox::canvas()
{
    ensureCanvas();
    return canvas_;
}

QColor PictureBox::PixelAt(Twips x, Twips y)
{
    ensureCanvas();
    const qreal ratio = canvas_.devicePixelRatio();
    const QPoint device(int(x.pixelsF() * ratio), int(y.pixelsF() * ratio));
    if (!canvas_.rect().contains(device))
        return {};
    return canvas_.pixelColor(device);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    ensureCanvas();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), canvas_);
}
