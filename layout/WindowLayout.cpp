#include "WindowLayout.h"

namespace {

constexpr Twips CellWidth = 2000_tw;
constexpr Twips CellHeight = 2000_tw;
constexpr int GridRows = 4;
constexpr Twips Margin = 100_tw;
constexpr Twips ColumnGap = 50_tw;
constexpr Twips RowGap = 10_tw;
constexpr Twips FrameInset = 100_tw;
constexpr Twips CaptionStrip = 300_tw;
constexpr Twips ListColumnWidth = 2000_tw;

// `inner` centred on `outer`, at its own size.
TwipsRect centredOn(const TwipsRect& outer, TwipsRect inner)
{
    inner.left = (outer.width - inner.width) / 2 + outer.left;
    inner.top = (outer.height - inner.height) / 2 + outer.top;
    return inner;
}

} // namespace

WindowLayout WindowLayout::arrange(const Given& given)
{
    WindowLayout at;
    at.windowWidth = 3 * Margin + Columns * (CellWidth + ColumnGap) + ListColumnWidth;
    at.windowHeight = 2 * Margin + GridRows * (CellHeight + RowGap) + 350_tw + 1350_tw;

    const Twips gridLeft = ListColumnWidth + Margin + Margin;
    for (int i = 0; i < Cells; ++i) {
        const TwipsRect frame{gridLeft + (i % Columns) * (CellWidth + ColumnGap),
                              Margin + (i / Columns) * (CellHeight + RowGap), CellWidth, CellHeight};
        at.frames[i] = frame;
        at.thumbnails[i] = {frame.left + FrameInset, frame.top + FrameInset, frame.width - 2 * FrameInset,
                            frame.height - 2 * FrameInset - CaptionStrip};
    }
    const auto& frames = at.frames;

    // From frame 1, the second column, not frame 0: intended. The view covers
    // columns 1 to 4 and leaves the first and last columns visible beside it.
    at.enlargedView = {frames[1].left + 75_tw, frames[0].top + 60_tw, frames[0].width * 4,
                       frames[0].height * 4 - 100_tw};

    at.folderList = {Margin, frames[0].top, ListColumnWidth, frames[6].bottom() - frames[0].top};
    at.fileList = {Margin, frames[12].top, ListColumnWidth, frames[Cells - 1].bottom() - frames[12].top};

    at.exitImage = given.exitImage;
    at.exitImage.left = (frames[23].width - given.exitImage.width) / 2 + frames[23].left;
    at.exitImage.top = frames[23].bottom() + 200_tw;
    at.exitLabel = centredOn(at.exitImage, given.exitLabel);

    at.pageBackArrow = given.pageBackArrow;
    at.pageBackArrow.left = frames[21].left - 600_tw;
    at.pageBackArrow.top = at.exitImage.top;
    at.pageForwardArrow = given.pageForwardArrow;
    at.pageForwardArrow.left = at.pageBackArrow.right() + 350_tw;
    at.pageForwardArrow.top = at.exitImage.top;

    at.stepBackImage = given.stepBackImage;
    at.stepBackImage.left = 100_tw;
    at.stepBackImage.top = at.enlargedView.height - given.stepBackImage.height - 300_tw;
    at.stepForwardImage = given.stepForwardImage;
    at.stepForwardImage.top = at.stepBackImage.top;
    at.stepForwardImage.left = at.enlargedView.width - given.stepForwardImage.width - 100_tw;

    at.pageCounterHeading = given.pageCounterHeading;
    at.pageCounterHeading.left = frames[22].right() - given.pageCounterHeading.width - 100_tw;
    at.pageCounterHeading.top = at.exitImage.top;
    at.pageCounter = given.pageCounter;
    at.pageCounter.left = at.pageCounterHeading.left;
    at.pageCounter.width = at.pageCounterHeading.width;
    at.pageCounter.top = at.pageCounterHeading.bottom() + 50_tw;

    at.logo = given.logo;
    at.logo.left = at.fileList.left;
    at.logo.top = at.fileList.bottom() + Margin;
    return at;
}
