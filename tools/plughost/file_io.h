// Files with clear failures: reading an input whole, and writing an output all or
// nothing (to a temporary name beside it, renamed over the output only once every
// byte is written, so that a failure never leaves a partial or clobbered file).
#pragma once

#include <string>

namespace plughost {

// Fails (ToolError) when path does not exist, is a directory, or cannot be read.
void CheckReadableFile(const std::string& path);

// The file's bytes; fails as CheckReadableFile does.
std::string ReadWholeFile(const std::string& path);

// Writes bytes to path, replacing what was there only on success. Fails with a
// message naming path when the output cannot be written.
void WriteFileReplacing(const std::string& path, const std::string& bytes);

}  // namespace plughost
