#pragma once
// The published names of a source's option bits (the so... values of MemoSource.h, in bit order),
// shared by every property table that lists them so the names cannot drift apart.

#include "framework/core/Properties.h"

extern const TEnumInfo kStringsOptionInfo;
