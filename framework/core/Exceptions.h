#pragma once
// Exception classes of the framework and the message texts they carry.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    ~Exception() override = default;

    const std::string& Message() const { return FMessage; }
    void SetMessage(const std::string& message) { FMessage = message; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

#define ZEL_DECLARE_EXCEPTION(Name, Base)                                                                    \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    };

ZEL_DECLARE_EXCEPTION(EAbort, Exception)
ZEL_DECLARE_EXCEPTION(EListError, Exception)
ZEL_DECLARE_EXCEPTION(EStringListError, Exception)
ZEL_DECLARE_EXCEPTION(EConvertError, Exception)
ZEL_DECLARE_EXCEPTION(EInvalidCast, Exception)
ZEL_DECLARE_EXCEPTION(EInvalidOperation, Exception)
ZEL_DECLARE_EXCEPTION(EOutOfMemory, Exception)
ZEL_DECLARE_EXCEPTION(EComponentError, Exception)
ZEL_DECLARE_EXCEPTION(EPropertyError, Exception)
ZEL_DECLARE_EXCEPTION(EStreamError, Exception)
ZEL_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
ZEL_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
ZEL_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
ZEL_DECLARE_EXCEPTION(EFilerError, EStreamError)
ZEL_DECLARE_EXCEPTION(EReadError, EFilerError)
ZEL_DECLARE_EXCEPTION(EWriteError, EFilerError)
ZEL_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
ZEL_DECLARE_EXCEPTION(EParserError, Exception)
ZEL_DECLARE_EXCEPTION(ERegistryException, Exception)
ZEL_DECLARE_EXCEPTION(EIniFileException, Exception)

// Message texts (printf-style placeholders).
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted string list";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidCast = "Invalid class typecast";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFOpenError = "Cannot open file %s";
inline constexpr const char* SFCreateError = "Cannot create file %s";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SRegCreateFailed = "Failed to create key %s";
inline constexpr const char* SRegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* SRegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SDuplicateClass = "A class named %s already exists";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SReadOnlyProperty = "Property is read-only";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SInvalidBinary = "Invalid binary value";
inline constexpr const char* SIdentifierExpected = "Identifier expected";
inline constexpr const char* SStringExpected = "String expected";
inline constexpr const char* SNumberExpected = "Number expected";
inline constexpr const char* SCharExpected = "''%c'' expected";
inline constexpr const char* SInvalidString = "Invalid string constant";
inline constexpr const char* SParseError = "%s on line %d";
