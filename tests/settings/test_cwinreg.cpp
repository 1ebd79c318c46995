#include "EnvironnementEssai.h"

#include "Utils.h"

#include <QGuiApplication>
#include <QScreen>

#include <clocale>

using namespace tessarc;
using essais::LireFichier;

namespace {

class WinReg : public essais::EssaiReglages {};

// Records the settings events it receives.
class Temoin : public QWidget {
public:
    Temoin(QWidget* parent, std::vector<std::pair<const Temoin*, int>>* journal)
        : QWidget(parent), journal_(journal) {}
    TWinReg* recu = nullptr;

protected:
    bool event(QEvent* e) override {
        if (e->type() == EvenementWinReg::kType) {
            auto* ev = static_cast<EvenementWinReg*>(e);
            recu = ev->WinReg;
            journal_->emplace_back(this, ev->Drapeau);
            return true;
        }
        return QWidget::event(e);
    }

private:
    std::vector<std::pair<const Temoin*, int>>* journal_;
};

class WinRegQuiEchoue : public TWinReg {
public:
    using TWinReg::TWinReg;
    void ChargeFenReg(const std::string&) override { throw std::runtime_error("section illisible"); }
};

} // namespace

TEST_F(WinReg, FirstRunStartsEmptyAndSavesTheMainSection) {
    std::string dernierScan = "inchangé";
    {
        auto f = NouvelleFenetre();
        f.wr->OnChargeReg = [&] { dernierScan = f.wr->GetStr("DernierScan"); };
        f.wr->OnRangeReg = [&] { f.wr->PutStr("DernierScan", dernierScan); };
        f.wr->PixelsPerInchDsgn = 120;
        EXPECT_FALSE(f.wr->ExisteCleAppli());
        ASSERT_TRUE(f.wr->ChargeReg(0));
        EXPECT_TRUE(f.wr->LoadOK());
        EXPECT_EQ(dernierScan, "");
        EXPECT_TRUE(messages.empty());

        dernierScan = "/home/léa/scans, 2024/";
        f.fiche->setGeometry(10, 20, 300, 200);
        f.wr->RangeReg(-1);
        EXPECT_TRUE(f.wr->ExisteCleAppli());
    }
    const auto s = Stockage();
    EXPECT_EQ(s->childGroups(), QStringList{"FTessarc"});
    EXPECT_EQ(s->value("FTessarc/DernierScan").toString().toStdString(), dernierScan);
    EXPECT_EQ(s->value("FTessarc/PixelsPerInchDsgn").toString(), "120");
    EXPECT_EQ(s->value("FTessarc/WinLTWH").toString(), "10 20 300 200");
    EXPECT_FALSE(s->contains("FTessarc/NoAutoAssociation")); // no slot has an extension

    auto g = NouvelleFenetre();
    std::string relu;
    g.wr->OnChargeReg = [&] { relu = g.wr->GetStr("DernierScan"); };
    ASSERT_TRUE(g.wr->ChargeReg(0));
    EXPECT_EQ(relu, dernierScan);
    EXPECT_EQ(g.wr->PixelsPerInchDsgn, 120);
}

TEST_F(WinReg, ValuesOfEveryShapeComeBack) {
    const std::vector<std::string> valeurs = {"a, b; c",        "@String(x)", " espace ", "l1\r\nl2\n",
                                              "\\\\serveur\\p", "é€𝄞",        "=",        "\"guillemets\""};
    {
        auto f = NouvelleFenetre();
        ASSERT_TRUE(f.wr->ChargeReg(0));
        for (std::size_t k = 0; k < valeurs.size(); ++k) f.wr->PutStr("v" + std::to_string(k), valeurs[k]);
        f.wr->RangeReg(-1);
    }
    auto g = NouvelleFenetre();
    ASSERT_TRUE(g.wr->ChargeReg(0));
    for (std::size_t k = 0; k < valeurs.size(); ++k)
        EXPECT_EQ(g.wr->GetStr("v" + std::to_string(k)), valeurs[k]);
}

