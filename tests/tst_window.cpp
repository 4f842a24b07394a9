// The window: its fixed layout, what start-up leaves behind, the credit boxes and every way out.

#include "Colors.h"
#include "CommandLine.h"
#include "TestSupport.h"
#include "WindowColors.h"

#include <QAccessible>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include <functional>

using namespace TestSupport;

namespace {

// Checks that control holds exactly these twips and sits on the pixels whose edges are the rounded twip edges.
void expectAt(const QString& name, QWidget* control, const QRectF& twips)
{
    const auto* c = dynamic_cast<const TwipsPlacement*>(control);
    const QRectF held(c->Left().value(), c->Top().value(), c->Width().value(), c->Height().value());
    const QRect pixels(QPoint(qRound(twips.left() / 15), qRound(twips.top() / 15)),
                       QPoint(qRound(twips.right() / 15) - 1, qRound(twips.bottom() / 15) - 1));
    QVERIFY2(held == twips && control->geometry() == pixels,
             qPrintable(name + QDebug::toString(held) + QDebug::toString(control->geometry())));
}

// Notes title, counter, folder, width and colour when the window is first
// shown, and the folder when it is first painted.
struct ShowWatcher : QObject {
    Kalvio& w;
    QStringList seen;
    QString paintedIn;
    explicit ShowWatcher(Kalvio& window) : w(window) { w.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show && seen.isEmpty())
            seen << w.windowTitle() << pageCounter(w)->Caption() << folderList(w)->Path()
                 << QString::number(w.Width().value()) << QString::number(w.BackColor());
        if (event->type() == QEvent::Paint && paintedIn.isEmpty())
            paintedIn = folderList(w)->Path();
        return false;
    }
};

// Notes title, text, buttons, icon and modality of every message box that opens while it lives, and closes it.
struct BoxWatcher {
    QStringList seen;
    QTimer timer;
    BoxWatcher()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* b = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << b->windowTitle() + u'|' + b->text() +
                            QString::asprintf("|%d|%d|%d", int(b->standardButtons()), b->icon(), b->windowModality());
                b->done(0);
            }
        });
        timer.start(5);
    }
};

// The cells whose frame shows the focus edge: a dark-red line just inside the face.
QList<int> cellsWithFocusEdge(Kalvio& w)
{
    QList<int> cells;
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const QImage face = frame(w, i)->grab().toImage();
        if (face.pixelColor(1, face.height() / 2) == ToQColor(WindowColors::FocusEdge))
            cells << i;
    }
    return cells;
}

// Turns the wheel notch by notch (positive: down, forward) with the pointer on
// point at of control, delivered as the window system delivers it: to the
// widget in front there, and on to its parents while they leave it.
void turnWheel(QWidget* control, QPoint at, int notches)
{
    QWidget* window = control->window();
    const QPoint inWindow = control->mapTo(window, at);
    QWidget* under = window->childAt(inWindow);
    for (int n = 0; n < std::abs(notches); ++n) {
        QWheelEvent wheel(under->mapFrom(window, inWindow), control->mapToGlobal(at), QPoint(),
                          QPoint(0, notches > 0 ? -120 : 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(under, &wheel); // as the window system sends it: spontaneous, so it goes on to the parents
    }
}

void clickOn(QWidget* control, QPoint at = QPoint(10, 10))
{
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
}
} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void startup_data();
    void startup();
    void creditBoxesAndExit();
    void unlistedPictureIsRefused();
    void tabOrder();
    void gridKeys();
    void focusEdgeOnlyForTheKeyboard();
    void wheelOnlyOverGridArrowsAndView();
    void keysOfAListStayInIt();
    void controlsClickOnce();
    void pictureBoxKeepsItsDrawing();
};

