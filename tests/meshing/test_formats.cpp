// The .msh and .vtk texts read back as a viewer would, against the three model texts of the same
// computation: the same numbers, coordinates, groups and supports.

#include "FormatsMaillage.h"
#include "GrilleCapture.h"
#include "Lineaire.h"
#include "Modele.h"
#include "Nombres.h"
#include "Triangulation.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

using namespace tessarc;
using tessarc::test::TCubes;

namespace {

// An L with a slanted side over a curved surface, turned and numbered from chosen bases.
TResultatModele Calculer(const TSaisieModele& saisie) {
    TMaillage m;
    for (auto [x, y] : std::vector<std::pair<float, float>>{
             {0, 0}, {1.3f, 0}, {1.3f, 0.45f}, {0.55f, 0.62f}, {0.5f, 1.1f}, {0, 1.1f}})
        m.Frontiere.push_back(FaireV3S(x, y, 0));
    m.TrameGrille = 0.2f;
    EntrerPageGrille(m, 0.0f);
    TCubes cubes;
    for (int i = 0; i <= 30; ++i)
        for (int j = 0; j <= 25; ++j) {
            const float x = 0.05f * float(i), y = 0.05f * float(j);
            cubes.Ajouter(x, y, 2.0f + 0.3f * x * x - 0.2f * y);
        }
    if (!CalculerPointsGrille(m, cubes.Liste()).Calcule || !Trianguler(m).Triangule)
        throw std::runtime_error("grille");
    return CalculerModele(m, saisie);
}

// What the three texts say.
struct TTextes {
    std::map<std::string, std::array<std::string, 3>> Noeuds; // number -> X, Y, Z as "%.2f"
    std::vector<std::array<std::string, 5>> Elements;         // number, three nodes, group
    std::map<std::string, std::vector<std::string>> Appuis;   // "segment k" -> node numbers
};

TTextes LireTextes(const TResultatModele& r) {
    TTextes t;
    std::istringstream nds(r.ResulNds), elts(r.ResulElts), gen(r.ResulGen);
    for (std::string n, x, y, z; nds >> n >> x;)
        if (n != "GROUPE" && nds >> y >> z) t.Noeuds[n] = {x, y, z};
    std::string groupe;
    for (std::string n, a, b, c; elts >> n >> a;)
        if (n == "GROUPE")
            groupe = a;
        else if (elts >> b >> c)
            t.Elements.push_back({n, a, b, c, groupe});
    std::string segment;
    for (std::string mot, valeur; gen >> mot;) {
        if (mot == ";segment" && gen >> valeur) segment = "segment " + valeur;
        if (mot != "A" || !(gen >> valeur)) continue;
        std::istringstream liste(valeur);
        for (std::string n; std::getline(liste, n, ',');) t.Appuis[segment].push_back(n);
    }
    return t;
}

std::string DeuxDecimales(const std::string& v) {
    return FormatC("%.2f", static_cast<double>(std::stof(v)));
}

// Reads a file word by word, as the viewers' readers do.
class TMots {
public:
    explicit TMots(const std::string& texte) : in_(texte) {}
    std::string operator()() {
        std::string w;
        in_ >> w;
        return w;
    }
    std::size_t Nombre() { return std::stoul((*this)()); }
    // The rest of the line, a name in quotes included.
    std::string Ligne() {
        std::string l;
        std::getline(in_ >> std::ws, l);
        return l;
    }

private:
    std::istringstream in_;
};

} // namespace

TEST(FormatsMaillage, MshHoldsTheTablesNumbersSlicesAndSupports) {
    const TResultatModele r = Calculer({"101", "501", "10", "30", "10"});
    ASSERT_TRUE(r.Calcule) << r.Message;
    const TTextes attendu = LireTextes(r);
    ASSERT_GT(attendu.Elements.size(), 30u);
    ASSERT_GE(attendu.Appuis.size(), 5u);

    TMots mot(TexteMsh(r.Modele));
    EXPECT_EQ(mot(), "$MeshFormat");
    EXPECT_EQ(mot.Ligne(), "2.2 0 8");
    EXPECT_EQ(mot(), "$EndMeshFormat");
    EXPECT_EQ(mot(), "$PhysicalNames");
    std::map<std::string, std::string> noms; // "dim tag" -> name
    for (std::size_t k = mot.Nombre(); k > 0; --k) {
        const std::string dim = mot(), tag = mot(), nom = mot.Ligne();
        noms[dim + " " + tag] = nom.substr(1, nom.size() - 2);
    }
    EXPECT_EQ(mot(), "$EndPhysicalNames");

    EXPECT_EQ(mot(), "$Nodes");
    ASSERT_EQ(mot.Nombre(), attendu.Noeuds.size());
    for (const TNoeudNumerote& n : r.Modele.Noeuds) {
        const std::string numero = mot();
        const std::array<std::string, 3> xyz{mot(), mot(), mot()};
        ASSERT_EQ(numero, std::to_string(n.Numero));
        // Shortest digits of the table's single: read back, the very single the table rounds.
        EXPECT_EQ(std::stof(xyz[0]), n.X);
        EXPECT_EQ(std::stof(xyz[2]), n.Z);
        for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(DeuxDecimales(xyz[c]), attendu.Noeuds.at(numero)[c]);
    }
    EXPECT_EQ(mot(), "$EndNodes");

    EXPECT_EQ(mot(), "$Elements");
    std::size_t nbAppuis = 0;
    for (const auto& [g, n] : attendu.Appuis) nbAppuis += n.size();
    ASSERT_EQ(mot.Nombre(), attendu.Elements.size() + nbAppuis);
    // Number, type, two tags (physical group, elementary entity), nodes.
    const auto mots = [&](auto& l) {
        for (std::string& w : l) w = mot();
    };
    for (const auto& e : attendu.Elements) {
        std::array<std::string, 8> l;
        mots(l);
        EXPECT_EQ((std::array<std::string, 4>{l[0], l[5], l[6], l[7]}),
                  (std::array<std::string, 4>{e[0], e[1], e[2], e[3]}));
        EXPECT_EQ(l[1] + l[2] + l[4], "22" + l[3]);
        EXPECT_EQ(noms["2 " + l[3]], e[4]);
    }
    std::map<std::string, std::vector<std::string>> appuis;
    for (std::size_t k = 0; k < nbAppuis; ++k) {
        std::array<std::string, 6> l;
        mots(l);
        EXPECT_EQ(l[0], std::to_string(501 + attendu.Elements.size() + k)) << "numbered after the elements";
        EXPECT_EQ(l[1] + l[2] + l[4], "152" + l[3]);
        appuis[noms["0 " + l[3]]].push_back(l[5]);
    }
    EXPECT_EQ(appuis, attendu.Appuis);
    EXPECT_EQ(mot(), "$EndElements");
}

