#pragma once

#include <cstddef>

namespace zorel8z::controller {

// How deeply a received block may nest its values. A panel's block is one level deep; writing a value
// back as text recurses once per level, so a hostile text must be refused before that.
constexpr int kMaxJsonDepth = 32;

// Whether the brackets of a JSON text, outside its strings, never stand more than `maxDepth` deep.
// Needs no valid JSON: a text that is not is refused by the parser anyway.
bool jsonDepthWithin(const char* data, std::size_t size, int maxDepth = kMaxJsonDepth);

} // namespace zorel8z::controller
