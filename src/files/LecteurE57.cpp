#include "LecteurE57.h"

#include "Chargement.h"
#include "DescriptionE57.h"
#include "LecturePoints.h"
#include "Nombres.h"
#include "PagesE57.h"
#include "PetitBoutiste.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace tessarc {

namespace {

constexpr std::int64_t TailleEnTeteSection = 32;
// Records decoded at once, field by field.
constexpr std::size_t TailleLot = 4096;
// Bytes readable past the end of a bytestream's buffer: a value is taken with one 8-byte load and one
// more byte.
constexpr std::size_t Marge = 16;

[[noreturn]] void ErreurScan(const TPagesE57& pages, const TScanE57& s, const std::string& quoi) {
    ErreurFichier(pages.Nom(), "scan " + std::to_string(s.Numero) + " : " + quoi);
}

long long LL(std::int64_t v) {
    return static_cast<long long>(v);
}

// The part of a binary section where its packets lie, logical offsets.
struct TSectionE57 {
    std::int64_t Donnees = 0;
    std::int64_t Fin = 0;
};

// The compressed-vector header: section id 1, logical length, data and index physical offsets. The
// records announced must fit in the section at their packed size.
TSectionE57 LireSection(TPagesE57& pages, const TScanE57& s) {
    const std::string quoi = "scan " + std::to_string(s.Numero) + " : la section des points";
    const std::int64_t debut = pages.Logique(s.Section, quoi);
    if (pages.TailleLogique() - debut < TailleEnTeteSection)
        ErreurFichier(pages.Nom(), "fichier tronqué : " + quoi + " dépasse la fin du fichier");
    unsigned char e[TailleEnTeteSection];
    pages.Lire(debut, e, sizeof e);
    if (e[0] != 1)
        ErreurScan(pages, s,
                   FormatC("en-tête de la section des points invalide (identifiant %u au lieu de 1)", e[0]));
    const std::int64_t longueur = LireLE64(e + 8);
    if (longueur < TailleEnTeteSection)
        ErreurScan(
            pages, s,
            FormatC("en-tête de la section des points invalide (longueur de %lld octets)", LL(longueur)));
    if (longueur > pages.TailleLogique() - debut)
        ErreurFichier(pages.Nom(), FormatC("fichier tronqué : %s (%lld octets) dépasse la fin du fichier",
                                           quoi.c_str(), LL(longueur)));
    TSectionE57 r{debut + longueur, debut + longueur};
    if (s.NbEnregistrements == 0) return r;
    r.Donnees = pages.Logique(LireLE64(e + 16), quoi + " : le premier paquet");
    if (r.Donnees < debut + TailleEnTeteSection || r.Donnees >= r.Fin)
        ErreurScan(pages, s, "le premier paquet de données est hors de la section des points");
    std::int64_t bits = 0;
    for (const TChampE57& c : s.Champs) bits += c.Type == ETypeChampE57::Texte ? 8 : c.Bits;
    const std::int64_t capacite = (r.Fin - r.Donnees) * 8 / std::max<std::int64_t>(bits, 1);
    if (s.NbEnregistrements > capacite)
        ErreurScan(pages, s,
                   FormatC("%lld points annoncés, la section de %lld octets ne peut en contenir que %lld",
                           LL(s.NbEnregistrements), LL(longueur), LL(capacite)));
    return r;
}

// One field's bytestream: its own walk through the data packets of the section (the streams of a
// section need not keep pace), and its bytes not yet decoded, at most a packet's worth.
class TFluxE57 {
public:
    TFluxE57(TPagesE57& pages, const TScanE57& scan, const TSectionE57& section, std::size_t rang)
        : pages_(pages), scan_(scan), champ_(scan.Champs[rang]), rang_(rang), paquet_(section.Donnees),
          fin_(section.Fin), octets_(Marge) {}