void WindowTest::layout()
{
    Kalvio w; // as the load handler hands it over: the two self-sizing labels carry their captions
    exitLabel(w)->setCaption("Konec");
    pageCounterHeading(w)->setCaption("Obrazovka");
    QCOMPARE(thumbnail(w, 5)->mousePointer(),
             MousePointer::Default); // only thumbnails(0) has the magnifier before
    w.arrangeWindow();
    const double textW = pageCounterHeading(w)->Width().value(), textH = pageCounterHeading(w)->Height().value();
    const double labelW = exitLabel(w)->Width().value(), labelH = exitLabel(w)->Height().value();
    QCOMPARE(QSizeF(w.Width().value(), w.Height().value()), QSizeF(14600, 9940));
    QCOMPARE(w.minimumSize(), w.maximumSize()); // neither resizable nor maximisable
    const std::vector<std::tuple<const char*, QWidget*, QRectF>> table{
        {"Dir1", folderList(w), {100, 100, 2000, 4010}},
        {"File1", fileList(w), {100, 4120, 2000, 4010}},
        {"Logo", logo(w), {100, 8230, 6855, 975}},
        {"ZoomOkno", viewBox(w), {4325, 160, 8000, 7900}},
        {"LupaMinus", stepBackImage(w), {100, 6760, 1290, 840}},
        {"LupaPlus", stepForwardImage(w), {6610, 6760, 1290, 840}},
        {"Nazad", pageBackArrow(w), {7750, 8330, 1290, 840}},
        {"Vpred", pageForwardArrow(w), {9390, 8330, 1290, 840}},
        {"Koniec", exitImage(w), {12655, 8330, 1590, 765}},
        {"StranaText", pageCounterHeading(w), {12300 - textW, 8330, textW, textH}},
        {"Strana", pageCounter(w), {12300 - textW, 8330 + textH + 50, textW, 255}},
        {"KoniecLabel", exitLabel(w), {(1590 - labelW) / 2 + 12655, (765 - labelH) / 2 + 8330, labelW, labelH}}};
    for (const auto& [name, control, twips] : table)
        expectAt(QLatin1String(name), control, twips);
    QVERIFY(stepBackImage(w)->parentWidget() == viewBox(w) && stepForwardImage(w)->parentWidget() == viewBox(w));
    QCOMPARE(viewBox(w)->BackColor(), RGB(128, 128, 128));
    const QImage magnifier = thumbnail(w, 0)->MouseIcon().pixmap().toImage();
    QVERIFY(!magnifier.isNull());
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const QRectF place(2200 + 2050 * (i % 6), 100 + 2010 * (i / 6), 2000, 2000);
        expectAt(QStringLiteral("Okno %1").arg(i), frame(w, i), place);
        expectAt(QStringLiteral("Obr %1").arg(i), thumbnail(w, i), place.adjusted(100, 100, -100, -400));
        QCOMPARE(frame(w, i)->Caption(), QString::number(i));
        QCOMPARE(frame(w, i)->BackColor(), RGB(128, 128, 128));
        QVERIFY(!frame(w, i)->isHidden());
        QCOMPARE(thumbnail(w, i)->mousePointer(), MousePointer::Custom);
        QCOMPARE(thumbnail(w, i)->MouseIcon().pixmap().toImage(), magnifier);
    }
    // Odd differences in the label's centring leave half twips, kept unrounded.
    exitLabel(w)->setWidth(1001_tw);
    exitLabel(w)->setHeight(240_tw);
    w.arrangeWindow();
    expectAt(QStringLiteral("KoniecLabel"), exitLabel(w), {12949.5, 8592.5, 1001, 240});

    auto started = startIn(PictureFolder().path());
    const QImage shot = started->client()->grab().toImage();
    for (const QPoint p : {QPoint(281, 66), QPoint(3, 3), QPoint(200, 545)}) // gap between frames, margins
        QCOMPARE(shot.pixelColor(p), QColor(156, 194, 217));
    QCOMPARE(shot.pixelColor(150, 10), QColor(128, 128, 128)); // frame edge around its thumbnail box
    for (QWidget* control : started->client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY(control->isHidden() || started->client()->rect().contains(control->geometry()));
}

