#pragma once
// A hash table of keys to 32-bit values (0 meaning none) in one array, probed linearly: a lookup is one
// memory access or two, however many keys, and removal moves the keys that followed back.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarc {

template <typename Cle, typename Hachage> class TTableHachage {
public:
    [[nodiscard]] std::uint32_t Trouver(const Cle& c) const {
        if (cases_.empty()) return 0;
        for (std::size_t i = Debut(c);; i = (i + 1) & masque_) {
            const TCase& k = cases_[i];
            if (k.Valeur == 0) return 0;
            if (k.Clef == c) return k.Valeur;
        }
    }
    // valeur != 0; c must be absent.
    void Poser(const Cle& c, std::uint32_t valeur) {
        if (2 * (nombre_ + 1) > cases_.size()) Agrandir();
        std::size_t i = Debut(c);
        while (cases_[i].Valeur != 0) i = (i + 1) & masque_;
        cases_[i] = TCase{c, valeur};
        ++nombre_;
    }
    void Retirer(const Cle& c) {
        if (cases_.empty()) return;
        std::size_t i = Debut(c);
        while (cases_[i].Valeur != 0 && !(cases_[i].Clef == c)) i = (i + 1) & masque_;
        if (cases_[i].Valeur == 0) return;
        // The keys after the hole that would no longer be found move into it.
        for (std::size_t j = (i + 1) & masque_; cases_[j].Valeur != 0; j = (j + 1) & masque_) {
            const std::size_t d = Debut(cases_[j].Clef);
            if (((j - d) & masque_) >= ((j - i) & masque_)) {
                cases_[i] = cases_[j];
                i = j;
            }
        }
        cases_[i] = TCase{};
        --nombre_;
    }
    // f(key, value) for every key, in no particular order.
    template <typename F> void Parcourir(F&& f) const {
        for (const TCase& k : cases_)
            if (k.Valeur != 0) f(k.Clef, k.Valeur);
    }
    [[nodiscard]] std::size_t Taille() const { return nombre_; }
    void Vider() {
        cases_ = {};
        masque_ = 0;
        nombre_ = 0;
    }

private:
    struct TCase {
        Cle Clef{};
        std::uint32_t Valeur = 0;
    };

    [[nodiscard]] std::size_t Debut(const Cle& c) const { return Hachage{}(c) & masque_; }
    void Agrandir() {
        std::vector<TCase> anciennes = std::move(cases_);
        cases_.assign(std::max<std::size_t>(16, 2 * anciennes.size()), TCase{});
        masque_ = cases_.size() - 1;
        nombre_ = 0;
        for (const TCase& k : anciennes)
            if (k.Valeur != 0) Poser(k.Clef, k.Valeur);
    }

    std::vector<TCase> cases_;
    std::size_t masque_ = 0;
    std::size_t nombre_ = 0;
};

} // namespace tessarc
