#pragma once

class QCoreApplication;

// Qt's own texts (the buttons of message boxes and dialogs, the context menu
// of a text line) in Czech like everything else the window says, whatever the
// user's language: Qt's Czech translation, qtbase_cs.qm from Debian's
// qt6-translations-l10n, in the folder Qt keeps its translations in.
namespace QtTranslation {

// Installs it into app, which owns it; false, Qt's texts staying English,
// when it cannot be loaded.
bool InstallCzech(QCoreApplication& app);

} // namespace QtTranslation
