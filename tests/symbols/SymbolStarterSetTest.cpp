// The starter symbols a new library folder receives.
#include "symbols/Symbol.h"
#include "symbols/SymbolLibraryIndex.h"
#include "symbols/SymbolStarterSet.h"
#include "tests/symbols/SymbolTestSupport.h"

using namespace symboltest;

namespace {

// Fully transparent pixels and fully covered ones: a figure on transparency.
bool hasFigureOnTransparency(const QImage& picture) {
    bool clear = false, covered = false;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int alpha = qAlpha(picture.pixel(x, y));
            clear = clear || alpha == 0;
            covered = covered || alpha == 255;
        }
    return clear && covered;
}

} // namespace

TEST_F(LibraryFolderTest, StarterSymbolsComeOnceIntoAFolderWithoutIndex) {
    ASSERT_EQ(SymbolStarterSet::installIfFirstStart(folder()), 8);
    SymbolLibrary library(folder());
    library.load();
    ASSERT_EQ(library.count(), 8);
    for (const SymbolEntry& entry : library.entries()) {
        EXPECT_GE(entry.frameCount, 6u);
        const std::vector<QImage> frames = library.loadAllFrames(int(&entry - &library.at(0)));
        ASSERT_EQ(frames.size(), entry.frameCount);
        int changes = 0;
        for (std::size_t k = 0; k < frames.size(); ++k) {
            EXPECT_TRUE(hasFigureOnTransparency(frames[k])) << entry.id.toHex() << " " << k;
            EXPECT_LE(frames[k].width(), 120);
            changes += frames[k] != frames[(k + 1) % frames.size()] ? 1 : 0;
        }
        EXPECT_EQ(changes, int(frames.size())) << "every frame differs from the next";
    }
    // A second start, and a folder whose user deleted everything, get nothing new.
    EXPECT_EQ(SymbolStarterSet::installIfFirstStart(folder()), 0);
    library.selectAll();
    library.deleteSelected();
    EXPECT_EQ(SymbolStarterSet::installIfFirstStart(folder()), 0);
    library.load();
    EXPECT_EQ(library.count(), 0);
}
