#pragma once

#include <QLoggingCategory>

// Milestones of a start, quiet unless enabled, e.g. with
// QT_LOGGING_RULES="kalvio.startup=true" and QT_MESSAGE_PATTERN="%{time process} %{message}":
// when the window first paints and when its first page is drawn. The
// benchmark times the program by them.
Q_DECLARE_LOGGING_CATEGORY(startupLog)
