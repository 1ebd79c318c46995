#pragma once
// Picking and rubber-band selection over the displayed cubes, on the CPU with the camera's matrices:
// no GL selection mode, so a hover over millions of cubes stays a single linear pass.

#include "Camera.h"
#include "UTessarcGlb.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace tessarc {

// Index of the first cube (lowest index, masked and deleted cubes included) whose average point falls
// inside the clip volume of the given matrices, as the GL selection mode would report it for points;
// nullopt when none does. Stops at the first hit.
[[nodiscard]] std::optional<std::size_t> PremierCubeVisible(std::span<TCube* const> cubes,
                                                            const TMatricesVue& matrices);

// The status text of a picked cube, in true coordinates: stored + decalage (far scans keep a shift).
[[nodiscard]] std::string TexteCube(const TCube& cube, const TV3R& decalage);

// Sets the selected bit of every unmasked cube whose average point projects (depth ignored) inside the
// rectangle between the two client-pixel corners, bounds included; returns how many were newly selected.
std::size_t SelectionnerCubesRectangle(std::span<TCube* const> cubes, const TCamera& camera, TPointEcran a,
                                       TPointEcran b);

} // namespace tessarc
