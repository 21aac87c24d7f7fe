#pragma once
// The readable text form of a validation configuration, compiled into a store through the
// store's own operations (so numbering and order are the engine's own).
//
// One statement per line; an indented line continues the statement above; "#" starts a comment
// outside quotes; a token with blanks is written in double quotes. Record keys name records in
// the source; the record's name is its key up to an "@" ("align@img" is named "align").
//
//   header N "text"                       header string N (0-9)
//   set NAME item ...                     a list that "$NAME" stands for in later lists
//   default category KEY                  category of the records that follow
//   category KEY [active|inactive|undefined]
//   activelist KEY ...                    categories active whatever their record says
//   value KEY kind N [quote Q] [case]     an attribute value (kind 0: the literal KEY)
//   attribute KEY [required] [recommended] [values ...] [category KEY]
//                                         (inside the list the two words are values)
//   group KEY members ...                 an attribute group
//   element KEY close required|optional|none [ignore] [needsattrs]
//           [in ...] [notin ...] [attrs ...] [category KEY]
//   entity NAME [category KEY]
// A "values" item that names no value record becomes a literal value, quoting free and
// compared case-blind.

#include <string>

#include "engine/config/CfgStore.h"

// Compiles text into store (reset to the built-in defaults first). Returns false with a message
// naming the line on any error; the store is then unspecified.
bool compileCfgSource(const std::string& text, CfgStore& store, std::string& error);
