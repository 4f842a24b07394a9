#pragma once

#include <QStringList>

// Name order as people expect it in a file manager: runs of digits compare by
// their value (IMG2 before IMG10), letters compare without regard to case, and
// names equal under those rules fall back to their exact text so the order is
// total and stable.
namespace NaturalOrder {

void Sort(QStringList& names);

} // namespace NaturalOrder
