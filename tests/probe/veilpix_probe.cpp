// VeilpixProbe: Veilpix itself (its registration and method) plus hooks that let
// its tests read the process-wide latches and call the operations below the
// method directly, in a freshly loaded copy.
#include "blur/picture_conversion.h"
#include "blur/pixel_access.h"
#include "blur/windows_version.h"
#include "frame/plugin_entry.h"
#include "veilpix_probe_abi.h"

extern "C" {
KWZ_PLUGIN_EXPORT int32_t ProbeSourceLatch() { return SourceAccessPath(); }
KWZ_PLUGIN_EXPORT int32_t ProbeOutputLatch() { return OutputAccessPath(); }
KWZ_PLUGIN_EXPORT int32_t ProbeIsWindows2000() { return IsWindows2000() ? 1 : 0; }
KWZ_PLUGIN_EXPORT int32_t ProbeAllRowsPresent(uint32_t* const* rowTable, int32_t count) {
  return AllRowsPresent(rowTable, count) ? 1 : 0;
}
KWZ_PLUGIN_EXPORT HostObject ProbeConvertTo32BitPicture(HostObject picture) { return ConvertTo32BitPicture(picture); }
KWZ_PLUGIN_EXPORT int32_t ProbeCopyRowTableImage(HostObject destination, HostObject source, const ProbeRectangles* r) {
  return CopyRowTableImage(destination, source, r->x, r->y, r->w, r->h, r->sx, r->sy, r->sw, r->sh) ? 1 : 0;
}
}
