// Drawing a page of 24 cells: the counter, what each cell shows and where,
// the small copies in THM, pictures that cannot be shown, and a window closed
// in the middle of a page.

#include "TestSupport.h"

#include "Colors.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using namespace TestSupport;

namespace {

// A window showing folder: started there, then pointed at it in the folder
// list (the start would otherwise descend into a subfolder such as THM).
std::unique_ptr<Kalvio> showing(const QString& folder)
{
    auto w = startIn(folder);
    w->Dir1->setPath(folder);
    return w;
}

int cellNamed(Kalvio& w, const QString& name)
{
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        if (w.Okno[i]->Caption() == name)
            return i;
    }
    return -1;
}

// Compares a cell with a picture of one colour drawn into rectangle drawn
// (pixels, may reach past the cell): a pixel wholly inside must show the
// colour, one wholly outside the background; a pixel that an edge passes
// through may be smoothed and is not judged. Returns the first mismatch.
QString fitMismatch(Kalvio& w, int cell, const QRectF& drawn, const QColor& colour)
{
    PictureBox* box = w.Obr[cell];
    const QImage& canvas = box->canvas();
    const qreal ratio = canvas.devicePixelRatio();
    const QColor background = ToQColor(box->BackColor());
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QRectF pixel(x / ratio, y / ratio, 1 / ratio, 1 / ratio);
            const QColor seen = canvas.pixelColor(x, y);
            if (drawn.contains(pixel) && !near(seen, colour, 4))
                return QStringLiteral("pixel %1,%2 inside is %3").arg(x).arg(y).arg(seen.name());
            if (!drawn.intersects(pixel) && !near(seen, background, 0))
                return QStringLiteral("pixel %1,%2 outside is %3").arg(x).arg(y).arg(seen.name());
        }
    }
    return {};
}

// A JPEG file cut off after its first bytes.
QByteArray jpegHead(int bytes)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray whole;
    QBuffer buffer(&whole);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return whole.left(bytes);
}

QByteArray hugeGifHeader()
{
    QByteArray gif("GIF89a");
    const char size[] = {char(0x60), char(0xEA), char(0x60), char(0xEA)}; // 60000 x 60000
    gif.append(size, 4).append("\x80\0\0", 3).append(QByteArray(6, '\0'));
    gif.append(',').append(QByteArray(4, '\0')).append(size, 4).append('\0');
    gif.append("\x02\x02\x4C\x01\0;", 6);
    return gif;
}

QByteArray hugeBmpHeader()
{
    QByteArray bmp(54, '\0');
    auto put32 = [&](int at, quint32 value) {
        for (int b = 0; b < 4; ++b)
            bmp[at + b] = char((value >> (8 * b)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, 60000);
    put32(22, 60000);
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp;
}

} // namespace

class ShowPageTest : public QObject {
    Q_OBJECT

private slots:
    void folderWithoutPicturesNumbersTheCells();
    void lastPageShowsItsPicturesAndClearsTheRest();
    void upperCaseRNamesUseTheirSmallCopy();
    void pictureFitsTheCell_data();
    void pictureFitsTheCell();
    void everyCellFollowsTheSizeOfCellZero();
    void picturesThatCannotBeShownLeaveTheirCellEmpty();
    void largePictureIsDrawnAsItLooks();
    void closingTheWindowStopsThePass();
};

void ShowPageTest::folderWithoutPicturesNumbersTheCells()
{
    PictureFolder folder;
    folder.addFile(QStringLiteral("empty/notes.txt"));
    addNumberedPictures(folder, QStringLiteral("full"), 3);
    auto check = [](Kalvio& w) {
        QCOMPARE(w.Strana->Caption(), QString());
        for (int i = 0; i < Kalvio::CellCount; ++i) {
            QVERIFY2(cellIsBlank(w, i), qPrintable(QString::number(i)));
            QCOMPARE(w.Okno[i]->Caption(), QString::number(i));
            QCOMPARE(w.Obr[i]->mousePointer(), MousePointer::Arrow);
        }
    };

    // At start no pass has run, and none runs: the progress stays empty.
    auto w = startIn(folder.at(QStringLiteral("empty")));
    check(*w);
    QVERIFY(!w->tags.passCell);

    // Pictures shown first, then the folder without: the cells are cleared
    // and the progress of the last pass stands unchanged.
    w->Dir1->setPath(folder.at(QStringLiteral("full")));
    QVERIFY(cellIsFilledWith(*w, 2, colorFor(2)));
    QCOMPARE(w->tags.passCell, -1);
    w->Dir1->setPath(folder.at(QStringLiteral("empty")));
    check(*w);
    QCOMPARE(w->tags.passCell, -1);
}

void ShowPageTest::lastPageShowsItsPicturesAndClearsTheRest()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("thirty"), 30);
    auto w = startIn(folder.at(QStringLiteral("thirty")));
    QCOMPARE(w->Strana->Caption(), QStringLiteral("1 z 2"));
    for (int i = 0; i < Kalvio::CellCount; ++i)
        QVERIFY2(cellIsFilledWith(*w, i, colorFor(i)), qPrintable(QString::number(i)));

    w->Vpred_Click();
    QCOMPARE(w->tags.pageIndex, 1);
    QCOMPARE(w->Strana->Caption(), QStringLiteral("2 z 2"));
    for (int i = 0; i < 6; ++i) {
        QVERIFY2(cellIsFilledWith(*w, i, colorFor(24 + i)), qPrintable(QString::number(i)));
        QCOMPARE(w->Okno[i]->Caption(), numberedName(24 + i));
        QCOMPARE(w->Obr[i]->mousePointer(), MousePointer::Custom);
    }
    for (int i = 6; i < Kalvio::CellCount; ++i) {
        QVERIFY2(cellIsBlank(*w, i), qPrintable(QString::number(i)));
        QCOMPARE(w->Okno[i]->Caption(), QString());
        QCOMPARE(w->Obr[i]->mousePointer(), MousePointer::Arrow);
    }
    QCOMPARE(w->tags.passCell, -1);
}

