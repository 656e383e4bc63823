// Host calls that fail on demand: the nth call of an entry from now on (1: the
// next one) fails, once (a transient refusal) or from then on (the service is
// gone). A failing call is recorded like any other and yields null.
//
// The entries that can fail this way: newPicture, pluginPictureGraphicsGetter,
// REALLoadObjectMethod, REALBuildString, PluginNewInstance and
// RuntimeArrayCreateSingleDimBoundedArray. Reset() forgets every plan and count.
#pragma once

#include <cstdint>
#include <string>

namespace simhost {

enum class CallFailure {
  Once,        // only the planned call fails
  FromThenOn,  // the planned call and every later one fail
};

// Plans the failure of entry's nth call from now on; replaces an earlier plan for
// that entry (plans for other entries stay).
void FailCall(const std::string& entry, uint64_t nth, CallFailure mode);
void ClearCallFailures();

// Calls of entry since Reset() that could have failed, failed ones included.
uint64_t FailableCalls(const std::string& entry);
// Calls of entry since Reset() that failed as planned.
uint64_t FailedCalls(const std::string& entry);

// Used by the entry implementations above, right after RecordCall: counts the call
// and says whether it fails.
bool CallFails(const char* entry);

}  // namespace simhost
