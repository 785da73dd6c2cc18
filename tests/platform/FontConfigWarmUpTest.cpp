#include "platform/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <gtest/gtest.h>

namespace {

int installedFontCount() {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* family = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, family);
    const int count = fonts ? fonts->nfont : 0;
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(family);
    FcPatternDestroy(pattern);
    return count;
}

} // namespace

TEST(FontConfigWarmUp, StartingTwiceAndWaitingTwiceLeavesOneUsableConfiguration) {
    platform::StartFontConfigWarmUp();
    platform::StartFontConfigWarmUp(); // still running: must not replace the thread
    platform::WaitForFontConfig();
    platform::WaitForFontConfig(); // nothing left to join
    EXPECT_GT(installedFontCount(), 0);

    // Once more after the first has ended, as a second window's start-up could.
    platform::StartFontConfigWarmUp();
    platform::WaitForFontConfig();
    EXPECT_GT(installedFontCount(), 0);
}

// Last in this file, so nothing here waits for it: the process ends with the
// warm-up never waited for, and an unjoined thread at exit would abort it.
TEST(FontConfigWarmUp, EndingWithoutWaitingStillEndsCleanly) {
    platform::StartFontConfigWarmUp();
    SUCCEED() << "the check is the clean exit of this process";
}
