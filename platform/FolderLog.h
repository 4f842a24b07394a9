#pragma once

#include <QLoggingCategory>

// "kalvio.folders": folder listings and status queries that failed and that
// the program passed over (a folder it cannot read counts as empty), each with
// the path and the reason. Quiet by default; shown with
// QT_LOGGING_RULES="kalvio.folders.info=true".
Q_DECLARE_LOGGING_CATEGORY(folderLog)
