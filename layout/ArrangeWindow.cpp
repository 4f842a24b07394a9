#include "Kalvio.h"

#include "WindowColors.h"

namespace {

constexpr double CellWidth = 2000;
constexpr double CellHeight = 2000;
constexpr double GridRows = 4;
constexpr double Margin = 100;
constexpr double ColumnGap = 50;
constexpr double RowGap = 10;
constexpr double FrameInset = 100;
constexpr double CaptionStrip = 300;
constexpr double ListColumnWidth = 2000;

} // namespace

// Gives the window its fixed size and places every visible control once. All
// values are twips; halves left by the centring are kept as they are.
void Kalvio::ArrangeWindow()
{
    const double columns = GridColumns;
    setWindowSizeTwips(3 * Margin + columns * (CellWidth + ColumnGap) + ListColumnWidth,
                       2 * Margin + GridRows * (CellHeight + RowGap) + 350 + 1350);

    Dir1->setLeft(Margin);
    Dir1->setWidth(ListColumnWidth);
    const double gridLeft = Dir1->Width() + Dir1->Left() + Margin;

    for (int i = 0; i < CellCount; ++i) {
        FrameButton* frame = Okno[i];
        frame->setWidth(CellWidth);
        frame->setHeight(CellHeight);
        frame->setLeft(gridLeft + (i % GridColumns) * (CellWidth + ColumnGap));
        frame->setTop(Margin + (i / GridColumns) * (CellHeight + RowGap));
        frame->setVisible(true);
        setFrameName(i, QString::number(i));
        frame->setBackColor(WindowColors::FrameNormal);
        PictureBox* box = Obr[i];
        box->setWidth(frame->Width() - 2 * FrameInset);
        box->setHeight(frame->Height() - 2 * FrameInset - CaptionStrip);
        box->setTop(frame->Top() + FrameInset);
        box->setLeft(frame->Left() + FrameInset);
        box->setMouseIcon(Obr[0]->MouseIcon());
        box->setMousePointer(Obr[0]->mousePointer());
    }

    ZoomOkno->setTop(Okno[0]->Top() + 60);
    // From frame 1, the second column, not frame 0: intended. The view covers
    // columns 1 to 4 and leaves the first and last columns visible beside it.
    ZoomOkno->setLeft(Okno[1]->Left() + 75);
    ZoomOkno->setWidth(Okno[0]->Width() * 4);
    ZoomOkno->setHeight(Okno[0]->Height() * 4 - 100);
    ZoomOkno->setBackColor(WindowColors::ViewBack);

    Dir1->setTop(Okno[0]->Top());
    Dir1->setHeight(Okno[6]->Height() + Okno[6]->Top() - Dir1->Top());

    const FrameButton* lastFrame = Okno[CellCount - 1];
    File1->setLeft(Margin);
    File1->setWidth(ListColumnWidth);
    File1->setTop(Okno[12]->Top());
    File1->setHeight(lastFrame->Height() + lastFrame->Top() - File1->Top());

    Koniec->setLeft((Okno[23]->Width() - Koniec->Width()) / 2 + Okno[23]->Left());
    Koniec->setTop(Okno[23]->Height() + Okno[23]->Top() + 200);
    KoniecLabel->setLeft((Koniec->Width() - KoniecLabel->Width()) / 2 + Koniec->Left());
    KoniecLabel->setTop((Koniec->Height() - KoniecLabel->Height()) / 2 + Koniec->Top());

    Nazad->setLeft(Okno[21]->Left() - 600);
    Nazad->setTop(Koniec->Top());
    Vpred->setLeft(Nazad->Width() + Nazad->Left() + 350);
    Vpred->setTop(Koniec->Top());

    LupaMinus->setLeft(100);
    LupaMinus->setTop(ZoomOkno->Height() - LupaMinus->Height() - 300);
    LupaPlus->setTop(LupaMinus->Top());
    LupaPlus->setLeft(ZoomOkno->Width() - LupaPlus->Width() - 100);

    StranaText->setLeft(Okno[22]->Width() + Okno[22]->Left() - StranaText->Width() - 100);
    StranaText->setTop(Koniec->Top());
    Strana->setLeft(StranaText->Left());
    Strana->setWidth(StranaText->Width());
    Strana->setTop(StranaText->Height() + StranaText->Top() + 50);

    Logo->setLeft(File1->Left());
    Logo->setTop(File1->Height() + File1->Top() + Margin);
}
