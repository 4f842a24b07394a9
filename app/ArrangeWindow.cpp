#include "Kalvio.h"

#include "WindowColors.h"

namespace {

constexpr double CellWidth = 2000;
constexpr double CellHeight = 2000;
constexpr double GridRows = 4;
constexpr double Margin = 100;
constexpr double ColumnGap = 50;
constexpr double RowGap = 10;
constexpr double FrameInset = 100;
constexpr double CaptionStrip = 300;
constexpr double ListColumnWidth = 2000;

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
    const double columns = GridColumns;
    setWindowSizeTwips(3 * Margin + columns * (CellWidth + ColumnGap) + ListColumnWidth,
                       2 * Margin + GridRows * (CellHeight + RowGap) + 350 + 1350);

    folderList->setLeft(Margin);
    folderList->setWidth(ListColumnWidth);
    const double gridLeft = folderList->Width() + folderList->Left() + Margin;

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

    enlargedView->setTop(frames(0)->Top() + 60);
    // From frame 1, the second column, not frame 0: intended. The view covers
    // columns 1 to 4 and leaves the first and last columns visible beside it.
    enlargedView->setLeft(frames(1)->Left() + 75);
    enlargedView->setWidth(frames(0)->Width() * 4);
    enlargedView->setHeight(frames(0)->Height() * 4 - 100);
    enlargedView->setBackColor(WindowColors::ViewBack);

    folderList->setTop(frames(0)->Top());
    folderList->setHeight(frames(6)->Height() + frames(6)->Top() - folderList->Top());

    const FrameButton* lastFrame = frames(CellCount - 1);
    fileList->setLeft(Margin);
    fileList->setWidth(ListColumnWidth);
    fileList->setTop(frames(12)->Top());
    fileList->setHeight(lastFrame->Height() + lastFrame->Top() - fileList->Top());

    exitImage->setLeft((frames(23)->Width() - exitImage->Width()) / 2 + frames(23)->Left());
    exitImage->setTop(frames(23)->Height() + frames(23)->Top() + 200);
    exitLabel->setLeft((exitImage->Width() - exitLabel->Width()) / 2 + exitImage->Left());
    exitLabel->setTop((exitImage->Height() - exitLabel->Height()) / 2 + exitImage->Top());

    pageBackArrow->setLeft(frames(21)->Left() - 600);
    pageBackArrow->setTop(exitImage->Top());
    pageForwardArrow->setLeft(pageBackArrow->Width() + pageBackArrow->Left() + 350);
    pageForwardArrow->setTop(exitImage->Top());

    stepBackImage->setLeft(100);
    stepBackImage->setTop(enlargedView->Height() - stepBackImage->Height() - 300);
    stepForwardImage->setTop(stepBackImage->Top());
    stepForwardImage->setLeft(enlargedView->Width() - stepForwardImage->Width() - 100);

    pageCounterHeading->setLeft(frames(22)->Width() + frames(22)->Left() - pageCounterHeading->Width() - 100);
    pageCounterHeading->setTop(exitImage->Top());
    pageCounter->setLeft(pageCounterHeading->Left());
    pageCounter->setWidth(pageCounterHeading->Width());
    pageCounter->setTop(pageCounterHeading->Height() + pageCounterHeading->Top() + 50);

    logo->setLeft(fileList->Left());
    logo->setTop(fileList->Height() + fileList->Top() + Margin);
}
