#pragma once
// Writes a help file in the 3.1 format of the platform's help viewer,
// uncompressed: |SYSTEM (format, title, contents topic, main window), |FONT,
// |TOPIC, and the context tables |CONTEXT (name hash → topic) and |CTXOMAP
// (number → topic).
#include "Bytes.h"
#include "HelpDocument.h"

namespace sombrevox::help {

// Throws std::runtime_error when the document cannot be written (two context
// names with the same hash, a paragraph too long for a block).
Bytes WriteHelpFile(const HelpDocument& document);

}  // namespace sombrevox::help
