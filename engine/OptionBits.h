#pragma once
// The one home of the option, job and results bits: each bit of each option word, named by the
// check box of the options dialog that sets it, and the bits of the job (2000) and results (3000)
// flag words. Bits the exported header already names are taken from there. Code elsewhere uses
// short namespace aliases of these sets (vf, of, ef, lf), never names of its own.

#include "engine/include/ZelValidator.h"

#include <cstdint>

namespace zel::bits {

// Validator word (options 1000).
namespace validator {
constexpr uint32_t CheckNesting = 0x1;
constexpr uint32_t AllowSpacesAroundEqual = 0x2;
constexpr uint32_t StrictComments = 0x4;
constexpr uint32_t AllowMultiLineQuotes = 0x8;
constexpr uint32_t IgnoreTextInPercents = 0x10; // server sections
constexpr uint32_t CheckHighASCII = 0x20;
constexpr uint32_t RequireOptionalClosingTags = 0x40;
constexpr uint32_t TagRangeAlwaysValid = 0x80;
constexpr uint32_t CollapseASP = 0x100;
constexpr uint32_t TreatAllQuotesEquivalent = 0x200;
constexpr uint32_t IgnoreQuotationRequirements = 0x400;
constexpr uint32_t AllowSpacesAroundTags = 0x800;
constexpr uint32_t FirstTagAnywhere = 0x1000;
constexpr uint32_t MivaMacros = 0x2000; // no check box
constexpr uint32_t PHPBlocks = 0x4000;  // no check box
constexpr uint32_t EnablePrograms = 0x8000;
constexpr uint32_t XMLCompatibility = 0x10000;
constexpr uint32_t RequireQuotedAttValues = 0x20000;
constexpr uint32_t RequireQuickClose = 0x40000;
constexpr uint32_t RequireLowercaseTags = 0x80000;
constexpr uint32_t XMLNoSpaceWarning = 0x100000;
constexpr uint32_t CFML = 0x200000; // set by the run for .cfm and .cfml documents
// What a new options object and a registry read clear: the macro and block collapsing and the
// configuration programs are switched on only by the caller.
constexpr uint32_t ClearedOnCreate = MivaMacros | PHPBlocks | EnablePrograms;
constexpr uint32_t RequireAttValues = 0x400000;
constexpr uint32_t UnderscoreInAlphanumeric = 0x1000000; // no check box
constexpr uint32_t EnableSpellChecking = 0x2000000;
constexpr uint32_t CheckCommentSpelling = 0x4000000;
constexpr uint32_t WarningSpellingMessage = 0x8000000;
constexpr uint32_t SpellingMessageWordCount = 0x10000000;
constexpr uint32_t SpellingMessageSortNumber = 0x20000000;
} // namespace validator

// Output word (options 1001).
namespace output {
constexpr uint32_t IncludeHTML = 0x1;
constexpr uint32_t ShowComments = 0x2;
constexpr uint32_t ShowMessagesAtBottom = 0x4;
constexpr uint32_t ShowWarnings = 0x8;
constexpr uint32_t ShowCommentWarnings = 0x10;
constexpr uint32_t ShowMissingAttWarnings = 0x20;
constexpr uint32_t ShowDocumentStructure = 0x40;
constexpr uint32_t UseCompactForm = 0x80;
constexpr uint32_t ShowEntities = 0x100;
constexpr uint32_t ShowExtendedInfo = 0x200;
constexpr uint32_t ShowMessages = 0x400;
constexpr uint32_t ShowLineNumbers = 0x200000;
} // namespace output

// Entity word (options 1002).
namespace entity {
constexpr uint32_t AllowDoubleQuote = 0x1;
constexpr uint32_t ValidateEntities = 0x2;
constexpr uint32_t IncludeUnicode = 0x4;
constexpr uint32_t AllowHexadecimalEntities = 0x8;
constexpr uint32_t CheckEntitiesInAttValues = 0x20000;
} // namespace entity

// Word 1021 and the further word 1022.
namespace flags250 {
constexpr uint32_t IgnoreTagsWithColons = 0x8000;
}
namespace further {
constexpr uint32_t EnableStyleChecking = 0x1;
}

// Logging, tools, general (1003) and network words.
namespace logging {
constexpr uint32_t LogErrorMessages = 0x1;
constexpr uint32_t LogWarningMessages = 0x2;
constexpr uint32_t IncludeHTMLInLog = 0x4;
constexpr uint32_t EnableLogging = 0x8;
} // namespace logging
namespace tools {
constexpr uint32_t ToolsCreateBAKFiles = 0x1;
}
namespace general {
constexpr uint32_t UseVALFiles = ZEL_GENERAL_USEVALFILES;
constexpr uint32_t NeverOpenVALFiles = 0x2;
constexpr uint32_t AlwaysOpenViewer = 0x4;
constexpr uint32_t IfNoErrorsWarningsDontView = 0x8;
constexpr uint32_t OpenViewerMaximized = 0x10;
constexpr uint32_t AutosaveHTMLConfig = ZEL_GENERAL_SAVECONFIGYES;
constexpr uint32_t NeverShowProgressBar = ZEL_GENERAL_NOPROGRESSUNLESSFORCED;
} // namespace general
namespace network {
constexpr uint32_t EnableProxy = 0x1;
constexpr uint32_t DisableEmailSyntaxCheck = 0x8000;
constexpr uint32_t RedirectedLinksOK = 0x10000;
} // namespace network

// Job flag word (2000). The completion step lets a job override three general settings: each
// override is a pair of "set" and "value" bits.
namespace job {
constexpr uint32_t RecordMode = ZEL_JOB_RECORDMODE;
constexpr uint32_t NoCompletionQuestion = 0x2; // as 0x800: no completion box, no question when clean
constexpr uint32_t WriteOutput = ZEL_JOB_WRITEOUTPUT;
constexpr uint32_t InputIsFile = ZEL_JOB_INPUTISFILE;
constexpr uint32_t AlwaysViewSet = 0x20;
constexpr uint32_t AlwaysView = 0x40;
constexpr uint32_t NeverViewSet = 0x80;
constexpr uint32_t NeverView = 0x100;
constexpr uint32_t ValChoiceSet = ZEL_JOB_VALCHOICESET;
constexpr uint32_t ValChoice = ZEL_JOB_VALCHOICE;
constexpr uint32_t NoCompletionQuestion2 = 0x800;
constexpr uint32_t NoCompletionBox = 0x1000;
constexpr uint32_t TextFromEditor = ZEL_JOB_TEXTFROMEDITOR;
constexpr uint32_t ListingToStore2 = ZEL_JOB_LISTINGTOSTORE2;
constexpr uint32_t ShowProgress = ZEL_JOB_SHOWPROGRESS;
constexpr uint32_t HideProgressAfter = ZEL_JOB_HIDEPROGRESSAFTER;
} // namespace job

// Results flag word (3000).
namespace results {
constexpr uint32_t Stopped = ZEL_RESULT_STOPPED;
constexpr uint32_t OutputFailed = ZEL_RESULT_OUTPUTFAILED;
constexpr uint32_t LimitReached = 0x8; // too many errors or warnings ended the run
} // namespace results

} // namespace zel::bits
