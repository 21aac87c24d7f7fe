#pragma once
// Process-wide free notifications: any number of listeners learn that an object is being
// destroyed, for components and for plain objects alike.
//
// Components are watched through the framework's own free notification. A plain object announces
// its end from TObject's destructor once a plain object is watched (on the thread that watched
// it); calling dcNotifyObjectFreed earlier, while the object is still whole, stays allowed.
// Listeners must use the destroyed object only as an identity.

#include "controls/foundation/MethodRef.h"
#include "framework/core/Object.h"

using TFreeNotifyProc = THSMethod<TObject*>;

// Nothing for nil. The same method may be added twice; removing it removes both.
void dcAddFreeNotification(TObject* Obj, const TFreeNotifyProc& Proc);
void dcRemoveFreeNotification(TObject* Obj, const TFreeNotifyProc& Proc);

// Fires and forgets the listeners of a plain object; nothing when it has none.
void dcNotifyObjectFreed(TObject* Obj);

// True while some component is watched (the storage exists only then).
bool dcComponentNotifierStorageExists();
// Drops every plain-object entry without firing and stops listening to destructors (program end).
void dcClearFreeNotifications();