void WindowTest::startup_data()
{
    QTest::addColumn<bool>("below");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("notes"); // a text file beside the pictures
    for (const bool below : {true, false})
        for (const auto& [pictures, pages] : {std::pair{0, 0}, {24, 1}, {25, 2}})
            QTest::addRow("%s, %d pictures", below ? "A" : "B", pictures) << below << pictures << pages << true;
    // No folder below holds a file: the search ends in the last one it reached.
    QTest::addRow("A, no file anywhere") << true << 0 << 0 << false;
}

void WindowTest::startup()
{
    QFETCH(bool, below);
    QFETCH(int, pictures);
    QFETCH(int, pages);
    QFETCH(bool, notes);
    PictureFolder folder;
    const QString sub = below ? QStringLiteral("sub/") : QString();
    folder.makeFolder(sub);
    for (int k = 0; k < pictures; ++k)
        folder.addPicture(sub + QStringLiteral("P%1.jpg").arg(k + 10), QSize(12, 10), colorFor(k));
    if (notes)
        folder.addFile(sub + QStringLiteral("notes.txt")); // not listed, but makes sub a folder with files
    const CurrentDirectory inFolder(folder.path());
    Kalvio w;
    ShowWatcher shown(w);
    QSignalSpy listed(&w.source(), &FolderSource::listed);
    w.load();

    // Texts, colour and layout come before the window is shown, the folder
    // search after; the window is on the screen, painted, while it searches.
    QCOMPARE(shown.seen, (QStringList{"Kalvio ver 1.1", " 0 z 0", folder.path(), "14600", QString::number(0xD9C29C)}));
    QCOMPARE(shown.paintedIn, folder.path());
    QStringList texts;
    // As shown: "&" only underlines the letter that takes the menu or item with Alt.
    for (QAction* menu : w.menuBar()->actions()) {
        texts << menu->text().remove(u'&');
        for (QAction* item : menu->menu()->actions())
            texts << item->text().remove(u'&');
    }
    texts << exitLabel(w)->Caption() << pageCounterHeading(w)->Caption() << w.grid().waitText() << w.source().pattern();
    QCOMPARE(texts, (QStringList{"Soubor", "Otevřít…", "Konec", "Pomoc", "O Aplikaci", "Konec", "Obrazovka",
                                 "  Čekejte...", "*.JPG;*.BMP;*.GIF"}));
    static const QRegularExpression credits(QStringLiteral("^Velorin\r\n\r\n {11}[^ \r\n]+$"));
    QVERIFY2(credits.match(w.credits()).hasMatch(), qPrintable(w.credits()));

    // The folder found (below, case A, or the current directory, case B) is listed once.
    QCOMPARE(listed.count(), 1);
    QCOMPARE(folderList(w)->Path(), below ? folder.at("sub") : folder.path());
    QCOMPARE(w.source().folder(), folderList(w)->Path());
    QCOMPARE(fileList(w)->ListCount(), pictures);
    QCOMPARE(w.browsing().page(), std::optional<int>(0));
    QCOMPARE(w.browsing().pageCount(), std::optional<int>(pages));
    QCOMPARE(pageCounter(w)->Caption(), pages ? QStringLiteral("1 z %1").arg(pages) : QString());
    QVERIFY(pageBackArrow(w)->isHidden() && viewBox(w)->isHidden() && pageForwardArrow(w)->isHidden() == (pages < 2));
    for (int i = 0; i < Kalvio::CellCount; ++i)
        QCOMPARE(frame(w, i)->Caption(), pictures ? QStringLiteral("P%1.jpg").arg(i + 10) : QString::number(i));
    QVERIFY(pictures ? near(cellCentre(w, 0), colorFor(0)) && near(cellCentre(w, 23), colorFor(23))
                     : cellIsBlank(w, 0));
}

