// Opening the enlarged view: where the picture is drawn in the 8000 x 7900
// box, the caption line under it, the dimmed grid, and the cells and files
// that must not open it.

#include "TestSupport.h"

#include "Colors.h"
#include "FolderService.h"

#include <QFile>
#include <QPainter>
#include <QtTest>

using namespace TestSupport;

namespace {

const QColor MidGrey(128, 128, 128);
const QColor LightGrey(180, 180, 180);
// A little more than a pixel: a sample this far from an edge of the drawn
// picture lies clearly on one side of it.
constexpr double Beyond = 20;
// The caption line runs from 300 twips above the bottom edge of the box.
constexpr double CaptionTop = 7900 - 300;

bool gridIsNormal(Kalvio& w)
{
    return gridHasLook(w, RGB(128, 128, 128), true);
}

// Pixels of the view's canvas, between two heights in twips, that are dark
// enough to be the black caption text.
int darkPixelsBetween(Kalvio& w, double topTwips, double bottomTwips)
{
    const QImage& canvas = w.ZoomOkno->canvas();
    const qreal ratio = canvas.devicePixelRatio();
    int dark = 0;
    for (int y = int(topTwips / 15 * ratio); y < std::min(canvas.height(), int(bottomTwips / 15 * ratio)); ++y) {
        for (int x = 0; x < canvas.width(); ++x)
            dark += qGray(canvas.pixel(x, y)) < 60;
    }
    return dark;
}

} // namespace

class PictureViewTest : public QObject {
    Q_OBJECT

private slots:
    void drawsPictureScaledAndCentred_data();
    void drawsPictureScaledAndCentred();
    void captionLineKeepsItsLast80Characters();
    void opensOverDimmedGridOnlyForCellsWithPictures();
    void brokenFilesChangeNothingAndHugeOnesOpen();
};

void PictureViewTest::drawsPictureScaledAndCentred_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QRectF>("drawn");
    QTest::newRow("landscape") << QSize(1600, 1200) << QRectF(0, 950, 8000, 6000);
    // The longer side spans the box's width also when it is the vertical one,
    // so portrait and square pictures lose 50 twips at top and bottom.
    QTest::newRow("portrait") << QSize(1200, 1600) << QRectF(1000, -50, 6000, 8000);
    QTest::newRow("square") << QSize(1200, 1200) << QRectF(0, -50, 8000, 8000);
}

