#pragma once

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

#include <array>
#include <memory>

class QAction;
class QKeyEvent;
class QMenu;
class QWheelEvent;
class QDragEnterEvent;
class QDropEvent;

// The one window of the viewer. Its controls and state are public so that
// its procedures, which live in the folders of their subsystems, and the
// tests can reach them by name.
//
// GLOSSARY.md (at the top of the repository) says what each name means
// (Obr: a thumbnail box, Okno: its frame, ZoomOkno: the enlarged view, …),
// its unit and which file defines it. Capitalised properties (Width(),
// Left()) are twips, 15 to a pixel; Qt's lower-case ones (width()) pixels.
class Kalvio : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int CellCount = 24;
    static constexpr int GridColumns = 6;

    explicit Kalvio(QWidget* parent = nullptr);
    ~Kalvio() override;

    // ---- Window properties (twips, colours) ----
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setWindowSizeTwips(double width, double height);
    int BackColor() const { return backColor_; }
    void setBackColor(int color);
    QWidget* client() const { return client_; }

    // ---- Controls, front to back ----
    PictureBox* ZoomOkno = nullptr;
    ImageControl* LupaMinus = nullptr;
    ImageControl* LupaPlus = nullptr;
    CommandButton* Logo = nullptr;
    std::array<PictureBox*, CellCount> Obr{};
    std::array<FrameButton*, CellCount> Okno{};
    PictureBox* Vstup = nullptr;
    FileList* File1 = nullptr;
    FolderList* Dir1 = nullptr;
    CaptionLabel* Strana = nullptr;
    CaptionLabel* StranaText = nullptr;
    ImageControl* Vpred = nullptr;
    ImageControl* Nazad = nullptr;
    CaptionLabel* KoniecLabel = nullptr;
    ImageControl* Koniec = nullptr;
    QMenu* File = nullptr;
    QAction* OpenFolder = nullptr;
    QAction* Konec = nullptr;
    QMenu* Pomoc = nullptr;
    QAction* Autor = nullptr;

    // ---- State ----
    WindowState tags;
    // The cell counter shared by the page loops: a pass interrupted in its
    // yield ends when another loop has moved the counter on.
    int CellIndex = 0;
    // What the last yield of a drawing pass reported.
    int OpenWindowCount = 0;

    // ---- Start-up, exit, About (app/) ----
    // A folder given on the command line is shown as it is, without the search
    // below the current directory; a picture in it opens enlarged. Both are
    // escaped native names; empty: the search.
    void setStartPath(const QString& folder, const QString& picture);
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Koniec_Click();
    void KoniecLabel_Click();
    void Konec_Click();
    void Logo_Click();
    void Autor_Click();
    QString AboutText() const;
    static QString CreditLine();

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
    void OpenFolder_Click();

    // ---- Layout (layout/) ----
    void ArrangeWindow();

    // ---- Picture source (source/) ----
    QString HladajPrvyFile(const QString& path);
    void Dir1_Change();

    // ---- Thumbnail pages (pages/) ----
    void ShowPage();
    void PageForward();
    void Dozadu();
    void UpdatePageArrows();
    void Vpred_Click();
    void Nazad_Click();
    void File1_Click();

    // ---- Enlarged view (view/) ----
    void Obr_Click(int index);
    void ZoomOkno_Click();
    void LupaPlus_Click();
    void LupaMinus_Click();
    void UpdateZoomArrows();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class PassEnd { Completed, Interrupted, Closed };
    enum class CellClearing { Picture, PictureAndCaption, PictureCaptionAndPointer };

    void createControls();
    void createMenus();
    void setUpKeyboardFocus();
    void nameForScreenReaders();
    int cellOf(const QObject* control) const;
    bool handleKey(QObject* watched, const QKeyEvent& key);
    bool handleViewKey(int key);
    bool handleGridKey(int cell, int key);
    bool moveCellFocus(int cell, int by);
    void markFocusedCell(QWidget* previous, QWidget* now);
    bool handleWheel(const QWheelEvent& wheel);
    void showPageOf(int entry);
    void connectHandlers();
    void connectFullScreen();
    void leftFullScreen(int entry);
    void paintBeforeTheSearch();
    void setPageTagsFromList();
    int takeStartPicture();
    void openBeforeItsPageIsDrawn(int page, int cell);
    void cutShortPass(CellClearing clearing);
    PassEnd drawPage();
    void showEmptyPage();
    void writePageCounter();
    std::optional<Pictures::Result> waitForPicture(const Pictures::Request& request, int i);
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
    QString startFolder_;
    QString startPicture_;
    QWidget* client_ = nullptr;
    double width_ = 0;
    double height_ = 0;
    int backColor_ = 0;
};
