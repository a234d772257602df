#include "engine/runtime_error.h"
#include "support/os_failures.h"

#include <gtest/gtest.h>
#include <ostream>

namespace vorlund::test {

void PrintTo(const OsFailure& failure, std::ostream* out)
{
    *out << failure.name;
}

} // namespace vorlund::test

namespace vorlund {
namespace {

class ErrorNumberTest : public ::testing::TestWithParam<test::OsFailure>
{
};

INSTANTIATE_TEST_SUITE_P(, ErrorNumberTest, ::testing::ValuesIn(test::osFailures()),
                         [](const auto& info) { return std::string(info.param.name); });

// The OS's own code, as the file operations throw it, gets the runtime's number.
TEST_P(ErrorNumberTest, NumbersTheOsFailureAsTheRuntimeDoes)
{
    const std::error_code code(GetParam().code, std::system_category());

    EXPECT_EQ(errorNumberFor(code), GetParam().number) << code.message();
}

} // namespace
} // namespace vorlund
