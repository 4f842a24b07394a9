#include "Kalvio.h"

#include "Colors.h"
#include "NativeName.h"

namespace {

constexpr int LightGrey = RGB(180, 180, 180);
constexpr int CaptionCharacters = 80;
constexpr double CaptionAboveBottom = 300;

// The last count characters of text, never starting inside a character
// that takes two UTF-16 units.
QString lastCharacters(const QString& text, int count)
{
    qsizetype start = text.size();
    for (int taken = 0; taken < count && start > 0; ++taken) {
        --start;
        if (start > 0 && text.at(start).isLowSurrogate() && text.at(start - 1).isHighSurrogate())
            --start;
    }
    return text.mid(start);
}

} // namespace

// Dims and disables the whole grid while the view is open, or gives it back
// its normal look. Counts with its own index: a call from inside a drawing
// pass leaves the pass where it was.
void Kalvio::setGridLook(int frameColor, bool enabled)
{
    for (int i = 0; i < CellCount; ++i) {
        Okno[i]->setBackColor(frameColor);
        Okno[i]->setEnabled(enabled);
        Obr[i]->setEnabled(enabled);
    }
}

// Shows the picture of cell index enlarged over the grid, with its path and
// size in pixels along the bottom.
void Kalvio::Obr_Click(int index)
{
    const QString name = Okno[index]->Caption();
    // Shorter captions are the placeholders of cells without a picture.
    if (name.size() <= 3)
        return;
    const QString path = cellPath(name);
    const bool wasOpen = ZoomOkno->Visible();

    // Decoded for the view, not the file: the longer side spans the view's width.
    const bool loaded = Vstup->LoadPicture(path, pixelsFor(ZoomOkno->Width())) == Pictures::Failure::None;
    if (!loaded && !wasOpen)
        return;
    ZoomOkno->ClearPicture();
    setGridLook(LightGrey, false);
    if (!loaded) {
        // The open view stays open, empty, on the cell its caller chose.
        ZoomOkno->Refresh();
        return;
    }

    const double pw = Vstup->ScaleWidthPixels();
    const double ph = Vstup->ScaleHeightPixels();
    const double box = ZoomOkno->Width();
    const double width = pw > ph ? box : (pw / ph) * box;
    const double height = pw > ph ? (ph / pw) * box : box;
    const double x = (ZoomOkno->Width() - width) / 2;
    const double y = (ZoomOkno->Height() - height) / 2;
    ZoomOkno->PaintPicture(Vstup->picture()->image, x, y, width, height);
    ZoomOkno->setVisible(true);
    ZoomOkno->Refresh();

    ZoomOkno->setCurrentY(ZoomOkno->Height() - CaptionAboveBottom);
    const QString caption = path + QStringLiteral(" --> ") + QString::number(int(pw)) + QStringLiteral(" x ") +
                            QString::number(int(ph)) + QStringLiteral(" pixel");
    ZoomOkno->Print(NativeName::Display(lastCharacters(caption, CaptionCharacters)));
    tags.zoomCell = index;
    UpdateZoomArrows();
}
