#pragma once

#include "InfoPanel.h"
#include "InfoPanelText.h"
#include "KeyActions.h"
#include "Pipeline.h"
#include "Viewport.h"
#include "WheelNotches.h"

#include <QHash>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <chrono>

class Browsing;
class QScreen;

// The full-screen picture view: a top-level window of its own that steps
// through the pictures of what is browsed, one at a time on black, fitted to
// the screen or zoomed and panned, with an information panel, a slideshow and
// turning on screen only. It reads the folder and its names from what is
// browsed (and keeps no copy of them) and knows nothing of the main window:
// the window opens it on an entry and hears where it was left.
class FullScreenView : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultSlideshowDelay{4000};
    static constexpr std::chrono::milliseconds PointerHideDelay{1500};

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
    bool showsOneToOnePixels() const;
    bool slideshowRunning() const { return slideshowOn_; }
    bool infoShown() const { return infoShown_; }
    InfoPanelText infoPanel() const;

    // The actions of the keys, for the context menu and the window.
    void act(KeyActions::Action action);
    void stepBy(int by);
    void goTo(int entry);
    void rotate(int quarterTurns);
    void toggleOneToOne(QPointF anchor);
    void zoomIn(QPointF anchor);
    void zoomOut(QPointF anchor);
    void toggleInfo();
    void toggleSlideshow();
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
    Pictures::Request oneToOneRequest(int entry) const;
    QSize screenBox() const;
    double devicePixelRatio() const;
    QPointF pointerInDevicePixels() const;
    bool needsOneToOneDecode() const;

    void showEntry(int entry);
    void takeDecodedPictures();
    void installScreenPicture(const Pictures::Result& result);
    void prefetchNeighbours();
    void turnImages();
    void fitTurnedPicture();
    void prepareFittedImage();
    void viewportChanged();
    void panBy(QPointF by);
    void slideshowStep();
    void showPointer();
    void listingChanged();
    void paintInfoPanel(QPainter& painter);
    void takeStandIn(const std::optional<Pictures::Picture>& standIn);

    const Browsing& browsing_;
    Pictures::Pipeline& pictures_;
    int entry_ = -1;
    // The entry whose picture is on the screen: the previous one stays there
    // until the picture stepped to is decoded.
    int shownEntry_ = -1;
    QSize fileSize_;       // upright, before turning
    QImage screenImage_;   // decoded for the fitted screen
    QImage oneToOneImage_; // decoded at the file's size, once zoomed past the screen's
    bool oneToOneFailed_ = false;
    QImage turnedScreen_;
    QImage turnedOneToOne_;
    QImage fitted_; // the turned screen picture at its fitted size
    // Shown, turned and scaled to fit, at standInAt_ (device pixels) until
    // the first picture is decoded, rather than a black screen.
    QImage standIn_;
    QPointF standInAt_;
    bool prefetchAfterPaint_ = false; // the neighbours, once the next paint is done
    qint64 fileBytes_ = -1;
    // What the decode read from the file's EXIF block with its header.
    Pictures::PictureInfo info_;
    // Quarter turns clockwise per path, kept while the program runs.
    QHash<QString, int> turns_;

    Viewport viewport_;
    bool infoShown_ = false;
    InfoPanel panel_;
    QTimer slideshow_;
    bool slideshowOn_ = false;
    QTimer hidePointer_;
    std::optional<QPointF> dragFrom_;
    WheelNotches wheel_;
};
