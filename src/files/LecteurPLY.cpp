#include "LecteurPLY.h"

#include "Chargement.h"
#include "LecturePoints.h"
#include "Nombres.h"
#include "PetitBoutiste.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc {

namespace {

// A header larger than this is no point cloud's.
constexpr std::size_t TailleEnteteMax = std::size_t{1} << 20;

enum class EType : std::uint8_t { Int8, Uint8, Int16, Uint16, Int32, Uint32, Float32, Float64 };
enum class EEncodage { Texte, PetitBoutiste, GrandBoutiste };
// What the reader keeps of a vertex property.
enum ERole : std::uint8_t { RoleX, RoleY, RoleZ, RoleRouge, RoleVert, RoleBleu, NbRoles, SansRole = NbRoles };

struct TNomType {
    std::string_view Nom;
    EType Type;
};

constexpr std::array<TNomType, 16> NomsTypes{{{"char", EType::Int8},      {"int8", EType::Int8},
                                              {"uchar", EType::Uint8},    {"uint8", EType::Uint8},
                                              {"short", EType::Int16},    {"int16", EType::Int16},
                                              {"ushort", EType::Uint16},  {"uint16", EType::Uint16},
                                              {"int", EType::Int32},      {"int32", EType::Int32},
                                              {"uint", EType::Uint32},    {"uint32", EType::Uint32},
                                              {"float", EType::Float32},  {"float32", EType::Float32},
                                              {"double", EType::Float64}, {"float64", EType::Float64}}};

constexpr std::array<std::string_view, NbRoles> NomsRoles{"x", "y", "z", "red", "green", "blue"};

std::size_t Taille(EType t) {
    constexpr std::array<std::size_t, 8> tailles{1, 1, 2, 2, 4, 4, 4, 8};
    return tailles[static_cast<std::size_t>(t)];
}

struct TPropriete {
    EType Type = EType::Uint8;
    bool Liste = false;
    EType TypeNombre = EType::Uint8; // of a list's count
    ERole Role = SansRole;
};

struct TElement {
    std::string Nom;
    std::uint64_t Nombre = 0;
    std::vector<TPropriete> Proprietes;

    [[nodiscard]] bool AvecListes() const {
        return std::any_of(Proprietes.begin(), Proprietes.end(), [](const TPropriete& p) { return p.Liste; });
    }
    // Each list counted empty.
    [[nodiscard]] std::uint64_t TailleMinimale() const {
        std::uint64_t t = 0;
        for (const TPropriete& p : Proprietes) t += Taille(p.Liste ? p.TypeNombre : p.Type);
        return t;
    }
};

struct TEntete {
    EEncodage Encodage = EEncodage::Texte;
    std::vector<TElement> Elements;
    std::size_t Sommets = 0; // the "vertex" element
    std::array<EType, NbRoles> Types{};
    std::int64_t Octets = 0; // the data start right after
    std::int64_t Lignes = 0;
};

// ---- The header ----

class TAnalyseEntete {
public:
    explicit TAnalyseEntete(const TFichier& f) : f_(f) {}
    [[nodiscard]] TEntete Analyser(std::string_view texte);

private:
    [[noreturn]] void Refuser(const std::string& quoi) const {
        ErreurFichier(f_.Nom(), "en-tête PLY, ligne " + std::to_string(ligne_) + " : " + quoi);
    }
    [[nodiscard]] EType Type(std::string_view nom) const;
    void Format(const std::vector<std::string_view>& mots);
    void Element(const std::vector<std::string_view>& mots);
    void Propriete(const std::vector<std::string_view>& mots);
    void Roles();

