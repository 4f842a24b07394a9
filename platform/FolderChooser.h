#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Otevřít složku": a modal chooser of a folder that writes nothing. (Qt's own
// file dialog saves its history and shortcuts into the user's settings every
// time it closes.) A tree of folders from "/", opened down to the folder it
// starts at; a folder's subfolders are read when it is expanded. The line
// below shows the chosen folder and takes a typed path. Enter, a double-click
// or "Otevřít" chooses; Escape or "Zrušit" cancels. Paths are the escaped
// QString form of NativeName, so any folder name on disk can be chosen.
class FolderChooser : public QDialog {
    Q_OBJECT

public:
    explicit FolderChooser(const QString& start, QWidget* parent = nullptr);

    // The folder chosen by the tree or typed into the line: what "Otevřít"
    // would open now.
    const QString& chosenFolder() const { return chosen_; }

    // Runs the chooser modally: the folder chosen, or empty text if cancelled.
    static QString Choose(QWidget* parent, const QString& start);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidgetItem* addFolder(QTreeWidgetItem* parent, const QString& path, const QString& label);
    void readSubfolders(QTreeWidgetItem* item);
    QTreeWidgetItem* openDownTo(const QString& folder);
    void currentFolderChanged(QTreeWidgetItem* item);
    void pathTyped(const QString& text);
    void choose(const QString& folder);

    QString start_;
    QString chosen_;
    QTreeWidget* tree_ = nullptr;
    QLineEdit* line_ = nullptr;
    QPushButton* openButton_ = nullptr;
};
