#include "TableHachage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>

using namespace tessarc;

namespace {

// Few distinct starts, so that keys pile up in long runs that wrap past the end of the array and every
// removal has keys to move back.
struct THachagePauvre {
    std::size_t operator()(std::uint64_t x) const noexcept { return static_cast<std::size_t>(x % 5) * 3 + 13; }
};

} // namespace

TEST(TableHachage, FindsWhatAMapFindsThroughInsertionsAndRemovalsInLongRuns) {
    TTableHachage<std::uint64_t, THachagePauvre> table;
    std::map<std::uint64_t, std::uint32_t> reference;
    std::mt19937_64 alea(11);
    for (int etape = 0; etape < 20000; ++etape) {
        const std::uint64_t cle = alea() % 300;
        if (alea() % 3 == 0) {
            table.Retirer(cle);
            reference.erase(cle);
        } else if (!reference.contains(cle)) {
            const auto valeur = static_cast<std::uint32_t>(etape + 1);
            table.Poser(cle, valeur);
            reference[cle] = valeur;
        }
        if (etape % 97 == 0)
            for (std::uint64_t k = 0; k < 300; ++k) {
                const auto it = reference.find(k);
                ASSERT_EQ(table.Trouver(k), it == reference.end() ? 0u : it->second) << "étape " << etape;
            }
        ASSERT_EQ(table.Taille(), reference.size());
    }
    std::map<std::uint64_t, std::uint32_t> parcourus;
    table.Parcourir([&](std::uint64_t k, std::uint32_t v) { EXPECT_TRUE(parcourus.emplace(k, v).second); });
    EXPECT_EQ(parcourus, reference);
    table.Vider();
    EXPECT_EQ(table.Taille(), 0u);
    EXPECT_EQ(table.Trouver(reference.begin()->first), 0u);
}
