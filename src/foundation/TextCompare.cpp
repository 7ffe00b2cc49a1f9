#include "foundation/TextCompare.h"

#include "platform/Utf8.h"

namespace korvane {

std::string lowerText(std::string_view s) {
    return foldCase(s);
}

bool sameText(std::string_view a, std::string_view b) {
    return foldCase(a) == foldCase(b);
}

int compareText(std::string_view a, std::string_view b) {
    return foldCase(a).compare(foldCase(b));
}

} // namespace korvane
