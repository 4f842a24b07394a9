#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// What the user browses, as plain values: the folder, its pictures' names in
// the order of the file list, the page shown, the entry the enlarged view
// shows, and what each frame of the grid shows at this moment. The window
// decides from this alone where the user is and what comes next; its widgets
// only draw it.
//
// The frames' names are part of the model because the grid is drawn one cell
// at a time: in the middle of a pass a frame may still show a name of the page
// shown before, or nothing, and stepping in the enlarged view goes by what the
// frames show right then.
struct Browsing {
    static constexpr int CellsPerPage = 24;
    static constexpr int Columns = 6;

    // Pages of 24 for a list of entries: 0 for none, 1 for 1 to 24, 2 for 25 to 48.
    static constexpr int pageCountFor(int entries) { return (entries + CellsPerPage - 1) / CellsPerPage; }
    // The page that holds list entry `entry`.
    static constexpr int pageOf(int entry) { return entry / CellsPerPage; }
    // The cell of its page that shows list entry `entry`.
    static constexpr int cellOf(int entry) { return entry % CellsPerPage; }
    static constexpr int firstEntryOf(int page) { return page * CellsPerPage; }
    // Whether a page lies after, or before, page `page` of `pages`.
    static constexpr bool nextPageExists(int page, int pages) { return pages - page > 1; }
    static constexpr bool previousPageExists(int page) { return page > 0; }

    // The folder whose pictures are listed.
    QString folder;
    // Its pictures' names, in the file list's order.
    QStringList names;
    // The page shown, from 0; empty until a folder is set up.
    std::optional<int> page;
    // Pages of 24 in the folder; empty until a folder is set up.
    std::optional<int> pageCount;
    // The list entry whose picture the enlarged view shows (empty until the first).
    std::optional<int> viewEntry;
    // Whether the enlarged view is open.
    bool viewOpen = false;
    // The name each frame shows under its cell now: empty for a cell the pass
    // has not reached or has cleared, the cell's number on an empty folder.
    std::array<QString, CellsPerPage> frameNames{};

    // Which way an arrow leads, as last decided and shown. A decision is
    // taken at set moments (a page turned, a picture opened), not whenever a
    // frame's name changes, so the shown arrows are part of the state.
    struct Ways {
        bool back = true;
        bool forward = true;
        bool operator==(const Ways&) const = default;
    };
    // The page arrows under the grid.
    Ways pageArrows;
    // The stepping images of the enlarged view.
    Ways viewSteps;

    int currentPage() const { return page.value_or(0); }
    int pages() const { return pageCount.value_or(0); }
    int entryCount() const { return int(names.size()); }
    // The name of list entry `entry`, empty outside the list.
    QString nameAt(int entry) const;
    // The list entry of cell `cell` of page `page`.
    static constexpr int entryOf(int page, int cell) { return firstEntryOf(page) + cell; }
    // The last entry of page `page` that the list holds (-1 for none).
    int lastEntryOf(int page) const;
    // The entry of `name` in the list, or -1.
    int entryNamed(const QString& name) const;

    bool hasNextPage() const { return nextPageExists(currentPage(), pages()); }
    bool hasPreviousPage() const { return previousPageExists(currentPage()); }
    // The page arrows that apply to the page shown.
    Ways pageArrowsNow() const { return {hasPreviousPage(), hasNextPage()}; }

    // The cell of the picture the view shows (0 before any).
    int viewCell() const { return cellOf(viewEntry.value_or(0)); }
    // Whether the view can step to the next, or previous, picture, as the
    // window decides it: within the page, when the neighbouring frame shows a
    // name; at the page's edges, when a page lies that way.
    bool canStepForward() const;
    bool canStepBack() const;
    Ways viewStepsNow() const { return {canStepBack(), canStepForward()}; }

    // The list entries worth decoding ahead at the view's size: the pictures
    // either side of the one the view shows, next first; none while it is closed.
    std::vector<int> viewNeighbours() const;
    // The pages worth decoding ahead as thumbnails: the next, then the previous.
    std::vector<int> neighbourPages() const;
};
