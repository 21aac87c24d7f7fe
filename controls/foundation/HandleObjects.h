#pragma once
// Hidden windows that hand their messages to an object.
#include "framework/core/Win.h"

#include <functional>

#include "framework/core/Object.h"
#include "framework/ui/Messages.h"

// A hidden window whose messages go to a handler.
class THandleObject : public TObject {
public:
    using THandler = std::function<void(TMessage& Message)>;
    explicit THandleObject(THandler WndMethod);
    ~THandleObject() override;
    HWND Handle() const { return FHandle; }

private:
    static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    HWND FHandle = nullptr;
    THandler FHandler;
};

// A hidden window that hands every message to its owner's message handler; PostMsg lets the
// owner handle a message later on the same thread.
class THSHandleObject : public THandleObject {
public:
    THSHandleObject(TObject* Owner, THandler Dispatch) : THandleObject(std::move(Dispatch)), FOwner(Owner) {}
    TObject* Owner() const { return FOwner; }
    void PostMsg(UINT Msg, WPARAM WParam, LPARAM LParam) { PostMessageA(Handle(), Msg, WParam, LParam); }

private:
    TObject* FOwner;
};
