#pragma once

#include "Animation.h"
#include "InfoPanel.h"
#include "InfoPanelText.h"
#include "KeyActions.h"
#include "Overlay.h"
#include "OverlayText.h"
#include "Pipeline.h"
#include "SlideshowOrder.h"
#include "Viewport.h"
#include "WheelNotches.h"
#include "ZoomedPart.h"

#include <QHash>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <optional>

class Browsing;
class QMenu;
class QScreen;

// The full-screen picture view: a top-level window of its own that steps
// through the pictures of what is browsed, one at a time on black, placed by a
// zoom mode or zoomed and panned, with an information panel, a one-line
// overlay, a slideshow and turning on screen only. What the user sets here
// (modes, overlay, slideshow) is kept while the program runs. It reads the folder and its names from what is
// browsed (and keeps no copy of them) and knows nothing of the main window:
// the window opens it on an entry and hears where it was left.
class FullScreenView : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultSlideshowDelay{4000};
    static constexpr std::chrono::milliseconds PointerHideDelay{1500};
    // How long the overlay shows a change (of the slideshow, the zoom mode)
    // when it is off.
    static constexpr std::chrono::milliseconds OverlayFlash{2000};

    FullScreenView(const Browsing& browsing, Pictures::Pipeline& pictures, QWidget* parent = nullptr);

    // Shows list entry `entry` of what is browsed full screen on `screen`,
    // and steps through all of them from there. `standIn`, a smaller picture
    // of the same file at hand (the enlarged view's, a thumbnail), is drawn
    // scaled up where the picture goes until it is decoded for the screen.
    void open(int entry, QScreen* screen, const std::optional<Pictures::Picture>& standIn = std::nullopt);
    // What the view asks the pipeline for to show `path` on a screen of
    // `box` device pixels.
    static Pictures::Request ScreenRequest(const QString& path, QSize box);
    void setSlideshowDelay(std::chrono::milliseconds delay);

    // What is shown now, for the window's menus and for the tests.
    int entry() const { return entry_; }
    const Viewport& viewport() const { return viewport_; }
    int quarterTurns() const;
    bool hasPicture() const { return shownEntry_ == entry_ && !screenImage_.isNull(); }
    // Stepped on faster than pictures decode: a quick small picture of the
    // entry stepped to, or of one passed on the way, is drawn until the
    // entry's own picture lands.
    bool showsPreview() const { return shownEntry_ != entry_ && previewEntry_ >= 0; }
    bool showsOneToOnePixels() const;
    bool slideshowRunning() const { return slideshowOn_; }
    bool infoShown() const { return infoShown_; }
    const Animation& animation() const { return animation_; }
    InfoPanelText infoPanel() const;
    bool overlayShown() const { return overlayShown_; }
    // The overlay is on screen: shown, or showing a change for a moment.
    bool overlayOnScreen() const { return overlayShown_ || overlayFlash_.isActive(); }
    OverlayText overlayText() const;
    const Overlay& overlay() const { return overlay_; }
    std::chrono::milliseconds slideshowDelay() const { return slideshow_.intervalAsDuration(); }
    const SlideshowOrder& slideshowOrder() const { return slideshowOrder_; }

    // The actions of the keys, for the context menu and the window.
    void act(KeyActions::Action action);
    void stepBy(int by);
    void goTo(int entry);
    void rotate(int quarterTurns);
    void toggleOneToOne(QPointF anchor);
    void zoomIn(QPointF anchor);
    void zoomOut(QPointF anchor);
    void toggleInfo();
    void toggleOverlay();
    void setZoomMode(Viewport::Mode mode);
    void toggleEnlargeSmall();
    void toggleKeepZoom();
    void toggleSlideshow();
    // One step of SlideshowDelay longer (1) or shorter (-1).
    void changeSlideshowDelay(int direction);
    void toggleSlideshowLoop();
    void toggleSlideshowRandom();
    void leave();

