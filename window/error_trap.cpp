#include "window/error_trap.h"

namespace vorlund {
namespace {

RuntimeError& currentError()
{
    static RuntimeError error(0, std::string());
    return error;
}

} // namespace

const RuntimeError& Err()
{
    return currentError();
}

void setErr(const RuntimeError& error)
{
    currentError() = error;
}

} // namespace vorlund