void PictureViewTest::drawsPictureScaledAndCentred()
{
    QFETCH(QSize, pixels);
    QFETCH(QRectF, drawn);
    // The picture's top 80 rows are white: the band's lower edge shows where
    // the picture is cut and how it is scaled vertically.
    PictureFolder folder;
    const QColor colour = colorFor(3);
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(0, 0, pixels.width(), 80, Qt::white);
    folder.addImage(QStringLiteral("View 1.JPG"), image);
    auto w = startIn(folder.path());
    QCOMPARE(w->ZoomOkno->Width(), 8000.0);
    QCOMPARE(w->ZoomOkno->Height(), 7900.0);

    w->Obr_Click(0);
    QVERIFY(w->ZoomOkno->isVisible());
    // Decoded for the view, never at the file's size.
    QVERIFY(std::max(w->Vstup->picture()->image.width(), w->Vstup->picture()->image.height()) <= 534);

    PictureBox* view = w->ZoomOkno;
    const double midX = drawn.center().x();
    const double midY = std::min(drawn.center().y(), CaptionTop - 500);
    auto isPicture = [&](double x, double y) { return near(view->PixelAt(x, y), colour); };
    auto isBackground = [&](double x, double y) { return near(view->PixelAt(x, y), MidGrey, 2); };
    // Each edge inside the box has background beyond it; an edge outside the
    // box lets the picture reach the box's own edge.
    if (drawn.left() > 0) {
        QVERIFY(isBackground(drawn.left() - Beyond, midY));
        QVERIFY(isBackground(drawn.right() + Beyond, midY));
    }
    QVERIFY(isPicture(std::max(drawn.left(), 0.0) + Beyond, midY));
    QVERIFY(isPicture(std::min(drawn.right(), 8000.0) - Beyond, midY));
    if (drawn.top() > 0) {
        QVERIFY(isBackground(midX, drawn.top() - Beyond));
        QVERIFY(isBackground(midX, drawn.bottom() + Beyond));
        QVERIFY(isPicture(midX, drawn.bottom() - Beyond));
    } else {
        QVERIFY(isPicture(midX, CaptionTop - Beyond));
    }
    const double bandEdge = drawn.top() + drawn.height() * 80 / pixels.height();
    QVERIFY(near(view->PixelAt(midX, std::max(drawn.top(), 0.0) + Beyond), Qt::white));
    QVERIFY(near(view->PixelAt(midX, bandEdge - 2 * Beyond), Qt::white));
    QVERIFY(isPicture(midX, bandEdge + 2 * Beyond));

    // The caption line: one "/" between folder and name, and the size that
    // the file declares, though the picture was decoded smaller.
    const QString expected = w->Dir1->Path() + QStringLiteral("/View 1.JPG --> ") + QString::number(pixels.width()) +
                             QStringLiteral(" x ") + QString::number(pixels.height()) + QStringLiteral(" pixel");
    QVERIFY(expected.size() <= 80);
    QCOMPARE(view->lastPrintedLine(), expected);
    // Printed in black from 300 twips above the bottom edge, and nowhere above.
    QVERIFY(darkPixelsBetween(*w, CaptionTop, 7900) > 20);
    QCOMPARE(darkPixelsBetween(*w, 0, CaptionTop - Beyond), 0);
}

void PictureViewTest::captionLineKeepsItsLast80Characters()
{
    // The separator: exactly one "/" between folder and name, none added
    // after a folder that already ends in one (the root).
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/"), QStringLiteral("P1.JPG")), QStringLiteral("/P1.JPG"));
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/photos"), QStringLiteral("P1.JPG")),
             QStringLiteral("/photos/P1.JPG"));
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/photos/"), QStringLiteral("P1.JPG")),
             QStringLiteral("/photos/P1.JPG"));

    PictureFolder folder;
    const QString deep = QStringLiteral("holidays in the mountains 2019/second week/the lake at sunrise and sunset");
    folder.addPicture(deep + QStringLiteral("/Lake 17.BMP"), QSize(32, 24), colorFor(5));
    auto w = startIn(folder.path());
    QCOMPARE(w->Dir1->Path(), folder.at(deep));

    w->Obr_Click(0);
    const QString whole = folder.at(deep) + QStringLiteral("/Lake 17.BMP --> 32 x 24 pixel");
    QVERIFY(whole.size() > 120);
    const QString printed = w->ZoomOkno->lastPrintedLine();
    QCOMPARE(printed.size(), 80);
    QCOMPARE(printed, whole.right(80));
    // The line begins inside the path, with no mark of the cut.
    QVERIFY(folder.at(deep).endsWith(printed.left(printed.indexOf(QStringLiteral("/Lake 17.BMP")))));
}