signals:
    // Left with Escape, F or F11 (or closed): the last entry shown.
    void closed(int entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString pathOf(int entry) const;
    Pictures::Request screenRequest(int entry) const;
    Pictures::Request previewRequest(int entry) const;
    Pictures::Request partRequest(const ZoomedPart::Wanted& wanted) const;
    QSize screenBox() const;
    double devicePixelRatio() const;
    QPointF pointerInDevicePixels() const;
    bool needsPart() const;
    bool partCoversScreen() const;
    std::optional<ZoomedPart::Wanted> partAhead() const;
    ZoomedPart::Wanted nextPart(QRect visible, double scale) const;

    void showEntry(int entry);
    void takeDecodedPictures();
    void takePreview();
    void takePart();
    void installScreenPicture(const Pictures::Result& result);
    void prefetchNeighbours();
    void drawVisible(QPainter& painter, const QImage& source, QRectF target) const;
    void drawPicture(QPainter& painter);
    void drawPreview(QPainter& painter);
    void turnImages();
    void fitTurnedPicture();
    void prepareFittedImage();
    void viewportChanged();
    void panBy(QPointF by);
    void slideshowStep();
    void showPointer();
    void listingChanged();
    void paintInfoPanel(QPainter& painter);
    void zoomModeChanged();
    // Shows the overlay for a moment, with the slideshow's part or without.
    void flashOverlay(bool slideshow);
    void addZoomMenu(QMenu& menu);
    void addSlideshowMenu(QMenu& menu);
    void setPreview(int entry, const Pictures::Picture& picture);

    const Browsing& browsing_;
    Pictures::Pipeline& pictures_;
    int entry_ = -1;
    // The entry whose picture is on the screen: the previous one stays there
    // until the picture stepped to is decoded.
    int shownEntry_ = -1;
    QSize fileSize_;     // upright, before turning
    QImage screenImage_; // decoded for the fitted screen
    QImage turnedScreen_;
    QImage fitted_; // the turned screen picture at its fitted size
    // Zoomed past the screen picture's pixels: the part on screen decoded
    // again, the part asked for (shown once it lands), and whether the file
    // gave none (it is then too large for the decoding limits even in part).
    ZoomedPart part_;
    std::optional<ZoomedPart::Wanted> partAsked_;
    bool partFailed_ = false;
    // The 1:1 part about the pointer decoded ahead while the fitted picture
    // is looked at.
    std::optional<ZoomedPart::Wanted> partAhead_;
    bool neighboursLetGo_ = false; // for a part: decoded ahead again once it is shown
    // A quick small decode of the entry stepped to (a held key passes
    // pictures faster than they decode), drawn until its own picture lands,
    // and the entry passed whose preview was still on its way.
    // The enlarged view's picture or a thumbnail, given when the full screen
    // opens, serves as the first preview. Scaled once to where the picture
    // will lie, at previewAt_ (device pixels).
    int previewEntry_ = -1;
    int passedPreview_ = -1;
    QImage preview_;
    QPointF previewAt_;
    bool prefetchAfterPaint_ = false; // the neighbours, once the next paint is done
    qint64 fileBytes_ = -1;
    // What the decode read from the file's EXIF block with its header.
    Pictures::PictureInfo info_;
    // Quarter turns clockwise per path, kept while the program runs.
    QHash<QString, int> turns_;

    Viewport viewport_;
    bool infoShown_ = false;
    InfoPanel panel_;
    bool overlayShown_ = false;
    Overlay overlay_;
    QTimer overlayFlash_;
    bool flashSlideshow_ = false;
    // An animated GIF's frames, drawn fitted in place of its still picture.
    Animation animation_;
    QTimer slideshow_;
    bool slideshowOn_ = false;
    SlideshowOrder slideshowOrder_;
    QTimer hidePointer_;
    // The pointer at rest again over a fitted picture: the 1:1 part about it
    // is decoded ahead.
    QTimer pointerRested_;
    std::optional<QPointF> dragFrom_;
    WheelNotches wheel_;
};
