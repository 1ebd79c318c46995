#include "DescriptionE57.h"

#include "Fichier.h"
#include "Nombres.h"

#include <pugixml.hpp>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>
#include <limits>
#include <utility>

namespace tessarc {

const TChampE57* TScanE57::Champ(std::string_view nom) const {
    for (const TChampE57& c : Champs)
        if (c.Nom == nom) return &c;
    return nullptr;
}

namespace {

// Structures nested deeper than this in a prototype are a forged file, not a scan.
constexpr int ProfondeurMax = 32;
// A data packet names each bytestream's length on 16 bits, after a 16-bit count.
constexpr std::size_t ChampsMax = 65535;

// The fields the points are made of besides the coordinates: all must be numbers.
constexpr std::string_view Utiles[] = {"cartesianInvalidState",
                                       "sphericalInvalidState",
                                       "colorRed",
                                       "colorGreen",
                                       "colorBlue",
                                       "isColorInvalid",
                                       "intensity",
                                       "isIntensityInvalid"};

// Refusals name the file and, inside a scan, its number.
class TContexte {
public:
    explicit TContexte(const std::filesystem::path& nom) : nom_(nom) {}
    void Scan(int numero) { scan_ = numero; }
    [[noreturn]] void Erreur(const std::string& quoi) const {
        ErreurFichier(nom_, scan_ > 0 ? "scan " + std::to_string(scan_) + " : " + quoi : quoi);
    }

    // An integer or a real, blanks around; empty reads as 0. Reals take the full syntax: writers also
    // put "inf" or "nan" in limits of fields nobody reads.
    template <typename T> [[nodiscard]] T Nombre(std::string_view texte, const char* ou) const {
        texte = Rogner(texte);
        if (texte.empty()) return T{};
        if (texte.front() == '+') texte.remove_prefix(1);
        T v{};
        const auto [fin, ec] = std::from_chars(texte.data(), texte.data() + texte.size(), v);
        if (ec != std::errc() || fin != texte.data() + texte.size())
            Erreur("nombre « " + std::string(texte) + " » illisible (" + ou + ")");
        return v;
    }
    [[nodiscard]] std::int64_t Entier(std::string_view texte, const char* ou) const {
        return Nombre<std::int64_t>(texte, ou);
    }
    // A value below the double range reads 0, as everywhere else in the program.
    [[nodiscard]] double Reel(std::string_view texte, const char* ou) const {
        if (const std::optional<double> v = LireReel(Rogner(texte))) return *v;
        return Nombre<double>(texte, ou);
    }
    [[nodiscard]] std::int64_t EntierAttribut(pugi::xml_node n, const char* attribut,
                                              std::int64_t defaut) const {
        const pugi::xml_attribute a = n.attribute(attribut);
        return a ? Entier(a.value(), n.name()) : defaut;
    }
    [[nodiscard]] double ReelAttribut(pugi::xml_node n, const char* attribut, double defaut) const {
        const pugi::xml_attribute a = n.attribute(attribut);
        return a ? Reel(a.value(), n.name()) : defaut;
    }

