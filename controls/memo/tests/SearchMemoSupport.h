#pragma once
// A memo on a shown form for the find window's tests: the memo's header and the dialogs' header
// cannot share a translation unit, so the memo is reached through these.
#include <windows.h>

#include <string>

class TForm;
class TCustomMemoSource;

// A shown form whose only control is a focused memo holding Text; the caller owns the form.
TForm* MakeFocusedMemoForm(const std::string& Text);
TCustomMemoSource* MemoFormSource(TForm* Form);
// The screen rectangle of characters First to Last (exclusive) of Line.
RECT MemoFormTextRect(TForm* Form, int Line, int First, int Last);
