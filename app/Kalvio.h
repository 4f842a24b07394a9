#pragma once

#include "Browsing.h"
#include "CaptionLabel.h"
#include "CaseInsensitivePaths.h"
#include "CommandButton.h"
#include "FileList.h"
#include "FolderList.h"
#include "FrameButton.h"
#include "FullScreenView.h"
#include "ImageControl.h"
#include "PictureBox.h"
#include "Pipeline.h"
#include "WindowState.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QKeyEvent;
class QMenu;
class QWheelEvent;
class QDragEnterEvent;
class QDropEvent;

// The one window of the viewer. Its controls are public so that its
// procedures, which live in the folders of their subsystems, and the tests can
// reach them by name; what is browsed is read through browsing().
//
// GLOSSARY.md (at the top of the repository) gives each name's historic name
// (thumbnails: Obr, frames: Okno, enlargedView: ZoomOkno, …), its unit and the
// file that defines it. Capitalised properties (Width(), Left()) are twips, 15
// to a pixel; Qt's lower-case ones (width()) pixels.
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
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setWindowSizeTwips(double width, double height);
    int BackColor() const { return backColor_; }
    void setBackColor(int color);
    QWidget* client() const { return client_; }

    // ---- Controls, front to back ----
    PictureBox* enlargedView = nullptr;
    ImageControl* stepBackImage = nullptr;
    ImageControl* stepForwardImage = nullptr;
    CommandButton* logo = nullptr;
    std::array<PictureBox*, CellCount> thumbnails{};
    std::array<FrameButton*, CellCount> frames{};
    PictureBox* loadBuffer = nullptr;
    FileList* fileList = nullptr;
    FolderList* folderList = nullptr;
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
    WindowState tags;
    // Counts the page passes started or cut short; a pass that finds it
    // moved on after a yield has been superseded and ends.
    int passGeneration() const { return passGeneration_; }

    // ---- Start-up, exit, About (app/) ----
    // A folder given on the command line is shown as it is, without the search
    // below the current directory; a picture in it opens enlarged. Both are
    // escaped native names; empty: the search.
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

    // ---- Layout (layout/) ----
    void arrangeWindow();

    // ---- Picture source (app/, the search in source/) ----
    QString firstFolderWithFiles(const QString& path);
    void folderChosen();

    // ---- Thumbnail pages (grid/) ----
    void showPage();
    void pageForward();
    void pageBack();
    void showPageArrows();
    void pageForwardArrowClicked();
    void pageBackArrowClicked();
    void fileChosen();

    // ---- Enlarged view (view/) ----
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
    enum class PassEnd { Completed, Interrupted, Closed };
    enum class CellClearing { Picture, PictureAndCaption, PictureCaptionAndPointer };

    void setFrameName(int cell, const QString& name);
    void listFolder(const QString& path);
    void openInView(int cell, int entry);
    void endPass() { ++passGeneration_; }

    void createControls();
    void createMenus();
    void setUpKeyboardFocus();
    void nameForScreenReaders();
    int cellOf(const QObject* control) const;
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
    void showPageOf(int entry);
    void connectHandlers();
    void connectFullScreen();
    void leftFullScreen(int entry);
    int shownEntryOfCell(int cell) const;
    void paintBeforeTheSearch();
    void setPageTagsFromList();
    int takeStartPicture();
    void openBeforeItsPageIsDrawn(int page, int cell);
    void cutShortPass(CellClearing clearing);
    PassEnd drawPage();
    void showEmptyPage();
    void writePageCounter();
    std::optional<Pictures::Result> waitForPicture(const Pictures::Request& request, int generation);
    Pictures::Request thumbnailRequest(const QString& name);
    Pictures::Request viewRequest(const QString& name) const;
    using CellRequests = std::array<std::optional<Pictures::Request>, CellCount>;
    CellRequests cellRequests(int page);
    static std::vector<Pictures::Request> present(const CellRequests& requests);
    void decodeAhead();
    void drawIntoCell(int i, const std::optional<Pictures::Result>& picture);
    void setGridLook(int frameColor, bool enabled);
    int pixelsFor(double twips) const;
    QString cellPath(const QString& name) const;

    Browsing browsing_;
    int passGeneration_ = 0;
    // What the last yield of a drawing pass reported.
    int openWindowCount_ = 0;
    // A pass is drawing the page; a page request meanwhile is drawn after it.
    bool passRunning_ = false;
    bool passPending_ = false;
    // Where the cells' small copies in THM are found this pass.
    CaseInsensitivePaths thumbnailPaths_;
    // Decodes the pictures on every core and keeps them for a while.
    Pictures::Pipeline pictures_;
    // Its own top-level window; goes before the pipeline it draws from.
    std::unique_ptr<FullScreenView> fullScreen_;
    bool fullScreenStart_ = false;
    // Wheel turns not yet amounting to a whole notch.
    int wheelTurned_ = 0;
    // The keyboard, not the mouse, moved the focus last: its cell shows the edge.
    bool focusEdgeShown_ = false;
    // The widget that had the focus as last reported; while the focus moves, the one it leaves.
    QPointer<QWidget> focused_;
    QString startFolder_;
    QString startPicture_;
    QWidget* client_ = nullptr;
    double width_ = 0;
    double height_ = 0;
    int backColor_ = 0;
};
