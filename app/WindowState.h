#pragma once

#include <QString>

#include <optional>

// What the window remembers between two events. An empty value (no page drawn
// yet, no picture enlarged yet) stays distinct from 0.
struct WindowState {
    // Index of the current page, from 0.
    std::optional<int> pageIndex;
    // Number of pages of 24 of the current folder.
    std::optional<int> pageCount;
    // Progress of the page drawing: the cell the running pass is at (0 to 23),
    // or -1 once a pass has drawn all 24 cells.
    std::optional<int> passCell;
    // The cell whose picture the enlarged view shows.
    std::optional<int> zoomCell;
    // The maker's credits: the logo message and the head of the About box.
    QString credits;
    // Printed into a cell while its picture loads.
    QString waitText;
};