TEST_F(WinReg, NumbersReadStrictlyWithAPoint) {
    auto f = NouvelleFenetre();
    ASSERT_TRUE(f.wr->ChargeReg(0));
    f.wr->PutStr("a", "12a");
    f.wr->PutStr("b", " 12 ");
    f.wr->PutStr("c", "1,5");
    f.wr->PutStr("d", "2147483648");
    EXPECT_EQ(f.wr->GetLong("a", -1), -1);
    EXPECT_EQ(f.wr->GetLong("b", -1), 12);
    EXPECT_EQ(f.wr->GetLong("absent", 7), 7);
    EXPECT_EQ(f.wr->GetLong("d", 3), 3);
    EXPECT_EQ(f.wr->GetDouble("c", 0.25), 0.25);
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr) {
        f.wr->PutDouble("e", 0.1);
        f.wr->PutLong("f", -42);
        std::setlocale(LC_ALL, "C");
        EXPECT_EQ(f.wr->GetStr("e"), "0.1");
        EXPECT_EQ(f.wr->GetDouble("e", 0), 0.1);
        EXPECT_EQ(f.wr->GetStr("f"), "-42");
    }
}

TEST_F(WinReg, ANewConfigurationStartsFromTheUnnumberedSettings) {
    {
        const auto s = Stockage();
        s->setValue("FTessarc/DernierScan", "/base");
        s->setValue("FTessarc/Autre", "x");
        s->setValue("CONFIG_5/FTessarc/DernierScan", "/cinq");
    }
    {
        auto f = NouvelleFenetre();
        ASSERT_TRUE(f.wr->ChargeReg(3));
        EXPECT_EQ(f.wr->CleConfig(), "CONFIG_3");
        EXPECT_EQ(f.wr->NumConfig(), 3);
        EXPECT_EQ(f.wr->GetStr("DernierScan"), "/base");
        f.wr->PutStr("DernierScan", "/trois");
        f.wr->RangeReg(-1);
    }
    const auto s = Stockage();
    EXPECT_EQ(s->value("CONFIG_3/FTessarc/DernierScan").toString(), "/trois");
    EXPECT_EQ(s->value("CONFIG_3/FTessarc/Autre").toString(), "x");
    EXPECT_EQ(s->value("FTessarc/DernierScan").toString(), "/base");
    EXPECT_EQ(s->value("CONFIG_5/FTessarc/DernierScan").toString(), "/cinq");

    auto g = NouvelleFenetre();
    ASSERT_TRUE(g.wr->ChargeReg(3));
    EXPECT_EQ(g.wr->GetStr("DernierScan"), "/trois");
    ASSERT_TRUE(g.wr->ChargeReg(5));
    EXPECT_EQ(g.wr->GetStr("DernierScan"), "/cinq");
    ASSERT_TRUE(g.wr->ChargeReg(0));
    EXPECT_EQ(g.wr->GetStr("DernierScan"), "/base");
}

TEST_F(WinReg, NamesDifferingInCaseAreOneEntryInTheStoreToo) {
    {
        const auto s = Stockage();
        s->setValue("ftessarc/DernierScan", "/un");
        s->setValue("ftessarc/dernierscan", "/deux");
        s->setValue("ftessarc/Garde", "g");
        s->setValue("Racine", "r");
        s->setValue("Profond/Sous/x", "ignoré");
    }
    auto f = NouvelleFenetre();
    ASSERT_TRUE(f.wr->ChargeReg(0));
    const std::string lu = f.wr->GetStr("DERNIERSCAN");
    EXPECT_TRUE(lu == "/un" || lu == "/deux") << lu;
    f.wr->PutStr("DernierScan", "/nouveau");
    f.wr->RangeReg(-1);

    const auto s = Stockage();
    EXPECT_EQ(s->childGroups(), (QStringList{"Profond", "ftessarc"})); // the section's existing spelling
    s->beginGroup("ftessarc");
    QStringList noms;
    for (const QString& cle : s->childKeys()) noms << cle.toLower();
    noms.sort();
    EXPECT_EQ(noms, (QStringList{"dernierscan", "garde", "pixelsperinchdsgn", "winltwh"}));
    for (const QString& cle : s->childKeys()) {
        if (cle.toLower() == "dernierscan") {
            EXPECT_EQ(s->value(cle).toString(), "/nouveau");
        }
    }
    s->endGroup();
    EXPECT_EQ(s->value("Racine").toString(), "r");
    EXPECT_EQ(s->value("Profond/Sous/x").toString(), "ignoré"); // deeper groups are left alone

    auto g = NouvelleFenetre("FAutre");
    g.wr->SetCleFiche("Racine de\xC2\xA0tout");
    EXPECT_EQ(g.wr->CleFiche(), "Racinedetout");
    g.wr->SetCleFiche("");
    EXPECT_EQ(g.wr->CleFiche(), "FAutre");
}

