#include "Browsing.h"

QString Browsing::nameAt(int entry) const
{
    if (entry < 0 || entry >= names.size())
        return {};
    return names.at(entry);
}

int Browsing::lastEntryOf(int page) const
{
    const int last = std::min(firstEntryOf(page + 1), entryCount()) - 1;
    return last >= firstEntryOf(page) ? last : -1;
}

int Browsing::entryNamed(const QString& name) const
{
    return int(names.indexOf(name));
}

// The page of the view's entry, not the page shown: when the view steps back
// over a page edge, the picture opens before its page becomes the page shown.
bool Browsing::canStepForward() const
{
    const int cell = viewCell();
    if (cell < CellsPerPage - 1)
        return !frameNames[cell + 1].isEmpty();
    return nextPageExists(pageOf(viewEntry.value_or(0)), pages());
}

bool Browsing::canStepBack() const
{
    const int cell = viewCell();
    if (cell > 0)
        return !frameNames[cell - 1].isEmpty();
    return previousPageExists(pageOf(viewEntry.value_or(0)));
}

std::vector<int> Browsing::viewNeighbours() const
{
    std::vector<int> neighbours;
    if (!viewOpen || !viewEntry)
        return neighbours;
    for (const int entry : {*viewEntry + 1, *viewEntry - 1}) {
        if (!nameAt(entry).isEmpty())
            neighbours.push_back(entry);
    }
    return neighbours;
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
