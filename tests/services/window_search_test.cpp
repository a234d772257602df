#include "services/window_search.h"
#include "support/titled_window.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace vorlund::test {
namespace {

// Each case makes a real window of this process, as programs make them, on the display the test
// runs on: Xvfb, or Wine's desktop on one.
TEST(WindowSearch, FindsAWindowByItsWholeTitleIgnoringCase)
{
    EXPECT_FALSE(topLevelWindowExists("Kazaa Lite"));
    for (const auto& [title, searched, found] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"Kazaa Lite", "Kazaa Lite", true},
             {"kazaa lite", "Kazaa Lite", true},
             {"ÅNGSTRÖM", "ångström", true},
             {"Kazaa Lite 2", "Kazaa Lite", false},
             {"Kazaa", "Kazaa Lite", false}}) {
        const TitledWindow window(title);
        EXPECT_EQ(topLevelWindowExists(searched), found) << title;
    }
}

} // namespace
} // namespace vorlund::test
