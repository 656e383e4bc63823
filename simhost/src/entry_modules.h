// How the parts of the simulated host join up: each part defines its default
// entries once and resets its own state on Reset().
#pragma once

namespace simhost {

// Makes name a default entry served by address (the resolver's table).
void DefineDefaultEntry(const char* name, void* address);

template <typename Function>
void DefineEntry(const char* name, Function* function) {
  DefineDefaultEntry(name, reinterpret_cast<void*>(function));
}

// One part of the host: its entries and its per-test state.
struct HostPart {
  void (*defineEntries)();
  void (*reset)();
};

void ResetResolver();

void DefineObjectEntries();
void ResetObjects();
void DefineCallEntries();
void ResetCalls();
void DefineRegistrationEntries();
void ResetRegistrations();
void DefineStringAndInstanceEntries();
void ResetStringsAndInstances();
void ResetClassInstances();
void DefinePictureEntries();
void ResetPictures();
void ResetScratchMemory();

}  // namespace simhost
