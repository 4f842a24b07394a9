#pragma once

#include <QString>

// Name order as people expect it in a file manager: runs of digits compare by
// their value (IMG2 before IMG10), letters compare without regard to case, and
// names equal under those rules fall back to their exact text so the order is
// total and stable.
namespace NaturalOrder {

bool Less(const QString& a, const QString& b);
void Sort(QStringList& names);

} // namespace NaturalOrder
