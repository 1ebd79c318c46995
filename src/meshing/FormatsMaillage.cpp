#include "FormatsMaillage.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <stdexcept>
#include <vector>

namespace tessarc {

namespace {

class TTexte {
public:
    explicit TTexte(std::size_t reserve) { t_.reserve(reserve); }
    TTexte& operator<<(const char* s) {
        t_ += s;
        return *this;
    }
    TTexte& operator<<(const std::string& s) {
        t_ += s;
        return *this;
    }
    TTexte& operator<<(char c) {
        t_ += c;
        return *this;
    }
    template <typename N>
    requires std::is_arithmetic_v<N> TTexte& operator<<(N v) {
        char tampon[32];
        // Shortest digits that read back as the same single (or integer).
        const auto r = std::to_chars(tampon, tampon + sizeof tampon, v);
        t_.append(tampon, r.ptr);
        return *this;
    }
    [[nodiscard]] std::string Fin() && { return std::move(t_); }

private:
    std::string t_;
};

// Physical tag of each slice, from 1 in the order of the element table (lowest first).
std::map<std::int32_t, std::int64_t> TagsTranches(const TModeleNumerote& m) {
    std::map<std::int32_t, std::int64_t> tags;
    for (const TElementNumerote& e : m.Elements)
        tags.try_emplace(e.Tranche, static_cast<std::int64_t>(tags.size()) + 1);
    return tags;
}

// The supports of each segment, in node-table order, as positions in Noeuds.
std::map<std::int32_t, std::vector<std::size_t>> Appuis(const TModeleNumerote& m) {
    std::map<std::int32_t, std::vector<std::size_t>> appuis;
    for (std::size_t i = 0; i < m.Noeuds.size(); ++i)
        if (m.Noeuds[i].Segment >= 0) appuis[m.Noeuds[i].Segment].push_back(i);
    return appuis;
}

void VerifierNumerosMsh(const TModeleNumerote& m, std::size_t nbAppuis) {
    const bool positifs = (m.Noeuds.empty() || m.Noeuds.front().Numero >= 1) &&
                          (m.Elements.empty() || m.Elements.front().Numero >= 1);
    if (!positifs)
        throw std::runtime_error("maillage msh : les numéros des noeuds et des éléments doivent être "
                                 "positifs (bases de numérotation d'au moins 1)");
    const std::int64_t dernier =
        (m.Elements.empty() ? 0 : m.Elements.back().Numero) + static_cast<std::int64_t>(nbAppuis);
    if (dernier > std::numeric_limits<std::int32_t>::max())
        throw std::runtime_error("maillage msh : les appuis, numérotés après le dernier élément, "
                                 "dépasseraient 2147483647");
}

} // namespace

std::string TexteMsh(const TModeleNumerote& m) {
    const auto tranches = TagsTranches(m);
    const auto appuis = Appuis(m);
    std::size_t nbAppuis = 0;
    for (const auto& [s, noeuds] : appuis) nbAppuis += noeuds.size();
    VerifierNumerosMsh(m, nbAppuis);

    TTexte t(64 * (m.Noeuds.size() + m.Elements.size() + nbAppuis) + 256);
    t << "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n";
    t << "$PhysicalNames\n" << tranches.size() + appuis.size() << '\n';
    for (const auto& [tranche, tag] : tranches) t << "2 " << tag << " \"TRI_TR" << tranche << "\"\n";
    std::map<std::int32_t, std::int64_t> tagsSegments;
    for (const auto& [s, noeuds] : appuis) {
        const std::int64_t tag = static_cast<std::int64_t>(tranches.size() + tagsSegments.size()) + 1;
        tagsSegments[s] = tag;
        t << "0 " << tag << " \"segment " << s << "\"\n";
    }
    t << "$EndPhysicalNames\n";

    t << "$Nodes\n" << m.Noeuds.size() << '\n';
    for (const TNoeudNumerote& n : m.Noeuds) t << n.Numero << ' ' << n.X << ' ' << n.Y << ' ' << n.Z << '\n';
    t << "$EndNodes\n";

    // Each element carries two tags, its physical group and an elementary entity of the same number.
    t << "$Elements\n" << m.Elements.size() + nbAppuis << '\n';
    for (const TElementNumerote& e : m.Elements) {
        const std::int64_t tag = tranches.at(e.Tranche);
        t << e.Numero << " 2 2 " << tag << ' ' << tag;
        for (const std::size_t i : e.Noeuds) t << ' ' << m.Noeuds[i].Numero;
        t << '\n';
    }
    std::int64_t numero = m.Elements.empty() ? 1 : std::int64_t{m.Elements.back().Numero} + 1;
    for (const auto& [s, noeuds] : appuis) {
        const std::int64_t tag = tagsSegments.at(s);
        for (const std::size_t i : noeuds)
            t << numero++ << " 15 2 " << tag << ' ' << tag << ' ' << m.Noeuds[i].Numero << '\n';
    }
    t << "$EndElements\n";
    return std::move(t).Fin();
}

std::string TexteVtk(const TModeleNumerote& m) {
    const std::size_t nn = m.Noeuds.size();
    const std::size_t ne = m.Elements.size();
    TTexte t(48 * nn + 64 * ne + 512);
    t << "# vtk DataFile Version 3.0\nTessarc modele voute\nASCII\nDATASET UNSTRUCTURED_GRID\n";
    t << "POINTS " << nn << " float\n";
    for (const TNoeudNumerote& n : m.Noeuds) t << n.X << ' ' << n.Y << ' ' << n.Z << '\n';
    t << "CELLS " << ne << ' ' << 4 * ne << '\n';
    for (const TElementNumerote& e : m.Elements)
        t << "3 " << e.Noeuds[0] << ' ' << e.Noeuds[1] << ' ' << e.Noeuds[2] << '\n';
    t << "CELL_TYPES " << ne << '\n';
    for (std::size_t k = 0; k < ne; ++k) t << "5\n";

    const auto champ = [&](const char* nom, auto&& valeur, const auto& liste) {
        t << "SCALARS " << nom << " int 1\nLOOKUP_TABLE default\n";
        for (const auto& x : liste) t << valeur(x) << '\n';
    };
    t << "CELL_DATA " << ne << '\n';
    champ(
        "tranche", [](const TElementNumerote& e) { return e.Tranche; }, m.Elements);
    champ(
        "element", [](const TElementNumerote& e) { return e.Numero; }, m.Elements);
    t << "POINT_DATA " << nn << '\n';
    champ(
        "segment", [](const TNoeudNumerote& n) { return n.Segment; }, m.Noeuds);
    champ(
        "noeud", [](const TNoeudNumerote& n) { return n.Numero; }, m.Noeuds);
    return std::move(t).Fin();
}

} // namespace tessarc
