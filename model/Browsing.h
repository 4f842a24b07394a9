#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// What the user browses: the folder, its pictures' names in the order of the
// file list, the page shown, the entry the enlarged view shows, and what each
// frame of the grid shows at this moment. It is the one owner of these: the
// window, the grid and the full-screen view read it and change it through
// its functions, and it tells its observers what changed, so that widgets
// only draw it. No widget, no QObject.
//
// What each frame shows is part of the model because the grid is drawn one
// cell at a time: in the middle of a pass a frame may still show a name of
// the page shown before, or nothing, and stepping in the enlarged view goes
// by what the frames show right then.
class Browsing {
public:
    static constexpr int CellsPerPage = 24;
    static constexpr int Columns = 6;

    // Pages of 24 for a list of entries: 0 for none, 1 for 1 to 24, 2 for 25 to 48.
    static constexpr int pageCountFor(int entries) { return (entries + CellsPerPage - 1) / CellsPerPage; }
    // The page that holds list entry `entry`.
    static constexpr int pageOf(int entry) { return entry / CellsPerPage; }
    // The cell of its page that shows list entry `entry`.
    static constexpr int cellOf(int entry) { return entry % CellsPerPage; }
    static constexpr int firstEntryOf(int page) { return page * CellsPerPage; }
    // The list entry of cell `cell` of page `page`.
    static constexpr int entryOf(int page, int cell) { return firstEntryOf(page) + cell; }
    // Whether a page lies after, or before, page `page` of `pages`.
    static constexpr bool nextPageExists(int page, int pages) { return pages - page > 1; }
    static constexpr bool previousPageExists(int page) { return page > 0; }

    // Which way an arrow leads, as last decided and shown. A decision is
    // taken at set moments (a page turned, a picture opened), not whenever a
    // frame's name changes, so the shown arrows are part of the state.
    struct Ways {
        bool back = true;
        bool forward = true;
        bool operator==(const Ways&) const = default;
    };

    // What changed, for the observers; `cell` says which frame for ShownName.
    enum class Change { Listing, Page, PageArrows, ViewSteps, View, ShownName };
    using Observer = std::function<void(Change change, int cell)>;
    // Observers are told of every change, in the order they were added, as
    // soon as it is made. Observing changes nothing that is browsed.
    void observe(Observer observer) const { observers_.push_back(std::move(observer)); }

    // ---- The folder and its pictures ----
    // A folder newly listed: its names, shown from page `page` (0 when
    // outside its pages), the page count of those names.
    void setListing(const QString& folder, const QStringList& names, int page = 0);
    const QString& folder() const { return folder_; }
    const QStringList& names() const { return names_; }
    int entryCount() const { return int(names_.size()); }
    // The name of list entry `entry`, empty outside the list.
    QString nameAt(int entry) const;
    // The entry of `name` in the list, or -1.
    int entryNamed(const QString& name) const;
    // `entry` moved into the list (0 for an empty one).
    int clampedEntry(int entry) const;

    // ---- Pages ----
    // The page shown, from 0; empty until a folder is set up.
    std::optional<int> page() const { return page_; }
    int currentPage() const { return page_.value_or(0); }
    // Pages of 24 in the folder; empty until a folder is set up.
    std::optional<int> pageCount() const { return pageCount_; }
    int pages() const { return pageCount_.value_or(0); }
    // Turns to page `page` (kept within the folder's pages).
    void setPage(int page);
    bool hasNextPage() const { return nextPageExists(currentPage(), pages()); }
    bool hasPreviousPage() const { return previousPageExists(currentPage()); }
    // The page arrows that apply to the page shown, and those last decided.
    Ways pageArrowsNow() const { return {hasPreviousPage(), hasNextPage()}; }
    const Ways& pageArrows() const { return pageArrows_; }
    // Decides the page arrows from the page shown.
    void decidePageArrows();
    // The pages worth decoding ahead as thumbnails: the next, then the previous.
    std::vector<int> neighbourPages() const;
    // "2 z 5" for page 2 of 5; empty while there are no pages.
    QString counterText() const;

    // ---- What the frames show ----
    // The name frame `cell` shows now: empty for a cell the pass has not
    // reached or has cleared, the cell's number on an empty folder.
    const QString& shownName(int cell) const { return shownNames_.at(std::size_t(cell)); }
    void setShownName(int cell, const QString& name);
    // The picture the frame of `cell` names, as the enlarged view opens it:
    // empty for a shorter name, which is a placeholder ("0" to "23").
    // Intended, though it means that a picture whose whole name has 3
    // characters or fewer ("a.b") never opens.
    QString pictureShownAt(int cell) const;
    // The list entry cell `cell` shows a picture of now, or -1: it names a
    // picture, and that of its entry on the page shown (not a name a pass
    // left there from another page).
    int entryShownAt(int cell) const;
    // The cell an arrow key leads to from `cell` by `by` (±1 across, ±6
    // down and up): it stays in the grid's row at its left and right edges
    // and in the grid at its top and bottom; cell 0 from none (-1).
    static int cellAfterArrow(int cell, int by);

    // ---- The enlarged view ----
    // The list entry whose picture the enlarged view shows (empty until the first).
    std::optional<int> viewEntry() const { return viewEntry_; }
    void setViewEntry(int entry);
    // Whether the enlarged view is open.
    bool viewOpen() const { return viewOpen_; }
    void setViewOpen(bool open);
    // The cell of the picture the view shows (0 before any).
    int viewCell() const { return cellOf(viewEntry_.value_or(0)); }
    // Whether the view can step to the next, or previous, picture: within
    // the page, when the neighbouring frame shows a name; at the page's
    // edges, when a page lies that way. The page is that of the view's entry,
    // not the page shown: when the view steps back over a page edge, the
    // picture opens before its page becomes the page shown.
    bool canStepForward() const;
    bool canStepBack() const;
    Ways viewStepsNow() const { return {canStepBack(), canStepForward()}; }
    const Ways& viewSteps() const { return viewSteps_; }
    // Decides the view's stepping images from what the frames show now.
    void decideViewSteps();

    // ---- Full screen and decoding ahead ----
    // The entry F opens: the view's picture while it is open, the focused
    // cell's picture (focusedCell -1: none), the view's last picture when it
    // is on the page shown, else the page's first; -1 for none.
    int fullScreenEntry(int focusedCell) const;
    // The entries either side of `entry` worth decoding ahead, next first,
    // those in the list only.
    std::vector<int> neighboursOf(int entry) const;
    // The view's neighbours while it is open; none while it is closed.
    std::vector<int> viewNeighbours() const;

private:
    void tell(Change change, int cell = -1) const;

    QString folder_;
    QStringList names_;
    std::optional<int> page_;
    std::optional<int> pageCount_;
    std::optional<int> viewEntry_;
    bool viewOpen_ = false;
    std::array<QString, CellsPerPage> shownNames_{};
    Ways pageArrows_;
    Ways viewSteps_;
    mutable std::vector<Observer> observers_;
};
