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
// (ordinals with a default, empty strings and zero floats are left out). A reference to a
// component outside the root is written with its owner's name: "Form2.Table1". The reader parses and
// checks the whole text before it changes anything, so a malformed text or an unknown property
// leaves the object as it was (EParserError / EReadError, with the line number).

#include <functional>
#include <string>
#include <vector>

#include "framework/core/Object.h"

class TStream;
class TComponent;
struct TPropInfo;

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

// What a filer adds to the plain forms to store a component as a designer does: its events by
// handler name, the class name its designer gave it, and reading on past what cannot be read.
// Every member is optional.
struct TFilerHooks {
    // Writing: the class name stored for the root instead of its own.
    std::string RootClassName;
    // Writing: the name of the handler bound to an event of a component; empty leaves it out.
    std::function<std::string(TComponent* Component, const TPropInfo& Event)> EventName;
    // Reading: binds each handler a form names, once the whole form has been checked. Without
    // it the events of a form are left unbound.
    std::function<void(TComponent* Component, const TPropInfo& Event, const std::string& Handler)> BindEvent;
    // Reading: the stored class of the root is not checked against the root's own.
    bool AnyRootClass = false;
    // Reading: a property or an owned component that cannot be read is put to it with the
    // reader's message; true leaves it out and reads on, false refuses the whole form.
    std::function<bool(const std::string& Message)> SkipError;
    // Reading: a reference to a component outside the root ("Form2.Table1") is handed over once
    // the form is applied, the property left as it was; without it such a reference refuses the
    // form.
    std::function<void(TObject* Obj, const TPropInfo& Prop, const std::string& Name)> OuterReference;
};

std::string ObjectToText(TPersistent* Root, const TFilerHooks& Hooks);
std::string ObjectToBinary(TPersistent* Root, const TFilerHooks& Hooks);
void ObjectFromAnyForm(const std::string& Data, TPersistent* Root, const TFilerHooks& Hooks);

// One value as the text form writes it: 'It''s'#13 for strings.
std::string QuoteObjectTextString(const std::string& S);
