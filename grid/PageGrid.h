#pragma once

#include "Browsing.h"
#include "CaseInsensitivePaths.h"
#include "Pipeline.h"
#include "TwipsPlacement.h"

#include <QObject>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class FocusEdge;
class FrameButton;
class PictureBox;
class QKeyEvent;
class QWidget;

// The page grid: 24 frames with a thumbnail box in each, and the pass that
// draws a page into them cell by cell while events run. It reads what is
// browsed (the names, the page count) and writes what each frame shows into
// it, drawing the frames from there; it asks the window's pipeline for the
// thumbnails. It says when a cell was chosen, when a cell has been drawn and
// when a whole page has been drawn; its cells' keys it hands to the window.
// The keyboard focus among its cells, their edge and their Tab order are its
// own.
class PageGrid : public QObject {
    Q_OBJECT

public:
    static constexpr int CellCount = Browsing::CellsPerPage;

    // Creates the frames and boxes in `parent`, in front of what it holds.
    PageGrid(Browsing& browsing, Pictures::Pipeline& pictures, QWidget* parent);

    // Draws page `page` (see PageGrid.cpp for how passes follow one another).
    void show(int page);
    // The cell the running pass is at (0 to 23), -1 once a pass has drawn all
    // 24 cells or was superseded, empty before the first pass.
    std::optional<int> passCell() const { return passCell_; }
    // Counts the passes started or cut short; a pass that finds it moved on
    // after a yield has been superseded and ends.
    int passGeneration() const { return passGeneration_; }

    // What a pass leaves in the cells it had not finished when it is cut short.
    enum class Clearing { Picture, PictureAndCaption, PictureCaptionAndPointer };
    // When a pass was interrupted in the middle of a page, clears the cells it
    // had not finished, as `clearing` says, and ends that pass.
    void cutShortPass(Clearing clearing);
    // Blanks the names of the cells after the one a running pass is at.
    void blankNamesAhead();

    // Puts the frames and their boxes at these places, shown in their normal
    // look, every box with the magnifier pointer of box 0; the pictures are
    // asked for at the boxes' size.
    void placeCells(const std::array<TwipsRect, CellCount>& frames, const std::array<TwipsRect, CellCount>& boxes);
    // Frame colour and whether frames and boxes take clicks, for every cell.
    void setLook(int frameColor, bool enabled);
    // What the user is told, where the pointer rests on the box of `cell`,
    // of why it shows no picture.
    void setWhyNoPicture(int cell, const QString& why);

    // Printed into the next cell while its picture loads.
    const QString& waitText() const { return waitText_; }
    void setWaitText(const QString& text) { waitText_ = text; }

    // What the cells of page `page` ask the pipeline for, in cell order.
    std::vector<Pictures::Request> requestsFor(int page) const;
    // What the cell showing picture `name` asks the pipeline for.
    Pictures::Request thumbnailRequest(const QString& name) const;
    // What the first page of `names`, pictures of `folder`, asks for with
    // boxes `boxWidth` wide on a screen of `devicePixelRatio`: the requests
    // its pass makes, to be asked for before the grid exists.
    static std::vector<Pictures::Request> FirstPageRequests(const QString& folder, const QStringList& names,
                                                            Twips boxWidth, qreal devicePixelRatio);

    // ---- The keyboard ----
    // The cell whose frame or box has the keyboard focus, or -1.
    int focusedCell() const;
    // Gives the keyboard focus to the box of `cell`.
    void focusCell(int cell, Qt::FocusReason reason);
    // Moves the focus from the focused cell by `by` cells (an arrow key; see
    // Browsing::cellAfterArrow) and shows its edge, also where it stays.
    void moveFocus(int by);
    // Hides the focused cell's edge, as a click does.
    void hideFocusEdge();
    // Puts the frames and boxes in the window's Tab chain after `previous`:
    // frame 0, box 0, frames 1 to 23, boxes 1 to 23; returns the last.
    QWidget* chainTabOrder(QWidget* previous);
    // The window's handling of a key pressed on a cell (-1: the grid's own
    // keys are all the window's): true when it took the key.
    using KeyHandler = std::function<bool(int cell, const QKeyEvent& key)>;
    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }

    // Whether the point (global pixels) lies over the grid, the gaps between
    // its frames included.
    bool isUnder(QPoint global) const;

signals:
    void cellChosen(int cell);
    // The pass has drawn `cell`, which shows list entry `entry`.
    void cellDrawn(int cell, int entry);
    // A pass has drawn all 24 cells.
    void pageDrawn();
    // The right button on the box of `cell`, at `global`.
    void contextMenuAsked(int cell, QPoint global);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class PassEnd { Completed, Interrupted, Closed };
    using CellRequests = std::array<std::optional<Pictures::Request>, CellCount>;

    int cellOf(const QObject* control) const;
    void nameFrame(int cell, const QString& name);
    void showEmptyPage();
    PassEnd drawPage(int page);
    std::optional<Pictures::Result> waitForPicture(const Pictures::Request& request, int generation);
    CellRequests cellRequests(int page) const;
    void drawIntoCell(int cell, const std::optional<Pictures::Result>& picture);
    void printWaitText(int cell);
    void endPass() { ++passGeneration_; }
    int pixelsFor(Twips twips) const;

    Browsing& browsing_;
    Pictures::Pipeline& pictures_;
    QWidget* parent_;
    std::array<FrameButton*, CellCount> frames_{};
    std::array<PictureBox*, CellCount> thumbnails_{};
    // The hidden box that holds the picture the grid drew last.
    PictureBox* loadBuffer_ = nullptr;
    FocusEdge* focusEdge_ = nullptr;
    KeyHandler keyHandler_;
    // The width of a box, as laid out: the pictures are decoded for it.
    Twips boxWidth_ = 495_tw;
    std::optional<int> passCell_;
    int passGeneration_ = 0;
    // The page the next pass draws: the last one asked for.
    int requestedPage_ = 0;
    // What the last yield of a drawing pass reported.
    int openWindowCount_ = 0;
    // A pass is drawing the page; a page request meanwhile is drawn after it.
    bool passRunning_ = false;
    bool passPending_ = false;
    // Where the cells' small copies in THM are found this pass.
    mutable CaseInsensitivePaths thumbnailPaths_;
    QString waitText_;
};
