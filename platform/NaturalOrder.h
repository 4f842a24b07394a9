#pragma once

#include <QLocale>
#include <QStringList>

// Name order as people expect it in a file manager: letters in the order of
// the user's language (Czech: "Áda, ananas, cesta, čáp, hrad, chata"), runs of
// digits by their value (IMG2 before IMG10), and names equal under those
// rules by their exact text, so that the order is total and stable.
namespace NaturalOrder {

// The language whose order is used: the collation locale of the environment
// (LC_ALL, LC_COLLATE, LANG), or Czech, the window's own language, where the
// environment names none (C, POSIX).
QLocale Language();

void Sort(QStringList& names);
void Sort(QStringList& names, const QLocale& language);

} // namespace NaturalOrder