TEST_F(WinReg, TopLevelValuesStayAndProgramWideValuesStayApart) {
    auto f = NouvelleFenetre();
    f.wr->PutAsyncStr("Immediat", "tout de suite");
    f.wr->PutGLBStr("Programme", "partout");
    EXPECT_EQ(f.wr->GetAsyncStr("Immediat"), "tout de suite");
    EXPECT_EQ(f.wr->GetGLBStr("Programme"), "partout");
    EXPECT_EQ(f.wr->GetGLBStr("Absent"), "");
    EXPECT_EQ(f.wr->GetAsyncStr("Programme"), "");
    EXPECT_TRUE(std::filesystem::exists(dossier.Nom("config/Vornak.conf")));

    ASSERT_TRUE(f.wr->ChargeReg(0));
    f.wr->RangeReg(-1);
    const auto s = Stockage();
    EXPECT_EQ(s->value("Immediat").toString(), "tout de suite");
    EXPECT_FALSE(s->contains("Programme")); // the organisation's values are not the application's
}

TEST_F(WinReg, ASaveAfterAFailedLoadWritesNothing) {
    auto f = NouvelleFenetre();
    f.wr->fichierINI = true;
    const std::string ini = dossier.Nom("ini/") + kAppli + "_" + NomUtilisateur(*this) + ".INI";
    std::filesystem::create_directory(ini); // cannot be read
    EXPECT_FALSE(f.wr->ChargeReg(0));
    EXPECT_EQ(messages, std::vector<std::string>{"erreur au chargement du registre"});
    EXPECT_FALSE(f.wr->LoadOK());
    f.wr->PutStr("DernierScan", "/x");
    f.wr->RangeReg(-1);
    f.wr->RangeRegLocal(-1);
    EXPECT_TRUE(std::filesystem::is_directory(ini));
    EXPECT_FALSE(std::filesystem::exists(FichierReglages()));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WinReg, IniFilesKeepAnyValue) {
    const std::string utilisateur = NomUtilisateur(*this);
    const std::string valeur = "avant < délimstr A >\r\naprès\r\n";
    {
        auto f = NouvelleFenetre();
        f.wr->fichierINI = true;
        ASSERT_TRUE(f.wr->ChargeReg(0));
        f.wr->PutStr("DernierScan", valeur);
        f.wr->PutStr("Vide", "\r\n\r\n");
        f.wr->RangeReg(-1);
    }
    const std::string nom = dossier.Nom("ini/") + kAppli + "_" + utilisateur + ".INI";
    const std::string texte = LireFichier(nom);
    EXPECT_TRUE(
        texte.starts_with("FTessarc\tDernierScan\r\n< délimstr B >\r\n" + valeur + "< délimstr B >\r\n"))
        << texte;
    EXPECT_FALSE(std::filesystem::exists(FichierReglages()));

    auto g = NouvelleFenetre();
    g.wr->fichierINI = true;
    ASSERT_TRUE(g.wr->ChargeReg(0));
    EXPECT_EQ(g.wr->GetStr("DernierScan"), valeur);
    EXPECT_EQ(g.wr->GetStr("Vide"), "\r\n\r\n");
}

TEST_F(WinReg, IniFilesAreSearchedInOrder) {
    const std::string rep = dossier.Nom("ini/");
    const auto entree = [](const char* v) { return std::string("FTessarc\tSource\r\nD\r\n") + v + "D\r\n"; };
    dossier.Ecrire("generique.ini", entree("générique"));
    auto f = NouvelleFenetre();
    f.wr->fichierINI = true;
    f.wr->PathINILecGenerique = dossier.Nom("generique.ini");
    ASSERT_TRUE(f.wr->ChargeReg(3));
    EXPECT_EQ(f.wr->GetStr("Source"), "générique");
    dossier.Ecrire(std::string("ini/") + kAppli + ".INI", entree("appli"));
    ASSERT_TRUE(f.wr->ChargeReg(3));
    EXPECT_EQ(f.wr->GetStr("Source"), "appli");
    dossier.Ecrire(std::string("ini/") + kAppli + "_" + NomUtilisateur(*this) + ".INI",
                   "\xEF\xBB\xBF" + entree("utilisateur"));
    ASSERT_TRUE(f.wr->ChargeReg(3));
    EXPECT_EQ(f.wr->GetStr("Source"), "utilisateur");
    dossier.Ecrire(std::string("ini/") + kAppli + "_" + NomUtilisateur(*this) + "_CONFIG_3.INI",
                   entree("config \xE9"));
    ASSERT_TRUE(f.wr->ChargeReg(3));
    EXPECT_EQ(f.wr->GetStr("Source"), "config é"); // written on Windows
    f.wr->RangeReg(-1);
    EXPECT_NE(LireFichier(rep + kAppli + "_" + NomUtilisateur(*this) + "_CONFIG_3.INI")
                  .find("config é"),
              std::string::npos);
}

