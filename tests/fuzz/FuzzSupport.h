// A broken property ends the run as a crash does, so that libFuzzer keeps the input and the corpus replay fails.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {
[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what.c_str());
    std::abort();
}
inline void Require(bool ok, const char* what) { if (!ok) [[unlikely]] Fail(what); }
} // namespace fuzz
