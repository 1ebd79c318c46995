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

std::vector<std::vector<std::string>> Lignes(const std::string& texte) {
    std::vector<std::vector<std::string>> lignes;
    std::istringstream in(texte);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        std::istringstream mots(l);
        std::vector<std::string> v;
        for (std::string w; mots >> w;) v.push_back(w);
        lignes.push_back(v);
    }
    return lignes;
}

// What the three texts say.
struct TTextes {
    std::map<std::string, std::array<std::string, 3>> Noeuds; // number -> X, Y, Z as "%.2f"
    std::vector<std::array<std::string, 5>> Elements;         // number, three nodes, group
    std::map<std::string, std::vector<std::string>> Appuis;   // "segment k" -> node numbers
};

TTextes LireTextes(const TResultatModele& r) {
    TTextes t;
    for (const auto& l : Lignes(r.ResulNds))
        if (l.size() == 4) t.Noeuds[l[0]] = {l[1], l[2], l[3]};
    std::string groupe;
    for (const auto& l : Lignes(r.ResulElts)) {
        if (l[0] == "GROUPE")
            groupe = l[1];
        else
            t.Elements.push_back({l[0], l[1], l[2], l[3], groupe});
    }
    std::string segment;
    for (const auto& l : Lignes(r.ResulGen)) {
        if (l[0] == ";segment") segment = "segment " + l[1];
        if (l[0] == "A") {
            std::istringstream liste(l[1]);
            for (std::string n; std::getline(liste, n, ',');) t.Appuis[segment].push_back(n);
        }
    }
    return t;
}

std::string DeuxDecimales(const std::string& v) {
    return FormatC("%.2f", static_cast<double>(std::stof(v)));
}

// Sections of an MSH file: name -> lines between "$Name" and "$EndName".
std::map<std::string, std::vector<std::vector<std::string>>> Sections(const std::string& texte) {
    std::map<std::string, std::vector<std::vector<std::string>>> s;
    std::string courante;
    for (const auto& l : Lignes(texte)) {
        if (!l.empty() && l[0].starts_with("$End")) {
            courante.clear();
        } else if (!l.empty() && l[0].starts_with("$")) {
            courante = l[0].substr(1);
            s[courante];
        } else if (!courante.empty()) {
            s[courante].push_back(l);
        }
    }
    return s;
}

} // namespace

TEST(FormatsMaillage, MshHoldsTheTablesNumbersSlicesAndSupports) {
    const TResultatModele r = Calculer({"101", "501", "10", "30", "10"});
    ASSERT_TRUE(r.Calcule) << r.Message;
    const TTextes attendu = LireTextes(r);
    ASSERT_GT(attendu.Elements.size(), 30u);
    ASSERT_GE(attendu.Appuis.size(), 5u);

    auto s = Sections(TexteMsh(r.Modele));
    EXPECT_EQ(s["MeshFormat"], (std::vector<std::vector<std::string>>{{"2.2", "0", "8"}}));
    std::map<std::string, std::string> noms; // "dim tag" -> name
    for (std::size_t k = 1; k < s["PhysicalNames"].size(); ++k) {
        const auto& l = s["PhysicalNames"][k];
        std::string nom = l[2];
        for (std::size_t w = 3; w < l.size(); ++w) nom += " " + l[w];
        noms[l[0] + " " + l[1]] = nom.substr(1, nom.size() - 2);
    }
    EXPECT_EQ(std::stoul(s["PhysicalNames"][0][0]), noms.size());

    const auto& nds = s["Nodes"];
    ASSERT_EQ(std::stoul(nds[0][0]), attendu.Noeuds.size());
    ASSERT_EQ(nds.size(), attendu.Noeuds.size() + 1);
    for (std::size_t k = 1; k < nds.size(); ++k) {
        const auto it = attendu.Noeuds.find(nds[k][0]);
        ASSERT_NE(it, attendu.Noeuds.end()) << nds[k][0];
        for (int c = 0; c < 3; ++c) EXPECT_EQ(DeuxDecimales(nds[k][1 + c]), it->second[c]) << nds[k][0];
        // Shortest digits of the table's single: the value read back is that single.
        EXPECT_EQ(std::stof(nds[k][1]), r.Modele.Noeuds[k - 1].X);
        EXPECT_EQ(std::stof(nds[k][3]), r.Modele.Noeuds[k - 1].Z);
    }

    const auto& elts = s["Elements"];
    std::size_t nbAppuis = 0;
    for (const auto& [g, n] : attendu.Appuis) nbAppuis += n.size();
    ASSERT_EQ(std::stoul(elts[0][0]), attendu.Elements.size() + nbAppuis);
    std::map<std::string, std::vector<std::string>> appuis;
    std::vector<std::string> numeros;
    for (std::size_t k = 1; k < elts.size(); ++k) {
        const auto& l = elts[k];
        numeros.push_back(l[0]);
        ASSERT_EQ(l[2], "2") << "two tags";
        EXPECT_EQ(l[3], l[4]);
        if (k <= attendu.Elements.size()) {
            const auto& e = attendu.Elements[k - 1];
            EXPECT_EQ(l[1], "2");
            EXPECT_EQ((std::array<std::string, 4>{l[0], l[5], l[6], l[7]}),
                      (std::array<std::string, 4>{e[0], e[1], e[2], e[3]}));
            EXPECT_EQ(noms["2 " + l[3]], e[4]);
        } else {
            EXPECT_EQ(l[1], "15");
            appuis[noms["0 " + l[3]]].push_back(l[5]);
        }
    }
    EXPECT_EQ(appuis, attendu.Appuis);
    // Point elements follow the last element: all numbers distinct.
    EXPECT_EQ(numeros.back(), std::to_string(501 + attendu.Elements.size() + nbAppuis - 1));
}