void ShowPageTest::upperCaseRNamesUseTheirSmallCopy()
{
    PictureFolder folder;
    const QSize full(160, 120);
    const QSize small(80, 60);
    // With its small copy; without one; lower case "r" beside a copy that an
    // upper-case name would use; a folder and a broken file in the copy's place.
    folder.addPicture(QStringLiteral("R0001.JPG"), full, colorFor(1));
    folder.addPicture(QStringLiteral("THM/T0001.JPG"), small, colorFor(11));
    folder.addPicture(QStringLiteral("R0002.JPG"), full, colorFor(2));
    folder.addPicture(QStringLiteral("r0003.jpg"), full, colorFor(3));
    folder.addPicture(QStringLiteral("THM/T0003.jpg"), small, colorFor(13));
    folder.addPicture(QStringLiteral("R0004.JPG"), full, colorFor(4));
    folder.makeFolder(QStringLiteral("THM/T0004.JPG"));
    folder.addPicture(QStringLiteral("R0005.JPG"), full, colorFor(5));
    folder.addFile(QStringLiteral("THM/T0005.JPG"), jpegHead(40));
    // A non-"R" name whose THM twin must not be used either.
    folder.addPicture(QStringLiteral("S0006.JPG"), full, colorFor(6));
    folder.addPicture(QStringLiteral("THM/S0006.JPG"), small, colorFor(16));
    folder.addPicture(QStringLiteral("THM/T0006.JPG"), small, colorFor(16));

    auto w = showing(folder.path());
    const QList<std::pair<QString, int>> expected{
        {QStringLiteral("R0001.JPG"), 11}, {QStringLiteral("R0002.JPG"), 2}, {QStringLiteral("r0003.jpg"), 3},
        {QStringLiteral("R0004.JPG"), 4},  {QStringLiteral("R0005.JPG"), 5}, {QStringLiteral("S0006.JPG"), 6}};
    for (const auto& [name, colour] : expected) {
        const int cell = cellNamed(*w, name);
        QVERIFY2(cell >= 0, qPrintable(name));
        QVERIFY2(near(cellCentre(*w, cell), colorFor(colour)), qPrintable(name));
        QCOMPARE(w->Obr[cell]->mousePointer(), MousePointer::Custom);
    }
}

