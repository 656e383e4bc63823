// The simulated host's pictures: their stored pixels, the host options, the
// picture entry points (newPicture, the description locks, REALGetPropValueInt,
// REALPictureClearCache) and the ledger of description locks.
//
// A picture's pixels are stored as words. While its description is locked, the
// picture is also held in the form the host describes it in (a bitmap or a
// row-table image), made from the stored pixels at the first lock; the plug-in
// reads and writes that form in place, and at the last unlock its pixels go back
// into the stored ones and the form is destroyed.
#include <map>
#include <memory>
#include <string>

#include "entry_modules.h"
#include "picture_store.h"
#include "simhost/host.h"

struct PictureDescription;

namespace simhost {
namespace pictures {
namespace {

struct PictureState {
  std::map<const void*, std::unique_ptr<Picture>> pictures;
  PictureHostOptions options;
  int newPictureCalls = 0;
};

PictureState& State() {
  static PictureState state;
  return state;
}


// The picture behind a handle the plug-in passed to an entry, or null with the
// misuse recorded.
Picture* LivePicture(const void* handle, const char* entry) {
  Picture* picture = Find(handle);
  if (picture == nullptr) {
    LedgerProblem(std::string(entry) + " called with something that is not a picture");
    return nullptr;
  }
  if (!picture->alive) {
    LedgerProblem(std::string(entry) + " called on a released picture");
    return nullptr;
  }
  return picture;
}

// Makes the locked form at the first lock.
void MakeLockedForm(Picture* picture) {
  const PictureHostOptions& options = State().options;
  const bool smaller = picture->fault == PictureFault::SizeDiffers;
  const int32_t width = smaller && picture->width > 0 ? picture->width - 1 : picture->width;
  const int32_t height = smaller && picture->height > 0 ? picture->height - 1 : picture->height;
  picture->lockedAsBitmap = options.form == PictureForm::Bitmap;
  if (picture->lockedAsBitmap) {
    MakeBitmap(*picture, width, height, picture->fault == PictureFault::BitmapWithoutBits, options.bitmapRowPadding,
               options.bitmapStrideUnderstatement, picture->fault == PictureFault::StrideTooSmall, &picture->bitmap);
  } else {
    MakeRowTableImage(*picture, width, height, picture->fault, &picture->rowTable);
  }
}

// Ends the locked form: its pixels back into the stored ones (a change marks the
// host's cache of the picture stale), then the form is destroyed.
void EndLockedForm(Picture* picture) {
  const std::vector<uint32_t> before = picture->pixels;
  if (picture->lockedAsBitmap) {
    ReadBitmap(picture->bitmap, picture);
    DestroyBitmap(&picture->bitmap);
  } else {
    ReadRowTableImage(picture->rowTable, picture);
    picture->rowTable = RowTableImage{};
  }
  if (picture->pixels != before) picture->cacheStale = true;
}

// Fills a description in the host's form and counts the lock.
void Describe(Picture* picture, Description* description) {
  if (picture->openLocks++ == 0 && picture->fault != PictureFault::ThirdForm) MakeLockedForm(picture);
  Description filled{};
  filled.width = picture->width;
  filled.height = picture->height;
  filled.word16 = 0x686F7374u;
  filled.word20 = static_cast<uint32_t>(picture->openLocks);
  if (picture->fault == PictureFault::ThirdForm) {
    filled.type = 3;
  } else if (picture->lockedAsBitmap) {
    filled.type = 7;
    filled.data = picture->fault == PictureFault::NoBitmapHandle ? nullptr : picture->bitmap.handle;
    filled.width = picture->bitmap.width;
    filled.height = picture->bitmap.height;
  } else {
    const RowTableImage& image = picture->rowTable;
    filled.type = 10;
    filled.data = picture->fault == PictureFault::NoImage ? nullptr : image.record.get();
    filled.width = image.width + (picture->fault == PictureFault::DescriptionWiderThanImage ? 1 : 0);
    filled.height = image.height + (picture->fault == PictureFault::DescriptionTallerThanImage ? 1 : 0);
  }
  *description = filled;
}

HostObject NewPictureRecord(int32_t width, int32_t height, int32_t depth) {
  if (width < 0 || height < 0 || (depth != 32 && depth != 24)) return nullptr;
  auto picture = std::make_unique<Picture>();
  picture->width = width;
  picture->height = height;
  picture->depth = depth;
  picture->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
  HostObject handle = nullptr;
  Picture* stored = picture.get();
  handle = CreateObject(ObjectKind::Picture, "Picture", [stored]() {
    stored->alive = false;
    if (stored->openLocks > 0) {
      LedgerProblem("picture released while its description is locked");
      if (stored->fault != PictureFault::ThirdForm) EndLockedForm(stored);
      stored->openLocks = 0;
    }
  });
  State().pictures[handle] = std::move(picture);
  return handle;
}

// ---- Entries ----

bool LockPictureDescriptionTypedEntry(HostObject picture, PictureDescription* description, int32_t type) {
  RecordCall("REALLockPictureDescription", {static_cast<const void*>(picture),
                                            static_cast<const void*>(description), int64_t{type}});
  Picture* stored = LivePicture(picture, "REALLockPictureDescription");
  if (stored == nullptr || description == nullptr) return false;
  if (State().options.refuseTypedLock || stored->fault == PictureFault::LockRefused) return false;
  Describe(stored, reinterpret_cast<Description*>(description));
  return true;
}

void LockPictureDescriptionEntry(HostObject picture, PictureDescription* description) {
  RecordCall("lockPictureDescription", {static_cast<const void*>(picture), static_cast<const void*>(description)});
  Picture* stored = LivePicture(picture, "lockPictureDescription");
  if (stored == nullptr || description == nullptr) return;
  Describe(stored, reinterpret_cast<Description*>(description));
}

void UnlockPictureDescriptionEntry(HostObject picture) {
  RecordCall("unlockPictureDescription", {static_cast<const void*>(picture)});
  Picture* stored = LivePicture(picture, "unlockPictureDescription");
  if (stored == nullptr) return;
  if (stored->openLocks == 0) {
    LedgerProblem("description of a picture unlocked without a lock");
    return;
  }
  if (--stored->openLocks == 0 && stored->fault != PictureFault::ThirdForm) EndLockedForm(stored);
}

HostObject NewPictureEntry(int32_t width, int32_t height, int32_t depth) {
  RecordCall("newPicture", {int64_t{width}, int64_t{height}, int64_t{depth}});
  PictureState& state = State();
  ++state.newPictureCalls;
  if (state.options.newPictureFailsFrom > 0 && state.newPictureCalls >= state.options.newPictureFailsFrom) {
    return nullptr;
  }
  if (width <= 0 || height <= 0) return nullptr;
  HostObject picture = NewPictureRecord(width, height, state.options.newPictureDepth);
  if (picture != nullptr) Find(picture)->fault = state.options.newPictureFault;
  return picture;
}

bool GetPropValueIntEntry(HostObject object, const char* propertyName, int32_t* value) {
  RecordCall("REALGetPropValueInt", {static_cast<const void*>(object),
                                     propertyName == nullptr ? std::string() : std::string(propertyName),
                                     static_cast<const void*>(value)});
  if (propertyName == nullptr || value == nullptr) return false;
  const std::string name(propertyName);
  if (const Picture* picture = Find(object)) {
    if (!picture->alive) {
      LedgerProblem("REALGetPropValueInt called on a released picture");
      return false;
    }
    if (name == "Width") *value = picture->width;
    if (name == "Height") *value = picture->height;
    return name == "Width" || name == "Height";
  }
  return GraphicsIntegerProperty(object, propertyName, value);
}

void PictureClearCacheEntry(HostObject picture) {
  RecordCall("REALPictureClearCache", {static_cast<const void*>(picture)});
  if (Picture* stored = LivePicture(picture, "REALPictureClearCache")) stored->cacheStale = false;
}

void CheckLedger(std::vector<std::string>& problems) {
  for (const auto& [handle, picture] : State().pictures) {
    if (picture->openLocks > 0) {
      problems.push_back("description of a picture left locked " + std::to_string(picture->openLocks) +
                         " time(s)");
    }
    if (picture->alive && picture->cacheStale) {
      problems.push_back("picture written through its description without REALPictureClearCache");
    }
  }
}

}  // namespace

Picture* Find(const void* handle) {
  auto found = State().pictures.find(handle);
  return found == State().pictures.end() ? nullptr : found->second.get();
}

}  // namespace pictures

using pictures::Picture;

void DefinePictureEntries() {
  DefineEntry("REALLockPictureDescription", &pictures::LockPictureDescriptionTypedEntry);
  DefineEntry("lockPictureDescription", &pictures::LockPictureDescriptionEntry);
  DefineEntry("unlockPictureDescription", &pictures::UnlockPictureDescriptionEntry);
  DefineEntry("newPicture", &pictures::NewPictureEntry);
  DefineEntry("REALGetPropValueInt", &pictures::GetPropValueIntEntry);
  DefineEntry("REALPictureClearCache", &pictures::PictureClearCacheEntry);
  pictures::DefineGraphicsEntries();
}

void ResetPictures() {
  static bool checkerAdded = false;
  if (!checkerAdded) {
    checkerAdded = true;
    AddLedgerChecker(&pictures::CheckLedger);
  }
  pictures::ResetGraphics();
  for (auto& entry : pictures::State().pictures) {
    Picture& picture = *entry.second;
    if (picture.openLocks > 0 && picture.lockedAsBitmap) pictures::DestroyBitmap(&picture.bitmap);
  }
  pictures::State() = pictures::PictureState{};
}

void SetPictureHostOptions(const PictureHostOptions& options) {
  pictures::State().options = options;
  if (options.offerRuntimeGraphicsDrawPicture) {
    SetEntryPresent("RuntimeGraphicsDrawPicture");
  } else {
    SetEntryAbsent("RuntimeGraphicsDrawPicture");
  }
}

const PictureHostOptions& CurrentPictureHostOptions() { return pictures::State().options; }

HostObject CreatePicture(int32_t width, int32_t height, int32_t depth) {
  if (width <= 0 || height <= 0) return nullptr;
  return pictures::NewPictureRecord(width, height, depth);
}

HostObject CreateEmptyPicture(int32_t width, int32_t height, int32_t depth) {
  return pictures::NewPictureRecord(width, height, depth);
}

void SetPictureFault(HostObject picture, PictureFault fault) {
  if (Picture* stored = pictures::Find(picture)) stored->fault = fault;
}

void SetPicturePixels(HostObject picture, const std::vector<uint32_t>& pixels) {
  Picture* stored = pictures::Find(picture);
  if (stored == nullptr) return;
  for (size_t i = 0; i < stored->pixels.size() && i < pixels.size(); ++i) {
    stored->pixels[i] = pictures::StoredPixel(*stored, pixels[i]);
  }
}

std::vector<uint32_t> PicturePixels(HostObject picture) {
  const Picture* stored = pictures::Find(picture);
  return stored == nullptr ? std::vector<uint32_t>() : stored->pixels;
}

int32_t PictureWidthOf(HostObject picture) {
  const Picture* stored = pictures::Find(picture);
  return stored == nullptr ? 0 : stored->width;
}

int32_t PictureHeightOf(HostObject picture) {
  const Picture* stored = pictures::Find(picture);
  return stored == nullptr ? 0 : stored->height;
}

int32_t PictureDepthOf(HostObject picture) {
  const Picture* stored = pictures::Find(picture);
  return stored == nullptr ? 0 : stored->depth;
}

bool IsPicture(const void* handle) {
  const Picture* stored = pictures::Find(handle);
  return stored != nullptr && stored->alive;
}

int OpenDescriptionLocks(HostObject picture) {
  const Picture* stored = pictures::Find(picture);
  return stored == nullptr ? 0 : stored->openLocks;
}

bool PictureCacheStale(HostObject picture) {
  const Picture* stored = pictures::Find(picture);
  return stored != nullptr && stored->cacheStale;
}

}  // namespace simhost
