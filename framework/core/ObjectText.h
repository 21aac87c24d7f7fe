#pragma once
// The text form of objects:
//
//   object Name: TClass            (or "object TClass" for an object without a name)
//     Prop = 12
//     Font.Name = 'Courier New'     dotted names reach sub-objects
//     Font.Style = [fsBold, fsItalic]
//     Caption = 'It''s'#13#10'two lines'
//     Color = clWindow              named constants, enumerations, True/False
//     Width = 1.5
//     Data = {
//       0A0B0C}
//     Lines.Strings = (
//       'a'
//       'b')
//     Items = <
//       item
//         Name = 'x'
//       end>
//     object Child: TClass           owned components
//     end
//   end
//
// The writer writes published properties that are stored and differ from their default
// (ordinals with a default, empty strings and zero floats are left out). The reader parses and
// checks the whole text before it changes anything, so a malformed text or an unknown property
// leaves the object as it was (EParserError / EReadError, with the line number).

#include <string>
#include <vector>

#include "framework/core/Object.h"

class TStream;
class TComponent;

std::string ObjectToText(TPersistent* Root);
// The text's class must be Root's class or one of its ancestors.
void ObjectFromText(const std::string& Text, TPersistent* Root);
// Makes the root from the registered class named in the text, owned by Owner when it is a component.
TPersistent* CreateObjectFromText(const std::string& Text, TComponent* Owner);

void WriteObjectText(TStream& Stream, TPersistent* Root);
void ReadObjectText(TStream& Stream, TPersistent* Root); // from the current position to the end

// The binary form holds the same tree: the signature "TPF0", then per object its class name and
// name (a length byte and the characters), its properties (name, a value tag, the value) ended by
// a zero byte, its child objects, and a zero byte. Integers are little-endian of 1, 2, 4 or 8
// bytes, floats 8-byte doubles. A malformed form raises EReadError "Invalid stream format".
std::string ObjectToBinary(TPersistent* Root);
void ObjectFromBinary(const std::string& Data, TPersistent* Root);
TPersistent* CreateObjectFromBinary(const std::string& Data, TComponent* Owner);
void WriteObjectBinary(TStream& Stream, TPersistent* Root);
// Reads one object from the current position and leaves the stream just after it.
void ReadObjectBinary(TStream& Stream, TPersistent* Root);
// The class name of the object a binary form at the current position holds, or empty when there
// is none; the position is unchanged.
std::string ReadBinaryClassName(TStream& Stream);
std::string ObjectBinaryToText(const std::string& Data);
// True when Data holds the binary form (it starts with the signature "TPF0").
bool IsObjectBinary(const std::string& Data);
// Reads either form from the current position to the end: the binary form when it starts with
// the signature, the text form otherwise, so that objects stored as text by earlier builds still
// load. A malformed form raises EReadError or EParserError and changes nothing.
void ObjectFromAnyForm(const std::string& Data, TPersistent* Root);
TPersistent* CreateObjectFromAnyForm(const std::string& Data, TComponent* Owner);
void ReadObjectAnyForm(TStream& Stream, TPersistent* Root);

// A chosen subset of the root's own published properties (names compared ignoring case; a dotted
// sub-property counts as its top property), without owned objects. The class's property table is
// never touched: the subset is a filter over what the writer and the reader take.
std::string ObjectSubsetToBinary(TPersistent* Root, const std::vector<std::string>& Names);
// The whole form is checked; only the named properties of the root are applied.
void ObjectSubsetFromBinary(const std::string& Data, TPersistent* Root,
                            const std::vector<std::string>& Names);
std::string ObjectTextToBinary(const std::string& Text); // raises EParserError like the reader

// One value as the text form writes it: 'It''s'#13 for strings.
std::string QuoteObjectTextString(const std::string& S);
