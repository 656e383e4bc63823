// The registered classes an instance belongs to, as the host walks them to find
// a member, a property or the instance data of each class.
#pragma once

#include <string>
#include <vector>

#include "simhost/host.h"

namespace simhost {

// The registered class named className followed by its superclasses, nearest
// first; empty for a name no class was registered under.
std::vector<const Registration*> ClassChain(const std::string& className);

}  // namespace simhost
