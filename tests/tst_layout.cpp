// The window's fixed layout: every position and size in twips, the pixels the
// controls land on, and how the laid-out window looks.

#include "Colors.h"
#include "Kalvio.h"
#include "TestSupport.h"

#include <QtTest>

#include <cmath>

using namespace TestSupport;

namespace {

// Where a twips rectangle lands in pixels: every edge rounded on its own.
QRect pixelsOf(double left, double top, double width, double height)
{
    const int x = qRound(left / 15);
    const int y = qRound(top / 15);
    return QRect(x, y, qRound((left + width) / 15) - x, qRound((top + height) / 15) - y);
}

// Empty when the control holds exactly these twips (no rounding) and sits on
// the pixels they give; otherwise what differs.
template <typename Control>
QString misplaced(const char* name, const Control* c, double left, double top, double width, double height)
{
    const QRectF stored(c->Left(), c->Top(), c->Width(), c->Height());
    if (stored != QRectF(left, top, width, height) || c->geometry() != pixelsOf(left, top, width, height))
        return QStringLiteral("%1 at %2,%3 %4x%5 twips, wanted %6,%7 %8x%9")
            .arg(name).arg(stored.left()).arg(stored.top()).arg(stored.width()).arg(stored.height())
            .arg(left).arg(top).arg(width).arg(height);
    return {};
}

#define EXPECT_AT(control, ...)                                                                   \
    do {                                                                                          \
        const QString problem = misplaced(#control, control, __VA_ARGS__);                        \
        QVERIFY2(problem.isEmpty(), qPrintable(problem));                                         \
    } while (false)

// A window as the load handler hands it to the layout: the two labels that
// size themselves already carry their final captions.
std::unique_ptr<Kalvio> preparedWindow()
{
    auto window = std::make_unique<Kalvio>();
    window->KoniecLabel->setCaption(QStringLiteral("Konec"));
    window->StranaText->setCaption(QStringLiteral("Obrazovka"));
    return window;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void geometryOfEveryControl();
    void framesAndThumbnailBoxes();
    void halfTwipFromAnOddDifferenceIsKept();
    void pixelsClientAreaAndLook();
};

void LayoutTest::geometryOfEveryControl()
{
    auto w = preparedWindow();
    const double textWidth = w->StranaText->Width();
    const double textHeight = w->StranaText->Height();
    const double labelWidth = w->KoniecLabel->Width();
    const double labelHeight = w->KoniecLabel->Height();
    QVERIFY(textWidth > 0 && labelWidth > 0);
    w->ArrangeWindow();

    QCOMPARE(w->Width(), 14600.0);
    QCOMPARE(w->Height(), 9940.0);
    QCOMPARE(w->minimumSize(), w->maximumSize()); // neither resizable nor maximisable
    EXPECT_AT(w->Dir1, 100, 100, 2000, 4010);
    EXPECT_AT(w->File1, 100, 4120, 2000, 4010);
    EXPECT_AT(w->Logo, 100, 8230, 6855, 975);
    // 75 twips right of frame 1, not of frame 0; its stepping images in its
    // own bottom corners.
    EXPECT_AT(w->ZoomOkno, 4325, 160, 8000, 7900);
    QCOMPARE(w->ZoomOkno->BackColor(), RGB(128, 128, 128));
    QCOMPARE(w->LupaMinus->parentWidget(), w->ZoomOkno);
    QCOMPARE(w->LupaPlus->parentWidget(), w->ZoomOkno);
    EXPECT_AT(w->LupaMinus, 100, 6760, 1290, 840);
    EXPECT_AT(w->LupaPlus, 6610, 6760, 1290, 840);
    EXPECT_AT(w->Nazad, 7750, 8330, 1290, 840);
    EXPECT_AT(w->Vpred, 9390, 8330, 1290, 840);
    // The counter ends 100 inside frame 22, its value directly under it.
    EXPECT_AT(w->StranaText, 12300 - textWidth, 8330, textWidth, textHeight);
    EXPECT_AT(w->Strana, 12300 - textWidth, 8330 + textHeight + 50, textWidth, 255);
    // The exit image centred under the last frame, its label centred on it.
    EXPECT_AT(w->Koniec, 12655, 8330, 1590, 765);
    EXPECT_AT(w->KoniecLabel, (1590 - labelWidth) / 2 + 12655, (765 - labelHeight) / 2 + 8330, labelWidth,
              labelHeight);
}

void LayoutTest::framesAndThumbnailBoxes()
{
    auto w = preparedWindow();
    // Before the layout only the first thumbnail box has the magnifier.
    QCOMPARE(w->Obr[5]->mousePointer(), MousePointer::Default);
    w->ArrangeWindow();

    const QCursor& magnifier = w->Obr[0]->MouseIcon();
    QVERIFY(!magnifier.pixmap().isNull());
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const double left = 2200 + 2050 * (i % 6);
        const double top = 100 + 2010 * (i / 6);
        EXPECT_AT(w->Okno[i], left, top, 2000, 2000);
        EXPECT_AT(w->Obr[i], left + 100, top + 100, 1800, 1500);
        QCOMPARE(w->Okno[i]->Caption(), QString::number(i));
        QCOMPARE(w->Okno[i]->BackColor(), RGB(128, 128, 128));
        QVERIFY(!w->Okno[i]->isHidden());
        QCOMPARE(w->Obr[i]->mousePointer(), MousePointer::Custom);
        QCOMPARE(w->Obr[i]->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(w->Obr[i]->MouseIcon().pixmap().toImage(), magnifier.pixmap().toImage());
        QCOMPARE(w->Obr[i]->MouseIcon().hotSpot(), magnifier.hotSpot());
    }
    EXPECT_AT(w->Okno[7], 4250, 2110, 2000, 2000);
    EXPECT_AT(w->Obr[23], 12550, 6230, 1800, 1500);
}

void LayoutTest::halfTwipFromAnOddDifferenceIsKept()
{
    auto w = preparedWindow();
    CaptionLabel* label = w->KoniecLabel;
    // A caption an odd number of pixels wide leaves an odd difference to the
    // exit image's 1590 twips, a font an even number of pixels high one to its
    // 765: both centrings then end on half a twip.
    for (const char* caption : {"Konec", "Konec.", "Konec!", "K", "Ko", "i", "ii", "W", "Wi"}) {
        label->setCaption(QLatin1String(caption));
        if (int(label->Width() / 15) % 2 == 1)
            break;
    }
    QFont font = label->font();
    for (int pixels = 10; pixels < 30 && int(label->Height() / 15) % 2 == 1; ++pixels) {
        font.setPixelSize(pixels);
        label->setLabelFont(font);
    }
    const double width = label->Width();
    const double height = label->Height();
    QVERIFY2(int(width / 15) % 2 == 1 && int(height / 15) % 2 == 0, "no odd differences found");

    w->ArrangeWindow();
    QCOMPARE(label->Left(), (1590 - width) / 2 + 12655);
    QCOMPARE(label->Top(), (765 - height) / 2 + 8330);
    QCOMPARE(std::fmod(label->Left(), 1.0), 0.5);
    QCOMPARE(std::fmod(label->Top(), 1.0), 0.5);
    QCOMPARE(label->geometry(), pixelsOf(label->Left(), label->Top(), width, height));
}

void LayoutTest::pixelsClientAreaAndLook()
{
    auto w = startIn(PictureFolder().path());
    // Whole pixels worked out by hand: each edge is its twips over 15, rounded.
    QCOMPARE(w->Okno[7]->geometry(), QRect(283, 141, 134, 133));
    QCOMPARE(w->Obr[23]->geometry(), QRect(837, 415, 120, 100));
    QCOMPARE(w->ZoomOkno->geometry(), QRect(288, 11, 534, 526));
    QCOMPARE(w->Dir1->geometry(), QRect(7, 7, 133, 267));

    // Neighbouring frames never touch, and the window holds every control.
    for (int i = 0; i + 1 < Kalvio::CellCount; ++i) {
        if (i % 6 != 5)
            QVERIFY(w->Okno[i]->geometry().right() + 1 < w->Okno[i + 1]->geometry().left());
        if (i + 6 < Kalvio::CellCount)
            QVERIFY(w->Okno[i]->geometry().bottom() + 1 < w->Okno[i + 6]->geometry().top());
    }
    const QRect client = w->client()->rect();
    for (QWidget* control : w->client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isHidden())
            QVERIFY2(client.contains(control->geometry()), control->metaObject()->className());
    }

    // The gap between frames 0 and 1 and the margins show the background; a
    // frame's edge around its thumbnail box is mid grey.
    const QImage shot = w->client()->grab().toImage();
    const QColor background(156, 194, 217);
    QCOMPARE(shot.pixelColor(281, 66), background);
    QCOMPARE(shot.pixelColor(3, 3), background);
    QCOMPARE(shot.pixelColor(200, 545), background);
    QCOMPARE(shot.pixelColor(150, 10), QColor(128, 128, 128));
    QCOMPARE(shot.pixelColor(w->Okno[23]->geometry().topLeft() + QPoint(2, 2)), QColor(128, 128, 128));
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
