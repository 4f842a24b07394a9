#include "FullScreenView.h"

#include "Browsing.h"
#include "FolderService.h"
#include "NativeName.h"

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
    connect(&slideshow_, &QTimer::timeout, this, &FullScreenView::slideshowStep);
    connect(&hidePointer_, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });
    connect(&pictures_, &Pictures::Pipeline::resultReady, this, &FullScreenView::takeDecodedPictures);
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
    entry_ = browsing_.clampedEntry(entry);
    takeStandIn(standIn);
    showEntry(entry_);
}

// Placed as the decoded picture will be: the file's size, turned as the
// file is turned here, fitted to the screen. Scaled up once, smoothly, so
// that each paint until the picture lands costs one image drawn.
void FullScreenView::takeStandIn(const std::optional<Pictures::Picture>& standIn)
{
    standIn_ = {};
    if (!standIn || standIn->image.isNull() || standIn->fileSize.isEmpty())
        return;
    const int turns = quarterTurns();
    Viewport fit;
    fit.setScreen(QSizeF(size()) * devicePixelRatio());
    fit.setPicture(QSizeF(turns % 2 ? standIn->fileSize.transposed() : standIn->fileSize));
    standInAt_ = fit.pictureRect().topLeft();
    const QImage turned = turns == 0 ? standIn->image : standIn->image.transformed(QTransform().rotate(90.0 * turns));
    standIn_ = turned.scaled(fit.pictureRect().size().toSize().expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
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
    return !viewport_.isFitted() && std::abs(viewport_.scale() - 1) < 1e-9 && !turnedOneToOne_.isNull() &&
           turnedOneToOne_.size() == (quarterTurns() % 2 ? fileSize_.transposed() : fileSize_);
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
        // Decoded for 1:1 but smaller than the file: it was too large for the limits.
        if (!oneToOneImage_.isNull() && oneToOneImage_.size() != fileSize_)
            panel.reducedTo = oneToOneImage_.size();
        // Refused whole: what is shown is the picture decoded for the screen.
        else if (oneToOneFailed_)
            panel.reducedTo = screenImage_.size();
    }
    return panel;
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

Pictures::Request FullScreenView::oneToOneRequest(int entry) const
{
    return {{NativeName::Encode(pathOf(entry))}, QSize(), Pictures::Purpose::Screen};
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

// Zoomed further than the screen picture's own pixels reach.
bool FullScreenView::needsOneToOneDecode() const
{
    if (screenImage_.isNull() || fileSize_.isEmpty())
        return false;
    const int imageLong = std::max(screenImage_.width(), screenImage_.height());
    const int fileLong = std::max(fileSize_.width(), fileSize_.height());
    return viewport_.scale() * fileLong > imageLong + 0.5;
}

void FullScreenView::showEntry(int entry)
{
    entry_ = entry;
    wheel_.reset();
    // Until the picture stepped to is decoded, the one shown is drawn from
    // its screen picture: its 1:1 copy (96 MB for 24 MP) goes now, not when
    // the next one lands, so that the pictures held here beside the
    // pipeline's screen cache stay few and screen-sized.
    if (entry_ != shownEntry_) {
        oneToOneImage_ = turnedOneToOne_ = {};
        oneToOneFailed_ = false;
    }
    takeDecodedPictures();
    // The neighbours are decoded once the picture is drawn: decoding on
    // every core, they would slow the drawing and the X server's copy of it.
    // A window that is not drawn (not on screen) asks for them a moment later.
    prefetchAfterPaint_ = true;
    QTimer::singleShot(PrefetchPatience, this, [this] {
        if (std::exchange(prefetchAfterPaint_, false))
            prefetchNeighbours();
    });
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
    standIn_ = {}; // of the picture left
    showEntry(entry);
}

// Called after each step and whenever the pipeline has decoded something:
// takes what the entry shown needs, or makes sure it is on its way.
void FullScreenView::takeDecodedPictures()
{
    if (entry_ < 0 || !isVisible())
        return;
    if (shownEntry_ != entry_) {
        if (const std::optional<Pictures::Result> result = pictures_.tryGet(screenRequest(entry_)))
            installScreenPicture(*result);
        else
            return;
    }
    if (oneToOneImage_.isNull() && !oneToOneFailed_ && needsOneToOneDecode()) {
        if (const std::optional<Pictures::Result> result = pictures_.tryGet(oneToOneRequest(entry_))) {
            oneToOneFailed_ = !result->decoded;
            if (result->decoded)
                oneToOneImage_ = result->decoded.picture->image;
            turnImages();
            update();
        }
    }
}

void FullScreenView::installScreenPicture(const Pictures::Result& result)
{
    shownEntry_ = entry_;
    oneToOneImage_ = {};
    oneToOneFailed_ = false;
    standIn_ = {};
    const std::optional<Pictures::Picture>& picture = result.decoded.picture;
    screenImage_ = picture ? picture->image : QImage();
    fileSize_ = picture ? picture->fileSize : QSize();
    fileBytes_ = picture ? picture->fileBytes : -1;
    info_ = picture ? picture->info : Pictures::PictureInfo();
    turnImages();
    fitTurnedPicture();
    update();
    // The slideshow's delay runs from the moment a picture is on screen.
    if (slideshowOn_)
        slideshow_.start();
}

// The pictures either side, decoded at screen size while nothing else waits.
void FullScreenView::prefetchNeighbours()
{
    std::vector<Pictures::Request> ahead;
    for (const int entry : browsing_.neighboursOf(entry_))
        ahead.push_back(screenRequest(entry));
    pictures_.prefetch(ahead);
}

// Applies the entry's turning to the decoded pictures and fits the result.
void FullScreenView::turnImages()
{
    const int turns = quarterTurns();
    const QTransform turn = QTransform().rotate(90.0 * turns);
    turnedScreen_ = turns == 0 || screenImage_.isNull() ? screenImage_ : screenImage_.transformed(turn);
    turnedOneToOne_ = turns == 0 || oneToOneImage_.isNull() ? oneToOneImage_ : oneToOneImage_.transformed(turn);
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
// differ by) is drawn as it is. Zoomed, there is nothing to prepare: the
// picture's rectangle is then the zoomed one, and scaling the screen picture
// up to it would cost a quarter of a second and a copy as large as 1:1.
void FullScreenView::prepareFittedImage()
{
    fitted_ = {};
    if (turnedScreen_.isNull() || !viewport_.isFitted())
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
    standIn_ = {};
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
    update();
}

void FullScreenView::toggleInfo()
{
    infoShown_ = !infoShown_;
    update();
}

void FullScreenView::toggleSlideshow()
{
    slideshowOn_ = !slideshowOn_;
    if (slideshowOn_)
        slideshow_.start();
    else
        slideshow_.stop();
}

// The slideshow ends at the last picture; a picture not yet decoded is
// waited for, its delay starting once it is shown.
void FullScreenView::slideshowStep()
{
    if (entry_ + 1 >= browsing_.entryCount()) {
        slideshowOn_ = false;
        return;
    }
    stepBy(1);
    if (shownEntry_ == entry_)
        slideshow_.start();
}

void FullScreenView::leave()
{
    if (!isVisible())
        return;
    slideshowOn_ = false;
    slideshow_.stop();
    hidePointer_.stop();
    hide();
    // The large pictures go with the view; the pipeline's cache keeps what it may.
    screenImage_ = oneToOneImage_ = turnedScreen_ = turnedOneToOne_ = standIn_ = {};
    fitted_ = {};
    shownEntry_ = -1;
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
    if (shownEntry_ < 0 && !standIn_.isNull()) {
        painter.save();
        painter.scale(1 / devicePixelRatio(), 1 / devicePixelRatio());
        painter.drawImage(standInAt_, standIn_);
        painter.restore();
    } else if (shownEntry_ >= 0 && turnedScreen_.isNull()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Obrázek nelze zobrazit"));
    } else if (!turnedScreen_.isNull()) {
        painter.save();
        // Drawn in device pixels, so that 1:1 is one file pixel to one screen pixel.
        const double ratio = devicePixelRatio();
        painter.scale(1 / ratio, 1 / ratio);
        const QRectF target = viewport_.pictureRect();
        if (viewport_.isFitted() && !fitted_.isNull()) {
            painter.drawImage(target.topLeft(), fitted_);
        } else {
            const QImage& source = !turnedOneToOne_.isNull() && needsOneToOneDecode() ? turnedOneToOne_ : turnedScreen_;
            // Source pixels per screen pixel; only the part on screen is drawn.
            const double perScreen = source.width() / target.width();
            const QRectF visible = target.intersected(QRectF(QPointF(0, 0), QSizeF(size()) * ratio));
            const QRectF from((visible.x() - target.x()) * perScreen, (visible.y() - target.y()) * perScreen,
                              visible.width() * perScreen, visible.height() * perScreen);
            // Enlarged pixels stay sharp squares; only a reduction is smoothed.
            painter.setRenderHint(QPainter::SmoothPixmapTransform, perScreen > 1.0 + 1e-9);
            painter.drawImage(visible, source, from);
        }
        painter.restore();
    }
    if (infoShown_)
        paintInfoPanel(painter);
    if (std::exchange(prefetchAfterPaint_, false))
        QTimer::singleShot(0, this, &FullScreenView::prefetchNeighbours);
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
    menu.addAction(QStringLiteral("Otočit doprava\tR"), this, [this] { rotate(1); });
    menu.addAction(QStringLiteral("Otočit doleva\tShift+R"), this, [this] { rotate(-1); });
    menu.addSeparator();
    menu.addAction(infoShown_ ? QStringLiteral("Skrýt informace\tI") : QStringLiteral("Informace\tI"), this,
                   &FullScreenView::toggleInfo);
    menu.addAction(slideshowOn_ ? QStringLiteral("Zastavit prezentaci\tS") : QStringLiteral("Prezentace\tS"), this,
                   &FullScreenView::toggleSlideshow);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Ukončit celou obrazovku\tEsc"), this, &FullScreenView::leave);
    menu.exec(event->globalPos());
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
