#include "Lineaire.h"

#include "IndexCubesXY.h"

#include <cmath>

namespace tessarc::test {

std::int32_t AjouterPointModeleLineaire(TMaillage& m, const TV3S& P, std::int32_t segment) {
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) {
        const TV3S& q = m.PointsModele[static_cast<std::size_t>(i)].CoPM;
        if (std::fabs(double(q[1]) - double(P[1])) < 0.001 && std::fabs(double(q[2]) - double(P[2])) < 0.001)
            return i;
    }
    if (static_cast<std::size_t>(m.NbPointsModele) == m.PointsModele.size())
        m.PointsModele.resize(m.PointsModele.size() + 128);
    TPointModele& n = m.PointsModele[static_cast<std::size_t>(m.NbPointsModele)];
    n.CoPM = P;
    n.NumFront0 = segment;
    return m.NbPointsModele++;
}

std::int32_t PlusProcheLineaire(std::span<TCube* const> cubes, float x, float y) {
    std::int32_t choisi = -1;
    double meilleure = 0.0;
    for (std::size_t i = 0; i < cubes.size(); ++i) {
        if ((cubes[i]->etatSP & EtatSupprime) != 0) continue;
        const double d = DistanceCarreeXY(cubes[i]->CooMoyPts[1], cubes[i]->CooMoyPts[2], x, y);
        if (choisi < 0 || d < meilleure) {
            meilleure = d;
            choisi = static_cast<std::int32_t>(i);
        }
    }
    return choisi;
}

void TCubes::Ajouter(float x, float y, float z, std::uint8_t etat) {
    TCube c;
    c.CooMoyPts = FaireV3S(x, y, z);
    c.etatSP = etat;
    cubes_.push_back(c);
    liste_.clear();
}

std::span<TCube* const> TCubes::Liste() {
    if (liste_.size() != cubes_.size()) {
        liste_.clear();
        for (TCube& c : cubes_) liste_.push_back(&c);
    }
    return liste_;
}

} // namespace tessarc::test
