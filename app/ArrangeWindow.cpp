#include "Kalvio.h"

#include "WindowColors.h"
#include "WindowLayout.h"

// Gives the window its fixed size and places every visible control once,
// where the layout puts them (layout/WindowLayout.cpp).
void Kalvio::arrangeWindow()
{
    ImageControl* stepBackImage = view_->stepBackImage();
    ImageControl* stepForwardImage = view_->stepForwardImage();
    const WindowLayout at =
        WindowLayout::arrange({exitImage->Place(), exitLabel->Place(), pageBackArrow->Place(),
                               pageForwardArrow->Place(), stepBackImage->Place(), stepForwardImage->Place(),
                               pageCounterHeading->Place(), pageCounter->Place(), logo->Place()});
    setWindowSizeTwips(at.windowWidth, at.windowHeight);
    source_->folderList()->Move(at.folderList);
    source_->fileList()->Move(at.fileList);
    grid_->placeCells(at.frames, at.thumbnails);
    for (int i = 0; i < CellCount; ++i)
        setFrameName(i, QString::number(i));
    view_->box()->Move(at.enlargedView);
    // The view is created in one colour and shown in another; only the
    // second is ever seen.
    view_->box()->setBackColor(WindowColors::ViewBack);
    stepBackImage->Move(at.stepBackImage);
    stepForwardImage->Move(at.stepForwardImage);
    exitImage->Move(at.exitImage);
    exitLabel->Move(at.exitLabel);
    pageBackArrow->Move(at.pageBackArrow);
    pageForwardArrow->Move(at.pageForwardArrow);
    pageCounterHeading->Move(at.pageCounterHeading);
    pageCounter->Move(at.pageCounter);
    logo->Move(at.logo);
}