    // Whole values at hand, refilled from the next packets when there is none; 0 at the section's end.
    [[nodiscard]] std::size_t Prets() {
        if (champ_.Bits == 0) return std::numeric_limits<std::size_t>::max();
        std::size_t n = Disponibles();
        while (n == 0 && Remplir()) n = Disponibles();
        return n;
    }
    // The next n values as reals, n at most Prets().
    void Decoder(double* dest, std::size_t n);
    [[nodiscard]] const TChampE57& Champ() const { return champ_; }

private:
    [[nodiscard]] std::size_t Disponibles() const {
        return static_cast<std::size_t>((taille_ * 8 - bit_) / static_cast<unsigned>(champ_.Bits));
    }
    bool Remplir();
    [[nodiscard]] std::pair<std::int64_t, std::size_t> Tranche(std::int64_t debut, std::int64_t longueur);
    void DecoderEntiers(double* dest, std::size_t n);
    [[noreturn]] void Erreur(const std::string& quoi) const { ErreurScan(pages_, scan_, quoi); }

    TPagesE57& pages_;
    const TScanE57& scan_;
    const TChampE57& champ_;
    std::size_t rang_;
    std::int64_t paquet_; // the next packet
    std::int64_t fin_;
    std::vector<unsigned char> octets_;
    std::size_t taille_ = 0; // bytes of the stream in octets_
    std::uint64_t bit_ = 0;  // the next value's first bit in octets_
    std::vector<unsigned char> longueurs_;
};

// Index packets (type 0) and empty ones (type 2) are stepped over; a data packet (type 1) gives this
// stream's buffer.
bool TFluxE57::Remplir() {
    const std::size_t lus = static_cast<std::size_t>(bit_ >> 3);
    std::memmove(octets_.data(), octets_.data() + lus, taille_ - lus);
    taille_ -= lus;
    bit_ &= 7;
    while (paquet_ < fin_) {
        const std::int64_t debut = paquet_;
        unsigned char e[4];
        if (fin_ - debut < 4)
            Erreur(FormatC("paquet tronqué par la fin de la section (octet %lld)", LL(debut)));
        pages_.Lire(debut, e, sizeof e);
        const std::int64_t longueur = LireLE16(e + 2) + 1;
        if (longueur > fin_ - debut)
            Erreur(FormatC("paquet de %lld octets à l'octet %lld, au-delà de la fin de la section",
                           LL(longueur), LL(debut)));
        paquet_ += longueur;
        if (e[0] == 0 || e[0] == 2) continue;
        if (e[0] != 1) Erreur(FormatC("paquet de type %u inconnu à l'octet %lld", e[0], LL(debut)));
        const auto [position, l] = Tranche(debut, longueur);
        if (l == 0) continue;
        if (octets_.size() < taille_ + l + Marge) octets_.resize(taille_ + l + Marge);
        pages_.Lire(position, octets_.data() + taille_, l);
        taille_ += l;
        return true;
    }
    return false;
}

// Where this stream's buffer lies in the data packet at debut, and its length: after the bytestream
// count and the buffer lengths, after the buffers of the streams before it.
std::pair<std::int64_t, std::size_t> TFluxE57::Tranche(std::int64_t debut, std::int64_t longueur) {
    unsigned char e[2];
    if (longueur < 6) Erreur(FormatC("paquet de données de %lld octets trop court", LL(longueur)));
    pages_.Lire(debut + 4, e, sizeof e);
    const std::size_t nb = LireLE16(e);
    if (nb != scan_.Champs.size())
        Erreur(FormatC("paquet de données à %zu flux, le prototype a %zu champs", nb, scan_.Champs.size()));
    const auto tete = static_cast<std::int64_t>(6 + 2 * nb);
    if (tete > longueur) Erreur(FormatC("paquet de données de %lld octets trop court", LL(longueur)));
    longueurs_.resize(2 * nb);
    pages_.Lire(debut + 6, longueurs_.data(), longueurs_.size());
    std::int64_t avant = 0;
    std::int64_t total = 0;
    for (std::size_t j = 0; j < nb; ++j) {
        const std::int64_t l = LireLE16(longueurs_.data() + 2 * j);
        avant += j < rang_ ? l : 0;
        total += l;
    }
    if (tete + total > longueur)
        Erreur(
            FormatC("les flux du paquet de l'octet %lld dépassent ses %lld octets", LL(debut), LL(longueur)));
    return {debut + tete + avant, LireLE16(longueurs_.data() + 2 * rang_)};
}

void TFluxE57::Decoder(double* dest, std::size_t n) {
    if (champ_.Type != ETypeChampE57::Reel) {
        DecoderEntiers(dest, n);
        return;
    }
    const unsigned char* p = octets_.data() + (bit_ >> 3);
    if (champ_.Bits == 32) {
        for (std::size_t i = 0; i < n; ++i) dest[i] = LireReelLE(p + 4 * i);
    } else {
        for (std::size_t i = 0; i < n; ++i) dest[i] = LireDoubleLE(p + 8 * i);
    }
    bit_ += static_cast<std::uint64_t>(champ_.Bits) * n;
}

// Bit-pack: value i holds bits [i w, (i + 1) w) of the stream, least significant bit first.
void TFluxE57::DecoderEntiers(double* dest, std::size_t n) {
    const auto w = static_cast<unsigned>(champ_.Bits);
    const auto min = static_cast<std::uint64_t>(champ_.Min);
    const double echelle = champ_.Echelle;
    const double decalage = champ_.Decalage;
    if (w == 0) {
        std::fill(dest, dest + n, static_cast<double>(champ_.Min) * echelle + decalage);
        return;
    }
    const std::uint64_t masque = w == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << w) - 1;
    const unsigned char* const o = octets_.data();
    std::uint64_t b = bit_;
    for (std::size_t i = 0; i < n; ++i, b += w) {
        const unsigned char* p = o + (b >> 3);
        const unsigned s = b & 7;
        std::uint64_t v = static_cast<std::uint64_t>(LireLE64(p)) >> s;
        if (s + w > 64) v |= std::uint64_t{p[8]} << (64 - s);
        dest[i] = static_cast<double>(static_cast<std::int64_t>(min + (v & masque))) * echelle + decalage;
    }
    bit_ = b;
}

