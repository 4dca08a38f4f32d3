#include "iis/arguments.h"

namespace dk::iis {

std::string RefusalReason(std::string_view label, const char* value) {
    std::string reason;
    if (!value) {
        reason.append("refused: no ").append(label).append(" given");
    } else if (std::string_view(value).find('"') != std::string_view::npos) {
        reason.append("refused: the ").append(label).append(" holds a double quote");
    }
    return reason;
}

}  // namespace dk::iis
