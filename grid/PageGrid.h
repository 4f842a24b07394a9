#pragma once

#include "Browsing.h"
#include "CaseInsensitivePaths.h"
#include "FrameButton.h"
#include "PictureBox.h"
#include "Pipeline.h"

#include <QObject>

#include <array>
#include <optional>
#include <vector>

// The page grid: 24 frames with a thumbnail box in each, and the pass that
// draws a page into them cell by cell while events run. It reads what is
// browsed (the names, the page count) and asks the window's pipeline for the
// thumbnails; it says when a cell was chosen, when a frame takes a name, when
// a cell has been drawn and when a whole page has been drawn.
class PageGrid : public QObject {
    Q_OBJECT

public:
    static constexpr int CellCount = Browsing::CellsPerPage;

    // Creates the frames and boxes in `parent`, in front of what it holds.
    PageGrid(const Browsing& browsing, Pictures::Pipeline& pictures, QWidget* parent);

    FrameButton* frame(int cell) const { return frames_[cell]; }
    PictureBox* thumbnail(int cell) const { return thumbnails_[cell]; }
    // The hidden box that holds the picture the grid drew last.
    PictureBox* loadBuffer() const { return loadBuffer_; }
    // The cell whose frame or box `control` is, or -1.
    int cellOf(const QObject* control) const;

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

    // Every frame's name goes through here; frameNamed tells the window.
    void nameFrame(int cell, const QString& name);
    // Puts the frames and their boxes at these places, shown in their normal
    // look, every box with the magnifier pointer of box 0.
    void placeCells(const std::array<TwipsRect, CellCount>& frames, const std::array<TwipsRect, CellCount>& boxes);
    // Frame colour and whether frames and boxes take clicks, for every cell.
    void setLook(int frameColor, bool enabled);

    // Printed into the next cell while its picture loads.
    const QString& waitText() const { return waitText_; }
    void setWaitText(const QString& text) { waitText_ = text; }

    // What the cells of page `page` ask the pipeline for, in cell order.
    std::vector<Pictures::Request> requestsFor(int page);

signals:
    void cellChosen(int cell);
    void frameNamed(int cell, const QString& name);
    // The pass has drawn `cell`, which shows list entry `entry`.
    void cellDrawn(int cell, int entry);
    // A pass has drawn all 24 cells.
    void pageDrawn();

private:
    enum class PassEnd { Completed, Interrupted, Closed };
    using CellRequests = std::array<std::optional<Pictures::Request>, CellCount>;

    void showEmptyPage();
    PassEnd drawPage(int page);
    std::optional<Pictures::Result> waitForPicture(const Pictures::Request& request, int generation);
    Pictures::Request thumbnailRequest(const QString& name);
    CellRequests cellRequests(int page);
    void drawIntoCell(int cell, const std::optional<Pictures::Result>& picture);
    void printWaitText(int cell);
    void endPass() { ++passGeneration_; }
    int pixelsFor(Twips twips) const;
    QString pathOf(const QString& name) const;

    const Browsing& browsing_;
    Pictures::Pipeline& pictures_;
    QWidget* parent_;
    std::array<FrameButton*, CellCount> frames_{};
    std::array<PictureBox*, CellCount> thumbnails_{};
    PictureBox* loadBuffer_ = nullptr;
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
    CaseInsensitivePaths thumbnailPaths_;
    QString waitText_;
};
