#pragma once
// A game that uses every record and field of the data file, for round trips, the disassembler's
// golden text, the fuzz seed corpus and the loader benchmark's smaller cousin.
#include <QString>

#include "testsupport/GameWriter.h"

namespace qm::test {

// Fills w with the rich game. Its companion files are registered with w (writeTo writes them).
void buildRichGame(GameWriter& w);

// Writes the companion files the rich game names into folder (for loading from bytes).
void writeSeedCompanionFiles(const QString& folder);

} // namespace qm::test