// 0..255 from limits: floor((v - min) × 255 / (max - min) + 0.5), kept within the byte; 0 from limits
// that hold no range (equal, or so wide that their difference overflows).
std::uint8_t Echelonner(double v, double min, double max) {
    return max > min ? OctetArrondi((v - min) * 255.0 / (max - min)) : 0;
}

// The points of one scan: the bytestreams of the fields they are made of, decoded a batch of records
// at a time.
class TPointsScan {
public:
    TPointsScan(TPagesE57& pages, const TScanE57& scan, const TSectionE57& section)
        : pages_(pages), scan_(scan), section_(section) {
        for (std::size_t a = 0; a < 3; ++a)
            coo_[a] = Ajouter(scan.Cartesien ? ChampsCartesiens[a] : ChampsSpheriques[a]);
        etat_ = Ajouter(scan.Cartesien ? "cartesianInvalidState" : "sphericalInvalidState");
        if (std::all_of(ChampsCouleur.begin(), ChampsCouleur.end(),
                        [&](std::string_view n) { return scan.Champ(n) != nullptr; })) {
            for (std::size_t k = 0; k < 3; ++k) couleur_[k] = Ajouter(ChampsCouleur[k]);
            couleurInvalide_ = Ajouter("isColorInvalid");
        }
        intensite_ = Ajouter("intensity");
        intensiteInvalide_ = Ajouter("isIntensityInvalid");
        for (int k = 0; k < 3 && couleur_[0] >= 0; ++k)
            limites_[k] = Limites(couleur_[k], scan.LimitesCouleur[k]);
        if (intensite_ >= 0) limites_[3] = Limites(intensite_, scan.LimitesIntensite);
        colonnes_ = std::make_unique_for_overwrite<double[]>(flux_.size() * TailleLot);
    }

    void Lire(TSortiePoints& sortie, TAvancement& avancement, std::int64_t& fait) {
        for (std::int64_t restants = scan_.NbEnregistrements; restants > 0;) {
            const std::size_t n = Lot(restants);
            for (std::size_t f = 0; f < flux_.size(); ++f) flux_[f].Decoder(Colonne(static_cast<int>(f)), n);
            for (std::size_t k = 0; k < n; ++k) Point(k, sortie);
            restants -= static_cast<std::int64_t>(n);
            fait += static_cast<std::int64_t>(n);
            avancement.Avancer(fait);
        }
    }

private:
    // The stream of the field nom, or -1 when the prototype has none.
    int Ajouter(std::string_view nom) {
        for (std::size_t rang = 0; rang < scan_.Champs.size(); ++rang)
            if (scan_.Champs[rang].Nom == nom) {
                flux_.emplace_back(pages_, scan_, section_, rang);
                return static_cast<int>(flux_.size()) - 1;
            }
        return -1;
    }
    [[nodiscard]] std::pair<double, double> Limites(int flux, const TLimitesE57& l) const {
        const TChampE57& c = flux_[static_cast<std::size_t>(flux)].Champ();
        return {l.Min.value_or(c.MinReel), l.Max.value_or(c.MaxReel)};
    }
    [[nodiscard]] double* Colonne(int flux) {
        return colonnes_.get() + static_cast<std::size_t>(flux) * TailleLot;
    }
    [[nodiscard]] bool Vrai(int flux, std::size_t k) { return flux >= 0 && Colonne(flux)[k] != 0.0; }

