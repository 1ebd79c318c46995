#pragma once
// Program-wide set-up of the Qt application: names, French texts, and numbers that never follow the
// user's locale.

class QCoreApplication;

namespace tessarc {

// Installs Qt's own French translation (qtbase_fr) so that standard buttons read "Oui" / "Non" and the
// file dialogs speak French, makes French the default QLocale, and keeps the C library's numeric
// category on "C" (QCoreApplication took it from the environment). False when the translation file is
// not installed; the rest is done anyway.
bool InstallerFrancais(QCoreApplication& application);

// Application and organisation names, then InstallerFrancais.
void PreparerApplication(QCoreApplication& application);

} // namespace tessarc
