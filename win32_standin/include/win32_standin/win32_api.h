// Our Win32 stand-in: the few kernel32 and gdi32 types, constants and calls that
// the plug-ins use, declared from what the plug-ins expect of them. Native builds
// only; a Windows build includes <windows.h> instead (see blur/win32.h).
//
// Widths follow Win32, not the native C types: LONG and DWORD are 32 bits. In a
// 32-bit build the records have their Win32 sizes (BITMAP 24 bytes,
// OSVERSIONINFOA 148, OSVERSIONINFOEXA 156); natively BITMAP's bmBits is
// pointer-sized, so the record is larger there.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#error "win32_standin is for native builds; Windows builds use <windows.h>"
#endif

#define WIN32_STANDIN_API __attribute__((visibility("default")))
#define WINAPI

extern "C" {

typedef int BOOL;
typedef unsigned int UINT;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef char CHAR;
typedef size_t SIZE_T;
typedef void* LPVOID;
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef HANDLE HGDIOBJ;
typedef HANDLE HBITMAP;

// ---- kernel32: global memory ----

// GlobalAlloc flags. Only fixed memory is offered: a fixed block's handle is its
// address. GMEM_ZEROINIT fills the block with zeros; without it the block holds
// garbage.
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u

// A fixed block of at least dwBytes bytes, or null (no memory, a planned failure,
// or a flag other than GMEM_FIXED / GMEM_ZEROINIT).
WIN32_STANDIN_API HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
// Releases a block. Null on success (and for null); hMem itself when it is not a
// live block of GlobalAlloc, as Win32 reports failure.
WIN32_STANDIN_API HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);

// ---- gdi32: bitmaps ----

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP;

// For a bitmap handle: with pv null, the size of a BITMAP; with c at least that
// size, fills *pv and returns the bytes written; otherwise (a smaller c, an
// unknown handle) 0.
WIN32_STANDIN_API int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv);

// ---- kernel32: version ----

#define VER_PLATFORM_WIN32s 0u
#define VER_PLATFORM_WIN32_WINDOWS 1u
#define VER_PLATFORM_WIN32_NT 2u

typedef struct _OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;

typedef struct _OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
} OSVERSIONINFOEXA;

// Fills the record whose dwOSVersionInfoSize is 148 (OSVERSIONINFOA) or 156
// (OSVERSIONINFOEXA) with the version the stand-in is set to report; any other
// size, a null record, or a size the stand-in is told to refuse: FALSE.
WIN32_STANDIN_API BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);

}  // extern "C"

static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
static_assert(sizeof(OSVERSIONINFOEXA) == 156, "OSVERSIONINFOEXA is 156 bytes");
static_assert(offsetof(BITMAP, bmWidthBytes) == 12, "");
static_assert(offsetof(BITMAP, bmBitsPixel) == 18, "");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(BITMAP) == 24, "BITMAP is 24 bytes in a 32-bit build");
static_assert(offsetof(BITMAP, bmBits) == 20, "");
#endif