void ShowPageTest::pictureFitsTheCell_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QRectF>("drawn");
    QTest::addColumn<int>("cutRows");
    // The cell is 1800 x 1500 twips, 120 x 100 pixels; rectangles in pixels.
    // Landscape: 1800 x 1350 twips at 0, 75.
    QTest::newRow("4:3") << QSize(400, 300) << QRectF(0, 5, 120, 90) << 0;
    // Portrait: 1350 x 1800 at 225, -150, so 10 of its 120 pixel rows are cut
    // at the top and 10 at the bottom. Bands of 9 of them in another colour
    // must not show.
    QTest::newRow("3:4") << QSize(270, 360) << QRectF(15, -10, 90, 120) << 27;
    // Square: the portrait rule, 1800 x 1800 at 0, -150.
    QTest::newRow("square") << QSize(360, 360) << QRectF(0, -10, 120, 120) << 27;
}

void ShowPageTest::pictureFitsTheCell()
{
    QFETCH(QSize, pixels);
    QFETCH(QRectF, drawn);
    QFETCH(int, cutRows);
    PictureFolder folder;
    QImage banded(pixels, QImage::Format_RGB32);
    banded.fill(colorFor(7));
    for (int y = 0; y < cutRows; ++y) {
        std::fill_n(reinterpret_cast<QRgb*>(banded.scanLine(y)), pixels.width(), qRgb(0, 0, 0));
        std::fill_n(reinterpret_cast<QRgb*>(banded.scanLine(pixels.height() - 1 - y)), pixels.width(), qRgb(0, 0, 0));
    }
    folder.addImage(QStringLiteral("A.BMP"), banded);
    folder.addPicture(QStringLiteral("B.JPG"), pixels, colorFor(9));
    auto w = startIn(folder.path());
    QCOMPARE(w->Obr[0]->Width(), 1800.0);
    QCOMPARE(w->Obr[0]->Height(), 1500.0);
    QCOMPARE(w->Obr[0]->canvas().size(), QSize(120, 100));

    QCOMPARE(fitMismatch(*w, 0, drawn, colorFor(7)), QString());
    // A JPEG's colours are only near the original; its place is the same.
    const QColor jpegColour = cellCentre(*w, 1);
    QVERIFY(near(jpegColour, colorFor(9)));
    QCOMPARE(fitMismatch(*w, 1, drawn, jpegColour), QString());
}

void ShowPageTest::everyCellFollowsTheSizeOfCellZero()
{
    PictureFolder folder;
    folder.addPicture(QStringLiteral("A.BMP"), QSize(400, 300), colorFor(1));
    folder.addPicture(QStringLiteral("B.BMP"), QSize(400, 300), colorFor(2));
    auto w = startIn(folder.path());

    // Cell 0 made 1500 x 1400 twips: a 4:3 picture is drawn 1500 x 1125 at
    // 0, 137 (137.5 rounded down), in cell 1 as well, which kept its size.
    w->Obr[0]->setWidth(1500);
    w->Obr[0]->setHeight(1400);
    w->ShowPage();
    const QRectF drawn(0, 137 / 15.0, 100, 75);
    QCOMPARE(fitMismatch(*w, 0, drawn, colorFor(1)), QString());
    QCOMPARE(fitMismatch(*w, 1, drawn, colorFor(2)), QString());
    // The edge rows lie where 137 twips put them, not 137.5 or 138.
    QVERIFY(!near(cellPixel(*w, 0, 750, 8 * 15), colorFor(1), 4));
    QVERIFY(near(cellPixel(*w, 0, 750, 10 * 15), colorFor(1), 4));
}

