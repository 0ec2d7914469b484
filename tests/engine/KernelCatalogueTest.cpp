// The kernel catalogue: keys, lookups, and the family rules that tie its
// entries together (a typo in one coefficient breaks one of them).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "KernelCatalogue.h"

namespace {

std::vector<int> Cells(const CKernelEntry& entry) {
    return {entry.coefficients.begin(), entry.coefficients.begin() + entry.size * entry.size};
}

const CKernelEntry& Entry(const std::string& keyWithoutSpace) {
    const CKernelEntry* entry = FindKernel(keyWithoutSpace + " ");
    EXPECT_NE(entry, nullptr) << keyWithoutSpace;
    static const CKernelEntry kMissing{"", 3, {}, ""};
    return entry ? *entry : kMissing;
}

}  // namespace

TEST(KernelCatalogue, EightyUniqueKeysEndingWithOneSpace) {
    const auto catalogue = GetKernelCatalogue();
    ASSERT_EQ(catalogue.size(), 80u);
    std::set<std::string> keys;
    for (const CKernelEntry& entry : catalogue) {
        const std::string key = entry.key;
        keys.insert(key);
        EXPECT_EQ(key.back(), ' ') << key;
        EXPECT_NE(key[key.size() - 2], ' ') << key;
        EXPECT_TRUE(entry.size == 3 || entry.size == 5 || entry.size == 7) << key;
        EXPECT_NE(key.find(std::to_string(entry.size) + "x" + std::to_string(entry.size)),
                  std::string::npos)
            << key;
        for (int v : Cells(entry)) EXPECT_TRUE(v >= -3 && v <= 49) << key;
        for (std::size_t i = entry.size * entry.size; i < 49; ++i)
            EXPECT_EQ(entry.coefficients[i], 0) << key;
        EXPECT_STRNE(entry.description, "");
        EXPECT_EQ(FindKernel(key), &entry);
    }
    EXPECT_EQ(keys.size(), 80u);
}

TEST(KernelCatalogue, WorkedLookups) {
    EXPECT_EQ(Cells(Entry("Gradient 3x3 Sobel Contraste Sud-Ouest/Nord-Est")),
              (std::vector<int>{0, 1, 2, -1, 1, 1, -2, -1, 0}));
    EXPECT_STREQ(Entry("Gradient 3x3 Prewitt Contours Sud-Est/Nord-Ouest").description,
                 "Conserve les contours à 45 ° orientés");
    EXPECT_STREQ(Entry("Gradient 3x3 Sobel Contours Sud-Est/Nord-Ouest").description,
                 "Conserve les contours à 45 ° orientés");
    const CKernelEntry& laplacian = Entry("Laplacien 7x7 Contraste");
    EXPECT_EQ(laplacian.coefficients[24], 49);
    EXPECT_STREQ(Entry("Lissage Plat 7x7 2").description, "Moyenne fortement l'image");

    const CMask mask = MakeKernelMask(Entry("Lissage Gaussien 5x5 1"));
    EXPECT_EQ(mask.GetMaskSize(), 5);
    EXPECT_EQ(mask.GetCell(2, 2), 16);
    EXPECT_EQ(mask.GetCell(1, 3), 4);
    EXPECT_EQ(mask.GetNorm(), 100);
}

TEST(KernelCatalogue, KeysMatchOnlyWholeWithTheirFinalSpace) {
    EXPECT_EQ(FindKernel("Lissage Plat 5x5 2"), nullptr);
    EXPECT_EQ(FindKernel("lissage Plat 5x5 2 "), nullptr);
    EXPECT_EQ(FindKernel("Lissage Plat 5x5 2  "), nullptr);
    EXPECT_EQ(FindKernel("Gradient "), nullptr);
    EXPECT_EQ(FindKernel("Personalisé "), nullptr);
    EXPECT_EQ(FindKernel(""), nullptr);
}

TEST(KernelCatalogue, GradientFamiliesFollowTheirRules) {
    for (const CKernelEntry& entry : GetKernelCatalogue()) {
        std::string key = entry.key;
        const auto at = key.find(" Contraste ");
        if (key.rfind("Gradient", 0) != 0 || at == std::string::npos) continue;
        // Contrast = contours with one more in the centre.
        std::vector<int> cells = Cells(entry);
        cells[cells.size() / 2] -= 1;
        key.replace(at, 11, " Contours ");
        ASSERT_NE(FindKernel(key), nullptr) << key;
        EXPECT_EQ(Cells(*FindKernel(key)), cells) << key;
    }
    // Opposite directions are negations, except row 3 of the 5x5 Nord/Sud kernels.
    const std::pair<const char*, const char*> opposite[] = {
        {"Ouest/Est", "Est/Ouest"},
        {"Sud/Nord", "Nord/Sud"},
        {"Sud-Ouest/Nord-Est", "Nord-Est/Sud-Ouest"},
        {"Sud-Est/Nord-Ouest", "Nord-Ouest/Sud-Est"}};
    for (const char* family : {"Gradient 3x3 Prewitt Contours ", "Gradient 3x3 Sobel Contours ",
                               "Gradient 5x5 Sobel Contours ", "Gradient 7x7 Sobel Contours "}) {
        for (const auto& [a, b] : opposite) {
            const CKernelEntry* first = FindKernel(std::string(family) + a + " ");
            const CKernelEntry* second = FindKernel(std::string(family) + b + " ");
            if (first == nullptr && second == nullptr) continue;  // diagonals exist in 3x3 only
            ASSERT_TRUE(first && second) << family << a;
            std::vector<int> negated = Cells(*first);
            for (int& v : negated) v = -v;
            if (std::string(family).find("5x5") != std::string::npos &&
                std::string(a) == "Sud/Nord")
                negated[3 * 5 + 2] = 0;  // 1 2 0 2 1
            EXPECT_EQ(Cells(*second), negated) << family << b;
        }
    }
}
