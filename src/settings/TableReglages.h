#pragma once
// The in-memory table of all settings: composite keys "section" TAB "name" compared without regard to
// case, kept sorted for binary search; values as text. Values are only appended or replaced in place.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc {

class TableReglages {
public:
    [[nodiscard]] static std::string Cle(std::string_view section, std::string_view nom);

    void Vider();
    // The value of a key, or nullptr when the table does not hold it.
    [[nodiscard]] const std::string* Trouver(std::string_view cle) const;
    // Adds the key, or replaces its value; a key differing only in case is the same key.
    void Ecrire(std::string_view cle, std::string_view valeur);

    // Entries in key order.
    [[nodiscard]] std::size_t Taille() const { return cles_.size(); }
    [[nodiscard]] const std::string& CleNo(std::size_t k) const { return cles_[k].cle; }
    [[nodiscard]] const std::string& ValeurNo(std::size_t k) const { return valeurs_[cles_[k].indice]; }

private:
    struct Entree {
        std::string cle;
        std::size_t indice; // of the value in valeurs_
    };
    [[nodiscard]] std::vector<Entree>::const_iterator Position(std::string_view cle) const;

    std::vector<Entree> cles_;
    std::vector<std::string> valeurs_;
};

} // namespace tessarc
