// The window's rules, each checked where it is defined: the small copy's name, where a picture goes in a box
// and the view's caption cut; and that twips and pixels do not mix.

#include "TwipsPlacement.h"
#include "WindowRules.h"

#include <QtTest>

#include <type_traits>

using namespace WindowRules;

namespace {

// Twips and plain numbers (pixels, counts) do not mix: neither converts to
// the other, and no arithmetic or comparison takes one of each.
template <typename A, typename B>
concept Addable = requires(A a, B b)
{
    a + b;
};
template <typename A, typename B>
concept Ordered = requires(A a, B b)
{
    a < b;
};
static_assert(!std::is_convertible_v<int, Twips> && !std::is_convertible_v<double, Twips>);
static_assert(!std::is_convertible_v<Twips, int> && !std::is_convertible_v<Twips, double>);
static_assert(Addable<Twips, Twips> && !Addable<Twips, int> && !Addable<double, Twips>);
static_assert(Ordered<Twips, Twips> && !Ordered<Twips, int> && !Ordered<double, Twips>);
static_assert(!std::is_invocable_v<decltype(&TwipsPlacement::setLeft), TwipsPlacement&, int>);
static_assert(Twips::fromPixels(2) == 30_tw && (45_tw).pixelsF() == 3.0 && 7.5_tw / 2.5_tw == 3.0);

} // namespace

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void thumbnailName();
    void fitPicture_data();
    void fitPicture();
    void captionCutKeepsWholeCharacters();
};

void RulesTest::thumbnailName()
{
    QCOMPARE(ThumbnailName("R0007.JPG"), QString("THM/T0007.JPG"));
    QCOMPARE(ThumbnailName("r0001.jpg"), QString("r0001.jpg")); // only an upper-case R
    QCOMPARE(ThumbnailName("IMG_0001.JPG"), QString("IMG_0001.JPG"));
}

void RulesTest::fitPicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSizeF>("box");
    QTest::addColumn<int>("fit");
    QTest::addColumn<QRectF>("placed");
    const int whole = int(Fit::WholeTwips), exact = int(Fit::Exact);
    QTest::newRow("cell 4:3") << QSize(4, 3) << QSizeF(1800, 1500) << whole << QRectF(0, 75, 1800, 1350);
    // Portrait: as high as the cell is wide, 150 cut at top and bottom.
    QTest::newRow("cell 3:4") << QSize(3, 4) << QSizeF(1800, 1500) << whole << QRectF(225, -150, 1350, 1800);
    QTest::newRow("cell square") << QSize(5, 5) << QSizeF(1800, 1500) << whole << QRectF(0, -150, 1800, 1800);
    // 1125 high leaves 137.5 above, rounded down.
    QTest::newRow("cell 1500 x 1400") << QSize(4, 3) << QSizeF(1500, 1400) << whole << QRectF(0, 137, 1500, 1125);
    // The short side is rounded down first, the offset then taken from it.
    QTest::newRow("cell 6:7") << QSize(6, 7) << QSizeF(1800, 1500) << whole << QRectF(129, -150, 1542, 1800);
    QTest::newRow("view 1600 x 1200") << QSize(1600, 1200) << QSizeF(8000, 7900) << exact << QRectF(0, 950, 8000, 6000);
    QTest::newRow("view 1200 x 1600") << QSize(1200, 1600) << QSizeF(8000, 7900) << exact
                                      << QRectF(1000, -50, 6000, 8000);
    QTest::newRow("view 7:9") << QSize(7, 9) << QSizeF(8000, 7900) << exact
                              << QRectF(4000 - 8000 * 7 / 18.0, -50, 8000 * 7 / 9.0, 8000);
}

void RulesTest::fitPicture()
{
    QFETCH(QSize, picture);
    QFETCH(QSizeF, box);
    QFETCH(int, fit);
    QFETCH(QRectF, placed);
    QCOMPARE(FitPicture(picture, box, Fit(fit)), placed);
}

// The caption keeps its last 80 characters; a character outside the basic
// plane (two UTF-16 units) at the cut is kept whole or dropped whole.
void RulesTest::captionCutKeepsWholeCharacters()
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, two UTF-16 units
    const QString tail = QString(79, u'x');
    QCOMPARE(LastCharacters(face + tail, 80), face + tail);
    QCOMPARE(LastCharacters(QStringLiteral("ab") + face + tail, 80), face + tail);
    QCOMPARE(LastCharacters(face + face + tail, 81), face + face + tail);
    QCOMPARE(LastCharacters(QStringLiteral("short"), 80), QStringLiteral("short"));
}

QTEST_APPLESS_MAIN(RulesTest)

#include "tst_rules.moc"
