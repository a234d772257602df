#pragma once

#include <string>

namespace vorlund::test {

// How the starting program asked this process's first window to show ("2" for minimised),
// or empty where the system passes no such request.
std::string askedWindowShow();

// True where the system passes that request (Windows).
extern const bool systemPassesWindowShow;

} // namespace vorlund::test
