#include "services/window_search.h"
#include "support/titled_window.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace vorlund {
namespace {

struct TitleCase
{
    const char* name;
    std::string title;
    std::string searched;
    bool found;
};
void PrintTo(const TitleCase& test, std::ostream* out)
{
    *out << test.name;
}

// Each case makes a real window of this process, as programs make them, on the display the test
// runs on: Xvfb, or Wine's desktop on one.
class WindowSearchTest : public ::testing::TestWithParam<TitleCase>
{
};

INSTANTIATE_TEST_SUITE_P(
    , WindowSearchTest,
    ::testing::Values(TitleCase{"SameTitle", "Kazaa Lite", "Kazaa Lite", true},
                      TitleCase{"OtherCase", "kazaa lite", "Kazaa Lite", true},
                      TitleCase{"LatinLettersInOtherCase", "ÅNGSTRÖM", "ångström", true},
                      TitleCase{"LongerTitle", "Kazaa Lite 2", "Kazaa Lite", false},
                      TitleCase{"ShorterTitle", "Kazaa", "Kazaa Lite", false}),
    [](const auto& info) { return info.param.name; });

TEST_P(WindowSearchTest, FindsAWindowByItsWholeTitleIgnoringCase)
{
    const test::TitledWindow window(GetParam().title);

    EXPECT_EQ(topLevelWindowExists(GetParam().searched), GetParam().found);
}

TEST(WindowSearch, NoWindowTitledSoIsNotFound)
{
    EXPECT_FALSE(topLevelWindowExists("Kazaa Lite"));
}

} // namespace
} // namespace vorlund
