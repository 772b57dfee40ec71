#pragma once
#include <QImage>
#include <cstdint>
#include <vector>

namespace qm {

// Undoes the cyclic row and column shifts of a scrambled sprite picture.
QImage DeScramblePicture(const QImage& picture, int mode, const std::vector<uint32_t>& key);

} // namespace qm