void WindowTest::creditBoxesAndExit()
{
    PictureFolder folder;
    auto boxes = startIn(folder.path());
    const QString credits = QString(boxes->credits()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const bool about : {false, true, false, true}) {
        const int generation = boxes->grid().passGeneration(); // a page pass the box interrupts goes on
        BoxWatcher watcher;
        about ? aboutAction(*boxes)->trigger() : logo(*boxes)->click();
        // The stored line is scrambled; OK only (1024), no icon (0), application modal (2).
        const QString text = about ? credits + QStringLiteral("\n\nKalvio - fotky rychle a bez chyb") : credits;
        QCOMPARE(watcher.seen, QStringList("Kalvio|" + text + "|1024|0|2"));
        QCOMPARE(boxes->grid().passGeneration(), generation);
    }
    boxes.reset(); // the program ends with its last window

    // Each way out, done from the event loop as a user's action comes; the loop
    // ends by itself once the window is gone. It says whether the close was accepted.
    const std::vector<std::pair<const char*, std::function<bool(Kalvio&)>>> ways{
        {"exit image",
         [](Kalvio& w) { return QTest::mouseClick(exitImage(w), Qt::LeftButton, {}, QPoint(2, 2)), true; }},
        {"its label",
         [](Kalvio& w) {
             return QTest::mouseClick(exitLabel(w), Qt::LeftButton, {}, exitLabel(w)->rect().center()), true;
         }},
        {"menu item Konec", [](Kalvio& w) { return exitAction(w)->trigger(), true; }},
        {"window frame", [](Kalvio& w) { return w.close(); }},
        {"Ctrl+Q",
         [](Kalvio& w) {
             w.activateWindow();
             return QTest::qWaitForWindowActive(&w) && (QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier), true);
         }},
        // The full-screen view is a window of its own, which the menu's shortcut does not reach.
        {"Ctrl+Q in full screen",
         [](Kalvio& w) {
             w.openFullScreen(0);
             QTest::keyClick(w.fullScreenView(), Qt::Key_Q, Qt::ControlModifier);
             return !w.fullScreenView()->isVisible();
         }},
    };
    for (const auto& [way, act] : ways) {
        auto w = startIn(folder.path());
        BoxWatcher watcher;
        bool accepted = false;
        QTimer::singleShot(0, w.get(), [&, act = act] { accepted = act(*w); });
        QTimer::singleShot(5000, w.get(), [] { QCoreApplication::exit(1); });
        QVERIFY2(QApplication::exec() == 0 && watcher.seen.isEmpty() && accepted && !w->isVisible(), way);
    }

    // Ctrl+Q in the About box, the active window then, which the menu's
    // shortcut does not reach: the program ends, the box with its window.
    auto w = startIn(folder.path());
    QTimer::singleShot(0, w.get(), [&w] {
        QTimer::singleShot(50, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Q, Qt::ControlModifier);
        });
        aboutAction(*w)->trigger();
    });
    QTimer::singleShot(5000, w.get(), [] { QCoreApplication::exit(1); });
    QVERIFY(QApplication::exec() == 0 && !w->isVisible());
}

// Tab from the folder list: the file list, frame 0, thumbnail 0, frames 1 to
// 23, thumbnails 1 to 23, the arrows shown, the exit image, the logo, and
// round again; the labels and the closed view take no focus.
void WindowTest::tabOrder()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("30"), 30);
    auto w = startIn(folder.at(QStringLiteral("30")));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QList<QWidget*> expected{fileList(*w), frame(*w, 0), thumbnail(*w, 0)};
    for (int i = 1; i < Kalvio::CellCount; ++i)
        expected << frame(*w, i);
    for (int i = 1; i < Kalvio::CellCount; ++i)
        expected << thumbnail(*w, i);
    expected << pageForwardArrow(*w) << exitImage(*w) << logo(*w) << folderList(*w);
    QCOMPARE(QApplication::focusWidget(), folderList(*w));
    QList<QWidget*> seen;
    for (qsizetype k = 0; k < expected.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget();
    }
    QCOMPARE(seen, expected);
    QCOMPARE(w->browsing().page(), 0); // passing through the file list chose nothing
    // A screen reader has a name to say for every control the focus reaches.
    for (QWidget* control : expected + QList<QWidget*>{pageBackArrow(*w), viewBox(*w), stepBackImage(*w),
                                                       stepForwardImage(*w), pageCounter(*w)}) {
        const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(), control->metaObject()->className());
    }
}

