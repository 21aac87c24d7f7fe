#pragma once
// Component streams of the family: property subsets written and read back, the class a stream
// holds, the header of a resource-file form image, text or binary recognition, and a memory
// stream bound to a text property of an object.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Streams.h"

class TStrings;

// A 32-bit size, then the binary component stream of Component holding only the named
// published properties. Nothing for a nil component.
void WritePropsToStream(TStream& Stream, TComponent* Component, const TStrings* PropNames);
void WritePropsToStream(TStream& Stream, TComponent* Component, const std::vector<std::string>& PropNames);
// Reads such a subset into Component and leaves the stream after it. A size that runs past the
// stream's end or a malformed image raises EReadError and changes nothing.
void ReadPropsFromStream(TStream& Stream, TComponent* Component);

// The registered class named by the binary stream at the current position (a resource-file
// header is skipped), or nil; the position is unchanged.
TClass GetClassFromStream(TStream& Stream);
// A resource-file form header: 0xFF, the 16-bit type 10, a zero-terminated name, 16-bit flags
// and a 32-bit size. With a header and KeepPosition false the stream is left after it; in
// every other case the position is unchanged. A header whose name is not terminated within
// the bytes examined is not taken as one.
bool SmartSkipResHeader(TStream& Stream, bool KeepPosition);
inline constexpr int32_t MaxResHeaderProbe = 79;

// True when the next bytes start with "object" or "inherited"; the position is unchanged.
bool IsTextStream(TStream& Stream);
// The class name of the root object of a text or binary component stream; empty when there is
// none. The position is unchanged.
std::string GetClassNameFromStream(TStream& Stream);

// The object's name path; empty for nil.
std::string GetCompName(const TPersistent* Obj);
// Calls Proc with the name of every named component owned by Owner that is of class Class,
// prefixed with the owner's name and "." when Owner is not Root.
void CompNamesToProc(TComponent* Owner, TComponent* Root, TClass Class,
                     const std::function<void(const std::string&)>& Proc);
void CompListNamesToProc(const std::vector<TComponent*>& Owners, TComponent* Root, TClass Class,
                         const std::function<void(const std::string&)>& Proc);

// Open modes of a property stream: the low two bits of the mode given.
enum : uint16_t { psRead = 0, psWrite = 1, psReadWrite = 2 };

// A memory stream over a string property, or a class property holding a string list. Opened for
// reading (or reading and writing) it holds the property's text; Flush stores the content back
// as one string (a string list takes it as its text). The destructor flushes too but cannot
// report a failure. A property that is missing or of another kind raises
// "Error in property stream" (EHSError).
class TPropStream : public TMemoryStream {
public:
    TPropStream(TPersistent* Object, uint16_t Mode, const std::string& PropName);
    ~TPropStream() override;
    void Flush();

private:
    void CheckProperty() const;
    std::string PropertyText() const;
    void SetPropertyText(const std::string& Text);

    TPersistent* FObject;
    uint16_t FMode;
    std::string FPropName;
    bool FFlushed = false;
};
