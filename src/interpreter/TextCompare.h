#pragma once
// Case-insensitive text equality as scripts use it (IF, SELECT, the exit marker). Texts are
// UTF-8 bytes. ASCII letters are folded inline; where either side has a non-ASCII byte, both
// characters are decoded and compared by Unicode simple case folding (so "É" equals "é" and the
// Kelvin sign equals "k"). Bytes that are not valid UTF-8 compare as themselves. Nothing is
// allocated.
#include <string_view>

namespace qm {

bool textEqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace qm
