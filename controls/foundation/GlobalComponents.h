#pragma once
// A program-wide finder of components by global name ("Form1.Edit1"), asked before whatever
// lookup was in place.

#include <functional>
#include <string>

class TComponent;

// Answers the component of that name, or nil to let the previous lookup answer.
using TFindGlobalCompProc = std::function<TComponent*(const std::string& Name)>;

// Routes the family's global lookup (FindGlobalObjectFunc) through Proc first and the lookup
// installed before otherwise. A later call replaces Proc and keeps that earlier lookup.
void SetFindGlobalCompProc(TFindGlobalCompProc Proc);
// Only the earlier lookup answers from now on.
void RemoveFindGlobalCompProc();
