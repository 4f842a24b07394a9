// The window-system layer under the window: native file names, name order,
// picture boxes, twips placement and path joining.

#include "Colors.h"
#include "FolderService.h"
#include "NativeName.h"
#include "NaturalOrder.h"
#include "PictureBox.h"
#include "TwipsPlacement.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <string>

namespace {

QString hex(const std::string& bytes)
{
    return QString::fromLatin1(QByteArray::fromStdString(bytes).toHex(' '));
}

int countDifferent(const QImage& image, QRgb background)
{
    int different = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            different += (image.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u);
    return different;
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void nativeNamesRoundTripEveryByte();
    void nativeNamesDecodeAndDisplay();
    void naturalOrder();
    void pictureBoxDrawsWhileHidden();
    void pictureBoxClearClsAndPrint();
    void twipsKeepHalvesAndPathsJoin();
};

void PlatformTest::nativeNamesRoundTripEveryByte()
{
    std::vector<std::string> samples;
    for (int b = 0; b < 256; ++b)
        samples.push_back(std::string(1, char(b)) + "x" + std::string(1, char(b)));
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    samples.push_back(all);
    // Invalid UTF-8: overlong forms, surrogates, past U+10FFFF, cut-off
    // sequences, stray continuation bytes, and the UTF-8 of an escape unit.
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xED\xB3\xBF", "\xF4\x90\x80\x80",
                            "\xF8\x88\x80\x80\x80", "a\xE2\x82", "\xE2\x82z", "\x80\xBF", "\xFE\xFF", "\xF0\x9F\x98"})
        samples.push_back(bad);
    // Valid names of one to four bytes a character.
    for (const char* good : {"IMG_0001.JPG", "\xC4\x8C" "ekejte", "\xE2\x82\xAC", "\xF0\x9F\x92\x80.jpg",
                             "\xF0\x9F\x98\x80\xFF", "\xF4\x8F\xBF\xBF"})
        samples.push_back(good);
    QRandomGenerator random(20240611);
    for (int k = 0; k < 3000; ++k) {
        std::string bytes(random.bounded(1, 12), '\0');
        for (char& c : bytes)
            c = char(random.bounded(2) ? random.bounded(0x80, 0x100) : random.bounded(1, 0x100));
        samples.push_back(bytes);
    }
    for (const std::string& bytes : samples) {
        const QString name = NativeName::Decode(bytes);
        QVERIFY2(NativeName::Encode(name) == bytes, qPrintable(hex(bytes)));
        QVERIFY2(NativeName::ToPath(name).native() == bytes, qPrintable(hex(bytes)));
        QCOMPARE(NativeName::FromPath(NativeName::ToPath(name)), name);
    }
}

void PlatformTest::nativeNamesDecodeAndDisplay()
{
    // Valid UTF-8 decodes to its characters and shows unchanged.
    for (const char* good : {"\xC4\x8C" "ekejte...", "\xF0\x9F\x92\x80", "fotka \xE2\x82\xAC.jpg"}) {
        const QString name = NativeName::Decode(good);
        QCOMPARE(name, QString::fromUtf8(good));
        QCOMPARE(NativeName::Display(name), name);
    }
    // Only the bytes that are not UTF-8 show as replacement characters.
    QCOMPARE(NativeName::Display(NativeName::Decode("bad\xff.jpg")), QStringLiteral("bad\uFFFD.jpg"));
    QCOMPARE(NativeName::Display(NativeName::Decode("\xC3(\xC3\xA9")), QStringLiteral("\uFFFD(\u00E9"));
    QCOMPARE(NativeName::Display(NativeName::Decode("\xF0\x9F\x98\x80\xFF")), QStringLiteral("\U0001F600\uFFFD"));
    QCOMPARE(NativeName::Display(NativeName::Decode("\xED\xA0\x80")), QStringLiteral("\uFFFD\uFFFD\uFFFD"));
    // A character outside the basic plane whose second half looks like an
    // escaped byte stays what it is.
    QCOMPARE(NativeName::Display(QStringLiteral("\U0001F480")), QStringLiteral("\U0001F480"));
    QCOMPARE(NativeName::Encode(QStringLiteral("\U0001F480")), std::string("\xF0\x9F\x92\x80"));
}