    const TFichier& f_;
    TEntete e_;
    std::int64_t ligne_ = 0;
    bool format_ = false;
};

std::vector<std::string_view> Mots(std::string_view ligne) {
    std::vector<std::string_view> mots;
    std::size_t i = 0;
    for (;;) {
        while (i < ligne.size() && static_cast<unsigned char>(ligne[i]) <= 32) ++i;
        if (i == ligne.size()) return mots;
        const std::size_t debut = i;
        while (i < ligne.size() && static_cast<unsigned char>(ligne[i]) > 32) ++i;
        mots.push_back(ligne.substr(debut, i - debut));
    }
}

EType TAnalyseEntete::Type(std::string_view nom) const {
    for (const TNomType& t : NomsTypes)
        if (t.Nom == nom) return t.Type;
    Refuser("type « " + std::string(nom.substr(0, 40)) + " » inconnu");
}

void TAnalyseEntete::Format(const std::vector<std::string_view>& mots) {
    if (mots.size() != 3 || LireReel(mots[2]) != 1.0) Refuser("« format ascii 1.0 » ou « format binary_little_endian 1.0 » attendu");
    if (mots[1] == "ascii") e_.Encodage = EEncodage::Texte;
    else if (mots[1] == "binary_little_endian") e_.Encodage = EEncodage::PetitBoutiste;
    else if (mots[1] == "binary_big_endian") e_.Encodage = EEncodage::GrandBoutiste;
    else Refuser("encodage « " + std::string(mots[1].substr(0, 40)) + " » inconnu");
    format_ = true;
}

void TAnalyseEntete::Element(const std::vector<std::string_view>& mots) {
    if (mots.size() != 3) Refuser("« element nom nombre » attendu");
    TElement el;
    el.Nom = mots[1].substr(0, 40);
    for (const char c : mots[2]) {
        if (c < '0' || c > '9' || el.Nombre > (UINT64_MAX - 9) / 10) Refuser("nombre d'éléments « " + std::string(mots[2].substr(0, 40)) + " » illisible");
        el.Nombre = el.Nombre * 10 + static_cast<unsigned>(c - '0');
    }
    e_.Elements.push_back(std::move(el));
}

void TAnalyseEntete::Propriete(const std::vector<std::string_view>& mots) {
    if (e_.Elements.empty()) Refuser("propriété avant tout élément");
    TPropriete p;
    if (mots.size() == 5 && mots[1] == "list") {
        p.Liste = true;
        p.TypeNombre = Type(mots[2]);
        if (p.TypeNombre == EType::Float32 || p.TypeNombre == EType::Float64) Refuser("le nombre d'une liste doit être entier");
        p.Type = Type(mots[3]);
    } else if (mots.size() == 3) {
        p.Type = Type(mots[1]);
        const TElement& el = e_.Elements.back();
        for (std::size_t r = 0; r < NbRoles; ++r)
            if (mots[2] == NomsRoles[r] && el.Nom == "vertex") p.Role = static_cast<ERole>(r);
    } else {
        Refuser("« property type nom » ou « property list type type nom » attendu");
    }
    e_.Elements.back().Proprietes.push_back(p);
}

// The first vertex element; in it the first scalar property of each name.
void TAnalyseEntete::Roles() {
    const auto s = std::find_if(e_.Elements.begin(), e_.Elements.end(), [](const TElement& el) { return el.Nom == "vertex"; });
    if (s == e_.Elements.end()) Refuser("aucun élément « vertex »");
    e_.Sommets = static_cast<std::size_t>(s - e_.Elements.begin());
    std::array<bool, NbRoles> vus{};
    for (TPropriete& p : s->Proprietes) {
        if (p.Role == SansRole) continue;
        if (vus[p.Role]) p.Role = SansRole;
        else {
            vus[p.Role] = true;
            e_.Types[p.Role] = p.Type;
        }
    }
    for (std::size_t r = RoleX; r <= RoleZ; ++r)
        if (!vus[r]) Refuser("les sommets n'ont pas de coordonnée " + std::string(NomsRoles[r]));
    for (TElement& el : e_.Elements)
        if (&el != &*s)
            for (TPropriete& p : el.Proprietes) p.Role = SansRole;
}

TEntete TAnalyseEntete::Analyser(std::string_view texte) {
    std::size_t debut = 0;
    for (;;) {
        const std::size_t lf = texte.find('\n', debut);
        if (lf == std::string_view::npos) {
            if (ligne_ == 0 && !texte.starts_with("ply")) ErreurFichier(f_.Nom(), "« ply » absent en tête : ce n'est pas un fichier PLY");
            ErreurFichier(f_.Nom(), "en-tête PLY sans « end_header » (tronqué, ou de plus d'un mégaoctet)");
        }
        ++ligne_;
        const std::vector<std::string_view> mots = Mots(texte.substr(debut, lf - debut));
        debut = lf + 1;
        if (ligne_ == 1) {
            if (mots.size() != 1 || mots[0] != "ply") ErreurFichier(f_.Nom(), "« ply » absent en tête : ce n'est pas un fichier PLY");
            continue;
        }
        if (mots.empty() || mots[0] == "comment" || mots[0] == "obj_info") continue;
        if (mots[0] == "end_header") break;
        if (mots[0] == "format") Format(mots);
        else if (mots[0] == "element") Element(mots);
        else if (mots[0] == "property") Propriete(mots);
        else Refuser("mot « " + std::string(mots[0].substr(0, 40)) + " » inconnu");
    }
    if (!format_) Refuser("ligne « format » absente");
    Roles();
    e_.Octets = static_cast<std::int64_t>(debut);
    e_.Lignes = ligne_;
    return e_;
}

TEntete LireEntete(TFichier& f) {
    std::string texte(static_cast<std::size_t>(std::min<std::int64_t>(f.Taille(), TailleEnteteMax)), '\0');
    texte.resize(f.Lire(texte.data(), texte.size()));
    return TAnalyseEntete(f).Analyser(texte);
}

// ---- The data ----

[[noreturn]] void Tronque(const TFichier& f, const TElement& el, std::uint64_t presents, const char* quoi) {
    ErreurFichier(f.Nom(), FormatC("fichier tronqué : %llu éléments « %s » annoncés, %s %llu",
                                   static_cast<unsigned long long>(el.Nombre), el.Nom.c_str(), quoi,
                                   static_cast<unsigned long long>(presents)));
}

// Every element fits in what follows the header, each list counted empty.
void VerifierTailles(const TFichier& f, const TEntete& e) {
    auto reste = static_cast<std::uint64_t>(f.Taille() - e.Octets);
    for (const TElement& el : e.Elements) {
        const std::uint64_t t = el.TailleMinimale();
        if (t == 0) continue;
        if (el.Nombre > reste / t) Tronque(f, el, reste / t, "place pour");
        reste -= el.Nombre * t;
    }
}

double Decoder(const unsigned char* s, EType t, bool grand) {
    const auto u16 = [&] { return grand ? LireBE16(s) : LireLE16(s); };
    const auto u32 = [&] { return grand ? LireBE32(s) : LireLE32(s); };
    switch (t) {
    case EType::Int8:
        return static_cast<std::int8_t>(s[0]);
    case EType::Uint8:
        return s[0];
    case EType::Int16:
        return static_cast<std::int16_t>(u16());
    case EType::Uint16:
        return u16();
    case EType::Int32:
        return static_cast<std::int32_t>(u32());
    case EType::Uint32:
        return u32();
    case EType::Float32:
        return std::bit_cast<float>(u32());
    case EType::Float64:
        return std::bit_cast<double>(grand ? LireBE64(s) : static_cast<std::uint64_t>(LireLE64(s)));
    }
    return 0.0;
}

// A list's count is a whole number, not negative.
bool NombreListe(double n) {
    return n >= 0.0 && n <= 4294967295.0 && n == std::floor(n);
}

std::string TexteNombreListe(double n) {
    return "liste de " + FormatC("%g", n) + " valeurs : nombre impossible";
}

// One instance of el; the values of the vertex properties kept in valeurs. False at the end of the file.
template <class TSource> bool LireInstance(TSource& source, const TElement& el, std::array<double, NbRoles + 1>& valeurs) {
    for (const TPropriete& p : el.Proprietes)
        if (!(p.Liste ? source.SauterListe(p) : source.Scalaire(p.Type, valeurs[p.Role]))) return false;
    return true;
}

class TSourceBinaire {
public:
    TSourceBinaire(TFichier& f, const TEntete& e) : f_(f), lecture_(f), grand_(e.Encodage == EEncodage::GrandBoutiste) {
        lecture_.Positionner(e.Octets);
        const TElement& sommets = e.Elements[e.Sommets];
        fixe_ = !sommets.AvecListes();
        for (const TPropriete& p : sommets.Proprietes) {
            if (p.Role != SansRole) gardes_.push_back({p.Role, p.Type, taille_});
            taille_ += Taille(p.Type);
        }
    }
    // Vertices without lists are one piece of the file each, decoded at the kept properties only.
    [[nodiscard]] bool Sommet(const TElement& el, std::array<double, NbRoles + 1>& valeurs) {
        if (!fixe_) return LireInstance(*this, el, valeurs);
        const unsigned char* r = lecture_.Prendre(taille_);
        for (const TGarde& g : gardes_) valeurs[g.Role] = Decoder(r + g.Position, g.Type, grand_);
        return true;
    }
    [[nodiscard]] bool Scalaire(EType t, double& v) {
        v = Decoder(lecture_.Prendre(Taille(t)), t, grand_);
        return true;
    }
    [[nodiscard]] bool SauterListe(const TPropriete& p) {
        double n = 0.0;
        static_cast<void>(Scalaire(p.TypeNombre, n));
        if (!NombreListe(n)) ErreurFichier(f_.Nom(), TexteNombreListe(n));
        lecture_.Sauter(static_cast<std::uint64_t>(n) * Taille(p.Type));
        return true;
    }
    void SauterElement(const TElement& el);

private:
    struct TGarde {
        ERole Role;
        EType Type;
        std::size_t Position;
    };

