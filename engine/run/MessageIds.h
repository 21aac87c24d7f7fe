#pragma once
// The numbers of the validator's messages and hints, by name. The numbers are what the exports
// report and what configuration files and users know them by, so they never change; the code
// names them only through this set.

#include <cstdint>

namespace zel::msg {

enum Id : int32_t {
    // Run limits.
    TooManyErrors = 50,
    TooManyWarnings = 90,

    // Scanning the document.
    LessThanInTag = 52,
    EndOfDocumentInTag = 53,
    QuotedTagName = 55,
    MissingQuoteInTag = 56,
    TextAfterQuotedString = 57,
    QuotedAttributeName = 59,
    NoAttributeValue = 60,
    SpacesAroundEqual = 61,
    EndOfLineInQuote = 62,
    QuoteInText = 63,
    TooManyAttributes = 64,
    SpacesBeforeTagEnd = 76,
    MisplacedEqual = 77,
    BadCommentForm = 87,
    EndOfDocumentInQuote = 92,
    HighCharacters = 93,
    QuoteOutsideTag = 94,
    ExtraDoctype = 98,
    GreaterThanInComment = 102,
    LessThanInComment = 104,
    SpaceBeforeQuickClose = 109,
    GreaterThanWithoutTag = 110,
    EmptyTagBlock = 304,
    ExtraXmlDeclaration = 316,
    NulCharacter = 321,    // in a document read from a file
    WideFormInLines = 322, // a document of two or four bytes a character given as lines
    SpacesAfterTagStart = 416,

    // Elements and their nesting.
    UnknownElement = 65,
    InactiveElement = 66,
    ElementNotValidHere = 67,
    ElementNotClosed = 69,
    ClosingTagExtraText = 72,
    ClosingTagSpaceAfterSlash = 73,
    NestingError = 74,
    ClosingTagNeverOpened = 75,
    ClosingTagNotAllowed = 78,
    MissingClosingTag = 88,
    EndOfDocumentBeforeClosingTag = 91,
    ElementClosingRuleConflict = 100,
    ElementIgnoreRuleConflict = 105,
    QuickCloseRequired = 311,
    QuickCloseOrClosingTagRequired = 312,
    QuickCloseAsClosingTag = 313,
    ClosingTagRequired = 314,
    UppercaseName = 315,

    // Attributes and their values.
    MissingRequiredAttribute = 79,
    InactiveAttribute = 81,
    ValueNotDoubleQuoted = 82,
    ValueQuotedNeedlessly = 83,
    ValueCaseSensitive = 84,
    AttributeMessage = 85, // its whole text is built by the tag check
    ValueMessage = 86,     // its whole text is built by the tag check
    AttributeNeedsValue = 89,
    RepeatedAttribute = 103,
    MissingRecommendedAttribute = 107,
    NoAttributes = 108,
    BadEntityInAttributeValue = 112,
    ValueNotSingleQuoted = 300,
    ValueSingleQuotedNeedlessly = 301,
    ValueNotQuoted = 302,
    AttributeWithoutValue = 318,
    ColourMissingHash = 319,
    ColourLetterO = 320,

    // Character entities.
    EndOfLineInEntity = 95,
    UnknownEntity = 96,
    InactiveEntity = 97,
    EntityCaseMismatch = 303,

    // The configuration.
    UndefinedCategory = 101,
    EntityUndefinedCategory = 106,

    // Hints: advice printed before a message, each under its own switch.
    HintNesting = 200,
    HintMultiLineQuotes = 201,
    HintSpacesAroundEqual = 202,
    HintCommentForm = 203,
    HintEndOfDocumentCause = 205,
    HintHighCharacters = 206,
    HintAmpersand = 207,
    HintAngleBrackets = 208,
    HintDoubleQuoteInText = 209,
    HintMaximumErrors = 210,
    HintMaximumWarnings = 211,
    HintHexadecimalEntities = 213,
    HintUnicodeEntities = 214,
    HintMissingAttributeWarnings = 215,
    HintFirstTagOutOfRange = 216,
    HintQuotingErrors = 218,
    HintQuotesEquivalent = 219,
    HintPhpCollapsed = 220,
    HintSpacesBeforeTagEnd = 221,
    HintFirstTagAnywhere = 222,
    HintMacroCollapsed = 224,
    HintSummary = 226,
    HintQuickClose = 227,
};

} // namespace zel::msg
