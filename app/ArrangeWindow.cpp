#include "Kalvio.h"

#include "WindowColors.h"

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

} // namespace

// Gives the window its fixed size and places every visible control once. All
// values are twips; halves left by the centring are kept as they are.
void Kalvio::arrangeWindow()
{
    FolderList* folderList = source_->folderList();
    FileList* fileList = source_->fileList();
    PictureBox* enlargedView = view_->box();
    ImageControl* stepBackImage = view_->stepBackImage();
    ImageControl* stepForwardImage = view_->stepForwardImage();
    const auto frames = [this](int i) { return grid_->frame(i); };
    setWindowSizeTwips(3 * Margin + GridColumns * (CellWidth + ColumnGap) + ListColumnWidth,
                       2 * Margin + GridRows * (CellHeight + RowGap) + 350_tw + 1350_tw);

    folderList->setLeft(Margin);
    folderList->setWidth(ListColumnWidth);
    const Twips gridLeft = folderList->Width() + folderList->Left() + Margin;

    for (int i = 0; i < CellCount; ++i) {
        FrameButton* frame = frames(i);
        frame->setWidth(CellWidth);
        frame->setHeight(CellHeight);
        frame->setLeft(gridLeft + (i % GridColumns) * (CellWidth + ColumnGap));
        frame->setTop(Margin + (i / GridColumns) * (CellHeight + RowGap));
        frame->setVisible(true);
        setFrameName(i, QString::number(i));
        frame->setBackColor(WindowColors::FrameNormal);
        PictureBox* box = grid_->thumbnail(i);
        box->setWidth(frame->Width() - 2 * FrameInset);
        box->setHeight(frame->Height() - 2 * FrameInset - CaptionStrip);
        box->setTop(frame->Top() + FrameInset);
        box->setLeft(frame->Left() + FrameInset);
        box->setMouseIcon(grid_->thumbnail(0)->MouseIcon());
        box->setMousePointer(grid_->thumbnail(0)->mousePointer());
    }

    enlargedView->setTop(frames(0)->Top() + 60_tw);
    // From frame 1, the second column, not frame 0: intended. The view covers
    // columns 1 to 4 and leaves the first and last columns visible beside it.
    enlargedView->setLeft(frames(1)->Left() + 75_tw);
    enlargedView->setWidth(frames(0)->Width() * 4);
    enlargedView->setHeight(frames(0)->Height() * 4 - 100_tw);
    enlargedView->setBackColor(WindowColors::ViewBack);

    folderList->setTop(frames(0)->Top());
    folderList->setHeight(frames(6)->Height() + frames(6)->Top() - folderList->Top());

    const FrameButton* lastFrame = frames(CellCount - 1);
    fileList->setLeft(Margin);
    fileList->setWidth(ListColumnWidth);
    fileList->setTop(frames(12)->Top());
    fileList->setHeight(lastFrame->Height() + lastFrame->Top() - fileList->Top());

    exitImage->setLeft((frames(23)->Width() - exitImage->Width()) / 2 + frames(23)->Left());
    exitImage->setTop(frames(23)->Height() + frames(23)->Top() + 200_tw);
    exitLabel->setLeft((exitImage->Width() - exitLabel->Width()) / 2 + exitImage->Left());
    exitLabel->setTop((exitImage->Height() - exitLabel->Height()) / 2 + exitImage->Top());

    pageBackArrow->setLeft(frames(21)->Left() - 600_tw);
    pageBackArrow->setTop(exitImage->Top());
    pageForwardArrow->setLeft(pageBackArrow->Width() + pageBackArrow->Left() + 350_tw);
    pageForwardArrow->setTop(exitImage->Top());

    stepBackImage->setLeft(100_tw);
    stepBackImage->setTop(enlargedView->Height() - stepBackImage->Height() - 300_tw);
    stepForwardImage->setTop(stepBackImage->Top());
    stepForwardImage->setLeft(enlargedView->Width() - stepForwardImage->Width() - 100_tw);

    pageCounterHeading->setLeft(frames(22)->Width() + frames(22)->Left() - pageCounterHeading->Width() - 100_tw);
    pageCounterHeading->setTop(exitImage->Top());
    pageCounter->setLeft(pageCounterHeading->Left());
    pageCounter->setWidth(pageCounterHeading->Width());
    pageCounter->setTop(pageCounterHeading->Height() + pageCounterHeading->Top() + 50_tw);

    logo->setLeft(fileList->Left());
    logo->setTop(fileList->Height() + fileList->Top() + Margin);
}
