#pragma once

#include "TwipsPlacement.h"

#include <QListWidget>
#include <QRegularExpression>
#include <QStringList>

#include <vector>

// The file list: the visible files of Path whose names match one of the
// wildcards of Pattern ("*.JPG;*.BMP;*.GIF"), regardless of letter case, in
// natural name order. Choosing an entry by mouse or keyboard raises Click.
class FileList : public QListWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    const QString& Path() const { return path_; }
    void setPath(const QString& path);
    const QString& Pattern() const { return pattern_; }
    void setPattern(const QString& pattern);

    int ListCount() const { return int(names_.size()); }
    // The name of entry k, or empty text for an index outside the list.
    QString List(int k) const;
    int ListIndex() const { return currentRow(); }
    void setListIndex(int k);

signals:
    void Click();

private:
    void refill();
    bool matches(const QString& name) const;

    QString path_;
    QString pattern_;
    std::vector<QRegularExpression> wildcards_;
    QStringList names_;
    bool refilling_ = false;
};
