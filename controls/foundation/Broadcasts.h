#pragma once
// One process-wide list of objects that receive broadcast messages, and the designer
// notifications sent over it.

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/Object.h"

// A broadcast message: number, two parameters (wide enough for an object's address) and a
// result that is 0 when the broadcast starts.
struct THSMessage {
    uint32_t Msg = 0;
    intptr_t A = 0;
    intptr_t B = 0;
    intptr_t Result = 0;
};

// What an object on the broadcast list implements to hear broadcasts.
class IHSMessageHandler {
public:
    virtual void HSDispatch(THSMessage& Message) = 0;

protected:
    ~IHSMessageHandler() = default;
};

inline constexpr uint32_t HS_IDECHANGED = 2045;
inline constexpr uint32_t HS_IDEENDUPDATE = 2053;
inline constexpr uint32_t HS_IDEBEGINUPDATE = 2055;
inline constexpr uint32_t HS_NOTIFYDESTROY = 2059;
inline constexpr uint32_t HS_COMPONENTSREGISTERED = 2069;

// Nil is ignored; an object already listed moves to the end.
void RegisterNotifier(TObject* Object);
void UnregisterNotifier(TObject* Object);
const std::vector<TObject*>& NotifierObjects();
void FreeNotifierObjects();

// Sends the message to every object of List from the last to the first; an object removed from
// the list by an earlier handler is not sent to. With StopOnResult it stops at the first object
// that leaves a non-zero result and answers false.
bool BroadcastToNotifierList(TObject* Sender, std::vector<TObject*>& List, uint32_t Msg, intptr_t A,
                             intptr_t B, bool StopOnResult);
bool BroadcastToNotifiersEx(TObject* Sender, uint32_t Msg, intptr_t A, intptr_t B, bool StopOnResult);
void BroadCastToNotifiers(TObject* Sender, uint32_t Msg, intptr_t A, intptr_t B);
// True when no object objected (left a non-zero result).
bool NotifiersAgree(TObject* Sender, uint32_t Msg, intptr_t A, intptr_t B);
void SimpleBroadCast(uint32_t Msg);

// An object on the broadcast list for as long as it lives.
class TMessageAnswer : public TObject, public IHSMessageHandler {
public:
    TMessageAnswer();
    ~TMessageAnswer() override;
    void HSDispatch(THSMessage& Message) override;
    std::function<void(THSMessage& Message)> OnMessage;
};

int32_t IDEUpdateCount();
void IDEChanged();
void IDEBeginUpdate();
void IDEEndUpdate();
void NotifyDestroy(TObject* Object);
void NotifyDestroyObjects(void* List);
