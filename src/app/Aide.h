#pragma once
// The help wrapper: one help-file path for the whole program, the first page of the French user guide.

#include <QString>

namespace tessarc {

void DefinirFichierAide(const QString& chemin);
// The path given to DefinirFichierAide, or GuideParDefaut() when it was never set.
[[nodiscard]] QString FichierAide();

// The guide's first page near the executable: "aide/index.html" beside it in the build tree, or the
// shared data folder of an installed program. When neither exists, the path beside the executable, so
// that the message about the missing guide names it.
[[nodiscard]] QString GuideParDefaut();

} // namespace tessarc
