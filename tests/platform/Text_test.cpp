// Byte counts as people read them: the unit boundaries, the one decimal below 100, the
// rounding that carries into the next unit.
#include <gtest/gtest.h>

#include "platform/Text.h"

namespace {

TEST(Text, SizeTextReadsAtAGlance) {
    constexpr uint64_t KB = 1024, MB = KB * KB, GB = MB * KB, TB = GB * KB;
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {512, "512 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.0 KB"},
        {1075, "1.0 KB"},        // 1.0498
        {1076, "1.1 KB"},        // 1.0508: half up
        {99 * KB + 972, "99.9 KB"},
        {99 * KB + 973, "100 KB"},  // 99.95 rounds to 100: no decimal from there
        {512 * KB, "512 KB"},
        {MB - 513, "1023 KB"},
        {MB - 512, "1.0 MB"},    // 1023.5 KB is never "1024 KB"
        {13002342, "12.4 MB"},
        {3435973837ULL, "3.2 GB"},
        {TB + TB / 2, "1.5 TB"},
        {2048 * TB, "2048 TB"},
        {UINT64_MAX, "16777216 TB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(bw::platform::text::SizeText(bytes), text) << bytes;
}

}  // namespace