void PlatformTest::naturalOrder()
{
    QStringList names{QStringLiteral("IMG10.jpg"), QStringLiteral("img2.jpg"), QStringLiteral("IMG1.jpg"),
                      QStringLiteral("b.jpg"),     QStringLiteral("A.jpg"),    QStringLiteral("IMG02.jpg"),
                      QStringLiteral("IMG100000000000000000000.jpg"), QStringLiteral("IMG99999999999999999999.jpg"),
                      QStringLiteral("IMG"), QStringLiteral("a.jpg")};
    NaturalOrder::Sort(names);
    const QStringList expected{QStringLiteral("A.jpg"), QStringLiteral("a.jpg"), QStringLiteral("b.jpg"),
                               QStringLiteral("IMG"),   QStringLiteral("IMG1.jpg"), QStringLiteral("IMG02.jpg"),
                               QStringLiteral("img2.jpg"), QStringLiteral("IMG10.jpg"),
                               QStringLiteral("IMG99999999999999999999.jpg"),
                               QStringLiteral("IMG100000000000000000000.jpg")};
    QCOMPARE(names, expected);
    QVERIFY(NaturalOrder::Less(QStringLiteral("IMG2"), QStringLiteral("IMG10")));
    QVERIFY(!NaturalOrder::Less(QStringLiteral("IMG10"), QStringLiteral("IMG2")));
    // A strict order: never both ways, never a name before itself, the same
    // result in whatever order the names arrive.
    for (const QString& a : expected) {
        QVERIFY(!NaturalOrder::Less(a, a));
        for (const QString& b : expected)
            QVERIFY(a == b || NaturalOrder::Less(a, b) != NaturalOrder::Less(b, a));
    }
    QStringList reversed = expected;
    std::reverse(reversed.begin(), reversed.end());
    NaturalOrder::Sort(reversed);
    QCOMPARE(reversed, expected);
}

void PlatformTest::pictureBoxDrawsWhileHidden()
{
    QWidget window;
    window.resize(200, 200);
    PictureBox box(&window);
    box.Move(150, 150, 1500, 1200); // 100 x 80 pixels
    box.setBackColor(RGB(0, 0, 255));
    box.hide();
    window.show();

    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    // A rectangle of whole pixels, then one that reaches past the top left.
    box.PaintPicture(red, 150, 150, 300, 300);
    box.PaintPicture(red, -150, -150, 300, 300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(box.PixelAt(150, 150), QColor(Qt::red));
    QCOMPARE(box.PixelAt(435, 435), QColor(Qt::red));
    QCOMPARE(box.PixelAt(450, 450), QColor(Qt::blue));
    QCOMPARE(box.PixelAt(0, 0), QColor(Qt::red));
    QCOMPARE(box.PixelAt(135, 135), QColor(Qt::red));
    QCOMPARE(box.PixelAt(1000, 1000), QColor(Qt::blue));
    // What the widget shows on screen is its drawing, also after repaints.
    box.repaint();
    const QImage shown = box.grab().toImage();
    QCOMPARE(shown.size(), QSize(100, 80));
    QCOMPARE(shown.pixelColor(12, 12), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(50, 50), QColor(Qt::blue));
    // Hiding and showing again loses nothing.
    box.hide();
    box.show();
    QCOMPARE(box.grab().toImage().pixelColor(12, 12), QColor(Qt::red));
}

void PlatformTest::pictureBoxClearClsAndPrint()
{
    PictureBox box;
    box.Move(0, 0, 1500, 1500);
    box.setBackColor(RGB(255, 255, 255));
    box.setForeColor(RGB(0, 0, 0));
    box.setFontSize(8);
    box.setFontBold(true);
    QCOMPARE(box.FontSize(), 8.0);
    QVERIFY(box.FontBold());
    const QRgb white = qRgb(255, 255, 255);

    box.Print(QStringLiteral("\r\n\r\n  Čekejte..."));
    const double lineHeight = box.CurrentY() / 3;
    QVERIFY(lineHeight > 0);
    QVERIFY(countDifferent(box.canvas(), white) > 0);
    // The two empty lines leave the top of the box untouched.
    QCOMPARE(countDifferent(box.canvas().copy(0, 0, 100, int(2 * lineHeight / 15) - 1), white), 0);

    box.Cls();
    QCOMPARE(box.CurrentY(), 0.0);
    QCOMPARE(countDifferent(box.canvas(), white), 0);

    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    box.setCurrentY(300);
    box.PaintPicture(red, 0, 0, 1500, 1500);
    box.ClearPicture();
    QCOMPARE(countDifferent(box.canvas(), white), 0);
    // Clearing the picture keeps the print position.
    QCOMPARE(box.CurrentY(), 300.0);
    box.setBackColor(RGB(0, 128, 0));
    QCOMPARE(countDifferent(box.canvas(), qRgb(0, 128, 0)), 0);
}

void PlatformTest::twipsKeepHalvesAndPathsJoin()
{
    QWidget parent;
    PictureBox box(&parent);
    box.setLeft(7.5);
    box.setTop(1000.5);
    box.setWidth(30);
    box.setHeight(14.5);
    QCOMPARE(box.Left(), 7.5);
    QCOMPARE(box.Top(), 1000.5);
    QCOMPARE(box.Height(), 14.5);
    // Each edge on its nearest pixel: 0.5 -> 1, 2.5 -> 3, 66.7 -> 67, 67.7 -> 68.
    QCOMPARE(box.geometry(), QRect(1, 67, 2, 1));
    QCOMPARE(TwipsPlacement::PixelRect(4325, 160, 8000, 7900), QRect(288, 11, 534, 526));

    QCOMPARE(FolderService::JoinPath(QStringLiteral("/"), QStringLiteral("a")), QStringLiteral("/a"));
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/x"), QStringLiteral("a")), QStringLiteral("/x/a"));
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/x/"), QStringLiteral("a.jpg")), QStringLiteral("/x/a.jpg"));
}

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
