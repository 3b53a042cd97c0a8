#pragma once

#include <string>

namespace engine {

// A unified diff ("---"/"+++" headers, "@@" hunks with `context` lines
// around each change) that turns oldText into newText. Lines end after each
// line feed; a last line without one is marked as diff(1) marks it, so that
// patch(1) reproduces the new text byte for byte. Empty when the texts are
// equal.
std::string UnifiedDiff(const std::string& oldName, const std::string& oldText, const std::string& newName,
                        const std::string& newText, int context = 3);

}  // namespace engine