void PictureViewTest::opensOverDimmedGridOnlyForCellsWithPictures()
{
    PictureFolder folder;
    for (int k = 0; k < 30; ++k)
        folder.addPicture(QStringLiteral("P%1.BMP").arg(k, 2, 10, QLatin1Char('0')), QSize(32, 24), colorFor(k));
    auto w = startIn(folder.path());

    // Page 1 holds 6 pictures: cell 10 has an empty caption.
    w->PageForward();
    QCOMPARE(w->Okno[10]->Caption(), QString());
    w->Obr_Click(10);
    QVERIFY(!w->ZoomOkno->isVisible());
    QVERIFY(gridIsNormal(*w));
    QVERIFY(!w->tags.zoomCell);

    w->Obr_Click(4);
    QVERIFY(w->ZoomOkno->isVisible());
    QCOMPARE(w->tags.zoomCell, 4);
    QVERIFY(gridHasLook(*w, RGB(180, 180, 180), false));
    QVERIFY(near(w->ZoomOkno->PixelAt(4000, 3950), colorFor(28)));
    // The frames beside the view, columns 0 and 5, are painted light grey.
    for (int cell : {0, 5, 18, 23})
        QCOMPARE(w->Okno[cell]->grab().toImage().pixelColor(2, 2), LightGrey);

    // A folder without pictures in the list: the cells hold the placeholders
    // 0 to 23, and a picture file named like one of them must not open.
    PictureFolder empty;
    empty.addPicture(QStringLiteral("7"), QSize(32, 24), colorFor(7));
    empty.addPicture(QStringLiteral("23"), QSize(32, 24), colorFor(23));
    auto e = startIn(empty.path());
    QCOMPARE(e->Okno[7]->Caption(), QStringLiteral("7"));
    QCOMPARE(e->Okno[23]->Caption(), QStringLiteral("23"));
    e->Obr_Click(7);
    e->Obr_Click(23);
    QVERIFY(!e->ZoomOkno->isVisible());
    QVERIFY(gridIsNormal(*e));
    QVERIFY(!e->tags.zoomCell);
}

void PictureViewTest::brokenFilesChangeNothingAndHugeOnesOpen()
{
    PictureFolder folder;
    const QColor colour = colorFor(5);
    {
        // 144 megapixels: more than Qt will decode at full size.
        QImage huge(12000, 12000, QImage::Format_RGB888);
        huge.fill(colour);
        QVERIFY(huge.save(folder.at(QStringLiteral("C5.JPG")), "JPEG", 50));
    }
    folder.addPicture(QStringLiteral("A0.JPG"), QSize(32, 24), colorFor(0));
    folder.addFile(QStringLiteral("B1.JPG"), QByteArray("not a picture at all"));
    folder.addFile(QStringLiteral("B2.BMP"), QByteArray());
    const QString vanishing = folder.addPicture(QStringLiteral("B3.BMP"), QSize(32, 24), colorFor(3));
    const QString locked = folder.addPicture(QStringLiteral("B4.BMP"), QSize(32, 24), colorFor(4));
    auto w = startIn(folder.path());
    QCOMPARE(w->Okno[5]->Caption(), QStringLiteral("C5.JPG"));
    QVERIFY(QFile::remove(vanishing));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const WithoutRootRights asUser;

    w->Obr_Click(0);
    w->ZoomOkno_Click();
    const QStringList captions = frameCaptions(*w);
    for (int cell = 1; cell <= 4; ++cell) {
        w->Obr_Click(cell);
        QVERIFY2(!w->ZoomOkno->isVisible(), qPrintable(w->Okno[cell]->Caption()));
        QVERIFY2(gridIsNormal(*w), qPrintable(w->Okno[cell]->Caption()));
        QCOMPARE(w->tags.zoomCell, 0);
        QCOMPARE(frameCaptions(*w), captions);
    }
    // The program goes on, and a picture too large to decode whole opens,
    // decoded at the view's size, with the size that its file declares.
    w->Obr_Click(5);
    QVERIFY(w->ZoomOkno->isVisible());
    QCOMPARE(w->tags.zoomCell, 5);
    QVERIFY(w->Vstup->picture()->image.width() <= 534);
    QVERIFY(near(w->ZoomOkno->PixelAt(4000, 3950), colour));
    QVERIFY(w->ZoomOkno->lastPrintedLine().endsWith(QStringLiteral("/C5.JPG --> 12000 x 12000 pixel")));
}

QTEST_MAIN(PictureViewTest)
#include "tst_picture_view.moc"
