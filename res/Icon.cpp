// Lookup of the program's icons.
#include "ProgramIcon.h"
#include "Resources.h"

namespace morvex::res {
namespace {

constexpr const fw::IconResource* kIcons[] = {&icon::kProgramIcon};

}  // namespace

std::span<const fw::IconResource* const> AllIcons() {
    return kIcons;
}

fw::IconHandle LoadIcon(int id) {
    for (const fw::IconResource* icon : kIcons) {
        if (icon->id == id) {
            return icon;
        }
    }
    return nullptr;
}

}  // namespace morvex::res
