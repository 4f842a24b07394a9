#include "Kalvio.h"

#include "NativeName.h"
#include "WindowColors.h"
#include "WindowRules.h"

namespace {

constexpr int CaptionCharacters = 80;
constexpr double CaptionAboveBottom = 300;

} // namespace

// Dims and disables the whole grid while the view is open, or gives it back
// its normal look. Counts with its own index: a call from inside a drawing
// pass leaves the pass where it was.
void Kalvio::setGridLook(int frameColor, bool enabled)
{
    for (int i = 0; i < CellCount; ++i) {
        frames[i]->setBackColor(frameColor);
        frames[i]->setEnabled(enabled);
        thumbnails[i]->setEnabled(enabled);
    }
}

// Shows the picture of cell index enlarged over the grid, with its path and
// size in pixels along the bottom.
void Kalvio::openCell(int index)
{
    openInView(index, Browsing::entryOf(browsing_.currentPage(), index));
}

// Opens the name frame `index` shows as list entry `entry`: the entry of that
// cell on the page shown, or on the page about to be shown when the view
// steps back over a page edge.
void Kalvio::openInView(int index, int entry)
{
    const QString name = browsing_.frameNames[index];
    // Shorter captions are the placeholders of cells without a picture
    // ("0" to "23"). Intended, though it means that a picture whose whole
    // name has 3 characters or fewer ("a.b") never opens.
    if (name.size() <= 3)
        return;
    const QString path = cellPath(name);
    const bool wasOpen = browsing_.viewOpen;
    // Opened from a focused cell, the view takes the keyboard along.
    const bool focusInGrid = cellOf(focusWidget()) >= 0;

    // Decoded for the view, not the file: at once when it was decoded ahead.
    const Pictures::Result picture = pictures_.get(viewRequest(name));
    const Pictures::Failure failure = picture.decoded.failure;
    const bool loaded = picture.decoded.picture.has_value();
    if (loaded)
        loadBuffer->setLoadedPicture(*picture.decoded.picture);
    // Why the picture does not open shows where the pointer rests: on the cell, or on the open view.
    thumbnails[index]->setToolTip(WindowRules::WhyNoPicture(failure));
    enlargedView->setToolTip(WindowRules::WhyNoPicture(failure));
    if (!loaded && !wasOpen)
        return;
    enlargedView->ClearPicture();
    setGridLook(WindowColors::FrameDimmed, false);
    if (!loaded) {
        // The open view stays open, empty, on the cell its caller chose.
        enlargedView->Refresh();
        return;
    }

    const int pw = loadBuffer->ScaleWidthPixels();
    const int ph = loadBuffer->ScaleHeightPixels();
    const QRectF drawn = WindowRules::FitPicture(QSize(pw, ph), QSizeF(enlargedView->Width(), enlargedView->Height()),
                                                 WindowRules::Fit::Exact);
    enlargedView->PaintPicture(loadBuffer->picture()->image, drawn.x(), drawn.y(), drawn.width(), drawn.height());
    browsing_.viewOpen = true;
    enlargedView->setVisible(true);
    enlargedView->Refresh();
    if (focusInGrid)
        enlargedView->setFocus(Qt::OtherFocusReason);

    enlargedView->setCurrentY(enlargedView->Height() - CaptionAboveBottom);
    const QString caption = path + QStringLiteral(" --> ") + QString::number(pw) + QStringLiteral(" x ") +
                            QString::number(ph) + QStringLiteral(" pixel");
    enlargedView->Print(NativeName::Display(WindowRules::LastCharacters(caption, CaptionCharacters)));
    browsing_.viewEntry = entry;
    showViewSteps();
    decodeAhead();
}

// What the view showing picture `name` asks for: the picture decoded with its
// longer side as wide as the view.
Pictures::Request Kalvio::viewRequest(const QString& name) const
{
    return {{NativeName::Encode(cellPath(name))}, pixelsFor(enlargedView->Width()), Pictures::Purpose::View};
}
