#pragma once

#include "TwipsPlacement.h"

#include <array>

// Where everything in the window sits, in twips: its fixed size, the 24
// frames with their thumbnail boxes, the two lists, the enlarged view with
// its stepping images, and the controls under the grid. Worked out once from
// the sizes of the controls that size themselves (images take their
// picture's size, labels their caption's); halves left by centring are kept.
struct WindowLayout {
    static constexpr int Cells = 24;
    static constexpr int Columns = 6;

    // The sizes the controls have taken themselves.
    struct Given {
        TwipsRect exitImage, exitLabel, pageBackArrow, pageForwardArrow;
        TwipsRect stepBackImage, stepForwardImage;
        TwipsRect pageCounterHeading, pageCounter, logo;
    };
    static WindowLayout arrange(const Given& given);

    Twips windowWidth;
    Twips windowHeight;
    std::array<TwipsRect, Cells> frames{};
    std::array<TwipsRect, Cells> thumbnails{};
    TwipsRect folderList, fileList;
    TwipsRect enlargedView;
    // Inside the enlarged view, from its top-left corner.
    TwipsRect stepBackImage, stepForwardImage;
    TwipsRect exitImage, exitLabel, pageBackArrow, pageForwardArrow;
    TwipsRect pageCounterHeading, pageCounter, logo;
};
