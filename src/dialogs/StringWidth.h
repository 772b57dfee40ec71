#pragma once
// Text measurement for scripts.
#include <string>

namespace qm::GameMethods {

// Width in pixels of the text in the font and size, measured on a 1 x 1 off-screen picture.
double StringWidth(const std::string& text, const std::string& font, double size);

}  // namespace qm::GameMethods
