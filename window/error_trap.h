#pragma once

#include "engine/runtime_error.h"

#include <utility>

namespace vorlund {

// The error that a trap caught last: what an error report describes. The window's thread only.
const RuntimeError& Err();
void setErr(const RuntimeError& error);

// "Resume next": a statement that raises is abandoned and the caller goes on with the next one.
template <typename Statement> void resumeNext(Statement&& statement)
{
    try {
        std::forward<Statement>(statement)();
    } catch (const RuntimeError& error) {
        setErr(error);
    }
}

// "Go to handler": an error raised by the body ends it and runs the handler instead.
template <typename Body, typename Handler> void trapInto(Body&& body, Handler&& handler)
{
    try {
        std::forward<Body>(body)();
    } catch (const RuntimeError& error) {
        setErr(error);
        std::forward<Handler>(handler)(error);
    }
}

} // namespace vorlund