// The arrow keys move the focus between the cells, staying in the row at its
// left and right edges and in the grid at its top and bottom. Enter opens the
// focused cell's picture, Escape closes it with the focus back on its cell;
// the page keys turn pages where an arrow leads, Home and End go to the ends.
void WindowTest::gridKeys()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("72"), 72);
    auto w = startIn(folder.at(QStringLiteral("72")));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    // The cell whose thumbnail has the focus, -1 for none.
    const auto focusedCell = [&] {
        const int cell = w->grid().focusedCell();
        return cell >= 0 && QApplication::focusWidget() == thumbnail(*w, cell) ? cell : -1;
    };
    const auto afterKey = [&](QWidget* from, Qt::Key key) {
        from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(from, key);
        return focusedCell();
    };
    const int moves[][3] = {{7, Qt::Key_Right, 8},   {7, Qt::Key_Left, 6},   {7, Qt::Key_Down, 13},
                            {13, Qt::Key_Up, 7},     {5, Qt::Key_Right, 5},  {6, Qt::Key_Left, 6},
                            {11, Qt::Key_Right, 11}, {12, Qt::Key_Left, 12}, {23, Qt::Key_Right, 23},
                            {0, Qt::Key_Left, 0},    {0, Qt::Key_Up, 0},     {3, Qt::Key_Up, 3},
                            {20, Qt::Key_Down, 20}};
    for (const auto& [from, key, to] : moves) {
        QVERIFY2(afterKey(thumbnail(*w, from), Qt::Key(key)) == to,
                 qPrintable(QStringLiteral("from %1 key %2").arg(from).arg(key)));
        // From a cell's frame as from its thumbnail.
        QCOMPARE(afterKey(frame(*w, from), Qt::Key(key)), to);
    }

    QCOMPARE(afterKey(thumbnail(*w, 8), Qt::Key_Return), -1); // the view has the focus
    QVERIFY(w->browsing().viewOpen() && w->browsing().viewEntry() == 8 && QApplication::focusWidget() == viewBox(*w));
    QTest::keyClick(viewBox(*w), Qt::Key_Right);
    QCOMPARE(w->browsing().viewEntry(), 9);
    QTest::keyClick(viewBox(*w), Qt::Key_Escape);
    QVERIFY(!w->browsing().viewOpen() && !viewBox(*w)->isVisible());
    QCOMPARE(focusedCell(), 9);

    const auto pageAfter = [&](Qt::Key key) {
        QTest::keyClick(thumbnail(*w, 2), key);
        return w->browsing().page().value_or(-1);
    };
    QCOMPARE(pageAfter(Qt::Key_PageUp), 0); // no previous page
    QCOMPARE(pageAfter(Qt::Key_PageDown), 1);
    QCOMPARE(pageAfter(Qt::Key_End), 2);
    QCOMPARE(pageAfter(Qt::Key_PageDown), 2); // no next page
    QCOMPARE(pageAfter(Qt::Key_PageUp), 1);
    QCOMPARE(pageAfter(Qt::Key_Home), 0);
    QCOMPARE(frame(*w, 2)->Caption(), numberedName(2));
}

