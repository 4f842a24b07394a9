#include "FullScreenView.h"

#include "Browsing.h"
#include "FolderService.h"
#include "NativeName.h"
#include "SlideshowDelay.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

using KeyActions::Action;

namespace {

// How far an arrow key pans a zoomed picture, in device pixels.
constexpr double ArrowPan = 100;
// How long the pointer rests before the 1:1 part about it is decoded ahead.
constexpr std::chrono::milliseconds PointerRest{300};
// The longer side a preview is decoded at: the thumbnail cameras keep in
// the EXIF block serves (160 x 120, read in a millisecond or two); without
// one, a decode at an eighth, the cheapest there is (a progressive file
// gives it from its first scans).
constexpr int PreviewSide = 160;
// The longest the neighbours wait for the picture shown to be drawn.
constexpr std::chrono::milliseconds PrefetchPatience{100};

} // namespace

FullScreenView::FullScreenView(const Browsing& browsing, Pictures::Pipeline& pictures, QWidget* parent)
    : QWidget(parent, Qt::Window), browsing_(browsing), pictures_(pictures)
{
    setWindowTitle(QStringLiteral("Kalvio – celá obrazovka"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The program ends with its main window, whether or not this one is up.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    slideshow_.setSingleShot(true);
    slideshow_.setInterval(DefaultSlideshowDelay);
    hidePointer_.setSingleShot(true);
    hidePointer_.setInterval(PointerHideDelay);
    overlayFlash_.setSingleShot(true);
    overlayFlash_.setInterval(OverlayFlash);
    connect(&overlayFlash_, &QTimer::timeout, this, qOverload<>(&FullScreenView::update));
    connect(&slideshow_, &QTimer::timeout, this, &FullScreenView::slideshowStep);
    connect(&hidePointer_, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });
    pointerRested_.setSingleShot(true);
    pointerRested_.setInterval(PointerRest);
    connect(&pointerRested_, &QTimer::timeout, this, &FullScreenView::prefetchNeighbours);
    connect(&pictures_, &Pictures::Pipeline::resultReady, this, &FullScreenView::takeDecodedPictures);
    connect(&animation_, &Animation::frameChanged, this, [this] {
        if (viewport_.isFitted())
            update();
    });
    browsing_.observe([this](Browsing::Change change, int) {
        if (change == Browsing::Change::Listing)
            listingChanged();
    });
}

void FullScreenView::open(int entry, QScreen* screen, const std::optional<Pictures::Picture>& standIn)
{
    if (browsing_.entryCount() == 0)
        return;
    shownEntry_ = -1;
    screenImage_ = {};
    if (screen) {
        // Without a window manager to honour the full-screen state the
        // geometry alone puts the window over the screen.
        setGeometry(screen->geometry());
        if (QWindow* window = windowHandle())
            window->setScreen(screen);
    }
    viewport_.setScreen(QSizeF(size()) * devicePixelRatio());
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    showPointer();
    entry_ = previewEntry_ = passedPreview_ = -1;
    preview_ = {};
    const int first = browsing_.clampedEntry(entry);
    if (standIn)
        setPreview(first, *standIn);
    showEntry(first);
}

// Placed as the decoded picture will be: the file's size, turned as the
// file is turned here, fitted to the screen. Scaled up once, smoothly, so
// that each paint until the picture lands costs one image drawn.
void FullScreenView::setPreview(int entry, const Pictures::Picture& picture)
{
    if (picture.image.isNull() || picture.fileSize.isEmpty())
        return;
    const int turns = turns_.value(pathOf(entry));
    Viewport fit;
    fit.setScreen(QSizeF(size()) * devicePixelRatio());
    fit.setPicture(QSizeF(turns % 2 ? picture.fileSize.transposed() : picture.fileSize));
    previewAt_ = fit.pictureRect().topLeft();
    const QImage turned = turns == 0 ? picture.image : picture.image.transformed(QTransform().rotate(90.0 * turns));
    preview_ = turned.scaled(fit.pictureRect().size().toSize().expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    previewEntry_ = entry;
    passedPreview_ = -1;
    update();
}

// Another folder listed under an open full screen: its entries are no
// longer these, so it goes, without a last picture to show.
void FullScreenView::listingChanged()
{
    if (!isVisible())
        return;
    entry_ = -1;
    leave();
}

void FullScreenView::setSlideshowDelay(std::chrono::milliseconds delay)
{
    slideshow_.setInterval(std::max(delay, std::chrono::milliseconds(1)));
}

int FullScreenView::quarterTurns() const
{
    return entry_ >= 0 ? turns_.value(pathOf(entry_)) : 0;
}

bool FullScreenView::showsOneToOnePixels() const
{
    return !viewport_.isFitted() && std::abs(viewport_.scale() - 1) < 1e-9 && part_.isFullSize() &&
           part_.covers(ZoomedPart::VisibleArea(viewport_, fileSize_, quarterTurns()), 1);
}

InfoPanelText FullScreenView::infoPanel() const
{
    InfoPanelText panel;
    if (entry_ < 0)
        return panel;
    panel.name = browsing_.nameAt(entry_);
    panel.position = entry_ + 1;
    panel.count = browsing_.entryCount();
    if (shownEntry_ == entry_) {
        panel.pixelSize = fileSize_;
        panel.fileBytes = fileBytes_;
        panel.info = info_;
        // Even a part at full size was refused: what is shown is the
        // picture decoded for the screen.
        if (partFailed_)
            panel.reducedTo = screenImage_.size();
    }
    return panel;
}

OverlayText FullScreenView::overlayText() const
{
    OverlayText text;
    if (entry_ < 0)
        return text;
    text.name = browsing_.nameAt(entry_);
    text.position = entry_ + 1;
    text.count = browsing_.entryCount();
    if (hasPicture())
        text.scale = viewport_.scale();
    text.mode = viewport_.mode();
    text.enlargeSmall = viewport_.enlargesSmall();
    text.keepZoom = viewport_.keepsZoom();
    text.slideshowRunning = slideshowOn_;
    text.slideshowShown = flashSlideshow_ && overlayFlash_.isActive();
    text.delay = slideshowDelay();
    text.loop = slideshowOrder_.loops();
    text.random = slideshowOrder_.isRandom();
    return text;
}

QString FullScreenView::pathOf(int entry) const
{
    return FolderService::JoinPath(browsing_.folder(), browsing_.nameAt(entry));
}

// The picture decoded to fit the screen's box: three of them (the one shown
// and its neighbours) fit the pipeline's screen cache, and the one shown is
// drawn as it was decoded, without another scaling. The decode fits it
// itself, so nothing of the file is read here.
Pictures::Request FullScreenView::screenRequest(int entry) const
{
    return ScreenRequest(pathOf(entry), screenBox());
}

Pictures::Request FullScreenView::ScreenRequest(const QString& path, QSize box)
{
    return {{NativeName::Encode(path)}, box, Pictures::Purpose::Screen};
}

Pictures::Request FullScreenView::previewRequest(int entry) const
{
    return {{NativeName::Encode(pathOf(entry))}, Pictures::SquareBox(PreviewSide), Pictures::Purpose::Thumbnail};
}

Pictures::Request FullScreenView::partRequest(const ZoomedPart::Wanted& wanted) const
{
    return {{NativeName::Encode(pathOf(entry_))}, wanted.box, Pictures::Purpose::Screen, wanted.area};
}

QSize FullScreenView::screenBox() const
{
    return (QSizeF(size()) * devicePixelRatio()).toSize().expandedTo(QSize(1, 1));
}

double FullScreenView::devicePixelRatio() const
{
    return devicePixelRatioF();
}

QPointF FullScreenView::pointerInDevicePixels() const
{
    QPointF at = mapFromGlobal(QCursor::pos());
    if (!rect().contains(at.toPoint()))
        at = QPointF(rect().center());
    return at * devicePixelRatio();
}

// Zoomed further than the screen picture's own pixels reach, and it has
// fewer than the file.
bool FullScreenView::needsPart() const
{
    if (screenImage_.isNull() || fileSize_.isEmpty())
        return false;
    const int imageLong = std::max(screenImage_.width(), screenImage_.height());
    const int fileLong = std::max(fileSize_.width(), fileSize_.height());
    return imageLong < fileLong && viewport_.scale() * fileLong > imageLong + 0.5;
}

void FullScreenView::showEntry(int entry)
{
    const int passed = entry_;
    entry_ = entry;
    wheel_.reset();
    // Until the picture stepped to is decoded, the one shown is drawn from
    // its screen picture: its zoomed part goes now, not when the next one
    // lands, so that the pictures held here stay few and screen-sized.
    if (entry_ != shownEntry_) {
        part_.clear();
        partAsked_.reset();
        partFailed_ = false;
        partAhead_.reset();
        neighboursLetGo_ = false;
        animation_.stop();
        // What earlier steps asked for and did not get is let go: a held
        // key passes pictures faster than they decode, and each would
        // otherwise still be decoded in turn. A quick preview of this one
        // comes first, and is drawn until its own picture lands; the preview
        // of the picture just passed, if still on its way, may finish (at a
        // held key's pace no preview would land otherwise) and is drawn
        // meanwhile. The neighbours are decoded ahead once the picture lands.
        if (!pictures_.tryGet(screenRequest(entry_))) {
            std::vector<Pictures::Request> now{previewRequest(entry_), screenRequest(entry_)};
            passedPreview_ = passed >= 0 && passed != shownEntry_ && passed != previewEntry_ ? passed : -1;
            if (passedPreview_ >= 0)
                now.push_back(previewRequest(passedPreview_));
            pictures_.submit(now);
            pictures_.prefetch({});
        }
    }
    takeDecodedPictures();
    update();
}

void FullScreenView::stepBy(int by)
{
    if (entry_ < 0)
        return;
    // At either end it stays.
    goTo(browsing_.clampedEntry(entry_ + by));
}

void FullScreenView::goTo(int entry)
{
    if (entry_ < 0 || entry == entry_ || entry < 0 || entry >= browsing_.entryCount())
        return;
    showEntry(entry);
}

// Called after each step and whenever the pipeline has decoded something:
// takes what the entry shown needs, or makes sure it is on its way.
void FullScreenView::takeDecodedPictures()
{
    if (entry_ < 0 || !isVisible())
        return;
    if (shownEntry_ != entry_) {
        if (const std::optional<Pictures::Result> result = pictures_.tryGet(screenRequest(entry_))) {
            installScreenPicture(*result);
        } else {
            takePreview();
            return;
        }
    }
    takePart();
}

void FullScreenView::takePreview()
{
    for (const int entry : {entry_, passedPreview_}) {
        if (entry < 0 || entry == previewEntry_)
            return;
        const std::optional<Pictures::Result> result = pictures_.tryGet(previewRequest(entry));
        if (!result || !result->decoded)
            continue;
        setPreview(entry, *result->decoded.picture);
        return;
    }
}

// Zoomed past the screen picture's pixels: takes the part asked for once it
// lands, and asks for a new one before panning reaches the held part's edge.
void FullScreenView::takePart()
{
    if (!needsPart() || partFailed_)
        return;
    const int turns = quarterTurns();
    if (partAsked_) {
        const std::optional<Pictures::Result> result = pictures_.tryGet(partRequest(*partAsked_));
        if (!result)
            return;
        partAsked_.reset();
        if (result->decoded)
            part_.take(*result->decoded.picture, turns);
        else
            partFailed_ = true;
        update();
        if (partFailed_) {
            if (std::exchange(neighboursLetGo_, false))
                prefetchNeighbours();
            return;
        }
    }
    const double scale = viewport_.scale();
    const QRect visible = ZoomedPart::VisibleArea(viewport_, fileSize_, turns);
    const int halfMargin = int(std::ceil(ZoomedPart::MarginPixels / 2 / scale));
    const QRect soon =
        visible.adjusted(-halfMargin, -halfMargin, halfMargin, halfMargin).intersected(QRect(QPoint(0, 0), fileSize_));
    const ZoomedPart::Wanted wanted = part_.covers(soon, scale) ? ZoomedPart::Wanted{} : nextPart(visible, scale);
    // Held already, or as far as the picture's edge goes: nothing more is
    // asked for, and what was let go for it is decoded ahead again.
    if (wanted.area.isEmpty() || (wanted.area == part_.area() && part_.covers(visible, scale))) {
        if (std::exchange(neighboursLetGo_, false))
            prefetchNeighbours();
        return;
    }
    partAhead_.reset();
    partAsked_ = wanted;
    // Decoded already (ahead, or before a turn): taken at once, and the
    // margin asked for after it.
    if (pictures_.tryGet(partRequest(wanted))) {
        takePart();
        return;
    }
    // What is looked at closely comes before the neighbours decoded ahead:
    // they are let go, and asked for again once the part has landed.
    pictures_.prefetch({});
    neighboursLetGo_ = true;
}

void FullScreenView::installScreenPicture(const Pictures::Result& result)
{
    shownEntry_ = entry_;
    part_.clear();
    partAsked_.reset();
    partFailed_ = false;
    previewEntry_ = passedPreview_ = -1;
    preview_ = {};
    const std::optional<Pictures::Picture>& picture = result.decoded.picture;
    screenImage_ = picture ? picture->image : QImage();
    fileSize_ = picture ? picture->fileSize : QSize();
    fileBytes_ = picture ? picture->fileBytes : -1;
    info_ = picture ? picture->info : Pictures::PictureInfo();
    turnImages();
    fitTurnedPicture();
    update();
    // An animated GIF plays in its place from its second frame on.
    if (picture)
        animation_.start(NativeName::Encode(pathOf(entry_)), screenBox());
    else
        animation_.stop();
    // The slideshow's delay runs from the moment a picture is on screen.
    if (slideshowOn_)
        slideshow_.start();
    // The neighbours are decoded once the picture is drawn: decoding on
    // every core, they would slow the drawing and the X server's copy of it.
    // A window that is not drawn (not on screen) asks for them a moment later.
    prefetchAfterPaint_ = true;
    QTimer::singleShot(PrefetchPatience, this, [this] {
        if (std::exchange(prefetchAfterPaint_, false))
            prefetchNeighbours();
    });
}

// The pictures either side, decoded at screen size while nothing else
// waits, and the 1:1 part about the pointer of the picture looked at.
// While the slideshow runs its next picture comes first (the first after the
// last when it loops, any in random order), and only two in all, so that
// with the one shown they still fit the screen cache.
void FullScreenView::prefetchNeighbours()
{
    if (entry_ < 0 || !isVisible())
        return;
    std::vector<int> entries;
    if (slideshowOn_) {
        if (const std::optional<int> next = slideshowOrder_.peek(entry_, browsing_.entryCount()))
            entries.push_back(*next);
    }
    for (const int entry : browsing_.neighboursOf(entry_)) {
        if (std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(entry);
    }
    entries.resize(std::min<std::size_t>(entries.size(), 2));
    std::vector<Pictures::Request> ahead;
    for (const int entry : entries)
        ahead.push_back(screenRequest(entry));
    // Looked at, the picture's part about the pointer comes first (1 may
    // follow at once); in a slideshow, the next picture.
    partAhead_ = partAhead();
    if (partAhead_)
        ahead.insert(slideshowOn_ ? ahead.end() : ahead.begin(), partRequest(*partAhead_));
    pictures_.prefetch(ahead);
}

// The part to ask for to show `visible` at `scale`: the one decoded ahead
// about the pointer, once, when it covers the screen and what is held does
// not; with nothing held there, what is on the screen alone, the quickest
// (the margin around it follows once it is shown); else the screen and its
// margin.
ZoomedPart::Wanted FullScreenView::nextPart(QRect visible, double scale) const
{
    const int turns = quarterTurns();
    const bool screenHeld = part_.covers(visible, scale);
    if (partAhead_ && !screenHeld && partAhead_->area.contains(visible) &&
        double(partAhead_->box.width()) / partAhead_->area.width() + 0.01 >= std::min(scale, 1.0))
        return *partAhead_;
    return screenHeld ? ZoomedPart::WantedFor(viewport_, fileSize_, turns)
                      : ZoomedPart::OnScreen(viewport_, fileSize_, turns);
}

// The part the 1 key would show now: the picture fitted and larger than its screen
// picture, 1:1 about the pointer.
std::optional<ZoomedPart::Wanted> FullScreenView::partAhead() const
{
    if (shownEntry_ != entry_ || screenImage_.isNull() || !viewport_.isFitted() || partFailed_)
        return std::nullopt;
    if (std::max(fileSize_.width(), fileSize_.height()) <= std::max(screenImage_.width(), screenImage_.height()))
        return std::nullopt;
    Viewport oneToOne = viewport_;
    oneToOne.toggleOneToOne(pointerInDevicePixels());
    const ZoomedPart::Wanted wanted = ZoomedPart::WantedFor(
        oneToOne, fileSize_, quarterTurns(), ZoomedPart::AheadMarginPixels, ZoomedPart::AheadMarginPixels);
    if (wanted.area.isEmpty())
        return std::nullopt;
    return wanted;
}

// Applies the entry's turning to the decoded pictures and fits the result.
void FullScreenView::turnImages()
{
    const int turns = quarterTurns();
    const QTransform turn = QTransform().rotate(90.0 * turns);
    turnedScreen_ = turns == 0 || screenImage_.isNull() ? screenImage_ : screenImage_.transformed(turn);
    // The part is asked for again, turned: the pipeline has it still.
    part_.clear();
    partAsked_.reset();
    prepareFittedImage();
}

// A new picture, or one turned, starts fitted.
void FullScreenView::fitTurnedPicture()
{
    viewport_.setPicture(QSizeF(quarterTurns() % 2 ? fileSize_.transposed() : fileSize_));
    prepareFittedImage();
}

// The fitted picture is scaled once, smoothly, rather than at every paint;
// one decoded at the fitted size (give or take the pixel the two roundings may
// differ by) is drawn as it is. Zoomed, or placed by a mode past the screen's
// edges (fill, fit width), there is nothing to prepare: the picture's
// rectangle is then larger than the screen, and scaling the screen picture
// up to it would cost a quarter of a second and a copy as large as 1:1.
void FullScreenView::prepareFittedImage()
{
    fitted_ = {};
    if (turnedScreen_.isNull() || !viewport_.isFitted() || viewport_.canPan())
        return;
    const QSize size = viewport_.pictureRect().size().toSize();
    const QSize off = turnedScreen_.size() - size;
    fitted_ = std::abs(off.width()) <= 1 && std::abs(off.height()) <= 1
                  ? turnedScreen_
                  : turnedScreen_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void FullScreenView::viewportChanged()
{
    if (viewport_.isFitted() && fitted_.isNull())
        prepareFittedImage();
    takeDecodedPictures();
    update();
}

void FullScreenView::rotate(int quarterTurns)
{
    if (entry_ < 0)
        return;
    const QString path = pathOf(entry_);
    turns_[path] = ((turns_.value(path) + quarterTurns) % 4 + 4) % 4;
    if (previewEntry_ == entry_) { // drawn unturned: its picture follows
        previewEntry_ = -1;
        preview_ = {};
    }
    if (shownEntry_ == entry_) {
        turnImages();
        fitTurnedPicture();
    }
    update();
}

void FullScreenView::toggleOneToOne(QPointF anchor)
{
    viewport_.toggleOneToOne(anchor);
    viewportChanged();
}

void FullScreenView::zoomIn(QPointF anchor)
{
    viewport_.zoomIn(anchor);
    viewportChanged();
}

void FullScreenView::zoomOut(QPointF anchor)
{
    viewport_.zoomOut(anchor);
    viewportChanged();
}

void FullScreenView::panBy(QPointF by)
{
    viewport_.pan(by);
    takeDecodedPictures();
    update();
}

void FullScreenView::toggleInfo()
{
    infoShown_ = !infoShown_;
    update();
}

void FullScreenView::toggleOverlay()
{
    overlayShown_ = !overlayShown_;
    overlayFlash_.stop();
    update();
}

void FullScreenView::flashOverlay(bool slideshow)
{
    flashSlideshow_ = slideshow;
    overlayFlash_.start();
    update();
}

void FullScreenView::setZoomMode(Viewport::Mode mode)
{
    viewport_.setMode(mode);
    zoomModeChanged();
}

void FullScreenView::toggleEnlargeSmall()
{
    // Enlarging is fitting's: it shows at once, in that mode.
    if (viewport_.mode() != Viewport::Mode::Fit)
        viewport_.setMode(Viewport::Mode::Fit);
    viewport_.setEnlargeSmall(!viewport_.enlargesSmall());
    zoomModeChanged();
}

void FullScreenView::toggleKeepZoom()
{
    viewport_.setKeepZoom(!viewport_.keepsZoom());
    flashOverlay(false);
}

// The picture placed anew: the fitted image made for the old placement
// would be drawn at the wrong size.
void FullScreenView::zoomModeChanged()
{
    prepareFittedImage();
    viewportChanged();
    flashOverlay(false);
}

void FullScreenView::toggleSlideshow()
{
    slideshowOn_ = !slideshowOn_;
    if (slideshowOn_) {
        slideshowOrder_.start(entry_, browsing_.entryCount());
        slideshow_.start();
        prefetchNeighbours();
    } else {
        slideshow_.stop();
    }
    flashOverlay(true);
}

void FullScreenView::changeSlideshowDelay(int direction)
{
    const std::chrono::milliseconds delay = slideshowDelay();
    setSlideshowDelay(direction > 0 ? SlideshowDelay::longer(delay) : SlideshowDelay::shorter(delay));
    flashOverlay(true);
}

void FullScreenView::toggleSlideshowLoop()
{
    slideshowOrder_.setLoop(!slideshowOrder_.loops());
    prefetchNeighbours();
    flashOverlay(true);
}

// Random order starts a round at the picture shown.
void FullScreenView::toggleSlideshowRandom()
{
    slideshowOrder_.setRandom(!slideshowOrder_.isRandom());
    slideshowOrder_.start(entry_, browsing_.entryCount());
    prefetchNeighbours();
    flashOverlay(true);
}

// The slideshow ends after the last picture of its round unless it loops;
// a picture not yet decoded is waited for, its delay starting once it is
// shown.
void FullScreenView::slideshowStep()
{
    const std::optional<int> next = slideshowOrder_.advance(entry_, browsing_.entryCount());
    if (!next) {
        slideshowOn_ = false;
        update();
        return;
    }
    goTo(*next);
    if (shownEntry_ == entry_)
        slideshow_.start();
}

void FullScreenView::leave()
{
    if (!isVisible())
        return;
    slideshowOn_ = false;
    slideshow_.stop();
    overlayFlash_.stop();
    hidePointer_.stop();
    hide();
    animation_.stop();
    // The large pictures go with the view; the pipeline's cache keeps what it may.
    screenImage_ = turnedScreen_ = fitted_ = preview_ = {};
    part_.clear();
    partAsked_.reset();
    partAhead_.reset();
    shownEntry_ = previewEntry_ = passedPreview_ = -1;
    pointerRested_.stop();
    emit closed(entry_);
}

void FullScreenView::showPointer()
{
    unsetCursor();
    hidePointer_.start();
}

void FullScreenView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (showsPreview()) {
        drawPreview(painter);
    } else if (shownEntry_ >= 0 && turnedScreen_.isNull()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Obrázek nelze zobrazit"));
    } else if (!turnedScreen_.isNull()) {
        drawPicture(painter);
    }
    if (infoShown_)
        paintInfoPanel(painter);
    if (overlayOnScreen())
        overlay_.paint(painter, overlayText(), rect());
}

// Drawn in device pixels, so that 1:1 is one file pixel to one screen pixel.
// Zoomed past the screen picture, the part decoded again is drawn over it
// where it reaches.
void FullScreenView::drawPicture(QPainter& painter)
{
    painter.save();
    const double ratio = devicePixelRatio();
    painter.scale(1 / ratio, 1 / ratio);
    const QRectF target = viewport_.pictureRect();
    if (viewport_.isFitted() && animation_.hasFrame()) {
        animation_.paint(painter, target, quarterTurns());
    } else if (viewport_.isFitted() && !fitted_.isNull()) {
        painter.drawImage(target.topLeft(), fitted_);
    } else {
        drawVisible(painter, turnedScreen_, target);
        if (needsPart() && !part_.isEmpty()) {
            const QRect area = part_.turnedArea();
            const double scale = viewport_.scale();
            drawVisible(painter, part_.turnedImage(),
                        QRectF(target.x() + area.x() * scale, target.y() + area.y() * scale, area.width() * scale,
                               area.height() * scale));
        }
    }
    painter.restore();
    if (std::exchange(prefetchAfterPaint_, false))
        QTimer::singleShot(0, this, &FullScreenView::prefetchNeighbours);
}

// Only the part of source (drawn over target) that is on screen is drawn.
void FullScreenView::drawVisible(QPainter& painter, const QImage& source, QRectF target) const
{
    // Source pixels per screen pixel.
    const double perScreen = source.width() / target.width();
    const QRectF visible = target.intersected(QRectF(QPointF(0, 0), QSizeF(size()) * devicePixelRatio()));
    if (visible.isEmpty())
        return;
    const QRectF from((visible.x() - target.x()) * perScreen, (visible.y() - target.y()) * perScreen,
                      visible.width() * perScreen, visible.height() * perScreen);
    // Enlarged pixels stay sharp squares; only a reduction is smoothed.
    // Placed by a mode (fill, fit width), an enlargement is smoothed too.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, perScreen > 1.0 + 1e-9 || viewport_.isFitted());
    painter.drawImage(visible, source, from);
}

// The preview, scaled once where the picture will lie.
void FullScreenView::drawPreview(QPainter& painter)
{
    painter.save();
    painter.scale(1 / devicePixelRatio(), 1 / devicePixelRatio());
    painter.drawImage(previewAt_, preview_);
    painter.restore();
}

void FullScreenView::paintInfoPanel(QPainter& painter)
{
    panel_.paint(painter, infoPanel().lines(), rect());
}

void FullScreenView::keyPressEvent(QKeyEvent* event)
{
    const std::optional<Action> action =
        KeyActions::ForKey(KeyActions::Where::FullScreen, event->key(), event->modifiers());
    if (!action) {
        QWidget::keyPressEvent(event);
        return;
    }
    act(*action);
    event->accept();
}

// What a key, the context menu or the window asks for. Zoomed past the
// screen, the arrows move the picture instead of stepping.
void FullScreenView::act(Action action)
{
    const bool pans = viewport_.canPan();
    switch (action) {
    case Action::Leave:
        leave();
        break;
    case Action::RightOrNext:
        pans ? panBy({-ArrowPan, 0}) : stepBy(1);
        break;
    case Action::LeftOrPrevious:
        pans ? panBy({ArrowPan, 0}) : stepBy(-1);
        break;
    case Action::PanUp:
        panBy({0, ArrowPan});
        break;
    case Action::PanDown:
        panBy({0, -ArrowPan});
        break;
    case Action::Next:
        stepBy(1);
        break;
    case Action::Previous:
        stepBy(-1);
        break;
    case Action::First:
        goTo(0);
        break;
    case Action::Last:
        goTo(browsing_.entryCount() - 1);
        break;
    case Action::OneToOne:
        toggleOneToOne(pointerInDevicePixels());
        break;
    case Action::ZoomIn:
        zoomIn(pointerInDevicePixels());
        break;
    case Action::ZoomOut:
        zoomOut(pointerInDevicePixels());
        break;
    case Action::Information:
        toggleInfo();
        break;
    case Action::Slideshow:
        toggleSlideshow();
        break;
    case Action::TurnClockwise:
        rotate(1);
        break;
    case Action::TurnAnticlockwise:
        rotate(-1);
        break;
    case Action::Overlay:
        toggleOverlay();
        break;
    case Action::FitScreen:
        setZoomMode(Viewport::Mode::Fit);
        break;
    case Action::FillScreen:
        setZoomMode(Viewport::Mode::Fill);
        break;
    case Action::FitWidth:
        setZoomMode(Viewport::Mode::FitWidth);
        break;
    case Action::FitHeight:
        setZoomMode(Viewport::Mode::FitHeight);
        break;
    case Action::EnlargeSmall:
        toggleEnlargeSmall();
        break;
    case Action::KeepZoom:
        toggleKeepZoom();
        break;
    case Action::SlideshowShorter:
        changeSlideshowDelay(-1);
        break;
    case Action::SlideshowLonger:
        changeSlideshowDelay(1);
        break;
    case Action::SlideshowLoop:
        toggleSlideshowLoop();
        break;
    case Action::SlideshowRandom:
        toggleSlideshowRandom();
        break;
    default: // the window's actions
        break;
    }
}

// The wheel steps (down is forward) once a whole notch has added up; with
// Ctrl it zooms about the pointer.
void FullScreenView::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int notches = wheel_.add(event->angleDelta().y());
    if (notches == 0)
        return;
    const QPointF anchor = event->position() * devicePixelRatio();
    if (event->modifiers() & Qt::ControlModifier) {
        for (int i = 0; i < std::abs(notches); ++i)
            notches > 0 ? zoomIn(anchor) : zoomOut(anchor);
    } else {
        stepBy(-notches);
    }
}

void FullScreenView::mousePressEvent(QMouseEvent* event)
{
    showPointer();
    if (event->button() == Qt::LeftButton && viewport_.canPan())
        dragFrom_ = event->position();
}

void FullScreenView::mouseMoveEvent(QMouseEvent* event)
{
    showPointer();
    if (viewport_.isFitted())
        pointerRested_.start();
    if (!dragFrom_)
        return;
    panBy((event->position() - *dragFrom_) * devicePixelRatio());
    dragFrom_ = event->position();
}

void FullScreenView::mouseReleaseEvent(QMouseEvent*)
{
    dragFrom_.reset();
}

void FullScreenView::contextMenuEvent(QContextMenuEvent* event)
{
    showPointer();
    const QPointF anchor = QPointF(event->pos()) * devicePixelRatio();
    QMenu menu(this);
    menu.addAction(QStringLiteral("Další\tMezerník"), this, [this] { stepBy(1); });
    menu.addAction(QStringLiteral("Předchozí\tBackspace"), this, [this] { stepBy(-1); });
    menu.addSeparator();
    menu.addAction(viewport_.isFitted() ? QStringLiteral("Skutečná velikost\t1")
                                        : QStringLiteral("Přizpůsobit obrazovce\t1"),
                   this, [this, anchor] { toggleOneToOne(anchor); });
    addZoomMenu(menu);
    menu.addAction(QStringLiteral("Otočit doprava\tR"), this, [this] { rotate(1); });
    menu.addAction(QStringLiteral("Otočit doleva\tShift+R"), this, [this] { rotate(-1); });
    menu.addSeparator();
    menu.addAction(infoShown_ ? QStringLiteral("Skrýt informace\tI") : QStringLiteral("Informace\tI"), this,
                   &FullScreenView::toggleInfo);
    QAction* overlay = menu.addAction(QStringLiteral("Název a zvětšení\tO"), this, &FullScreenView::toggleOverlay);
    overlay->setCheckable(true);
    overlay->setChecked(overlayShown_);
    menu.addAction(slideshowOn_ ? QStringLiteral("Zastavit prezentaci\tS") : QStringLiteral("Prezentace\tS"), this,
                   &FullScreenView::toggleSlideshow);
    addSlideshowMenu(menu);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Ukončit celou obrazovku\tEsc"), this, &FullScreenView::leave);
    menu.exec(event->globalPos());
}

// The zoom modes, one of them checked, and the two toggles.
void FullScreenView::addZoomMenu(QMenu& menu)
{
    QMenu* zoom = menu.addMenu(QStringLiteral("Zvětšení"));
    const auto addMode = [&](const QString& text, Viewport::Mode mode) {
        QAction* action = zoom->addAction(text, this, [this, mode] { setZoomMode(mode); });
        action->setCheckable(true);
        action->setChecked(viewport_.mode() == mode);
    };
    addMode(QStringLiteral("Přizpůsobit obrazovce\tW"), Viewport::Mode::Fit);
    addMode(QStringLiteral("Vyplnit obrazovku\tV"), Viewport::Mode::Fill);
    addMode(QStringLiteral("Přizpůsobit šířce\tE"), Viewport::Mode::FitWidth);
    addMode(QStringLiteral("Přizpůsobit výšce\tShift+E"), Viewport::Mode::FitHeight);
    zoom->addSeparator();
    QAction* enlarge =
        zoom->addAction(QStringLiteral("Zvětšovat malé obrázky\tShift+W"), this, &FullScreenView::toggleEnlargeSmall);
    enlarge->setCheckable(true);
    enlarge->setChecked(viewport_.enlargesSmall());
    QAction* keep =
        zoom->addAction(QStringLiteral("Ponechat zvětšení a polohu\tK"), this, &FullScreenView::toggleKeepZoom);
    keep->setCheckable(true);
    keep->setChecked(viewport_.keepsZoom());
    zoom->addSeparator();
    zoom->addAction(QStringLiteral("Zvětšit\t+"), this, [this] { zoomIn(pointerInDevicePixels()); });
    zoom->addAction(QStringLiteral("Zmenšit\t−"), this, [this] { zoomOut(pointerInDevicePixels()); });
}

void FullScreenView::addSlideshowMenu(QMenu& menu)
{
    QMenu* slideshow =
        menu.addMenu(QStringLiteral("Nastavení prezentace (%1)").arg(SlideshowDelay::text(slideshowDelay())));
    slideshow->addAction(QStringLiteral("Kratší interval\t["), this, [this] { changeSlideshowDelay(-1); });
    slideshow->addAction(QStringLiteral("Delší interval\t]"), this, [this] { changeSlideshowDelay(1); });
    QAction* loop = slideshow->addAction(QStringLiteral("Dokola\tL"), this, &FullScreenView::toggleSlideshowLoop);
    loop->setCheckable(true);
    loop->setChecked(slideshowOrder_.loops());
    QAction* random =
        slideshow->addAction(QStringLiteral("Náhodné pořadí\tN"), this, &FullScreenView::toggleSlideshowRandom);
    random->setCheckable(true);
    random->setChecked(slideshowOrder_.isRandom());
}

void FullScreenView::resizeEvent(QResizeEvent*)
{
    viewport_.setScreen(QSizeF(size()) * devicePixelRatio());
    // A screen larger than the picture decoded for it needs a new decode.
    const QSize wanted = Pictures::DecodeSize(fileSize_, screenBox());
    if (!screenImage_.isNull() &&
        std::max(screenImage_.width(), screenImage_.height()) < std::max(wanted.width(), wanted.height())) {
        shownEntry_ = -1;
        takeDecodedPictures();
    }
    prepareFittedImage();
    update();
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    leave();
    QWidget::closeEvent(event);
}
