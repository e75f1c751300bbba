#pragma once
// The plain-text help source:
//   # a comment line
//   .title <the help file's title>
//   .copyright <the copyright line>
//   .topic <context number> <context name> <topic title>
//   .alias <context number>   (one more number for the topic above)
//   = a heading (one line)
//   * a bulleted paragraph
//   plain lines, joined into one paragraph until a blank line
// Inside a paragraph, {name|text} makes `text` a jump to the topic `name`.
// Text is plain ASCII.
#include <stdexcept>
#include <string_view>

#include "HelpDocument.h"

namespace sombrevox::help {

// Throws std::runtime_error naming the line of the first mistake: an unknown
// directive, text outside a topic, a malformed jump or one to no topic, a
// context number or name given twice, a name the viewer cannot hash,
// non-ASCII text.
HelpDocument ParseHelpSource(std::string_view source);

}  // namespace sombrevox::help