TEST_F(WinReg, CorruptOrUnreadableStoresNeverStopTheProgram) {
    std::filesystem::create_directories(dossier.Nom("config/Vornak"));
    dossier.Ecrire(std::string("config/Vornak/") + kAppli + ".conf",
                   "[FTessarc\n\x01\xFF\xFE=[[\n[FTessarc]\nDernierScan=/lu\n=\n@Variant(\\0\\0)=x\n");
    {
        auto f = NouvelleFenetre();
        ASSERT_TRUE(f.wr->ChargeReg(0));
        EXPECT_EQ(f.wr->GetStr("DernierScan"), "/lu");
        f.wr->PutStr("DernierScan", "/ecrit");
        f.wr->RangeReg(-1);
    }
    EXPECT_EQ(Stockage()->value("FTessarc/DernierScan").toString(), "/ecrit");

    std::filesystem::remove(FichierReglages());
    std::filesystem::create_directory(FichierReglages());
    auto g = NouvelleFenetre();
    ASSERT_TRUE(g.wr->ChargeReg(0));
    g.wr->PutStr("DernierScan", "/perdu");
    g.wr->RangeReg(-1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WinReg, LeftCtrlHeldResetsPositionsWithAMessage) {
    {
        const auto s = Stockage();
        s->setValue("FTessarc/WinLTWH", "40 50 300 200");
        s->setValue("FTessarc/PixelsPerInchDsgn", "144");
    }
    ctrl = true;
    auto f = NouvelleFenetre();
    f.fiche->setGeometry(5000, 6, 320, 240); // design placement, still kept on screen
    ASSERT_TRUE(f.wr->ChargeReg(0));
    EXPECT_TRUE(f.wr->InitAlign());
    EXPECT_EQ(messages,
              std::vector<std::string>{
                  std::string("réinitialisation des positions de fenêtres ; redémarrez ") + kAppli});
    const QRect ecran = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(f.fiche->geometry(), QRect(ecran.x() + ecran.width() - 50 - 320, 6, 320, 240));
    EXPECT_EQ(f.wr->PixelsPerInchDsgn, 96);

    ctrl = false;
    ASSERT_TRUE(f.wr->ChargeReg(0));
    EXPECT_FALSE(f.wr->InitAlign());
    EXPECT_EQ(f.fiche->geometry(), QRect(40, 50, 300, 200));
    EXPECT_EQ(f.wr->PixelsPerInchDsgn, 144);
}

TEST_F(WinReg, ChildWidgetsHearOfLoadsAndSavesInCreationOrder) {
    std::vector<std::pair<const Temoin*, int>> journal;
    auto f = NouvelleFenetre();
    Temoin premier(f.fiche.get(), &journal);
    QWidget panneau(f.fiche.get());
    Temoin dansPanneau(&panneau, &journal);
    Temoin dernier(f.fiche.get(), &journal);
    ASSERT_TRUE(f.wr->ChargeReg(0));
    f.wr->RangeReg(-1);
    EXPECT_EQ(journal, (std::vector<std::pair<const Temoin*, int>>{{&premier, 0},
                                                                   {&dansPanneau, 0},
                                                                   {&dernier, 0},
                                                                   {&premier, 1},
                                                                   {&dansPanneau, 1},
                                                                   {&dernier, 1}}));
    EXPECT_EQ(premier.recu, f.wr.get());
}

TEST_F(WinReg, EveryWindowGetsItsSectionAndFailuresAreReported) {
    auto principale = NouvelleFenetre();
    auto seconde = NouvelleFenetre("FSeconde");
    QWidget troisieme;
    troisieme.setObjectName("FTroisieme");
    WinRegQuiEchoue echoue(&troisieme, *this);
    QWidget panneau(principale.fiche.get());
    panneau.setObjectName("PnTop");
    TWinReg surPanneau(&panneau, *this);
    EXPECT_EQ(messages, std::vector<std::string>{"WinReg : Owner <> TForm : PnTop"});
    messages.clear();

    seconde.wr->OnRangeReg = [&] { seconde.wr->PutStr("Colonnes", "3"); };
    ASSERT_TRUE(principale.wr->ChargeReg(0));
    EXPECT_EQ(messages, std::vector<std::string>{"section illisible dans FTroisieme,TWinReg.ChargeFenReg"});
    EXPECT_EQ(seconde.wr->MainWR(), principale.wr.get());
    principale.wr->RangeReg(-1);
    EXPECT_EQ(Stockage()->value("FSeconde/Colonnes").toString(), "3");
    EXPECT_TRUE(Stockage()->contains("FSeconde/WinLTWH"));

    messages.clear();
    EXPECT_TRUE(seconde.wr->ChargeReg(0));
    seconde.wr->RangeReg(0);
    EXPECT_EQ(messages, (std::vector<std::string>{"erreur CWinReg : seule MainForm peut appeler ChargeReg",
                                                  "section illisible dans FTroisieme,TWinReg.ChargeFenReg",
                                                  "erreur CWinReg : seule MainForm peut appeler RangeReg"}));

    messages.clear();
    std::vector<int> recus;
    principale.wr->OnMajFiche = [&](int index, void*) { recus.push_back(index); };
    seconde.wr->OnMajFiche = [&](int, void*) { throw std::runtime_error("refus"); };
    echoue.OnMajFiche = [&](int index, void*) { recus.push_back(10 * index); };
    principale.wr->MettreAJourFiches(4, nullptr);
    EXPECT_EQ(recus, (std::vector<int>{4, 40}));
    EXPECT_EQ(messages, std::vector<std::string>{"FSeconde : refus"});
}

TEST_F(WinReg, LocalLoadAndSaveOfOneWindow) {
    auto principale = NouvelleFenetre();
    auto seconde = NouvelleFenetre("FSeconde");
    ASSERT_TRUE(principale.wr->ChargeReg(0));
    seconde.wr->RangeRegLocal(0); // not loaded locally yet
    EXPECT_FALSE(std::filesystem::exists(FichierReglages()));
    seconde.wr->ChargeRegLocal(0);
    ASSERT_TRUE(seconde.wr->LoadOK());
    seconde.wr->PutStr("Filtre", "*.xyz");
    seconde.wr->RangeRegLocal(-1);
    EXPECT_EQ(Stockage()->value("FSeconde/Filtre").toString(), "*.xyz");
}

TEST_F(WinReg, IniTextAccessors) {
    auto f = NouvelleFenetre();
    const std::string nom = dossier.Ecrire("prm.ini", "Largeur=10\r\nTitre=voûte\r\n");
    f.wr->LoadINI(nom);
    EXPECT_EQ(f.wr->GetINIStr("titre"), "voûte");
    f.wr->PutINIStr("Largeur", "");
    f.wr->PutINIStr("Hauteur", "3.5");
    f.wr->SaveINI(nom);
    EXPECT_EQ(LireFichier(nom), "Titre=voûte\r\nHauteur=3.5\r\n");
    f.wr->LoadINI(dossier.Nom("absent.ini"));
    EXPECT_EQ(f.wr->GetINIStr("Titre"), "");
}

TEST_F(WinReg, EnvironmentFileIsImportedWhenItChanges) {
    auto f = NouvelleFenetre();
    f.wr->UpdateGLB(false); // no file known, nobody asked
    EXPECT_EQ(f.wr->GetGLBStr("path_fichier_environnement_glb"), "");

    const std::string env =
        dossier.Ecrire("EnvironnementGlb.txt", "; réglages\r\n  serveur = calcul1\r\nnoeuds=4\r\n");
    fichierChoisi = env;
    f.wr->UpdateGLB(true);
    EXPECT_EQ(f.wr->GetGLBStr("path_fichier_environnement_glb"), env);
    EXPECT_EQ(f.wr->GetGLBStr("serveur"), "calcul1");
    EXPECT_EQ(f.wr->GetGLBStr("noeuds"), "4");
    EXPECT_FALSE(f.wr->GetGLBStr("date_fichier_environnement_glb").empty());

    f.wr->PutGLBStr("serveur", "modifié à la main");
    fichierChoisi.clear();
    f.wr->UpdateGLB(true); // same stamp: nothing read
    EXPECT_EQ(f.wr->GetGLBStr("serveur"), "modifié à la main");

    dossier.Ecrire("EnvironnementGlb.txt", "serveur=calcul2\n");
    std::filesystem::last_write_time(env, std::filesystem::last_write_time(env) + std::chrono::hours(1));
    f.wr->UpdateGLB(false);
    EXPECT_EQ(f.wr->GetGLBStr("serveur"), "calcul2");
    EXPECT_EQ(f.wr->GetGLBStr("noeuds"), "4");
}