TEST(FormatsMaillage, VtkHoldsThePointsCellsSlicesAndSegments) {
    const TResultatModele r = Calculer({"7", "3", "0", "-20", "15"});
    ASSERT_TRUE(r.Calcule) << r.Message;
    const TTextes attendu = LireTextes(r);
    const std::size_t nn = attendu.Noeuds.size(), ne = attendu.Elements.size();
    TMots mot(TexteVtk(r.Modele));
    EXPECT_EQ(mot.Ligne(), "# vtk DataFile Version 3.0");
    static_cast<void>(mot.Ligne());
    EXPECT_EQ(mot.Ligne(), "ASCII");
    EXPECT_EQ(mot.Ligne(), "DATASET UNSTRUCTURED_GRID");
    EXPECT_EQ(mot(), "POINTS");
    ASSERT_EQ(mot.Nombre(), nn);
    EXPECT_EQ(mot(), "float");
    std::vector<std::array<std::string, 3>> points(nn);
    for (auto& p : points) p = {mot(), mot(), mot()};
    EXPECT_EQ(mot(), "CELLS");
    ASSERT_EQ(mot.Nombre(), ne);
    EXPECT_EQ(mot.Nombre(), 4 * ne);
    std::vector<std::array<std::size_t, 3>> cellules(ne);
    for (auto& c : cellules) {
        EXPECT_EQ(mot(), "3");
        c = {mot.Nombre(), mot.Nombre(), mot.Nombre()};
    }
    EXPECT_EQ(mot(), "CELL_TYPES");
    ASSERT_EQ(mot.Nombre(), ne);
    for (std::size_t c = 0; c < ne; ++c) ASSERT_EQ(mot(), "5");

    // Data sections: "CELL_DATA tranche" -> values.
    std::map<std::string, std::vector<std::string>> champs;
    std::string section;
    std::size_t taille = 0;
    for (std::string m = mot(); !m.empty(); m = mot()) {
        if (m == "CELL_DATA" || m == "POINT_DATA") {
            section = m;
            taille = mot.Nombre();
            continue;
        }
        ASSERT_EQ(m, "SCALARS");
        auto& v = champs[section + " " + mot()];
        EXPECT_EQ(mot.Ligne(), "int 1");
        EXPECT_EQ(mot.Ligne(), "LOOKUP_TABLE default");
        for (std::size_t k = 0; k < taille; ++k) v.push_back(mot());
    }
    ASSERT_EQ(champs.size(), 4u);
    const auto& numeros = champs["POINT_DATA noeud"];
    for (std::size_t p = 0; p < nn; ++p)
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_EQ(DeuxDecimales(points[p][c]), attendu.Noeuds.at(numeros[p])[c]);
    for (std::size_t c = 0; c < ne; ++c) {
        const auto& e = attendu.Elements[c];
        EXPECT_EQ(champs["CELL_DATA element"][c], e[0]);
        EXPECT_EQ("TRI_TR" + champs["CELL_DATA tranche"][c], e[4]);
        for (std::size_t s = 0; s < 3; ++s) EXPECT_EQ(numeros[cellules[c][s]], e[1 + s]);
    }
    std::map<std::string, std::vector<std::string>> appuis;
    for (std::size_t p = 0; p < nn; ++p)
        if (champs["POINT_DATA segment"][p] != "-1")
            appuis["segment " + champs["POINT_DATA segment"][p]].push_back(numeros[p]);
    EXPECT_EQ(appuis, attendu.Appuis);
}

TEST(FormatsMaillage, MshRefusesNumbersThatAreNotTags) {
    for (const char* base : {"0", "-5"}) {
        const TResultatModele r = Calculer({base, "1", "0", "0", "50"});
        ASSERT_TRUE(r.Calcule);
        EXPECT_THROW(static_cast<void>(TexteMsh(r.Modele)), std::runtime_error) << base;
        EXPECT_NO_THROW(static_cast<void>(TexteVtk(r.Modele)));
    }
    // The last element numbered 2147483647: no number is left for the supports.
    const TResultatModele r = Calculer({"1", "1", "0", "0", "50"});
    const TResultatModele fin =
        Calculer({"1", std::to_string(2147483647 - r.Modele.Elements.size() + 1), "0", "0", "50"});
    ASSERT_TRUE(fin.Calcule);
    try {
        static_cast<void>(TexteMsh(fin.Modele));
        ADD_FAILURE() << "supports past 2147483647";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("2147483647"), std::string::npos) << e.what();
    }
}
