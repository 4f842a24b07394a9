// Leaving the program and the two message boxes: the logo's credits and the
// About box with its credit line.

#include "Kalvio.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace TestSupport;

namespace {

// Watches for modal boxes while an action runs: records each one and closes
// it (with OK where it has one), so that a box never blocks the test.
class ModalWatcher {
public:
    struct Seen {
        QString title, text;
        QList<QMessageBox::StandardButton> buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Qt::WindowModality modality = Qt::NonModal;
    };

    ModalWatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            Seen seen{modal->windowTitle(), {}, {}, QMessageBox::NoIcon, modal->windowModality()};
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box) {
                seen.text = box->text();
                seen.icon = box->icon();
                for (QAbstractButton* button : box->buttons())
                    seen.buttons << box->standardButton(button);
            }
            boxes << seen;
            if (box && box->button(QMessageBox::Ok))
                box->button(QMessageBox::Ok)->click();
            else
                modal->close();
        });
        timer_.start(5);
    }

    QList<Seen> boxes;

private:
    QTimer timer_;
};

} // namespace

class ExitAboutTest : public QObject {
    Q_OBJECT

private slots:
    void aboutTextIsCreditsThenCreditLine();
    void messageBoxes_data();
    void messageBoxes();
    void everyExitPathClosesWithoutQuestion_data();
    void everyExitPathClosesWithoutQuestion();
};

void ExitAboutTest::aboutTextIsCreditsThenCreditLine()
{
    PictureFolder folder;
    auto window = startIn(folder.path());
    const QString line = Kalvio::CreditLine();
    QCOMPARE(line.size(), 32);
    for (const QChar c : line)
        QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7F, qPrintable(line));

    const QString about = window->AboutText();
    QVERIFY(!window->tags.credits.isEmpty());
    QCOMPARE(about, window->tags.credits + QStringLiteral("\r\n\r\n") + line);
    // Unscrambled afresh on every opening, always to the same line.
    QCOMPARE(window->AboutText(), about);
    QCOMPARE(Kalvio::CreditLine(), line);
}

void ExitAboutTest::messageBoxes_data()
{
    QTest::addColumn<bool>("about");
    QTest::newRow("logo") << false;
    QTest::newRow("About menu item") << true;
}

void ExitAboutTest::messageBoxes()
{
    QFETCH(bool, about);
    PictureFolder folder;
    folder.addPicture(QStringLiteral("a.jpg"), QSize(4, 4), Qt::red);
    auto window = startIn(folder.path());
    const QString expected = about ? window->AboutText() : window->tags.credits;
    // The box shows its lines with plain line breaks.
    const QString shown = QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    for (int opening = 0; opening < 2; ++opening) {
        window->CellIndex = 7;
        ModalWatcher watcher;
        if (about)
            window->Autor->trigger();
        else
            window->Logo->click();
        QCOMPARE(watcher.boxes.size(), 1);
        const ModalWatcher::Seen& box = watcher.boxes.first();
        QCOMPARE(box.title, QStringLiteral("Kalvio"));
        QCOMPARE(box.text, shown);
        QCOMPARE(box.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.modality, Qt::ApplicationModal);
        // A page drawing interrupted by the box keeps its place.
        QCOMPARE(window->CellIndex, 7);
        QVERIFY(window->isVisible());
    }
}

void ExitAboutTest::everyExitPathClosesWithoutQuestion_data()
{
    QTest::addColumn<int>("path");
    QTest::newRow("exit image") << 0;
    QTest::newRow("label on the exit image") << 1;
    QTest::newRow("menu item Konec") << 2;
    QTest::newRow("window frame") << 3;
}

void ExitAboutTest::everyExitPathClosesWithoutQuestion()
{
    QFETCH(int, path);
    PictureFolder folder;
    folder.addPicture(QStringLiteral("a.jpg"), QSize(4, 4), Qt::red);
    auto window = startIn(folder.path());
    QVERIFY(window->isVisible());

    // The exit runs from the application's event loop, as a user's click
    // would; the loop ends by itself once the window is gone.
    ModalWatcher watcher;
    bool accepted = true;
    QTimer::singleShot(0, window.get(), [&] {
        switch (path) {
        case 0:
            QTest::mouseClick(window->Koniec, Qt::LeftButton, {}, QPoint(2, 2));
            break;
        case 1:
            QTest::mouseClick(window->KoniecLabel, Qt::LeftButton, {}, window->KoniecLabel->rect().center());
            break;
        case 2:
            window->Konec->trigger();
            break;
        default:
            accepted = window->close();
            break;
        }
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    const int status = QApplication::exec();
    giveUp.stop();

    QCOMPARE(status, 0);
    QVERIFY(watcher.boxes.isEmpty());
    QVERIFY(accepted);
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(ExitAboutTest)
#include "tst_exit_about.moc"
