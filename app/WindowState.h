#pragma once

#include <QString>

#include <optional>

// What the window remembers between two events besides what is browsed. An
// empty value (no page drawn yet) stays distinct from 0.
struct WindowState {
    // Progress of the page drawing: the cell the running pass is at (0 to 23),
    // or -1 once a pass has drawn all 24 cells.
    std::optional<int> passCell;
    // The maker's credits: the logo message and the head of the About box.
    QString credits;
    // Printed into a cell while its picture loads.
    QString waitText;
};
