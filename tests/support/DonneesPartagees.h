#pragma once
// The real scans shared beside the project; a test that needs one skips when it is absent.

#include <filesystem>
#include <string_view>

namespace tessarc::essais {

[[nodiscard]] inline std::filesystem::path DonneesPartagees(std::string_view nom) {
    return std::filesystem::path(TESSARC_SHARED_DATA) / nom;
}

} // namespace tessarc::essais
