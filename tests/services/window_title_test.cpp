#include "services/window_title.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace vorlund {
namespace {

struct FoldCase
{
    const char* name;
    std::string title;
    std::string folded;
};
void PrintTo(const FoldCase& test, std::ostream* out)
{
    *out << test.name;
}

class FoldTitleCaseTest : public ::testing::TestWithParam<FoldCase>
{
};

INSTANTIATE_TEST_SUITE_P(
    , FoldTitleCaseTest,
    ::testing::Values(FoldCase{"Ascii", "Kazaa LITE 2", "kazaa lite 2"},
                      FoldCase{"AsciiNeighboursOfTheLetters", "@AZ[`az{", "@az[`az{"},
                      FoldCase{"Latin1Capitals", "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ",
                               "àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ"},
                      FoldCase{"Latin1NonLettersAndLettersWithoutCapital", "×÷ßÿ", "×÷ßÿ"},
                      FoldCase{"BeyondLatin1", "ĀŒΣЖ日本", "ĀŒΣЖ日本"},
                      FoldCase{"TruncatedSequence", "Z\xC3", "z\xC3"},
                      FoldCase{"StrayContinuationBytes", "\x80\x85\x9E", "\x80\x85\x9E"},
                      FoldCase{"InvalidBytesBetweenLetters", "A\xFF\xC3Z", "a\xFF\xC3z"},
                      FoldCase{"LeadByteWithoutContinuationBeforeALetter", "\xC3\xC3\x85",
                               "\xC3\xC3\xA5"}),
    [](const auto& info) { return info.param.name; });

TEST_P(FoldTitleCaseTest, LowersTheLettersWindowsComparesWithoutCase)
{
    EXPECT_EQ(foldTitleCase(GetParam().title), GetParam().folded);
}

} // namespace
} // namespace vorlund
