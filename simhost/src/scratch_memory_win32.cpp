// Scratch memory accounting on Windows: a module's imports of GlobalAlloc and
// GlobalFree are pointed at counting wrappers around the real kernel32 calls.
#include <windows.h>

#include <cstring>

#include "scratch_backend.h"

namespace simhost {
namespace scratch_backend {
namespace {

using GlobalAllocFunction = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeFunction = HGLOBAL(WINAPI*)(HGLOBAL);

GlobalAllocFunction gRealGlobalAlloc = nullptr;
GlobalFreeFunction gRealGlobalFree = nullptr;

uint64_t gRequests = 0;
uint64_t gLiveBlocks = 0;
uint64_t gFailAt = 0;  // request number that fails first; 0: none planned
ScratchFailure gFailMode = ScratchFailure::Once;

bool PlannedFailure(uint64_t request) {
  if (gFailAt == 0 || request < gFailAt) return false;
  return request == gFailAt || gFailMode == ScratchFailure::FromThenOn;
}

HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T bytes) {
  if (PlannedFailure(++gRequests)) return nullptr;
  HGLOBAL block = gRealGlobalAlloc(flags, bytes);
  if (block != nullptr) ++gLiveBlocks;
  return block;
}

HGLOBAL WINAPI CountingGlobalFree(HGLOBAL block) {
  HGLOBAL result = gRealGlobalFree(block);
  if (block != nullptr && result == nullptr && gLiveBlocks > 0) --gLiveBlocks;
  return result;
}

bool BindRealFunctions() {
  if (gRealGlobalAlloc != nullptr && gRealGlobalFree != nullptr) return true;
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  if (kernel32 == nullptr) return false;
  gRealGlobalAlloc = reinterpret_cast<GlobalAllocFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "GlobalAlloc")));
  gRealGlobalFree = reinterpret_cast<GlobalFreeFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "GlobalFree")));
  return gRealGlobalAlloc != nullptr && gRealGlobalFree != nullptr;
}

// The wrapper for an import, by the imported name or, where the import has no
// name table, by the address it was bound to; null for any other import.
ULONG_PTR WrapperFor(const unsigned char* image, const IMAGE_THUNK_DATA* nameThunk, ULONG_PTR bound) {
  if (nameThunk != nullptr && !IMAGE_SNAP_BY_ORDINAL(nameThunk->u1.Ordinal)) {
    const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + nameThunk->u1.AddressOfData);
    const char* name = reinterpret_cast<const char*>(byName->Name);
    if (std::strcmp(name, "GlobalAlloc") == 0) return reinterpret_cast<ULONG_PTR>(&CountingGlobalAlloc);
    if (std::strcmp(name, "GlobalFree") == 0) return reinterpret_cast<ULONG_PTR>(&CountingGlobalFree);
    return 0;
  }
  if (bound == reinterpret_cast<ULONG_PTR>(gRealGlobalAlloc)) return reinterpret_cast<ULONG_PTR>(&CountingGlobalAlloc);
  if (bound == reinterpret_cast<ULONG_PTR>(gRealGlobalFree)) return reinterpret_cast<ULONG_PTR>(&CountingGlobalFree);
  return 0;
}

void WriteImport(IMAGE_THUNK_DATA* slot, ULONG_PTR address) {
  DWORD oldProtection = 0;
  if (VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &oldProtection) == 0) return;
  slot->u1.Function = address;
  VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, oldProtection, &oldProtection);
}

}  // namespace

bool Intercept(void* module) {
  if (!BindRealFunctions()) return false;
  HMODULE target = module != nullptr ? static_cast<HMODULE>(module) : GetModuleHandleA(nullptr);
  const auto* image = reinterpret_cast<const unsigned char*>(target);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;

  bool patched = false;
  for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<unsigned char*>(image) + descriptor->FirstThunk);
    const auto* nameThunk = descriptor->OriginalFirstThunk != 0
                                ? reinterpret_cast<const IMAGE_THUNK_DATA*>(image + descriptor->OriginalFirstThunk)
                                : nullptr;
    for (; slot->u1.Function != 0; ++slot) {
      const ULONG_PTR wrapper = WrapperFor(image, nameThunk, slot->u1.Function);
      if (wrapper != 0) {
        WriteImport(slot, wrapper);
        patched = true;
      }
      if (nameThunk != nullptr) ++nameThunk;
    }
  }
  return patched;
}

void Fail(uint64_t nth, ScratchFailure mode) {
  gFailAt = nth == 0 ? 0 : gRequests + nth;
  gFailMode = mode;
}

void ClearFailure() { gFailAt = 0; }

uint64_t Requests() { return gRequests; }

void ResetRequests() {
  // A planned failure keeps its distance from now; one that is over stays over.
  if (gFailAt > gRequests) {
    gFailAt -= gRequests;
  } else if (gFailAt != 0) {
    gFailAt = gFailMode == ScratchFailure::FromThenOn ? 1 : 0;
  }
  gRequests = 0;
}

uint64_t LiveBlocks() { return gLiveBlocks; }

}  // namespace scratch_backend
}  // namespace simhost