// A mouse user never sees the focus edge, though a click on a thumbnail takes
// the focus; the arrow keys and Tab show it on the focused cell, and the next
// click takes it away.
void WindowTest::focusEdgeOnlyForTheKeyboard()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("30"), 30);
    auto w = startIn(folder.at(QStringLiteral("30")));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const std::vector<std::pair<const char*, std::function<void()>>> mouseSession{
        {"open cell 4", [&] { clickOn(thumbnail(*w, 4)); }},
        {"step forward", [&] { clickOn(stepForwardImage(*w)); }},
        {"close the view", [&] { clickOn(viewBox(*w), viewBox(*w)->rect().center()); }},
        {"page forward", [&] { clickOn(pageForwardArrow(*w)); }},
        {"page back", [&] { clickOn(pageBackArrow(*w)); }},
        {"a frame outside its thumbnail", [&] { clickOn(frame(*w, 2), QPoint(2, 2)); }},
        {"open cell 7", [&] { clickOn(thumbnail(*w, 7)); }},
        {"close it", [&] { clickOn(viewBox(*w), viewBox(*w)->rect().center()); }},
        {"open cell 6", [&] { clickOn(thumbnail(*w, 6)); }},
        {"the wheel over cell 0 turns the page", [&] { turnWheel(thumbnail(*w, 0), QPoint(10, 10), 1); }},
        {"back and open cell 7", [&] { clickOn(pageBackArrow(*w)), clickOn(thumbnail(*w, 7)); }},
        {"close it", [&] { clickOn(viewBox(*w), viewBox(*w)->rect().center()); }},
    };
    for (const auto& [step, act] : mouseSession) {
        act();
        QVERIFY2(cellsWithFocusEdge(*w).isEmpty(), step);
    }
    QCOMPARE(QApplication::focusWidget(), thumbnail(*w, 7));

    QTest::keyClick(thumbnail(*w, 7), Qt::Key_Right);
    QCOMPARE(cellsWithFocusEdge(*w), QList<int>{8});
    clickOn(pageForwardArrow(*w));
    QVERIFY(cellsWithFocusEdge(*w).isEmpty());
    clickOn(pageBackArrow(*w));
    clickOn(thumbnail(*w, 11));
    QVERIFY(w->browsing().viewOpen() && w->browsing().viewEntry() == 11);
    clickOn(viewBox(*w), viewBox(*w)->rect().center());
    QTest::keyClick(thumbnail(*w, 11), Qt::Key_Right); // at the row's end the focus stays, and shows
    QCOMPARE(cellsWithFocusEdge(*w), QList<int>{11});
    clickOn(frame(*w, 3), QPoint(2, 2));
    QVERIFY(cellsWithFocusEdge(*w).isEmpty());
    QTest::keyClick(thumbnail(*w, 11), Qt::Key_Tab);
    QCOMPARE(cellsWithFocusEdge(*w), QList<int>{12});
    QTest::keyClick(thumbnail(*w, 12), Qt::Key_Return);
    QTest::keyClick(viewBox(*w), Qt::Key_Escape); // the keyboard's way back keeps showing it
    QCOMPARE(cellsWithFocusEdge(*w), QList<int>{12});
    clickOn(thumbnail(*w, 12));
    clickOn(viewBox(*w), viewBox(*w)->rect().center());
    QVERIFY(cellsWithFocusEdge(*w).isEmpty());
}

// The wheel turns the pages over the grid and the page arrows and steps the
// pictures over the open view; over a list it scrolls that list alone, past
// its ends too, and elsewhere it does nothing.
void WindowTest::wheelOnlyOverGridArrowsAndView()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("90"), 90);
    auto w = startIn(folder.at(QStringLiteral("90")));
    const auto page = [&] { return w->browsing().page().value_or(-1); };
    const auto middle = [](QWidget* control) { return control->rect().center(); };
    QScrollBar* scroll = fileList(*w)->verticalScrollBar();
    QVERIFY(scroll->maximum() > 0);

    turnWheel(thumbnail(*w, 3), middle(thumbnail(*w, 3)), 1);
    QCOMPARE(page(), 1);
    for (const int notches : {40, -40, -3}) { // to the list's end, past it, back to its top and past that
        turnWheel(fileList(*w)->viewport(), middle(fileList(*w)->viewport()), notches);
        QCOMPARE(scroll->value(), notches > 0 ? scroll->maximum() : 0);
        QCOMPARE(page(), 1);
    }
    for (QWidget* control : {static_cast<QWidget*>(folderList(*w)->viewport()), static_cast<QWidget*>(logo(*w)),
                             static_cast<QWidget*>(exitImage(*w)), static_cast<QWidget*>(pageCounter(*w))}) {
        for (const int notches : {1, -1}) {
            turnWheel(control, middle(control), notches);
            QVERIFY2(page() == 1, control->metaObject()->className());
        }
    }
    // Between the frames is the grid too; so are the page arrows.
    const QPoint gap((frame(*w, 0)->geometry().right() + frame(*w, 1)->geometry().left()) / 2,
                     frame(*w, 0)->geometry().center().y());
    turnWheel(w->client(), gap, 1);
    QCOMPARE(page(), 2);
    turnWheel(pageBackArrow(*w), middle(pageBackArrow(*w)), -1);
    QCOMPARE(page(), 1);
    turnWheel(pageForwardArrow(*w), middle(pageForwardArrow(*w)), 1);
    QCOMPARE(page(), 2);

    w->openCell(2);
    QCOMPARE(w->browsing().viewEntry(), 50);
    turnWheel(viewBox(*w), middle(viewBox(*w)), 1);
    QVERIFY(w->browsing().viewOpen() && w->browsing().viewEntry() == 51);
    for (QWidget* control : {fileList(*w)->viewport(), folderList(*w)->viewport()}) {
        for (const int notches : {-1, 1, -40}) {
            turnWheel(control, middle(control), notches);
            QVERIFY(w->browsing().viewOpen() && w->browsing().viewEntry() == 51 && page() == 2);
        }
    }
}

