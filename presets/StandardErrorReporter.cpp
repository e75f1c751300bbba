#include <cstdio>

#include "MessageReporter.h"

namespace sombrevox {

void StandardErrorReporter::ShowError(const char* text) noexcept { std::fprintf(stderr, "%s\n", text); }

}  // namespace sombrevox
