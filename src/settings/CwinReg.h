#pragma once
// The settings component a window carries to keep its settings between runs. All settings of all
// windows live in the table of the instance on the main window (the window whose component was created
// first); each instance reads and writes its own section. The table is loaded once at start-up from
// the user's settings store (QSettings, organisation "Vornak") or an INI file, and written back at the
// end. The component also restores window placement and keeps file-type associations.

#include "AutoFile.h"
#include "TableReglages.h"
#include "Utilisateur.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QSettings;
class QWidget;

namespace tessarc {

class TWinReg;

// Sent to every child widget of a window, in creation order, after its section was loaded (Drapeau 0)
// or saved (Drapeau 1).
class EvenementWinReg : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 2);
    EvenementWinReg(TWinReg* winReg, int drapeau) : QEvent(kType), WinReg(winReg), Drapeau(drapeau) {}
    TWinReg* const WinReg;
    const int Drapeau;
};

class TWinReg : public QObject {
public:
    // Seams of the component, replaced by the tests: the Ctrl key state read at load time, the file
    // dialog of the environment-file import, and the folder of the INI files (ending with "/"; empty
    // for the executable's folder).
    struct Crochets {
        std::function<bool()> CtrlEnfonce;
        std::function<std::string()> ChoisirFichierEnvironnement;
        std::string RepertoireIni;
    };
    [[nodiscard]] static Crochets& Environnement();

    // Its failures and the association questions go to the user's channel.
    TWinReg(QWidget* proprietaire, IUtilisateur& utilisateur);
    ~TWinReg() override;
    TWinReg(const TWinReg&) = delete;
    TWinReg& operator=(const TWinReg&) = delete;

    // Application name; when empty or blank, the executable's name without extension.
    [[nodiscard]] std::string NomAppli();
    void DefinirNomAppli(std::string nom) { FNomAppli = std::move(nom); }
    [[nodiscard]] const std::string& CleConfig() const { return FCleConfig; }
    [[nodiscard]] int NumConfig() const { return FNumConfig; }
    [[nodiscard]] bool LoadOK() const { return FLoadOK; }
    [[nodiscard]] bool InitAlign() const { return FInitAlign; }
    [[nodiscard]] const std::string& CleFiche() const { return FCleFiche; }
    // Section name without spaces; empty restores the window's name.
    void SetCleFiche(std::string_view cle);
    [[nodiscard]] TWinReg* MainWR() const { return mainWR; }

    // Options.
    bool fichierINI = false;
    bool OuvrirReduit = false;
    bool OuvrirWinSock = false; // nothing to start on this system
    bool AdapterLaFicheAuContenu = false;
    int PixelsPerInchDsgn = 96;
    std::string PathINILecGenerique;
    std::array<TAutoFile, 3> AutoFile;

    std::function<void()> OnChargeReg;
    std::function<void()> OnRangeReg;
    std::function<void(int index, void* pdata)> OnMajFiche;

    // This window's section of the main table.
    [[nodiscard]] std::string GetStr(std::string_view nomValeur);
    [[nodiscard]] int GetLong(std::string_view nomValeur, int defaut);
    [[nodiscard]] double GetDouble(std::string_view nomValeur, double defaut);
    void PutStr(std::string_view nomValeur, std::string_view donneesValeur);
    void PutLong(std::string_view nomValeur, int donneesValeur);
    void PutDouble(std::string_view nomValeur, double donneesValeur);

    // Main window only. ChargeReg returns false when the load failed (after its message): nothing will
    // be saved then, and the start-up goes on.
    bool ChargeReg(int numcfg);
    void RangeReg(int numcfg);
    void ChargeRegLocal(int numcfg);
    void RangeRegLocal(int numcfg);
    void ChargerLeRegistre();
    void RangerLeRegistre();
    void MettreAJourFiches(int index, void* pdata);

    virtual void RangeFenReg();
    virtual void ChargeFenReg(const std::string& cleFicheForcee);
    void Associer();

    void LoadINI(const std::string& nomFichier);
    void SaveINI(const std::string& nomFichier);
    [[nodiscard]] std::string GetINIStr(std::string_view nomValeur) const;
    void PutINIStr(std::string_view nomValeur, std::string_view donneesValeur);

    // Program-wide values of the organisation, and immediate values of the application: read and
    // written at once, bypassing the table.
    [[nodiscard]] std::string GetGLBStr(std::string_view nomValeur);
    void PutGLBStr(std::string_view nomValeur, std::string_view donneesValeur);
    [[nodiscard]] std::string GetAsyncStr(std::string_view nomValeur);
    void PutAsyncStr(std::string_view nomValeur, std::string_view donneesValeur);
    [[nodiscard]] bool ExisteCleAppli();
    void UpdateGLB(bool verbose);

private:
    [[nodiscard]] QWidget* Fiche() const;
    [[nodiscard]] std::string NomFiche() const;
    [[nodiscard]] TWinReg& Principal();
    [[nodiscard]] std::unique_ptr<QSettings> ReglagesAppli();
    void FixerConfig(int numcfg);
    bool ChargerIni();
    void LireReglages();
    void EnvoyerEvenement(int drapeau);

    QPointer<QWidget> proprietaire_;
    IUtilisateur& utilisateur_;
    std::string FPrmIni;
    std::string FNomAppli;
    std::string FCleConfig;
    int FNumConfig = 0;
    bool FLoadOK = false;
    bool FInitAlign = false;
    std::string FCleFiche;
    QPointer<TWinReg> mainWR;
    TableReglages table_;
};

} // namespace tessarc
