#pragma once
// Writes the computed model to a file whose kind its extension names: Gmsh mesh (.msh), VTK mesh
// (.vtk) or plan picture (.png). The same call serves the window's "Exporter le maillage…" and
// tessarc-cli mailler.

#include "Modele.h"

#include <filesystem>
#include <optional>

namespace tessarc {

enum class EGenreExport { Msh, Vtk, Png };

// By the extension, in any case; nothing for another one.
[[nodiscard]] std::optional<EGenreExport> GenreExport(const std::filesystem::path& nom);

// Replaces the file atomically: on any failure it is left as it was. Throws std::runtime_error naming
// the file: a model without element, numbers that the format cannot hold, a failed write.
void ExporterModele(const std::filesystem::path& nom, EGenreExport genre, const TModeleNumerote& modele,
                    bool numeros);

} // namespace tessarc
