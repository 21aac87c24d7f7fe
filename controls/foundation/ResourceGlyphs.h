#pragma once
// Glyphs and icons from the program's resource modules: a class's palette glyph, named bitmaps
// and icons for image lists.

#include <string>

#include "framework/core/Object.h"
#include "framework/core/Win.h"

class TBitmap;
class TImageList;

// Walks from Class up to (not including) the persistent base class and answers the first bitmap
// resource named Prefix plus a class name that a resource module holds; Instance gets that module.
// Empty, with Instance nil, when there is none.
std::string FindObjectBitmapRes(HMODULE& Instance, TClass Class, const std::string& Prefix);
// The same, and when nothing is found, again with "_" before Prefix.
std::string FindObjectBitmapResEx(HMODULE& Instance, TClass Class, const std::string& Prefix);
// The class's glyph, else the glyph for unknown classes ("PAL_UNKNOWNGLYPH"). False, the bitmap
// untouched, when neither exists.
bool LoadBitmapForClass(TBitmap* Bitmap, TClass Class);
bool LoadUnknownGlyph(TBitmap* Bitmap);
// From the first resource module that has a bitmap of that name; false when none has.
bool LoadBitmapFromResource(TBitmap* Bitmap, const std::string& Name);

// The icon (an icon group, else a single icon) of that name from the first resource module that
// has it, added at the list's size. The new index, or -1 when there is no such icon.
int AddIconFromAnyResource(TImageList* ImageList, const std::string& Name);
int AddIconFromResource(TImageList* ImageList, const std::string& Name, HMODULE Module);
// The bitmap added with the colour of its bottom left pixel transparent; -1 when it is missing.
int AddBitmapFromResource(TImageList* ImageList, const std::string& Name, HMODULE Module);

// Writes the list's images side by side, as the list holds them (without their masks), into one
// bitmap file. Nothing for a nil list; a list without images raises, as an empty bitmap does.
void ImageListSaveToFile(TImageList* ImageList, const std::string& FileName);
