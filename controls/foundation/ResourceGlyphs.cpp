#include "controls/foundation/ResourceGlyphs.h"

#include <commctrl.h>

#include <vector>

#include "controls/foundation/FormServices.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ImgList.h"

namespace {

HMODULE FindModuleOf(const std::string& Name, const char* Type) {
    return Name.empty() ? nullptr : FindResourceInstance(Name.c_str(), Type);
}

bool LoadBitmapInto(TBitmap* Bitmap, HMODULE Module, const std::string& Name) {
    if (!Bitmap || !Module)
        return false;
    // A section keeps the stored colours exactly, whatever the screen's format.
    auto* Handle =
        static_cast<HBITMAP>(LoadImageA(Module, Name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!Handle)
        return false;
    Bitmap->SetHandle(Handle);
    return true;
}

} // namespace

std::string FindObjectBitmapRes(HMODULE& Instance, TClass Class, const std::string& Prefix) {
    Instance = nullptr;
    for (TClass C = Class; C && C != TPersistent::StaticClass(); C = C->ClassParent()) {
        const std::string Name = Prefix + C->ClassName();
        if (HMODULE M = FindModuleOf(Name, MAKEINTRESOURCEA(2))) {
            Instance = M;
            return Name;
        }
    }
    return "";
}

std::string FindObjectBitmapResEx(HMODULE& Instance, TClass Class, const std::string& Prefix) {
    std::string Name = FindObjectBitmapRes(Instance, Class, Prefix);
    if (Instance)
        return Name;
    return FindObjectBitmapRes(Instance, Class, "_" + Prefix);
}

bool LoadUnknownGlyph(TBitmap* Bitmap) {
    return LoadBitmapFromResource(Bitmap, "PAL_UNKNOWNGLYPH");
}

bool LoadBitmapForClass(TBitmap* Bitmap, TClass Class) {
    if (!Bitmap)
        return false;
    HMODULE Module = nullptr;
    const std::string Name = FindObjectBitmapRes(Module, Class, "");
    if (Module && LoadBitmapInto(Bitmap, Module, Name))
        return true;
    return LoadUnknownGlyph(Bitmap);
}

bool LoadBitmapFromResource(TBitmap* Bitmap, const std::string& Name) {
    return LoadBitmapInto(Bitmap, FindModuleOf(Name, MAKEINTRESOURCEA(2)), Name);
}

int AddIconFromAnyResource(TImageList* ImageList, const std::string& Name) {
    HMODULE Module = FindModuleOf(Name, MAKEINTRESOURCEA(14));
    if (!Module)
        Module = FindModuleOf(Name, MAKEINTRESOURCEA(3));
    return Module ? AddIconFromResource(ImageList, Name, Module) : -1;
}

int AddIconFromResource(TImageList* ImageList, const std::string& Name, HMODULE Module) {
    if (!ImageList || !Module || Name.empty())
        return -1;
    auto* Icon = static_cast<HICON>(
        LoadImageA(Module, Name.c_str(), IMAGE_ICON, ImageList->Width(), ImageList->Height(), 0));
    if (!Icon)
        return -1;
    const int Index = ImageList->AddIcon(Icon);
    DestroyIcon(Icon);
    return Index;
}

int AddBitmapFromResource(TImageList* ImageList, const std::string& Name, HMODULE Module) {
    if (!ImageList || Name.empty())
        return -1;
    TBitmap Bitmap;
    if (!LoadBitmapInto(&Bitmap, Module, Name))
        return -1;
    const COLORREF Corner = GetPixel(Bitmap.Canvas().Handle(), 0, Bitmap.Height() - 1);
    Bitmap.Dormant();
    return ImageList->AddMasked(Bitmap, static_cast<TColor>(Corner));
}

void ImageListSaveToFile(TImageList* ImageList, const std::string& FileName) {
    if (!ImageList)
        return;
    TBitmap Strip;
    Strip.SetSize(ImageList->Width() * ImageList->Count(), ImageList->Height());
    for (int I = 0; I < ImageList->Count(); ++I)
        ImageList_DrawEx(ImageList->Handle(), I, Strip.Canvas().Handle(), I * ImageList->Width(), 0, 0, 0,
                         CLR_NONE, CLR_NONE, ILD_IMAGE);
    Strip.SaveToFile(FileName);
}
