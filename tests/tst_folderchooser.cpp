// The folder chooser of Ctrl+O: it starts at the folder shown, is worked with
// the keyboard alone, gives the exact name of any folder on disk, and speaks
// Czech, Qt's own texts in it included.

#include "FolderChooser.h"
#include "NativeName.h"
#include "QtTranslation.h"
#include "TestSupport.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

class FolderChooserTest : public QObject {
    Q_OBJECT
private slots:
    void keyboardAlone();
    void exactNamesAndTypedPaths();
    void qtTextsInCzech();
};

namespace {

// The chooser shown, its keys going to the widget that has the focus.
void showAndFocus(FolderChooser& chooser)
{
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    chooser.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&chooser));
}

void press(FolderChooser& chooser, Qt::Key key)
{
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : &chooser, key);
}

// Removes an empty folder at the end of the test: QTemporaryDir cannot remove
// one whose name is not UTF-8.
struct RemovedFolder {
    std::string path;
    ~RemovedFolder() { ::rmdir(path.c_str()); }
};

} // namespace

void FolderChooserTest::keyboardAlone()
{
    PictureFolder folder;
    const QString a = folder.makeFolder(QStringLiteral("a"));
    folder.makeFolder(QStringLiteral("a/inner"));
    const QString b = folder.makeFolder(QStringLiteral("b"));
    {
        FolderChooser chooser(a);
        QCOMPARE(chooser.windowTitle(), QStringLiteral("Otevřít složku"));
        showAndFocus(chooser);
        QCOMPARE(chooser.chosenFolder(), a);
        QCOMPARE(chooser.findChild<QLineEdit*>()->text(), a);
        // The tree is open at the start folder: its subfolder, then its sibling.
        press(chooser, Qt::Key_Down);
        QCOMPARE(chooser.chosenFolder(), a + QStringLiteral("/inner"));
        press(chooser, Qt::Key_Down);
        QCOMPARE(chooser.chosenFolder(), b);
        QCOMPARE(chooser.findChild<QLineEdit*>()->text(), b);
        press(chooser, Qt::Key_Return);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.chosenFolder(), b);
    }
    {
        FolderChooser chooser(a);
        showAndFocus(chooser);
        press(chooser, Qt::Key_Down);
        press(chooser, Qt::Key_Escape);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(chooser.result(), int(QDialog::Rejected));
    }
    // Its buttons are Czech whether or not Qt's translation is there.
    FolderChooser chooser(a);
    QStringList buttons;
    for (const QPushButton* button : chooser.findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
        buttons << button->text();
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("Otevřít"), QStringLiteral("Zrušit")}));
}

void FolderChooserTest::exactNamesAndTypedPaths()
{
    PictureFolder folder;
    // A folder whose name is not UTF-8 (Latin-1 "café"), and a hidden one to
    // start in, which its parent does not list.
    const RemovedFolder cafe{NativeName::Encode(folder.path()) + "/caf\xE9"};
    const std::string& latin1 = cafe.path;
    QCOMPARE(::mkdir(latin1.c_str(), 0755), 0);
    const QString hidden = folder.makeFolder(QStringLiteral(".hidden/x"));
    const QString b = folder.makeFolder(QStringLiteral("b"));

    FolderChooser chooser(hidden);
    showAndFocus(chooser);
    QCOMPARE(chooser.chosenFolder(), hidden);
    // Up from the start folder to ".hidden"; Left closes it, Left again goes
    // up to the folder above, and Down to its subfolders, in name order.
    press(chooser, Qt::Key_Up);
    QCOMPARE(chooser.chosenFolder(), folder.at(QStringLiteral(".hidden")));
    press(chooser, Qt::Key_Left);
    press(chooser, Qt::Key_Left);
    QCOMPARE(chooser.chosenFolder(), folder.path());
    press(chooser, Qt::Key_Down);
    QCOMPARE(chooser.chosenFolder(), b);
    press(chooser, Qt::Key_Down);
    QCOMPARE(NativeName::Encode(chooser.chosenFolder()), latin1);

    // A typed path, relative to the start folder; one that names no folder
    // cannot be chosen, so Enter leaves the chooser open.
    auto* line = chooser.findChild<QLineEdit*>();
    auto* open = chooser.findChild<QDialogButtonBox*>()->buttons().front();
    line->setFocus();
    line->selectAll();
    QTest::keyClicks(line, QStringLiteral("../../nothing"));
    QVERIFY(!open->isEnabled());
    QTest::keyClick(line, Qt::Key_Return);
    QVERIFY(chooser.isVisible());
    line->selectAll();
    QTest::keyClicks(line, QStringLiteral("../../b/"));
    QVERIFY(open->isEnabled());
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(chooser.result(), int(QDialog::Accepted));
    QCOMPARE(chooser.chosenFolder(), b);
}

void FolderChooserTest::qtTextsInCzech()
{
    QVERIFY2(QtTranslation::InstallCzech(*QCoreApplication::instance()),
             "Qt's Czech translation qtbase_cs.qm (package qt6-translations-l10n) cannot be loaded");
    // The right-button menu of the chooser's path line is Qt's own.
    PictureFolder folder;
    FolderChooser chooser(folder.path());
    const std::unique_ptr<QMenu> menu(chooser.findChild<QLineEdit*>()->createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text().remove(u'&').section(u'\t', 0, 0);
    }
    QVERIFY2(texts.contains(QStringLiteral("Vložit")) && texts.contains(QStringLiteral("Vybrat vše")),
             qPrintable(texts.join(QStringLiteral(", "))));
    QDialogButtonBox standard(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(standard.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Zrušit"));
}

QTEST_MAIN(FolderChooserTest)
#include "tst_folderchooser.moc"
