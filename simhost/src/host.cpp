// Reset(): brings every part of the simulated host back to its start.
#include "entry_modules.h"
#include "simhost/host.h"

namespace simhost {
namespace {

const HostPart kHostParts[] = {
    {nullptr, &ResetCalls},
    {&DefineObjectEntries, &ResetObjects},
    {&DefineRegistrationEntries, &ResetRegistrations},
    {&DefineStringAndInstanceEntries, &ResetStringsAndInstances},
    {nullptr, &ResetClassInstances},
    {&DefinePictureEntries, &ResetPictures},
    {nullptr, &ResetScratchMemory},
};

}  // namespace

void Reset() {
  static bool entriesDefined = false;
  if (!entriesDefined) {
    entriesDefined = true;
    for (const HostPart& part : kHostParts) {
      if (part.defineEntries != nullptr) part.defineEntries();
    }
  }
  for (const HostPart& part : kHostParts) part.reset();
  ResetResolver();
}

}  // namespace simhost