    // Records that every stream holds whole, up to a batch.
    std::size_t Lot(std::int64_t restants) {
        std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(restants, TailleLot));
        for (TFluxE57& f : flux_) {
            const std::size_t prets = f.Prets();
            if (prets == 0)
                ErreurScan(pages_, scan_,
                           FormatC("données interrompues : %lld points annoncés, %lld lus (champ %s)",
                                   LL(scan_.NbEnregistrements), LL(scan_.NbEnregistrements - restants),
                                   f.Champ().Nom.c_str()));
            n = std::min(n, prets);
        }
        return n;
    }

    void Point(std::size_t k, TSortiePoints& sortie) {
        if (Vrai(etat_, k)) return;
        double p[3] = {Colonne(coo_[0])[k], Colonne(coo_[1])[k], Colonne(coo_[2])[k]};
        if (!scan_.Cartesien) {
            const double r = p[0];
            const double az = p[1];
            const double el = p[2];
            p[0] = r * std::cos(el) * std::cos(az);
            p[1] = r * std::cos(el) * std::sin(az);
            p[2] = r * std::sin(el);
        }
        const auto& R = scan_.Rotation;
        const auto& t = scan_.Translation;
        double q[3];
        for (int a = 0; a < 3; ++a) q[a] = R[a][0] * p[0] + R[a][1] * p[1] + R[a][2] * p[2] + t[a];
        sortie.Ajouter(q[0], q[1], q[2], Couleur(k));
    }

    [[nodiscard]] TV4By Couleur(std::size_t k) {
        TV4By c{};
        if (couleur_[0] >= 0 && !Vrai(couleurInvalide_, k)) {
            for (int i = 0; i < 3; ++i)
                c[i + 1] = Echelonner(Colonne(couleur_[i])[k], limites_[i].first, limites_[i].second);
        } else if (intensite_ >= 0 && !Vrai(intensiteInvalide_, k)) {
            c[1] = c[2] = c[3] = Echelonner(Colonne(intensite_)[k], limites_[3].first, limites_[3].second);
        }
        return c;
    }

    TPagesE57& pages_;
    const TScanE57& scan_;
    const TSectionE57& section_;
    std::vector<TFluxE57> flux_;
    int coo_[3] = {-1, -1, -1};
    int etat_ = -1;
    int couleur_[3] = {-1, -1, -1};
    int couleurInvalide_ = -1;
    int intensite_ = -1;
    int intensiteInvalide_ = -1;
    std::pair<double, double> limites_[4]; // red, green, blue, intensity
    std::unique_ptr<double[]> colonnes_;
};

} // namespace

void LireE57(TFichier& source, TSortiePoints& sortie, IProgression& progression) {
    TPagesE57 pages(source);
    std::vector<char> xml(static_cast<std::size_t>(pages.EnTete().LongueurXml));
    pages.Lire(pages.EnTete().DebutXml, reinterpret_cast<unsigned char*>(xml.data()), xml.size());
    const std::vector<TScanE57> scans = LireDescriptionE57(xml, source.Nom());
    xml = {};

    std::vector<TSectionE57> sections;
    std::int64_t total = 0;
    for (const TScanE57& s : scans) {
        sections.push_back(LireSection(pages, s));
        const std::int64_t reste = std::numeric_limits<std::int64_t>::max() - total;
        total = s.NbEnregistrements > reste ? std::numeric_limits<std::int64_t>::max()
                                            : total + s.NbEnregistrements;
    }
    TAvancement avancement(progression, "lecture", total);
    std::int64_t fait = 0;
    for (std::size_t i = 0; i < scans.size(); ++i)
        TPointsScan(pages, scans[i], sections[i]).Lire(sortie, avancement, fait);
}

} // namespace tessarc