    // A number element of the XML (Integer, ScaledInteger or Float); 0 when it is absent.
    [[nodiscard]] double Valeur(pugi::xml_node n) const {
        if (!n) return 0.0;
        const std::string_view type = n.attribute("type").value();
        if (type == "Float") return Reel(n.child_value(), n.name());
        const auto v = static_cast<double>(Entier(n.child_value(), n.name()));
        if (type == "Integer") return v;
        if (type == "ScaledInteger")
            return v * ReelAttribut(n, "scale", 1.0) + ReelAttribut(n, "offset", 0.0);
        Erreur("« " + std::string(n.name()) + " » n'est pas un nombre (type « " + std::string(type) + " »)");
    }

private:
    const std::filesystem::path& nom_;
    int scan_ = 0;
};

TChampE57 LireChamp(const TContexte& ctx, pugi::xml_node n, std::string chemin) {
    TChampE57 c;
    c.Nom = std::move(chemin);
    const std::string_view type = n.attribute("type").value();
    if (type == "Float") {
        const std::string_view precision = n.attribute("precision").value();
        if (precision != "single" && precision != "double" && !precision.empty())
            ctx.Erreur("précision « " + std::string(precision) + " » inconnue pour « " + c.Nom + " »");
        const bool simple = precision == "single";
        const double plus =
            simple ? double(std::numeric_limits<float>::max()) : std::numeric_limits<double>::max();
        c.Bits = simple ? 32 : 64;
        c.MinReel = ctx.ReelAttribut(n, "minimum", -plus);
        c.MaxReel = ctx.ReelAttribut(n, "maximum", plus);
        return c;
    }
    if (type == "String") {
        c.Type = ETypeChampE57::Texte;
        c.Bits = 0;
        return c;
    }
    if (type != "Integer" && type != "ScaledInteger")
        ctx.Erreur("champ « " + c.Nom + " » de type « " + std::string(type) +
                   " » impossible dans un prototype");
    c.Type = type == "Integer" ? ETypeChampE57::Entier : ETypeChampE57::EntierEchelle;
    c.Min = ctx.EntierAttribut(n, "minimum", std::numeric_limits<std::int64_t>::min());
    c.Max = ctx.EntierAttribut(n, "maximum", std::numeric_limits<std::int64_t>::max());
    if (c.Min > c.Max) ctx.Erreur("champ « " + c.Nom + " » : minimum au-dessus du maximum");
    c.Bits = std::bit_width(static_cast<std::uint64_t>(c.Max) - static_cast<std::uint64_t>(c.Min));
    if (c.Type == ETypeChampE57::EntierEchelle) {
        c.Echelle = ctx.ReelAttribut(n, "scale", 1.0);
        c.Decalage = ctx.ReelAttribut(n, "offset", 0.0);
    }
    c.MinReel = static_cast<double>(c.Min) * c.Echelle + c.Decalage;
    c.MaxReel = static_cast<double>(c.Max) * c.Echelle + c.Decalage;
    if (c.MinReel > c.MaxReel) std::swap(c.MinReel, c.MaxReel);
    return c;
}

// The leaves of the prototype, depth first: the order of the bytestreams.
void Aplatir(const TContexte& ctx, pugi::xml_node n, const std::string& prefixe, int profondeur,
             std::vector<TChampE57>& champs) {
    for (pugi::xml_node e = n.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        std::string chemin = prefixe.empty() ? e.name() : prefixe + "/" + e.name();
        const std::string_view type = e.attribute("type").value();
        if (type == "Structure" || type == "Vector") {
            if (profondeur >= ProfondeurMax) ctx.Erreur("prototype imbriqué sur plus de 32 niveaux");
            Aplatir(ctx, e, chemin, profondeur + 1, champs);
        } else {
            champs.push_back(LireChamp(ctx, e, std::move(chemin)));
        }
        if (champs.size() > ChampsMax) ctx.Erreur("prototype de plus de 65535 champs");
    }
}

void VerifierCodecs(const TContexte& ctx, pugi::xml_node codecs) {
    for (pugi::xml_node c = codecs.first_child(); c; c = c.next_sibling())
        for (pugi::xml_node e = c.first_child(); e; e = e.next_sibling()) {
            const std::string_view nom = e.name();
            if (e.type() == pugi::node_element && nom != "inputs" && nom != "bitPackCodec")
                ctx.Erreur("codec « " + std::string(nom) + " » inconnu : seul bitPackCodec existe");
        }
}

void VerifierChamps(const TContexte& ctx, TScanE57& s) {
    const auto numerique = [&](std::string_view nom) {
        const TChampE57* c = s.Champ(nom);
        return c != nullptr && c->Type != ETypeChampE57::Texte;
    };
    const auto complet = [&](const auto& noms) { return std::all_of(noms.begin(), noms.end(), numerique); };
    s.Cartesien = complet(ChampsCartesiens);
    if (!s.Cartesien && !complet(ChampsSpheriques))
        ctx.Erreur(
            "le prototype n'a pas de coordonnées (cartesianX, Y, Z ou sphericalRange, Azimuth, Elevation)");
    for (const std::string_view n : Utiles)
        if (s.Champ(n) != nullptr && !numerique(n))
            ctx.Erreur("le champ « " + std::string(n) + " » est un texte");
}

void LirePose(const TContexte& ctx, pugi::xml_node pose, TScanE57& s) {
    const pugi::xml_node t = pose.child("translation");
    s.Translation = {ctx.Valeur(t.child("x")), ctx.Valeur(t.child("y")), ctx.Valeur(t.child("z"))};
    const pugi::xml_node r = pose.child("rotation");
    if (!r) return;
    double w = ctx.Valeur(r.child("w"));
    double x = ctx.Valeur(r.child("x"));
    double y = ctx.Valeur(r.child("y"));
    double z = ctx.Valeur(r.child("z"));
    const double norme = std::sqrt(w * w + x * x + y * y + z * z);
    if (!(norme > 0.0) || !std::isfinite(norme)) ctx.Erreur("pose : quaternion de rotation nul ou infini");
    w /= norme;
    x /= norme;
    y /= norme;
    z /= norme;
    s.Rotation = {{{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                   {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                   {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}}};
}

TLimitesE57 LireLimites(const TContexte& ctx, pugi::xml_node limites, const std::string& nom) {
    TLimitesE57 l;
    if (const pugi::xml_node n = limites.child((nom + "Minimum").c_str())) l.Min = ctx.Valeur(n);
    if (const pugi::xml_node n = limites.child((nom + "Maximum").c_str())) l.Max = ctx.Valeur(n);
    return l;
}

TScanE57 LireScan(const TContexte& ctx, pugi::xml_node n) {
    TScanE57 s;
    const pugi::xml_node points = n.child("points");
    if (std::string_view(points.attribute("type").value()) != "CompressedVector")
        ctx.Erreur("pas de vecteur de points (« points » de type CompressedVector)");
    s.Section = ctx.EntierAttribut(points, "fileOffset", -1);
    s.NbEnregistrements = ctx.EntierAttribut(points, "recordCount", -1);
    if (s.Section < 0 || s.NbEnregistrements < 0)
        ctx.Erreur("fileOffset ou recordCount des points absent ou négatif");
    const pugi::xml_node prototype = points.child("prototype");
    if (std::string_view(prototype.attribute("type").value()) != "Structure")
        ctx.Erreur("les points n'ont pas de prototype (une structure)");
    Aplatir(ctx, prototype, {}, 0, s.Champs);
    VerifierCodecs(ctx, points.child("codecs"));
    VerifierChamps(ctx, s);
    LirePose(ctx, n.child("pose"), s);
    const pugi::xml_node couleurs = n.child("colorLimits");
    s.LimitesCouleur = {LireLimites(ctx, couleurs, "colorRed"), LireLimites(ctx, couleurs, "colorGreen"),
                        LireLimites(ctx, couleurs, "colorBlue")};
    s.LimitesIntensite = LireLimites(ctx, n.child("intensityLimits"), "intensity");
    return s;
}

} // namespace

std::vector<TScanE57> LireDescriptionE57(std::span<char> xml, const std::filesystem::path& nom) {
    TContexte ctx(nom);
    pugi::xml_document doc;
    const pugi::xml_parse_result r =
        doc.load_buffer_inplace(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!r)
        ctx.Erreur(FormatC("XML illisible : %s (octet %lld de la section XML)", r.description(),
                           static_cast<long long>(r.offset)));
    const pugi::xml_node racine = doc.child("e57Root");
    if (!racine) ctx.Erreur("XML sans élément e57Root");
    std::vector<TScanE57> scans;
    for (pugi::xml_node n = racine.child("data3D").first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        const int numero = static_cast<int>(scans.size()) + 1;
        ctx.Scan(numero);
        scans.push_back(LireScan(ctx, n));
        scans.back().Numero = numero;
    }
    return scans;
}

} // namespace tessarc