    TFichier& f_;
    TTamponLecture lecture_;
    bool grand_;
    bool fixe_ = false;
    std::size_t taille_ = 0;
    std::vector<TGarde> gardes_;
};

class TSourceTexte {
public:
    // The file positioned on the data.
    TSourceTexte(TFichier& f, const TEntete& e, IProgression& progression) : f_(f), texte_(f, progression, e.Lignes) {}
    [[nodiscard]] bool Scalaire(EType, double& v) { return texte_.Valeur(v); }
    [[nodiscard]] bool Sommet(const TElement& el, std::array<double, NbRoles + 1>& valeurs) {
        return LireInstance(*this, el, valeurs);
    }
    [[nodiscard]] bool SauterListe(const TPropriete&) {
        double n = 0.0;
        if (!texte_.Valeur(n)) return false;
        if (!NombreListe(n)) texte_.Refuser(TexteNombreListe(n));
        for (auto k = static_cast<std::uint64_t>(n); k > 0; --k)
            if (!texte_.Valeur(n)) return false;
        return true;
    }
    void SauterElement(const TElement& el);

private:
    TFichier& f_;
    TTextePoints texte_;
};

template <class TSource> void SauterInstances(TSource& source, const TFichier& f, const TElement& el) {
    if (el.Proprietes.empty()) return;
    std::array<double, NbRoles + 1> valeurs{};
    for (std::uint64_t i = 0; i < el.Nombre; ++i)
        if (!LireInstance(source, el, valeurs)) Tronque(f, el, i, "lus");
}

void TSourceBinaire::SauterElement(const TElement& el) {
    if (el.AvecListes()) SauterInstances(*this, f_, el);
    else lecture_.Sauter(el.Nombre * el.TailleMinimale()); // within the file: VerifierTailles
}

void TSourceTexte::SauterElement(const TElement& el) {
    SauterInstances(*this, f_, el);
}

std::uint8_t OctetCouleur(double v, EType t) {
    switch (t) {
    case EType::Float32:
    case EType::Float64:
        return OctetArrondi(v * 255.0);
    case EType::Int16:
    case EType::Uint16:
        return static_cast<std::uint8_t>(static_cast<int>(std::clamp(v, 0.0, 65535.0)) >> 8);
    default:
        return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
    }
}

template <class TSource>
void LireSommets(TSource& source, const TFichier& f, const TEntete& e, TSortiePoints& sortie, TAvancement* avancement) {
    for (std::size_t k = 0; k < e.Sommets; ++k) source.SauterElement(e.Elements[k]);
    const TElement& el = e.Elements[e.Sommets];
    for (std::uint64_t i = 0; i < el.Nombre; ++i) {
        std::array<double, NbRoles + 1> v{};
        if (!source.Sommet(el, v)) Tronque(f, el, i, "lus");
        sortie.Ajouter(v[RoleX], v[RoleY], v[RoleZ],
                       CouleurRVB(OctetCouleur(v[RoleRouge], e.Types[RoleRouge]), OctetCouleur(v[RoleVert], e.Types[RoleVert]),
                                  OctetCouleur(v[RoleBleu], e.Types[RoleBleu])));
        if (avancement != nullptr) avancement->Avancer(static_cast<std::int64_t>(i + 1));
    }
}

} // namespace

void LirePLY(TFichier& source, TSortiePoints& sortie, IProgression& progression) {
    const TEntete e = LireEntete(source);
    if (e.Encodage == EEncodage::Texte) {
        source.Positionner(e.Octets);
        TSourceTexte texte(source, e, progression);
        LireSommets(texte, source, e, sortie, nullptr);
        return;
    }
    VerifierTailles(source, e);
    TSourceBinaire binaire(source, e);
    TAvancement avancement(progression, "lecture", static_cast<std::int64_t>(e.Elements[e.Sommets].Nombre));
    LireSommets(binaire, source, e, sortie, &avancement);
}

} // namespace tessarc
