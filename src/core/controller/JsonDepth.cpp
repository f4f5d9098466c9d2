#include "controller/JsonDepth.h"

namespace zorel8z::controller {

bool jsonDepthWithin(const char* data, std::size_t size, int maxDepth) {
    int depth = 0;
    bool inString = false;
    for (std::size_t k = 0; k < size; ++k) {
        const char c = data[k];
        if (inString) {
            if (c == '\\')
                ++k; // the escaped character cannot end the string
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

} // namespace zorel8z::controller
