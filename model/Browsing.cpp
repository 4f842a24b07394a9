#include "Browsing.h"

#include <algorithm>
#include <cstdlib>

void Browsing::tell(Change change, int cell) const
{
    for (const Observer& observer : observers_)
        observer(change, cell);
}

void Browsing::setListing(const QString& folder, const QStringList& names, int page)
{
    folder_ = folder;
    names_ = names;
    pageCount_ = pageCountFor(entryCount());
    page_ = page >= 0 && page < pages() ? page : 0;
    tell(Change::Listing);
    tell(Change::Page);
}

QString Browsing::nameAt(int entry) const
{
    if (entry < 0 || entry >= names_.size())
        return {};
    return names_.at(entry);
}

int Browsing::entryNamed(const QString& name) const
{
    return int(names_.indexOf(name));
}

int Browsing::clampedEntry(int entry) const
{
    return std::clamp(entry, 0, std::max(entryCount() - 1, 0));
}

void Browsing::setPage(int page)
{
    page_ = std::clamp(page, 0, std::max(pages() - 1, 0));
    tell(Change::Page);
}

void Browsing::decidePageArrows()
{
    pageArrows_ = pageArrowsNow();
    tell(Change::PageArrows);
}

std::vector<int> Browsing::neighbourPages() const
{
    std::vector<int> neighbours;
    for (const int neighbour : {currentPage() + 1, currentPage() - 1}) {
        if (neighbour >= 0 && neighbour < pages())
            neighbours.push_back(neighbour);
    }
    return neighbours;
}

QString Browsing::counterText() const
{
    if (pages() == 0)
        return {};
    return QString::number(currentPage() + 1) + QStringLiteral(" z ") + QString::number(pages());
}

void Browsing::setShownName(int cell, const QString& name)
{
    shownNames_.at(std::size_t(cell)) = name;
    tell(Change::ShownName, cell);
}

QString Browsing::pictureShownAt(int cell) const
{
    const QString& name = shownName(cell);
    return name.size() > 3 ? name : QString();
}

int Browsing::entryShownAt(int cell) const
{
    const int entry = entryOf(currentPage(), cell);
    const QString picture = pictureShownAt(cell);
    return !picture.isEmpty() && picture == nameAt(entry) ? entry : -1;
}

int Browsing::cellAfterArrow(int cell, int by)
{
    if (cell < 0)
        return 0;
    const bool leavesRow = std::abs(by) == 1 && cell / Columns != (cell + by) / Columns;
    return cell + by < 0 || cell + by >= CellsPerPage || leavesRow ? cell : cell + by;
}

void Browsing::setViewEntry(int entry)
{
    viewEntry_ = entry;
    tell(Change::View);
}

void Browsing::setViewOpen(bool open)
{
    viewOpen_ = open;
    tell(Change::View);
}

bool Browsing::canStepForward() const
{
    const int cell = viewCell();
    if (cell < CellsPerPage - 1)
        return !shownName(cell + 1).isEmpty();
    return nextPageExists(pageOf(viewEntry_.value_or(0)), pages());
}

bool Browsing::canStepBack() const
{
    const int cell = viewCell();
    if (cell > 0)
        return !shownName(cell - 1).isEmpty();
    return previousPageExists(pageOf(viewEntry_.value_or(0)));
}

void Browsing::decideViewSteps()
{
    viewSteps_ = viewStepsNow();
    tell(Change::ViewSteps);
}

int Browsing::fullScreenEntry(int focusedCell) const
{
    if (viewOpen_ && viewEntry_)
        return *viewEntry_;
    if (focusedCell >= 0 && entryShownAt(focusedCell) >= 0)
        return entryShownAt(focusedCell);
    if (viewEntry_ && pageOf(*viewEntry_) == currentPage())
        return *viewEntry_;
    const int first = firstEntryOf(currentPage());
    return first < entryCount() ? first : -1;
}

std::vector<int> Browsing::neighboursOf(int entry) const
{
    std::vector<int> neighbours;
    for (const int neighbour : {entry + 1, entry - 1}) {
        if (!nameAt(neighbour).isEmpty())
            neighbours.push_back(neighbour);
    }
    return neighbours;
}

std::vector<int> Browsing::viewNeighbours() const
{
    if (!viewOpen_ || !viewEntry_)
        return {};
    return neighboursOf(*viewEntry_);
}
