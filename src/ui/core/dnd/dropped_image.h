#pragma once
#include <windows.h>

#include <cstddef>

#include "ui/core/base/ui_string.h"

namespace SkinUI {

// Turns data dropped by another program into a bitmap. The data is untrusted: every reader checks
// it against the size it really has and refuses anything else (a null bitmap, false).

// Where the pixels of a packed DIB start, when header, colour table and pixels all lie within
// `size` bytes and the format is one that can be drawn; 0 when it is refused.
size_t PackedDibPixelOffset(const BYTE* data, size_t size);
HBITMAP BitmapFromPackedDib(const BYTE* data, size_t size);
HBITMAP BitmapFromDibMemory(HGLOBAL hDib);
// The first file name of a dropped file list (at most 519 characters).
bool FirstDroppedFile(const BYTE* data, size_t size, CUIString& path);
bool FirstDroppedFile(HGLOBAL hDrop, CUIString& path);
HBITMAP BitmapFromBitmapFile(const wchar_t* path);
// The metafile played into a bitmap of its bounds, in its frame converted to screen pixels.
HBITMAP BitmapFromEnhMetaFile(HENHMETAFILE hEmf);

}  // namespace SkinUI