TEST(FormatsMaillage, VtkHoldsThePointsCellsSlicesAndSegments) {
    const TResultatModele r = Calculer({"7", "3", "0", "-20", "15"});
    ASSERT_TRUE(r.Calcule) << r.Message;
    const TTextes attendu = LireTextes(r);
    const auto l = Lignes(TexteVtk(r.Modele));
    ASSERT_EQ(l[0], (std::vector<std::string>{"#", "vtk", "DataFile", "Version", "3.0"}));
    EXPECT_EQ(l[2], std::vector<std::string>{"ASCII"});
    EXPECT_EQ(l[3], (std::vector<std::string>{"DATASET", "UNSTRUCTURED_GRID"}));
    const std::size_t nn = attendu.Noeuds.size();
    const std::size_t ne = attendu.Elements.size();
    std::size_t k = 4;
    ASSERT_EQ(l[k], (std::vector<std::string>{"POINTS", std::to_string(nn), "float"}));
    std::vector<std::vector<std::string>> points(l.begin() + 5, l.begin() + 5 + static_cast<long>(nn));
    k += 1 + nn;
    ASSERT_EQ(l[k], (std::vector<std::string>{"CELLS", std::to_string(ne), std::to_string(4 * ne)}));
    std::vector<std::vector<std::string>> cellules(l.begin() + static_cast<long>(k) + 1,
                                                   l.begin() + static_cast<long>(k + 1 + ne));
    k += 1 + ne;
    ASSERT_EQ(l[k], (std::vector<std::string>{"CELL_TYPES", std::to_string(ne)}));
    for (std::size_t c = 0; c < ne; ++c) ASSERT_EQ(l[k + 1 + c], std::vector<std::string>{"5"});
    k += 1 + ne;

    // The data sections: name -> values.
    std::map<std::string, std::vector<std::string>> champs;
    std::map<std::string, std::size_t> tailles;
    std::string section;
    while (k < l.size()) {
        if (l[k][0] == "CELL_DATA" || l[k][0] == "POINT_DATA") {
            section = l[k][0];
            tailles[section] = std::stoul(l[k][1]);
            ++k;
            continue;
        }
        ASSERT_EQ(l[k][0], "SCALARS");
        ASSERT_EQ(l[k + 1], (std::vector<std::string>{"LOOKUP_TABLE", "default"}));
        auto& v = champs[section + " " + l[k][1]];
        for (std::size_t c = 0; c < tailles[section]; ++c) v.push_back(l[k + 2 + c].at(0));
        k += 2 + tailles[section];
    }
    ASSERT_EQ(champs.size(), 4u);
    const auto& numerosNoeuds = champs["POINT_DATA noeud"];
    for (std::size_t p = 0; p < nn; ++p) {
        const auto& xyz = attendu.Noeuds.at(numerosNoeuds[p]);
        for (int c = 0; c < 3; ++c) EXPECT_EQ(DeuxDecimales(points[p][static_cast<std::size_t>(c)]), xyz[c]);
    }
    for (std::size_t c = 0; c < ne; ++c) {
        const auto& e = attendu.Elements[c];
        EXPECT_EQ(champs["CELL_DATA element"][c], e[0]);
        EXPECT_EQ("TRI_TR" + champs["CELL_DATA tranche"][c], e[4]);
        ASSERT_EQ(cellules[c][0], "3");
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(numerosNoeuds[std::stoul(cellules[c][1 + static_cast<std::size_t>(s)])],
                      e[1 + static_cast<std::size_t>(s)]);
    }
    std::map<std::string, std::vector<std::string>> appuis;
    for (std::size_t p = 0; p < nn; ++p)
        if (champs["POINT_DATA segment"][p] != "-1")
            appuis["segment " + champs["POINT_DATA segment"][p]].push_back(numerosNoeuds[p]);
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
