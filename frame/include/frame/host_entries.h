// Call wrappers for the host's entry points, one per entry, bearing the host's own
// names. Each wrapper binds its entry lazily: on a call while its cache slot is
// empty it asks the resolver, caches an address it gets, and calls through it. A
// null answer is not cached, so a later call asks again. Once an address is
// cached it is never looked up again. While the host lacks an entry, the wrapper
// yields the fallback named on it and calls nothing. A wrapper called before
// REALPluginMain stored a resolver yields its fallback too.
//
// Ownership: an object or string a wrapper returns comes with one reference that
// belongs to the caller, who drops it or hands it on as a method result.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

struct PictureDescription;  // the blur plug-in's picture records define it

// One lazily bound entry point: its name and the cached address (null until the
// first successful lookup, never reset).
struct HostEntry {
  const char* name;
  void* address;
};

// Stores the process-wide resolver; REALPluginMain does this first.
void StoreHostResolver(HostResolver resolver);

// Asks the stored resolver for an entry directly, with no cache: the three entries
// the system looks up on every use go through here. Null without a resolver.
void* AskHostResolver(const char* entryName);

// ---- Entry points used by Veilpix ----

// Adds one reference to object. Missing: nothing happens.
void REALLockObject(HostObject object);
// Drops one reference. Missing: nothing happens.
void REALUnlockObject(HostObject object);
// Locks picture and fills description in the requested type (7 or 10); the host
// may answer another type. Missing: false, description untouched.
bool REALLockPictureDescription(HostObject picture, PictureDescription* description, int32_t type);
// Fills description in the host's own form; the caller cleared it beforehand.
// Missing: nothing is filled in.
void lockPictureDescription(HostObject picture, PictureDescription* description);
// Ends a lock taken by either lock entry. Missing: nothing happens.
void unlockPictureDescription(HostObject picture);
// A new picture of that size and depth; the caller owns its one reference.
// Missing: null.
HostObject newPicture(int32_t width, int32_t height, int32_t depth);
// The picture's graphics object; the caller drops its reference after drawing.
// Missing: null.
HostObject pluginPictureGraphicsGetter(HostObject picture);
// The object's method with exactly that declaration, or null. Missing: null.
void* REALLoadObjectMethod(HostObject object, const char* declaration);
// Reads an integer property into *value. Missing: false, *value not written.
bool REALGetPropValueInt(HostObject object, const char* propertyName, int32_t* value);
// The host forgets what it cached of a picture whose pixels were written directly.
// Missing: nothing happens.
void REALPictureClearCache(HostObject picture);
// Registers an extension of an existing host class; the record stays the plug-in's
// static data. Missing: nothing is registered.
void PluginRegisterClassExtension(ClassDefinition* definition);

// ---- Entry points used by Tillbridge ----

// Registers a class; the record stays the plug-in's. Missing: nothing is registered.
void PluginRegisterClass(ClassDefinition* definition);
// Registers a module; the record stays the plug-in's. Missing: nothing is registered.
void PluginRegisterModule(ModuleDefinition* definition);
// A new instance of the named host class (caller owns it), or null. Missing: null.
HostObject PluginNewInstance(const char* className);
// A new host string of those bytes (caller owns it), or null. Missing: null.
HostString REALBuildString(const char* bytes, int32_t byteCount);
// Marks the string's encoding. Missing: nothing happens.
void REALSetStringEncoding(HostString text, uint32_t encoding);
// Sets a string property; the host takes its own reference to text. Missing: false.
bool REALSetPropValueString(HostObject object, const char* propertyName, HostString text);
// Raises the exception object in project code and returns to the caller.
// Missing: nothing happens.
void RuntimeRaiseException(HostObject exception);
// Drops the caller's reference to a string. Missing: nothing happens.
void REALUnlockString(HostString text);
// A new one-dimensional array of that element type with that upper bound (caller
// owns it), or null. Missing: null.
HostObject RuntimeArrayCreateSingleDimBoundedArray(int32_t elementType, int32_t upperBound);

// True when the host offers the wrapped entry of that name: binds it by the same
// rule as its wrapper (asking the resolver while it is not bound), so that the
// wrapper's next call goes through exactly when this says so. False for a name
// that no wrapper bears.
bool HostOffersEntry(const char* entryName);

// The names of every wrapped entry, in table order (for tools and tests of the frame).
int HostEntryCount();
const char* HostEntryName(int index);