// While a list has the focus every key is the list's, at its ends too: none
// turns a page, steps or closes the view. The folder list has the focus at start.
void WindowTest::keysOfAListStayInIt()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("90"), 90);
    auto w = startIn(folder.at(QStringLiteral("90")));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QCOMPARE(QApplication::focusWidget(), folderList(*w));
    const QString shown = folderList(*w)->Path();
    const int bottom = folderList(*w)->count() - 1;
    QCOMPARE(folderList(*w)->currentRow(), bottom); // the folder shown, without subfolders
    w->pageForwardArrowClicked();
    // At the list's bottom, on its way up and at its top.
    const std::pair<Qt::Key, int> folderKeys[] = {
        {Qt::Key_PageDown, bottom}, {Qt::Key_End, bottom},  {Qt::Key_Down, bottom},
        {Qt::Key_Right, bottom},    {Qt::Key_Left, bottom}, {Qt::Key_Up, bottom - 1},
        {Qt::Key_Home, 0},          {Qt::Key_PageUp, 0},    {Qt::Key_Up, 0},
        {Qt::Key_Escape, 0},        {Qt::Key_Backspace, 0}};
    for (const auto& [key, row] : folderKeys) {
        QTest::keyClick(folderList(*w), key);
        QVERIFY2(w->browsing().page() == 1 && folderList(*w)->currentRow() == row && folderList(*w)->Path() == shown,
                 qPrintable(QStringLiteral("key %1").arg(key)));
    }

    // The file list, with the view open on entry 29 and entry 0 chosen.
    QTest::keyClick(folderList(*w), Qt::Key_Tab);
    QTest::keyClick(fileList(*w), Qt::Key_Down);
    QVERIFY(fileList(*w)->hasFocus() && fileList(*w)->ListIndex() == 0 && w->browsing().page() == 0);
    w->pageForwardArrowClicked();
    w->openCell(5);
    QCOMPARE(w->browsing().viewEntry(), 29);
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Left, Qt::Key_Right, Qt::Key_Escape,
                              Qt::Key_Return, Qt::Key_Backspace}) {
        QTest::keyClick(fileList(*w), key);
        QVERIFY2(w->browsing().viewOpen() && w->browsing().viewEntry() == 29 && fileList(*w)->ListIndex() == 0,
                 qPrintable(QStringLiteral("key %1").arg(key)));
    }

    // A picture named at start opens with the keys: Escape closes it, onto its cell.
    Kalvio named;
    named.setStartPath(folder.at(QStringLiteral("90")), numberedName(30));
    named.load();
    named.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&named));
    QVERIFY(named.browsing().viewEntry() == 30 && QApplication::focusWidget() == viewBox(named));
    QTest::keyClick(viewBox(named), Qt::Key_Escape);
    QVERIFY(!named.browsing().viewOpen() && QApplication::focusWidget() == thumbnail(named, 6));
}

