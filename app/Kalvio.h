#pragma once

#include "Browsing.h"
#include "CaptionLabel.h"
#include "CommandButton.h"
#include "EnlargedView.h"
#include "FolderSource.h"
#include "FullScreenView.h"
#include "ImageControl.h"
#include "PageGrid.h"
#include "Pipeline.h"

#include <QMainWindow>
#include <QPointer>

#include <chrono>
#include <memory>

class QAction;
class QKeyEvent;
class QMenu;
class QWheelEvent;
class QDragEnterEvent;
class QDropEvent;

// The one window of the viewer. It owns what is browsed (the model), the
// picture pipeline, the menus, the keys and the wheel, and composes three
// parts that never reach one another: the folder source (source/), the page
// grid (grid/) and the enlarged view (view/). The parts say what the user did
// (signals); the window decides what follows from the model, stepping across
// pages and decoding ahead included, and tells the parts what to show.
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
    ~Kalvio() override;

    // ---- Window properties (twips, colours) ----
    Twips Width() const { return width_; }
    Twips Height() const { return height_; }
    void setWindowSizeTwips(Twips width, Twips height);
    int BackColor() const { return backColor_; }
    void setBackColor(int color);
    QWidget* client() const { return client_; }

    // ---- The parts ----
    FolderSource& source() const { return *source_; }
    PageGrid& grid() const { return *grid_; }
    EnlargedView& view() const { return *view_; }

    // ---- The window's own controls ----
    CommandButton* logo = nullptr;
    CaptionLabel* pageCounter = nullptr;
    CaptionLabel* pageCounterHeading = nullptr;
    ImageControl* pageForwardArrow = nullptr;
    ImageControl* pageBackArrow = nullptr;
    CaptionLabel* exitLabel = nullptr;
    ImageControl* exitImage = nullptr;
    QMenu* fileMenu = nullptr;
    QAction* openAction = nullptr;
    QAction* exitAction = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* aboutAction = nullptr;

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
    void setSlideshowDelay(std::chrono::milliseconds delay) { fullScreen_->setSlideshowDelay(delay); }
    FullScreenView* fullScreenView() const { return fullScreen_.get(); }
    // The file list's entry F opens: the view's picture, the focused cell's,
    // the last opened cell's, or the page's first; -1 for none.
    int fullScreenEntry() const;
    void openFullScreen(int entry);
    // Opens a folder, or a picture in its folder, as the command line does.
    void openPath(const QString& path);
    void openChosen();

    // ---- Layout (app/ArrangeWindow.cpp, the places in layout/) ----
    void arrangeWindow();

    // ---- Folders (the parts in source/) ----
    void folderChosen();

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
    void setFrameName(int cell, const QString& name);
    void listFolder();
    void openInView(int cell, int entry);
    void reopenIfViewed(int cell, int entry);

    void createControls();
    void createMenus();
    void setUpKeyboardFocus();
    void nameForScreenReaders();
    void connectHandlers();
    bool handleKey(QObject* watched, const QKeyEvent& key);
    bool handleViewKey(int key);
    bool handleGridKey(int cell, int key);
    bool moveCellFocus(int cell, int by);
    bool listHasFocus() const;
    void markFocusedCell(QWidget* previous, QWidget* now);
    void showFocusEdge(bool shown);
    void noteFocusReason(Qt::FocusReason reason);
    bool handleWheel(const QWheelEvent& wheel);
    bool turnsPagesAt(QPoint at) const;
    void connectFullScreen();
    void leftFullScreen(int entry);
    int shownEntryOfCell(int cell) const;
    void paintBeforeTheSearch();
    void setPageTagsFromList();
    int takeStartPicture();
    void openBeforeItsPageIsDrawn(int page, int cell);
    void writePageCounter();
    Pictures::Request viewRequest(const QString& name) const;
    void decodeAhead();
    int pixelsFor(Twips twips) const;
    QString cellPath(const QString& name) const;

    Browsing browsing_;
    // Decodes the pictures on every core and keeps them for a while.
    Pictures::Pipeline pictures_;
    // Its own top-level window; goes before the pipeline it draws from.
    std::unique_ptr<FullScreenView> fullScreen_;
    bool fullScreenStart_ = false;
    FolderSource* source_ = nullptr;
    PageGrid* grid_ = nullptr;
    EnlargedView* view_ = nullptr;
    QString credits_;
    // Wheel turns not yet amounting to a whole notch.
    int wheelTurned_ = 0;
    // The keyboard, not the mouse, moved the focus last: its cell shows the edge.
    bool focusEdgeShown_ = false;
    // The widget that had the focus as last reported; while the focus moves, the one it leaves.
    QPointer<QWidget> focused_;
    QWidget* client_ = nullptr;
    Twips width_;
    Twips height_;
    int backColor_ = 0;
};
