#include "FichierIni.h"
#include "ListeValeurs.h"
#include "TableReglages.h"
#include "Utils.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace tessarc;

TEST(TableReglages, NamesDifferingInCaseAreOneEntry) {
    TableReglages t;
    t.Ecrire(TableReglages::Cle("FTessarc", "DernierScan"), "/a");
    t.Ecrire(TableReglages::Cle("ftessarc", "DERNIERSCAN"), "/b");
    t.Ecrire(TableReglages::Cle("Étage", "x"), "1");
    t.Ecrire(TableReglages::Cle("étage", "X"), "2");
    ASSERT_EQ(t.Taille(), 2u);
    EXPECT_EQ(t.CleNo(0), "FTessarc\tDernierScan"); // the first spelling stays
    EXPECT_EQ(t.ValeurNo(0), "/b");
    EXPECT_EQ(*t.Trouver("FTESSARC\tdernierscan"), "/b");
    EXPECT_EQ(*t.Trouver("ÉTAGE\tx"), "2");
    EXPECT_EQ(t.Trouver("FTessarc\tDernier"), nullptr);
    EXPECT_EQ(t.Trouver("FTessarc"), nullptr);
}

TEST(TableReglages, StaysSortedAndFindsEveryKey) {
    std::mt19937 alea(7);
    std::map<std::string, std::string> attendu; // by upper-case key
    TableReglages t;
    for (int i = 0; i < 2000; ++i) {
        std::string cle = std::string(1, static_cast<char>('A' + alea() % 5)) + (alea() % 2 ? "b" : "B") +
                          (alea() % 3 ? "\t" : "2\t") + std::to_string(alea() % 300);
        const std::string valeur = std::to_string(i);
        t.Ecrire(cle, valeur);
        attendu[Majuscules(cle)] = valeur;
    }
    ASSERT_EQ(t.Taille(), attendu.size());
    for (std::size_t k = 1; k < t.Taille(); ++k) EXPECT_LT(ComparerSansCasse(t.CleNo(k - 1), t.CleNo(k)), 0);
    for (const auto& [cle, valeur] : attendu) {
        const std::string* v = t.Trouver(cle);
        ASSERT_NE(v, nullptr) << cle;
        EXPECT_EQ(*v, valeur);
    }
}

TEST(FichierIni, WritesEntriesInKeyOrderWithDelimitedValues) {
    TableReglages t;
    t.Ecrire("FTessarc\tWinLTWH", "A10 20 933 472");
    t.Ecrire("FTessarc\tDernierScan", "/home/léa/scans/");
    t.Ecrire("Libre", "");
    EXPECT_EQ(TexteIni(t), "FTessarc\tDernierScan\r\n< délimstr A >\r\n/home/léa/scans/< délimstr A >\r\n"
                           "FTessarc\tWinLTWH\r\n< délimstr A >\r\nA10 20 933 472< délimstr A >\r\n"
                           "Libre\r\n< délimstr A >\r\n< délimstr A >\r\n");
}

TEST(FichierIni, ValuesComeBackUnchanged) {
    TableReglages t;
    t.Ecrire("F\tavecA", "avant\r\n< délimstr A >\r\naprès");
    t.Ecrire("F\tsauts", "\r\n\r\n");
    t.Ecrire("F\tvide", "");
    t.Ecrire("F\tlf", "a\nb\n");
    t.Ecrire("nu", "< délimstr ");
    const std::string texte = TexteIni(t);
    EXPECT_NE(texte.find("F\tavecA\r\n< délimstr B >\r\n"), std::string::npos);

    TableReglages relue;
    LireTexteIni(texte, relue);
    ASSERT_EQ(relue.Taille(), t.Taille());
    for (std::size_t k = 0; k < t.Taille(); ++k) {
        EXPECT_EQ(relue.CleNo(k), t.CleNo(k));
        EXPECT_EQ(relue.ValeurNo(k), t.ValeurNo(k)) << t.CleNo(k);
    }
}

TEST(FichierIni, ReadingStopsAtAnEmptyKeyAndSurvivesTruncation) {
    TableReglages t;
    LireTexteIni("a\r\nD\r\n1D\r\n\r\nb\r\nD\r\n2D\r\n", t);
    ASSERT_EQ(t.Taille(), 1u);
    EXPECT_EQ(*t.Trouver("A"), "1");

    const std::string complet =
        "a\r\n< délimstr A >\r\nun< délimstr A >\r\nb\r\n< délimstr A >\r\ndeux< délimstr A >\r\n";
    for (std::size_t n = 0; n <= complet.size(); ++n) {
        TableReglages partielle;
        LireTexteIni(std::string_view(complet).substr(0, n), partielle);
        EXPECT_LE(partielle.Taille(), 2u);
    }
    TableReglages complete;
    LireTexteIni(complet, complete);
    EXPECT_EQ(*complete.Trouver("b"), "deux");
}

TEST(FichierIni, FileNamesAndTheirSearchOrder) {
    EXPECT_EQ(NomFichierIni("tessarc", "LÉA", ""), "tessarc_LÉA.INI");
    EXPECT_EQ(NomFichierIni("tessarc", "LÉA", "CONFIG_3"), "tessarc_LÉA_CONFIG_3.INI");
    EXPECT_EQ(CandidatsIni("/opt/t/", "tessarc", "U", "CONFIG_3", "/etc/generique.ini"),
              (std::vector<std::string>{"/opt/t/tessarc_U_CONFIG_3.INI", "/opt/t/tessarc_U.INI",
                                        "/opt/t/tessarc.INI", "/etc/generique.ini"}));
    EXPECT_EQ(CandidatsIni("/opt/t/", "tessarc", "U", "", ""),
              (std::vector<std::string>{"/opt/t/tessarc_U.INI", "/opt/t/tessarc.INI"}));
}

TEST(ListeValeurs, NamedLinesAreReadSetAndRemoved) {
    const std::string texte = "Largeur=12\nnom=a=b\r\nvide=\rLargeur=99";
    EXPECT_EQ(LireValeurNommee(texte, "largeur"), "12");
    EXPECT_EQ(LireValeurNommee(texte, "NOM"), "a=b");
    EXPECT_EQ(LireValeurNommee(texte, "vide"), "");
    EXPECT_EQ(LireValeurNommee(texte, "Larg"), "");
    EXPECT_EQ(EcrireValeurNommee(texte, "LARGEUR", "5"), "LARGEUR=5\r\nnom=a=b\r\nvide=\r\nLargeur=99\r\n");
    EXPECT_EQ(EcrireValeurNommee(texte, "largeur", ""), "nom=a=b\r\nvide=\r\nLargeur=99\r\n");
    EXPECT_EQ(EcrireValeurNommee("", "x", "1"), "x=1\r\n");
    EXPECT_EQ(EcrireValeurNommee("a=1\r\n", "absent", ""), "a=1\r\n");
}

TEST(ListeValeurs, EnvironmentFileLines) {
    const auto valeurs = LireEnvironnementGlb(" \t chemin = /opt/données \r\n"
                                              "; commentaire=1\n"
                                              "\n"
                                              "  =sans nom\r"
                                              "sans egal\n"
                                              "\x01\x02"
                                              "formule = a = b\r\n"
                                              "vide=");
    EXPECT_EQ(valeurs, (std::vector<std::pair<std::string, std::string>>{
                           {"chemin", "/opt/données"}, {"formule", "a = b"}, {"vide", ""}}));
    EXPECT_EQ(DecouperLignes("a\r\n\r\nb\n").size(), 3u);
}