void ShowPageTest::picturesThatCannotBeShownLeaveTheirCellEmpty()
{
    PictureFolder folder;
    QByteArray garbage(4000, '\0');
    QRandomGenerator random(7);
    for (char& byte : garbage)
        byte = char(random.bounded(256));
    folder.addPicture(QStringLiteral("A.JPG"), QSize(160, 120), colorFor(0));
    folder.addFile(QStringLiteral("B.JPG"), QByteArray());
    folder.addFile(QStringLiteral("C.JPG"), jpegHead(100));
    folder.addFile(QStringLiteral("D.JPG"), garbage);
    folder.addFile(QStringLiteral("E.GIF"), hugeGifHeader());
    folder.addFile(QStringLiteral("F.BMP"), hugeBmpHeader());
    const QString gone = folder.addPicture(QStringLiteral("G.JPG"), QSize(160, 120), colorFor(6));
    const QString goneDuringPass = folder.addPicture(QStringLiteral("H.JPG"), QSize(160, 120), colorFor(7));
    folder.makeFolder(QStringLiteral("I.JPG"));
    folder.addPicture(QStringLiteral("J.BMP"), QSize(160, 120), colorFor(9));
    auto w = showing(folder.path());
    const QStringList bad{QStringLiteral("B.JPG"), QStringLiteral("C.JPG"), QStringLiteral("D.JPG"),
                          QStringLiteral("E.GIF"), QStringLiteral("F.BMP"), QStringLiteral("G.JPG"),
                          QStringLiteral("H.JPG")};
    QCOMPARE(w->File1->ListCount(), 9);
    QVERIFY(near(cellCentre(*w, cellNamed(*w, QStringLiteral("G.JPG"))), colorFor(6)));

    // Drawn again after G was deleted, and H deleted when its cell is next.
    QVERIFY(QFile::remove(gone));
    const int cellOfH = cellNamed(*w, QStringLiteral("H.JPG"));
    ScopedYieldHook hook([&] {
        if (w->tags.passCell == cellOfH)
            QFile::remove(goneDuringPass);
    });
    QElapsedTimer timer;
    timer.start();
    w->ShowPage();
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(!QFile::exists(goneDuringPass));

    QCOMPARE(w->tags.passCell, -1);
    for (const QString& name : bad) {
        const int cell = cellNamed(*w, name);
        QVERIFY2(cell >= 0, qPrintable(name));
        // Neither the wait text nor the picture loaded before stays.
        QVERIFY2(cellIsBlank(*w, cell), qPrintable(name));
        QCOMPARE(w->Obr[cell]->mousePointer(), MousePointer::Arrow);
    }
    QVERIFY(near(cellCentre(*w, cellNamed(*w, QStringLiteral("A.JPG"))), colorFor(0)));
    QVERIFY(near(cellCentre(*w, cellNamed(*w, QStringLiteral("J.BMP"))), colorFor(9), 4));
    QCOMPARE(cellNamed(*w, QStringLiteral("I.JPG")), -1);
}

void ShowPageTest::largePictureIsDrawnAsItLooks()
{
    // 4000 x 3000, left half red, right half blue.
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + 2000, qRgb(255, 0, 0));
    }
    PictureFolder folder;
    folder.addImage(QStringLiteral("Big.JPG"), image);
    auto w = startIn(folder.path());

    // Decoded for the cell, not at 12 megapixels; the size is the file's.
    const Picture& loaded = *w->Vstup->picture();
    QCOMPARE(loaded.fileSize, QSize(4000, 3000));
    QVERIFY(loaded.image.width() <= 240 && loaded.image.height() <= 180);

    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    for (double y : {6 * 15.0, 750.0, 93 * 15.0}) {
        QVERIFY(near(cellPixel(*w, 0, 15, y), red, 24));
        QVERIFY(near(cellPixel(*w, 0, 55 * 15, y), red, 24));
        QVERIFY(near(cellPixel(*w, 0, 65 * 15, y), blue, 24));
        QVERIFY(near(cellPixel(*w, 0, 118 * 15, y), blue, 24));
    }
    const QColor background = ToQColor(w->Obr[0]->BackColor());
    QCOMPARE(cellPixel(*w, 0, 30 * 15, 4 * 15), background);
    QCOMPARE(cellPixel(*w, 0, 90 * 15, 95 * 15), background);
}

void ShowPageTest::closingTheWindowStopsThePass()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("p"), 30);
    auto w = startIn(folder.at(QStringLiteral("p")));
    for (PictureBox* cell : w->Obr)
        cell->ClearPicture();

    QList<int> yields;
    ScopedYieldHook hook([&] {
        yields.append(w->tags.passCell.value_or(-2));
        if (w->tags.passCell == 5)
            w->close();
    });
    w->ShowPage();

    QCOMPARE(yields, (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(w->tags.passCell, 5);
    for (int i = 0; i < 5; ++i)
        QVERIFY(cellIsFilledWith(*w, i, colorFor(i)));
    // Cell 5 got its wait text before the close, and nothing more.
    QVERIFY(!cellIsBlank(*w, 5));
    QVERIFY(!near(cellCentre(*w, 5), colorFor(5), 40));
    for (int i = 6; i < Kalvio::CellCount; ++i)
        QVERIFY2(cellIsBlank(*w, i), qPrintable(QString::number(i)));
}

QTEST_MAIN(ShowPageTest)
#include "tst_show_page.moc"