// A click is a press and a release of the left button over the control; a
// double-click is one click, not two.
void WindowTest::controlsClickOnce()
{
    ImageControl image(QPixmap(20, 20));
    CommandButton button(QPixmap(20, 20));
    for (QWidget* control : {static_cast<QWidget*>(&image), static_cast<QWidget*>(&button)}) {
        control->resize(20, 20);
        control->show();
        QVERIFY(QTest::qWaitForWindowExposed(control));
    }
    QSignalSpy imageClicks(&image, &ImageControl::clicked);
    QSignalSpy buttonClicks(&button, &QPushButton::clicked);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(imageClicks.count(), 1);
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(30, 5)); // let go outside
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(imageClicks.count(), 1);
    // Through the window, which delivers press, release, double-click, release as a real one comes.
    QTest::mouseDClick(image.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(button.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(imageClicks.count(), 2);
    QCOMPARE(buttonClicks.count(), 1);
}

void WindowTest::pictureBoxKeepsItsDrawing()
{
    PictureBox box;
    box.Move(150_tw, 150_tw, 1500_tw, 1200_tw); // 100 x 80 pixels
    box.setBackColor(RGB(0, 0, 255));
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    // Drawn while hidden: a rectangle of whole pixels, then one reaching past the top left corner.
    box.PaintPicture(red, 150_tw, 150_tw, 300_tw, 300_tw);
    box.PaintPicture(red, -150_tw, -150_tw, 300_tw, 300_tw);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    for (const double at : {0, 135, 150, 435, 450, 1000})
        QCOMPARE(box.PixelAt(Twips(at), Twips(at)), QColor(at < 450 ? Qt::red : Qt::blue));
    const QImage shown = box.grab().toImage();
    QVERIFY(shown.size() == QSize(100, 80) && shown.pixelColor(12, 12) == Qt::red &&
            shown.pixelColor(50, 50) == Qt::blue);

    // Two empty lines leave the top blank; Cls returns the print position to the top, ClearPicture keeps it.
    box.setBackColor(RGB(255, 255, 255));
    box.Print(QStringLiteral("\r\n\r\n  Čekejte..."));
    QImage white(100, 80, QImage::Format_RGB32);
    white.fill(Qt::white);
    const int blankRows = int(box.CurrentY().value() * 2 / 3 / 15) - 1;
    QVERIFY(box.canvas() != white && box.canvas().copy(0, 0, 100, blankRows) == white.copy(0, 0, 100, blankRows));
    box.Cls();
    QVERIFY(box.canvas() == white && box.CurrentY() == Twips());
    box.Print(QStringLiteral("x"));
    box.ClearPicture();
    QVERIFY(box.canvas() == white && box.CurrentY() > Twips());
}

QTEST_MAIN(WindowTest)
void WindowTest::unlistedPictureIsRefused()
{
    // The list shows a.Jpg; photo.jpeg (a name "Open with" offers it for) would vanish from the folder shown.
    PictureFolder folder;
    const auto parse = [](const QString& path) { return CommandLine::Parse({path.toStdString()}); };
    const CommandLine listed = parse(folder.addPicture(QStringLiteral("a.Jpg"), QSize(8, 6), Qt::red));
    QVERIFY(listed.action == CommandLine::Action::Run && listed.picture == "a.Jpg" && listed.windowMessage.isEmpty());
    const CommandLine unlisted = parse(folder.addPicture(QStringLiteral("photo.jpeg"), QSize(8, 6), Qt::red));
    QVERIFY(unlisted.action == CommandLine::Action::Refuse && unlisted.exitCode() == 2);
    QVERIFY2(unlisted.message.startsWith(QStringLiteral("kalvio: ") + folder.at("photo.jpeg")),
             qPrintable(unlisted.message));
    // Both say, in Czech, which names the list shows: the extensions of the window's own pattern.
    for (const QString& said : {unlisted.message, unlisted.windowMessage})
        QVERIFY2(said.contains("photo.jpeg") && said.contains(QStringLiteral("s příponou .JPG, .BMP nebo .GIF")),
                 qPrintable(said));
}

#include "tst_window.moc"
