#pragma once

#include "Browsing.h"
#include "KeyActions.h"
#include "Pipeline.h"
#include "StartListing.h"
#include "Twips.h"
#include "TwipsPlacement.h"
#include "WheelNotches.h"

#include <QMainWindow>

#include <chrono>
#include <memory>
#include <optional>

class CaptionLabel;
class CommandButton;
class EnlargedView;
class FolderSource;
class FullScreenView;
class ImageControl;
class PageGrid;
class QAction;
class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QMenu;
class QWheelEvent;

// The one window of the viewer. It owns what is browsed (the model), the
// picture pipeline, the menus and the actions that keys, menus and the wheel
// trigger (one table of keys, KeyActions), and composes parts that never
// reach one another: the folder source (source/), the page grid (grid/), the
// enlarged view (view/) and the full-screen view (fullscreen/). The parts say
// what the user did (signals); the window decides what follows from the
// model, stepping across pages and decoding ahead included, and tells the
// parts what to show. It never touches a part's widgets.
//
// GLOSSARY.md (at the top of the repository) gives each name's historic name
// (thumbnails: Obr, frames: Okno, enlarged view: ZoomOkno, …), its unit and
// the file that defines it. Capitalised properties (Width(), Left()) are
// twips, 15 to a pixel; Qt's lower-case ones (width()) pixels.
class Kalvio : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int CellCount = Browsing::CellsPerPage;
    static constexpr int GridColumns = Browsing::Columns;

    explicit Kalvio(QWidget* parent = nullptr);
    // Decodes with the picture pipeline's options given (the tests count decodes).
    explicit Kalvio(Pictures::Pipeline::Options pictures, QWidget* parent = nullptr);
    // Started full screen on the picture at `fullScreenPath` (escaped native
    // path): its decode for the screen starts before the window is built.
    Kalvio(Pictures::Pipeline::Options pictures, const QString& fullScreenPath, QWidget* parent = nullptr);
    // Started with the start folder found and listed ahead (StartListing.h):
    // when it is listed already, its first page is asked for before the
    // window is built, and the folder source takes the listing at load().
    Kalvio(Pictures::Pipeline::Options pictures, const QString& fullScreenPath, StartListing listing,
           QWidget* parent = nullptr);
    ~Kalvio() override;

    // ---- Window properties (twips, colours) ----
    Twips Width() const { return width_; }
    Twips Height() const { return height_; }
    void setWindowSizeTwips(Twips width, Twips height);
    int BackColor() const { return backColor_; }
    void setBackColor(int color);
    // The client area below the menu bar, which holds every control.
    QWidget* client() const { return client_; }

    // ---- The parts, to look at ----
    const PageGrid& grid() const { return *grid_; }
    const EnlargedView& view() const { return *view_; }
    const FolderSource& source() const { return *source_; }
    FullScreenView* fullScreenView() const { return fullScreen_.get(); }

    // ---- State ----
    // What is browsed: every decision of where the user is reads it.
    const Browsing& browsing() const { return browsing_; }
    // The picture pipeline, read-only (its counts, for tests and benchmarks).
    const Pictures::Pipeline& pictures() const { return pictures_; }
    // The maker's credits: the logo message and the head of the About box.
    const QString& credits() const { return credits_; }

    // ---- Start-up, exit, About (app/) ----
    void setStartPath(const QString& folder, const QString& picture);
    void load();
    void queryUnload(bool& cancel, int unloadMode);
    void exitImageClicked();
    void exitLabelClicked();
    void exitChosen();
    void logoClicked();
    void aboutChosen();
    QString aboutText() const;
    static QString creditLine();

    // ---- Full screen, open and drop (app/FullScreenWiring.cpp) ----
    // The start picture opens full screen, once the window is set up.
    void setFullScreenStart(bool on) { fullScreenStart_ = on; }
    void setSlideshowDelay(std::chrono::milliseconds delay);
    // The file list's entry F opens: the view's picture, the focused cell's,
    // the last opened cell's, or the page's first; -1 for none.
    int fullScreenEntry() const;
    void openFullScreen(int entry);
    // As openFullScreen, once the picture decoded first has landed (or its
    // patience has run out): the window and the full screen over it show
    // together, the picture on it at once.
    void openFullScreenStart(int entry);
    // Opens a folder, or a picture in its folder, as the command line does.
    void openPath(const QString& path);
    void openChosen();

    // ---- Layout (app/ArrangeWindow.cpp, the places in layout/) ----
    void arrangeWindow();

    // ---- Folders (the folder source in source/) ----
    void folderListed(const QString& folder, const QStringList& names, int startEntry);

    // ---- Pages (app/Pages.cpp, the grid in grid/) ----
    void showPage();
    void pageForward();
    void pageBack();
    void showPageArrows();
    void pageForwardArrowClicked();
    void pageBackArrowClicked();
    void showPageOf(int entry);

    // ---- Enlarged view (app/Viewing.cpp, the view in view/) ----
    void openCell(int index);
    void closeView();
    void stepForward();
    void stepBack();
    void showViewSteps();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void openInView(int cell, int entry);
    void reopenIfViewed(int cell, int entry);

    void createControls();
    void createMenus();
    void setUpKeyboardFocus();
    void nameForScreenReaders();
    void connectHandlers();
    void drawWhatChanges(Browsing::Change change);
    bool handleOwnKey(QObject* watched, const QKeyEvent& key);
    bool handleKey(int cell, const QKeyEvent& key, bool fromView = false);
    void act(KeyActions::Action action, int cell);
    bool handleWheel(const QWheelEvent& wheel);
    bool turnsPagesAt(QPoint global) const;
    void connectFullScreen();
    void offerFullScreen(int entry, QPoint global);
    void leftFullScreen(int entry);
    std::optional<Pictures::Picture> fullScreenStandIn(int entry);
    void showWithFullScreenStart(int entry);
    void paintBeforeTheSearch();
    static QIcon WindowIcon();
    void setPageTagsFromList(int startEntry);
    void openBeforeItsPageIsDrawn(int page, int cell);
    Pictures::Request viewRequest(const QString& name) const;
    void decodeAhead();
    int pixelsFor(Twips twips) const;
    QString cellPath(const QString& name) const;

    // The window's own controls.
    CommandButton* logo_ = nullptr;
    CaptionLabel* pageCounter_ = nullptr;
    CaptionLabel* pageCounterHeading_ = nullptr;
    ImageControl* pageForwardArrow_ = nullptr;
    ImageControl* pageBackArrow_ = nullptr;
    CaptionLabel* exitLabel_ = nullptr;
    ImageControl* exitImage_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* aboutAction_ = nullptr;

    Browsing browsing_;
    // Decodes the pictures on every core and keeps them for a while.
    Pictures::Pipeline pictures_;
    // Its own top-level window; goes before the pipeline it draws from.
    std::unique_ptr<FullScreenView> fullScreen_;
    bool fullScreenStart_ = false;
    // The picture named to open full screen, decoded before the window is
    // built and shown; cleared once shown.
    std::optional<Pictures::Request> firstPicture_;
    // Started full screen on a picture, the page is drawn and the picture
    // enlarged once the full screen is left; the enlarged view then has the keys.
    bool viewKeysAfterFullScreen_ = false;
    QMetaObject::Connection firstPictureWait_;
    FolderSource* source_ = nullptr;
    PageGrid* grid_ = nullptr;
    EnlargedView* view_ = nullptr;
    QString credits_;
    // The enlarged view's width as laid out: its pictures are decoded at it.
    Twips viewWidth_ = 2895_tw;
    // Wheel turns not yet amounting to a whole notch.
    WheelNotches wheel_;
    QWidget* client_ = nullptr;
    Twips width_;
    Twips height_;
    int backColor_ = 0;
    bool painted_ = false; // the client area has painted once
};
