#include "engine/run/MessageCatalogue.h"

#include <algorithm>
#include <iterator>

#include "engine/run/MessageIds.h"

namespace zel::run {

namespace {

// Sorted by id, so lookups can bisect.
const CatalogueEntry kCatalogue[] = {
    {msg::TooManyErrors, KindErrorAt, msg::HintMaximumErrors, 0,
     "Terminating validation due to too many errors! Please correct the previous errors and revalidate the "
     "document."},
    {msg::LessThanInTag, KindErrorAt, 0, 0,
     "Found the character '<' while looking for '>'. The character '>' must appear before another '<'. If "
     "you actually want to use this character in the text portion of your document, you should use the "
     "character entity \"&lt;\"."},
    {msg::EndOfDocumentInTag, KindErrorAt, 0, 0,
     "Reached the end of the document before the closing '>', '-->', '?>', '##>', or '%>'."},
    {msg::QuotedTagName, KindErrorAt, 0, 0,
     "The \"%s\" tag is in quotation marks. It cannot be in quotation marks."},
    {msg::MissingQuoteInTag, KindErrorTagLine, 0, 0,
     "Missing quote in tag and its attributes. Each quotation mark must have a matching quotation mark."},
    {msg::TextAfterQuotedString, KindErrorAt, 0, 0,
     "A quoted string cannot be immediately followed by text. It must be followed by a space or the end of "
     "the tag."},
    {msg::QuotedAttributeName, KindErrorAt, 0, 0,
     "The expected attribute \"%s\" is in quotation marks. Attributes cannot be enclosed in quotation "
     "marks."},
    {msg::NoAttributeValue, KindErrorAt, 0, 0, "Cannot get the attribute value for the \"%s\" attribute."},
    {msg::SpacesAroundEqual, KindWarningAt, msg::HintSpacesAroundEqual, 0,
     "Spaces found around the character '='."},
    {msg::EndOfLineInQuote, KindErrorAt, msg::HintMultiLineQuotes, 0,
     "Reached the end of the line before a closing quote (or the end of a Miva macro if using Miva). As "
     "currently configured, Orvalent requires that all quoted strings (and Miva macros) be contained on one "
     "line and have beginning and end quotes. Did you forget the beginning or closing quotation mark for a "
     "quoted string?"},
    {msg::QuoteInText, KindErrorAt, 0, 0, "Quotation mark found in text string where it shouldn't be."},
    {msg::TooManyAttributes, KindErrorTagLine, 0, 0,
     "Too many attributes! Cannot check past first %d attributes."},
    {msg::UnknownElement, KindErrorAt, 0, 0,
     "The \"%s\" element is not a recognized element. Did you misspell it?"},
    {msg::InactiveElement, KindErrorTagLine, 0, 0,
     "The \"%s\" element was found in the configuration, but its category is not active (have you "
     "deactivated the category?). Because the element's category is not active, an error occurs when the "
     "element is used. You can control which categories are active using the Configuration Editor. This "
     "could also mean that the element is not valid for this document type. For example, using an HTML "
     "element in a RealText, SMIL, or WML document."},
    {msg::ElementNotValidHere, KindErrorAt, 0, 0,
     "The \"%s\" tag was found, but it is not valid due to where it is used.%s"},
    {msg::ElementNotClosed, KindErrorAt, 0, 0,
     "The \"%s\" tag must be closed but the closing tag was not found."},
    {msg::ClosingTagExtraText, KindErrorAt, 0, 0,
     "The closing tag <%s> has extra text. Closing tags may only contain a slash followed by a tag."},
    {msg::ClosingTagSpaceAfterSlash, KindErrorAt, 0, 0,
     "The '/' in the closing tag <%s> is followed by one or more spaces."},
    {msg::NestingError, KindErrorAt, msg::HintNesting, 0,
     "The \"%s\" tag (opened in line %d) should be closed before the \"%s\" tag is closed (nesting error)."},
    {msg::ClosingTagNeverOpened, KindErrorAt, 0, 0,
     "The closing tag for \"%s\" was found, but the tag was never opened, has been closed too many times, or "
     "cannot have a closing tag."},
    {msg::SpacesBeforeTagEnd, KindWarningAt, msg::HintSpacesBeforeTagEnd, 0,
     "Spaces found before the character '>'. Text should immediately end with the character '>'. Note that "
     "these spaces are valid according to the official specification but not as ZEL Orvalent is currently "
     "configured (see comment)."},
    {msg::MisplacedEqual, KindErrorAt, 0, 0,
     "The \"%s\" tag has a misplaced or invalid equal sign ('='). Cannot check the rest of the tag."},
    {msg::ClosingTagNotAllowed, KindErrorAt, 0, 0,
     "The closing tag for \"%s\" was found, but %s cannot have a closing tag."},
    {msg::MissingRequiredAttribute, KindErrorAt, 0, 0,
     "The \"%s\" tag is missing the required attribute \"%s\"."},
    {msg::InactiveAttribute, KindErrorTagLine, 0, 0,
     "The \"%s\" attribute was found but its category is not active. Because the attribute's category is not "
     "active, an error occurs when the attribute is used. You can control which categories are active using "
     "the Configuration Editor."},
    {msg::ValueNotDoubleQuoted, KindErrorAt, msg::HintQuotingErrors, 0,
     "The attribute value \"%s\" for the \"%s\" attribute was not enclosed in double quotation marks when it "
     "must be."},
    {msg::ValueQuotedNeedlessly, KindErrorAt, msg::HintQuotingErrors, 0,
     "The attribute value \"%s\" for the \"%s\" attribute was enclosed in quotation marks when it cannot "
     "be."},
    {msg::ValueCaseSensitive, KindErrorAt, 0, 0,
     "The attribute value \"%s\" is not valid because it is case sensitive."},
    {msg::AttributeMessage, KindErrorAt, 0, 0, "%s"},
    {msg::ValueMessage, KindErrorAt, 0, 0, "%s"},
    {msg::BadCommentForm, KindErrorAt, msg::HintCommentForm, 0,
     "Comments must begin with '<!--' and end with '-->'."},
    {msg::MissingClosingTag, KindErrorAt, 0, 0, "Missing closing tag."},
    {msg::AttributeNeedsValue, KindErrorAt, 0, 0, "The \"%s\" attribute needs a value."},
    {msg::TooManyWarnings, KindErrorAt, msg::HintMaximumWarnings, 0,
     "Terminating validation due to too many warnings! Please correct the previous warnings and revalidate "
     "the document."},
    {msg::EndOfDocumentBeforeClosingTag, KindErrorAt, 0, 0,
     "Reached the end of the document before finding the closing tag for \"%s\" in line %d. All text after "
     "this tag was ignored."},
    {msg::EndOfDocumentInQuote, KindErrorAt, msg::HintEndOfDocumentCause, 0,
     "Reached the end of the document before a closing quotation mark (or the end of a Miva macro if using "
     "Miva). This may be caused by an improperly quoted attribute value on the first line that this message "
     "appears. For example, the beginning or end quote of a quoted attribute value may me missing. It might "
     "also be caused by spanning attribute values on multiple lines, which is not recommended."},
    {msg::HighCharacters, KindWarningAt, msg::HintHighCharacters, 0,
     "High ASCII characters were found. You may want to replace high ASCII characters with character "
     "entities, but this is not technically necessary."},
    {msg::QuoteOutsideTag, KindErrorAt, msg::HintDoubleQuoteInText, 0,
     "A quotation mark was found that is not within a tag. The character entity &quot; should be used "
     "instead of the quotation character."},
    {msg::EndOfLineInEntity, KindErrorAt, msg::HintAmpersand, 0,
     "Reached the end of a line attempting to get a character entity. Found an ampersand '&' but could not "
     "find a following semicolon. If you want to actually display an ampersand, you should use the character "
     "entity \"&amp;\" (see comment)."},
    {msg::UnknownEntity, KindErrorAt, 0, 0,
     "The character entity \"&%s;\" is not a recognized entity. Did you misspell it? Did you forget to end "
     "the entity with a semicolon?"},
    {msg::InactiveEntity, KindErrorAt, 0, 0,
     "The character entity \"&%s;\" was found in the configuration, but its category was not active and its "
     "case may not have matched. Character entities are case sensitive."},
    {msg::ExtraDoctype, KindErrorAt, 0, 0,
     "Found an extra and/or out of place document type declaration (<!DOCTYPE ... >). Every HTML and XHTML "
     "document should have one and only one document type declaration, and it should normally be the first "
     "line of the document. An exception is for XML documents where the first line is normally the XML "
     "declaration (<?xml ... >) and the second line is the document type declaration."},
    {msg::ElementClosingRuleConflict, KindWarningTagStart, 0, 0,
     "The \"%s\" element is entered more than once in the configuration with different closing tag "
     "requirements. Therefore this element will be treated as having an optional closing tag."},
    {msg::UndefinedCategory, KindWarningTagStart, 0, 0,
     "\"%s\" is assigned to an undefined category in the configuration and is being treated as inactive."},
    {msg::GreaterThanInComment, KindWarningAt, msg::HintAngleBrackets, 0,
     "Found the character '>' in a '<!--' comment. Comments beginning with '<!--' must end with '-->', not "
     "'>'. If '>' indicates the end of the comment, this is an error, otherwise it is not, but it may be "
     "dangerous with some browsers to use the character '>' in a strict comment."},
    {msg::RepeatedAttribute, KindWarningAt, 0, 0, "The \"%s\" attribute appears %d times in the \"%s\" tag."},
    {msg::LessThanInComment, KindWarningAt, msg::HintAngleBrackets, 0,
     "Found the character '<' in a '<!--' comment. If '<' indicates the start of another tag, this is an "
     "error, otherwise it is not, but it may be dangerous with some browsers to use the character '<' in a "
     "strict comment."},
    {msg::ElementIgnoreRuleConflict, KindWarningTagStart, 0, 0,
     "The \"%s\" element is entered more than once in the configuration with different ignore to closing tag "
     "options. Therefore the text to the closing tag will NOT be ignored."},
    {msg::EntityUndefinedCategory, KindWarningAt, 0, 0,
     "The character entity \"&%s;\" is assigned to an undefined category in the configuration and is being "
     "treated as inactive."},
    {msg::MissingRecommendedAttribute, KindWarningAt, msg::HintMissingAttributeWarnings, 0,
     "The \"%s\" tag is missing the  \"%s\" attribute. You should probably include this attribute."},
    {msg::NoAttributes, KindWarningAt, 0, 0,
     "The \"%s\" tag has no attributes. You should probably use attributes with this tag."},
    {msg::SpaceBeforeQuickClose, KindWarningAt, 0, 0,
     "You should add a space character before the '/' character. In HTML type documents, this increases "
     "backward compatibility."},
    {msg::GreaterThanWithoutTag, KindWarningAt, 0, 0,
     "Found the character '>' with no previous character '<' to open the tag. The character '<' must appear "
     "before each '>' to open a tag. If you actually want to use this character in the text portion of your "
     "document, you should use the character entity \"&gt;\"."},
    {msg::BadEntityInAttributeValue, KindWarningAt, 0, 0,
     "%sAn invalid entity was found in the value for the \"%s\" attribute. Often this is because the "
     "ampersand character was not properly encoded as the entity \"&amp;\". Example 1: "
     "href=\"script.cgi?var1=value&var2=value\" should be href=\"script.cgi?var1=value&amp;var2=value\", "
     "example 2: alt=\"For him & her\" should be alt=\"For him &amp; her\". Note that the ampersand in the "
     "values was encoded as \"&amp;\"."},
    {msg::ValueNotSingleQuoted, KindErrorAt, msg::HintQuotingErrors, msg::HintQuotesEquivalent,
     "The attribute value \"%s\" for the \"%s\" attribute was not enclosed in single quotation marks when it "
     "must be."},
    {msg::ValueSingleQuotedNeedlessly, KindErrorAt, msg::HintQuotingErrors, msg::HintQuotesEquivalent,
     "The attribute value \"%s\" for the \"%s\" attribute was enclosed in single quotation marks when it "
     "must be either be enclosed in double quotations marks or not enclosed in any quotation marks."},
    {msg::ValueNotQuoted, KindErrorAt, msg::HintQuotingErrors, 0,
     "The attribute value \"%s\" for the \"%s\" attribute was not enclosed in single or double quotation "
     "marks when it must be."},
    {msg::EntityCaseMismatch, KindErrorAt, 0, 0,
     "The character entity \"&%s;\" was found in the configuration, but its case did not match. Character "
     "entities are case sensitive. Perhaps you meant \"&%s;\"?"},
    {msg::EmptyTagBlock, KindErrorAt, 0, 0,
     "An empty < > block was found where a tag should probably be. You should remove this block, insert a "
     "tag, or use the character entities \"&lt;\" and \"&gt;\" if you want to actually use these characters "
     "in the text portion of your HTML document."},
    {msg::QuickCloseRequired, KindErrorAt, 0, 0,
     "The \"%s\" tag must be closed by adding a slash to the end of the tag (<%s ... />)."},
    {msg::QuickCloseOrClosingTagRequired, KindErrorAt, 0, 0,
     "The \"%s\" tag must be closed by adding a slash to the end of the tag (<%s ... />) or by a separate "
     "closing tag (</%s>)."},
    {msg::QuickCloseAsClosingTag, KindErrorAt, 0, 0,
     "Cannot use the format <%s/> for a closing tag. You should simply use <%s>."},
    {msg::ClosingTagRequired, KindErrorAt, 0, 0,
     "The \"%s\" tag must be closed by a closing tag (like </%s>). It cannot be closed by adding a slash to "
     "the end of the tag (<%s ... /> is incorrect)."},
    {msg::UppercaseName, KindErrorAt, 0, 0,
     "\"%s\" contains uppercase characters. All open tags, close tags, and tag attributes must be in "
     "lowercase."},
    {msg::ExtraXmlDeclaration, KindErrorAt, 0, 0,
     "Found an extra and/or out of place XML declaration (<?xml ... >). It is recommended that every XML "
     "based document have one and only one XML declaration, and it should be the first line of an XML based "
     "document."},
    {msg::AttributeWithoutValue, KindErrorAt, 0, 0,
     "The attribute \"%s\" does not have a value. All attributes must have a value. This is required for "
     "XHTML/XML documents or if the option to require attribute values is enabled."},
    {msg::ColourMissingHash, KindErrorAt, 0, 0,
     "The hexadecimal color value for the \"%s\" attribute is missing the '#' character."},
    {msg::ColourLetterO, KindErrorAt, 0, 0,
     "The letter 'O' has been used instead of the number zero in the hexadecimal color value for the \"%s\" "
     "attribute."},
    {msg::NulCharacter, KindErrorAt, 0, 0,
     "The character with the code 0 (NUL) was found. It has no place in a web document, and many programs "
     "take it for the end of the text and ignore what follows it. The rest of the line was checked as though "
     "it were a space."},
    {msg::WideFormInLines, KindErrorAt, 0, 0,
     "The document begins with the byte-order mark of UTF-16 or UTF-32, but it was given as lines of 8-bit "
     "text, which cannot hold that encoding. This encoding is not supported here, and the document was not "
     "checked: validate it as a file, or save it as UTF-8."},
    {msg::SpacesAfterTagStart, KindErrorAt, 0, 0,
     "Spaces found after the character '<'. Text should immediately follow the character '<'. Some browsers "
     "will not interpret tags with these spaces and will render the tag as it appears in the source "
     "document. This will cause source HTML to be displayed to the user instead of it being correctly "
     "rendered."},
};

const HintEntry kHints[] = {
    {msg::HintNesting, 510,
     "You can ignore the nesting errors by turning off the option to check HTML tag nesting. However, it is "
     "recommended that you leave this feature enabled. This option is in ZEL Orvalent's Validator Options "
     "Dialog. "},
    {msg::HintMultiLineQuotes, 511,
     "You can allow a quoted string to exist on more than one line by turning on the option to allow "
     "multi-line quotes. However, allowing multi-line quotes may make it more difficult to find problems "
     "caused by incorrect quoting. This option is in ZEL Orvalent's Validator Options."},
    {msg::HintSpacesAroundEqual, 512,
     "You can allow spaces to surround equal signs by turning on the option to allow spaces around '='. This "
     "option is in ZEL Orvalent's Validator Options. If allowed, attributes such as ALIGN =CENTER and ALIGN "
     "= CENTER will not generate error messages."},
    {msg::HintCommentForm, 513,
     "You should have comments in the '<!-- ... -->' format. However, most browsers will accept '<! ... >' "
     "as a comment. If you do not want to use only '<!-- ... -->' comments, then you should turn off strict "
     "comments. This option is in ZEL Orvalent's Validator Options."},
    {msg::HintEndOfDocumentCause, 515,
     "Errors such as reaching the end of a document before a closing quotation mark usually indicate that an "
     "attribute value was not completely enclosed in quotation marks. In addition, this error usually causes "
     "many more errors due to Orvalent believing that following tags are not tags but part of the quoted "
     "string. You may be able to find where the problem is by not allowing multi-line quotes. This option is "
     "in ZEL Orvalent's Validator Options."},
    {msg::HintHighCharacters, 514,
     "You may want to turn off high ASCII character checking. It is normally not technically necessary to "
     "not use high ASCII characters in your documents. Furthermore, it is a common misconception that you "
     "MUST use character entities instead of high ASCII characters in HTML documents. It is technically "
     "acceptable to use high ASCII characters instead of their equivalent character entities if your editor "
     "allows it. This option is in ZEL Orvalent's Validator Options."},
    {msg::HintAmpersand, 506,
     "The ampersand '&' is an escape character in HTML. If you want to actually use the ampersand in your "
     "HTML document, you should use the character entity '&amp;' instead of the actual ampersand character "
     "by itself."},
    {msg::HintAngleBrackets, 505,
     "If you do not want Orvalent to generate warnings about '<' and '>' characters in strict comments, you "
     "can disable these warning messages by unchecking 'Show comment warnings'. This option is in ZEL "
     "Orvalent's Validator Options."},
    {msg::HintDoubleQuoteInText, 504,
     "If you want to use the actual double quote character in the text of your HTML documents and do not "
     "want Orvalent to generate errors about using double quotes, you can allow double quotes in the text of "
     "your HTML documents by turning on the option to allow them. This option is in ZEL Orvalent's Validator "
     "Options."},
    {msg::HintMaximumErrors, 516,
     "You can change the maximum number of error messages to display before the validation is terminated. "
     "This option is in ZEL Orvalent's Validator Options."},
    {msg::HintMaximumWarnings, 517,
     "You can change the maximum number of warning messages to display before the validation is terminated. "
     "This option is in ZEL Orvalent's Validator Options."},
    {msg::HintHexadecimalEntities, 507,
     "If you want to use hexadecimal numeric character entities, you should check the option to allow "
     "hexadecimal numeric entities. This option is in ZEL Orvalent's Validator Options."},
    {msg::HintUnicodeEntities, 508,
     "If you want to use Unicode numeric character entities, you should check the option to include Unicode "
     "in the numeric entities. This option is in ZEL Orvalent's Validator Options."},
    {msg::HintMissingAttributeWarnings, 521,
     "You can disable all the warning messages for missing attributes. This option is in ZEL Orvalent's "
     "Validator Options. However, it is recommended that you leave this feature enabled."},
    {msg::HintFirstTagOutOfRange, 503,
     "The first tag in the document was out of range. The document has been validated with the assumption "
     "that you are validating a block of HTML that belongs in a <%s> ... </%s> section."},
    {msg::HintQuotingErrors, 501,
     "You can disable all the error messages for improperly quoted attribute values by having Orvalent "
     "ignore and disregard the quotation mark requirements for attribute values. This option is in ZEL "
     "Orvalent's Validator Options. However, it is recommended that you leave these error messages enabled "
     "and that you properly enclose attribute values in quotation marks."},
    {msg::HintQuotesEquivalent, 500,
     "You can have Orvalent treat double and single quotes as equivalent when used for enclosing attribute "
     "values. You may want to enable this option if you are creating HTML documents for 'modern' browsers. "
     "This option is in ZEL Orvalent's Validator Options."},
    {msg::HintPhpCollapsed, 520,
     "At least one <? ... ?> block within a tag has been collapsed to 'PHP'. This feature is for minimizing "
     "the number of errors that Orvalent generates due to using <? ... ?> blocks in tags."},
    {msg::HintSpacesBeforeTagEnd, 522,
     "You can allow spaces before a '>' character in tags. This option is in ZEL Orvalent's Validator "
     "Options. However, it is recommended that you eliminate these spaces for good style and to avoid "
     "possible problems."},
    {msg::HintFirstTagAnywhere, 523,
     "You can make elements that have (first tag) in their valid range be valid anywhere. This is useful if "
     "you want to disregard the requirement that an element be the first tag in the document. This option is "
     "in ZEL Orvalent's Validator Options."},
    {msg::HintMacroCollapsed, 519,
     "At least one &[...] Htmlscript/Miva macro within a tag has been collapsed to 'MIVA'. This feature is "
     "for minimizing the number of errors that Orvalent generates due to using macros in tags."},
    {msg::HintSummary, 0, "%s"},
    {msg::HintQuickClose, 525,
     "If you are trying to use quick close tags (such as in <IMG SRC=\"picture.gif\"/>, you should enable "
     "XML compatibility. This option is in ZEL Orvalent's Validator Options."},
};

} // namespace

const char* const kEndOfDocumentNoCommentText =
    "Reached the end of the document before the closing '>', '?>', '##>', or '%>'.";
const char* const kNoCaseErrorText =
    "Internal error for error number %d. No case statement for error number.";
const char* const kNoCaseWarningText =
    "Internal error for warning number %d. No case statement for error number.";
const char* const kMessageTooLongText = "[MESSAGE EXCEEDS MAXIMUM LENGTH]";

namespace fragments {
const char* const kInvalidAttributeValue = "The \"%s\" attribute has an invalid attribute value \"%s\".";
const char* const kTryValue = " Try using the following value: ";
const char* const kTryValues = " Try using one of the following values: ";
const char* const kAttributeNotValid = "The \"%s\" attribute is not valid for the \"%s\" element.";
const char* const kNoAttributes = " This tag cannot have any attributes.";
const char* const kOnlyValidAttribute = " The only valid attribute for this element is ";
const char* const kValidAttributes = " The valid attributes for this element are: ";
const char* const kMayBeContainedIn = " This element may be contained in ";
const char* const kMayNotBeContainedIn = " This element may not be contained in ";
const char* const kContainedInRefusing =
    " The tag is currently contained within an element that may not contain it.";
const char* const kNotContainedInAllowing =
    " The tag is currently not contained in an element that allows its use.";
const char* const kAnd = "and";
const char* const kOr = "or";
} // namespace fragments

const char* const kValueKindNames[17] = {
    "a negative integer",
    "a percent",
    "\"0\" (zero)",
    "an integer offset",
    "a positive integer",
    "a six digit hexadecimal number in the form #HHHHHH",
    "a string",
    "no value",
    "a null (empty) string",
    "an alphanumeric string",
    "an integer offset from -6 to +6",
    "one of the 16 basic color names",
    "an integer from 1 to 7",
    "one of the Netscape color names",
    "a single character",
    "a single alphanumeric character",
    "a relative width in the form i*",
};

const char* const kNeedUpdateBoxText = "The configuration file that you are using is for a newer version of "
                                       "ZEL Orvalent. It contains references to "
                                       "built-in attribute values that do not exist in this version. You "
                                       "should upgrade to the latest version of ZEL "
                                       "Orvalent.";
const char* const kNeedUpdateBoxCaption = "Orvalent: Need To Update Executable";
const char* const kLogFileBoxText =
    "An error occurred while attempting to write to the log file. The log entries will not be written.";
const char* const kLogFileBoxCaption = "Orvalent: Error Opening Log File";

int32_t publicMessageType(int32_t kind) {
    if (kind >= 0 && kind <= 2)
        return 1;
    if (kind == 3 || kind == 4)
        return 2;
    if (kind == 5)
        return 3;
    if (kind == 6)
        return 4;
    return 0;
}

bool isErrorKind(int32_t kind) {
    return kind >= 0 && kind <= 2;
}
bool isWarningKind(int32_t kind) {
    return kind == 3 || kind == 4;
}

const CatalogueEntry* findCatalogueEntry(int32_t id) {
    auto it = std::lower_bound(std::begin(kCatalogue), std::end(kCatalogue), id,
                               [](const CatalogueEntry& e, int32_t v) { return e.id < v; });
    return (it != std::end(kCatalogue) && it->id == id) ? &*it : nullptr;
}

const HintEntry* findHint(int32_t id) {
    for (const HintEntry& h : kHints)
        if (h.id == id)
            return &h;
    return nullptr;
}

std::string formatText(const char* pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    if (!pattern)
        return out;
    auto next = args.begin();
    for (const char* p = pattern; *p; ++p) {
        if (*p == '%' && (p[1] == 's' || p[1] == 'd')) {
            if (next != args.end()) {
                if (next->isNumber)
                    out += std::to_string(next->number);
                else if (p[1] == 'd')
                    out += next->text.empty() ? std::string("0") : next->text;
                else
                    out += next->text;
                ++next;
            } else if (p[1] == 'd') {
                out += '0';
            }
            ++p;
        } else if (*p == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace zel::run
