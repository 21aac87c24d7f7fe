#pragma once
// The small pictures of the main window, drawn at start: one per speed-bar button and one per
// message kind. Drawn rather than loaded, so the program needs no picture files beside it.
#include <string>

class TBitmap;
class TImageList;

// Colour of the pixels a picture leaves transparent.
constexpr unsigned kPictureBackground = 0xFF00FF;

// Draws the picture of the named button (16 by 16 on the transparent colour); false when the name
// has no picture, and the bitmap is then left empty.
bool DrawButtonPicture(const std::string& ButtonName, TBitmap& Picture);
// Fills a 16-pixel list with the message-kind pictures in image order: error, warning, message,
// comment, and "nothing to report".
void AddMessageKindPictures(TImageList& Images);
