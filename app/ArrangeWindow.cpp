#include "Kalvio.h"

#include "CaptionLabel.h"
#include "CommandButton.h"
#include "EnlargedView.h"
#include "FolderSource.h"
#include "ImageControl.h"
#include "PageGrid.h"
#include "WindowLayout.h"

// Gives the window its fixed size and places every visible control once,
// where the layout puts them (layout/WindowLayout.cpp).
void Kalvio::arrangeWindow()
{
    const WindowLayout at =
        WindowLayout::arrange({exitImage_->Place(), exitLabel_->Place(), pageBackArrow_->Place(),
                               pageForwardArrow_->Place(), view_->stepBackImagePlace(), view_->stepForwardImagePlace(),
                               pageCounterHeading_->Place(), pageCounter_->Place(), logo_->Place()});
    setWindowSizeTwips(at.windowWidth, at.windowHeight);
    source_->place(at.folderList, at.fileList);
    grid_->placeCells(at.frames, at.thumbnails);
    for (int i = 0; i < CellCount; ++i)
        browsing_.setShownName(i, QString::number(i));
    view_->place(at.enlargedView, at.stepBackImage, at.stepForwardImage);
    viewWidth_ = at.enlargedView.width;
    exitImage_->Move(at.exitImage);
    exitLabel_->Move(at.exitLabel);
    pageBackArrow_->Move(at.pageBackArrow);
    pageForwardArrow_->Move(at.pageForwardArrow);
    pageCounterHeading_->Move(at.pageCounterHeading);
    pageCounter_->Move(at.pageCounter);
    logo_->Move(at.logo);
}
