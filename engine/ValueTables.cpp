#include "engine/ValueTables.h"

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineStores.h"
#include "engine/JobClass.h"
#include "engine/ResultClass.h"
#include "engine/include/ZelValidator.h"

#include <cstdlib>

namespace zel::values {

void applyBits(uint32_t& word, uint32_t mask, int32_t value) {
    if (value)
        word |= mask;
    else
        word &= ~mask;
}

namespace {

// The word and bit of switch n: 1-180 in words 1-6, 500-529 in the 500-word.
bool switchBit(ConfigClass& o, int32_t n, uint32_t*& word, uint32_t& bit) {
    if (n >= 1 && n <= 180) {
        word = &o.validator.Switches[(n - 1) / 30];
        bit = 1u << ((n - 1) % 30);
        return true;
    }
    if (n >= 500 && n <= 529) {
        word = &o.validator.Switches500;
        bit = 1u << (n - 500);
        return true;
    }
    return false;
}

int32_t messageCount(const ResultClass& r, MessageCount which) {
    return r.messages ? msgStoreCount(*r.messages, which) : -1;
}

// The answer of ZELID_JOB_INPUTEXTENSION: valid until the next such call.
StrStore& extensionBuffer() {
    static StrStore buffer(64);
    return buffer;
}

// ---- The single values of the handle objects ------------------------------------------------------
// One row per identifier: the kind of object it belongs to and how it is read and written, as an
// integer (ZELGetInteger / ZELSetInteger) or as a string (ZELGetString / ZELSetString). A missing
// function means the value cannot be read (or written) that way.

ConfigClass& options(Object& b) {
    return static_cast<ConfigClass&>(b);
}
JobClass& job(Object& b) {
    return static_cast<JobClass&>(b);
}
ResultClass& results(Object& b) {
    return static_cast<ResultClass&>(b);
}
int32_t assigned(bool ok) {
    return ok ? 0 : -1;
}

// The network strings 1-4 share one shape.
template <int N> const char* networkString(Object& b) {
    return options(b).network.Strings[N].getString();
}
template <int N> int32_t setNetworkString(Object& b, const char* text) {
    return assigned(options(b).network.Strings[N].assign(text));
}

const ValueRow kValues[] = {
    // Options: integers.
    {.id = ZELID_OPT_LINELENGTH,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger = [](Object& b, int32_t& v) { return v = options(b).validator.LineLength, 0; },
     .setInteger = [](Object& b, int32_t v) { return options(b).validator.LineLength = v, 0; }},
    {.id = ZELID_OPT_MAXIMUMERRORS,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger = [](Object& b, int32_t& v) { return v = options(b).validator.MaximumErrors, 0; },
     .setInteger = [](Object& b, int32_t v) { return options(b).validator.MaximumErrors = v, 0; }},
    {.id = ZELID_OPT_MAXIMUMWARNINGS,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger = [](Object& b, int32_t& v) { return v = options(b).validator.MaximumWarnings, 0; },
     .setInteger = [](Object& b, int32_t v) { return options(b).validator.MaximumWarnings = v, 0; }},
    {.id = ZELID_OPT_NETWORKWORD,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger = [](Object& b,
                      int32_t& v) { return v = static_cast<int32_t>(options(b).network.Flags40), 0; }},
    {.id = ZELID_OPT_PROGRESSWINDOW,
     .kind = ZEL_KIND_OPTIONS,
     .setInteger = [](Object& b, int32_t v) { return progressWindowSet(options(b), v), 0; }},
    {.id = ZELID_OPT_CONFIGITEMCOUNT,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger =
         [](Object& b, int32_t& v) {
             if (const CfgStore* cfg = options(b).cfgStore)
                 v = cfgStoreItemCount(*cfg);
             return 0;
         }},
    {.id = ZELID_OPT_CONFIGFLAGS,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger =
         [](Object& b, int32_t& v) {
             if (const CfgStore* cfg = options(b).cfgStore)
                 v = cfgStoreFlagWord(*cfg);
             return 0;
         },
     .setInteger =
         [](Object& b, int32_t v) {
             if (CfgStore* cfg = options(b).cfgStore)
                 cfgStoreOrFlagWord(*cfg, v);
             return 0;
         }},
    {.id = ZELID_OPT_FURTHERINTEGER,
     .kind = ZEL_KIND_OPTIONS,
     .getInteger = [](Object& b, int32_t& v) { return v = options(b).validator.FurtherInteger, 0; },
     .setInteger = [](Object& b, int32_t v) { return options(b).validator.FurtherInteger = v, 0; }},

    // Options: strings.
    {.id = ZELID_OPT_CONFIGFILE,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b) { return options(b).general.DefaultConfigurationFileNameV30.getString(); },
     .setString =
         [](Object& b, const char* t) {
             return assigned(options(b).general.DefaultConfigurationFileNameV30.assign(t));
         }},
    {.id = ZELID_OPT_CONFIGHEADER1,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b) -> const char* {
         ConfigClass& o = options(b);
         if (!o.cfgStore)
             o.cfgStore = newCfgStore(o);
         return o.cfgStore ? cfgStoreHeaderString(*o.cfgStore, 0) : nullptr;
     }},
    {.id = ZELID_OPT_NETWORKSTRING1,
     .kind = ZEL_KIND_OPTIONS,
     .getString = networkString<0>,
     .setString = setNetworkString<0>},
    {.id = ZELID_OPT_NETWORKSTRING2,
     .kind = ZEL_KIND_OPTIONS,
     .getString = networkString<1>,
     .setString = setNetworkString<1>},
    {.id = ZELID_OPT_OUTPUTFILE,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b) { return options(b).general.OutputFileV30.getString(); }},
    {.id = ZELID_OPT_OUTPUTVIEWER,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b) { return options(b).general.OutputViewer.getString(); }},
    {.id = ZELID_OPT_NETWORKSTRING3,
     .kind = ZEL_KIND_OPTIONS,
     .getString = networkString<2>,
     .setString = setNetworkString<2>},
    {.id = ZELID_OPT_NETWORKSTRING4,
     .kind = ZEL_KIND_OPTIONS,
     .getString = networkString<3>,
     .setString = setNetworkString<3>},
    {.id = ZELID_OPT_LOGFILE,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b) { return options(b).log.LogFileNameV30.getString(); },
     .setString = [](Object& b, const char* t) { return assigned(options(b).log.LogFileNameV30.assign(t)); }},
    {.id = ZELID_OPT_NETWORKNUMBER,
     .kind = ZEL_KIND_OPTIONS,
     .getString =
         [](Object& b) {
             NetworkConfigClass& n = options(b).network;
             n.Strings[5].assignInt(n.Number);
             return n.Strings[5].getString();
         },
     .setString =
         [](Object& b, const char* t) {
             options(b).network.Number = t ? static_cast<int32_t>(std::strtol(t, nullptr, 10)) : 0;
             return 0;
         }},
    {.id = ZELID_OPT_SECONDCONFIGFILE,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b) { return options(b).general.SecondConfigurationFileName.getString(); },
     .setString =
         [](Object& b, const char* t) {
             return assigned(options(b).general.SecondConfigurationFileName.assign(t));
         }},

    // Jobs.
    {.id = ZELID_JOB_INPUTMODE,
     .kind = ZEL_KIND_JOB,
     .getInteger = [](Object& b, int32_t& v) { return v = job(b).inputMode, 0; },
     .setInteger = [](Object& b, int32_t v) { return job(b).inputMode = v, 0; }},
    {.id = ZELID_JOB_TYPE,
     .kind = ZEL_KIND_JOB,
     .getInteger = [](Object& b, int32_t& v) { return v = job(b).jobType, 0; },
     .setInteger =
         [](Object& b, int32_t v) {
             JobClass& j = job(b);
             j.jobType = v;
             if (v == 5)
                 j.lineEnd = 5;
             return 0;
         }},
    {.id = ZELID_JOB_LINEEND,
     .kind = ZEL_KIND_JOB,
     .setInteger = [](Object& b, int32_t v) { return job(b).lineEnd = v, 0; }},
    {.id = ZELID_JOB_CLEARPATHS,
     .kind = ZEL_KIND_JOB,
     .setInteger =
         [](Object& b, int32_t v) {
             if (v == 0)
                 job(b).paths.clear();
             return 0;
         }},
    {.id = ZELID_JOB_INTEGER,
     .kind = ZEL_KIND_JOB,
     .getInteger = [](Object& b, int32_t& v) { return v = job(b).jobInteger, 0; },
     .setInteger = [](Object& b, int32_t v) { return job(b).jobInteger = v, 0; }},
    {.id = ZELID_JOB_INPUT,
     .kind = ZEL_KIND_JOB,
     .getString = [](Object& b) { return job(b).input.getString(); },
     .setString = [](Object& b, const char* t) { return assigned(job(b).input.assign(t)); }},
    {.id = ZELID_JOB_OUTPUTFILE,
     .kind = ZEL_KIND_JOB,
     .getString = [](Object& b) { return job(b).outputFile.getString(); },
     .setString = [](Object& b, const char* t) { return assigned(job(b).outputFile.assign(t)); }},
    {.id = ZELID_JOB_ADDPATH,
     .kind = ZEL_KIND_JOB,
     .setString = [](Object& b,
                     const char* t) { return assigned(job(b).paths.addLine(t ? t : "", 0) == 0); }},
    {.id = ZELID_JOB_INPUTEXTENSION,
     .kind = ZEL_KIND_JOB,
     .getString = [](Object& b) -> const char* {
         JobClass& j = job(b);
         if (j.input.isEmpty())
             return nullptr;
         extensionBuffer() = j.input.extension();
         return extensionBuffer().getString();
     }},

    // Results.
    {.id = ZELID_RESULT_ERRORS,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b,
                      int32_t& v) { return v = messageCount(results(b), MessageCount::Errors), 0; }},
    {.id = ZELID_RESULT_WARNINGS,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b,
                      int32_t& v) { return v = messageCount(results(b), MessageCount::Warnings), 0; }},
    {.id = ZELID_RESULT_LINES1,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b, int32_t& v) { return v = results(b).lines1.lineCount(), 0; }},
    {.id = ZELID_RESULT_RECORDS,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b,
                      int32_t& v) { return v = messageCount(results(b), MessageCount::Records), 0; }},
    {.id = ZELID_RESULT_LINES2,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b, int32_t& v) { return v = results(b).lines2.lineCount(), 0; }},
    {.id = ZELID_RESULT_IGNORED, .kind = ZEL_KIND_RESULTS, .setInteger = [](Object&, int32_t) { return 0; }},
    {.id = ZELID_RESULT_TAGCOUNTROWS,
     .kind = ZEL_KIND_RESULTS,
     .getInteger =
         [](Object& b, int32_t& v) {
             if (const zel::run::TagCountStore* counts = results(b).tagCounts)
                 v = tagCountRows(*counts);
             return 0;
         }},
    {.id = ZELID_RESULT_MESSAGES,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b,
                      int32_t& v) { return v = messageCount(results(b), MessageCount::Messages), 0; }},
    {.id = ZELID_RESULT_COMMENTS,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object& b,
                      int32_t& v) { return v = messageCount(results(b), MessageCount::Comments), 0; }},
    {.id = ZELID_RESULT_RESERVED,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = [](Object&, int32_t&) { return 0; }},
    {.id = ZELID_RESULT_ADDLINES1,
     .kind = ZEL_KIND_RESULTS,
     .setString = [](Object& b,
                     const char* t) { return assigned(results(b).lines1.addLine(t ? t : "", 0) == 0); }},
    {.id = ZELID_RESULT_CONTINUELINES1,
     .kind = ZEL_KIND_RESULTS,
     .setString = [](Object& b,
                     const char* t) { return assigned(results(b).lines1.addLine(t ? t : "", 1) == 0); }},
    {.id = ZELID_RESULT_ADDLINES2,
     .kind = ZEL_KIND_RESULTS,
     .setString = [](Object& b,
                     const char* t) { return assigned(results(b).lines2.addLine(t ? t : "", 0) == 0); }},
    {.id = ZELID_RESULT_CONTINUELINES2,
     .kind = ZEL_KIND_RESULTS,
     .setString = [](Object& b,
                     const char* t) { return assigned(results(b).lines2.addLine(t ? t : "", 1) == 0); }},
};

// ---- The indexed values of the handle objects ---------------------------------------------------
// One row per identifier read or written with an index: a message, a tag count row, a path or a
// line (ZELGetInteger2 / ZELSetInteger2 / ZELGetString2).

constexpr const char* kGetInteger2 = "ZELGetInteger2";

// Message index of the results, or false when there is none: the value then stays as it was.
bool message(Object& b, int32_t index, MessageView& m) {
    const ResultClass& r = results(b);
    return r.messages && msgStoreMessage(*r.messages, index, m);
}

template <int32_t MessageView::*Field> int32_t messageInteger(Object& b, int32_t index, int32_t& v) {
    MessageView m;
    if (message(b, index, m))
        v = m.*Field;
    return 0;
}

template <const char* MessageView::*Field> const char* messageString(Object& b, int32_t index) {
    MessageView m;
    return message(b, index, m) ? m.*Field : nullptr;
}

// which: 1 open, 2 close, 3 the third count.
template <int32_t Which> int32_t tagCount(Object& b, int32_t index, int32_t& v) {
    const zel::run::TagCountStore* counts = results(b).tagCounts;
    if (!counts)
        return 0;
    int32_t count;
    if (!tagCountValue(*counts, index, Which, count))
        return ZELErrorMessage(-6, kGetInteger2,
                               "bad index for ZELRESULTTAGCOUNTOPEN or ZELRESULTTAGCOUNTCLOSE");
    v = count;
    return 0;
}

template <int32_t Flag> int32_t tagCountFlag(Object& b, int32_t index, int32_t& v) {
    const zel::run::TagCountStore* counts = results(b).tagCounts;
    if (!counts)
        return ZELError(-5, kGetInteger2, kBadIdentifier);
    int32_t count;
    if (tagCountByFlag(*counts, index, Flag, count))
        v = count;
    return 0;
}

const IndexedRow kIndexedValues[] = {
    {.id = ZELID_OPT_CONFIGITEM,
     .kind = ZEL_KIND_OPTIONS,
     .getString = [](Object& b, int32_t index) -> const char* {
         const CfgStore* cfg = options(b).cfgStore;
         return cfg ? cfgStoreItem(*cfg, index) : nullptr;
     }},
    {.id = ZELID_JOB_PATH,
     .kind = ZEL_KIND_JOB,
     .getString = [](Object& b, int32_t index) { return job(b).paths.lineNoMove(index); }},
    {.id = ZELID_RESULT_LINE1,
     .kind = ZEL_KIND_RESULTS,
     .getString = [](Object& b, int32_t index) { return results(b).lines1.lineNoMove(index); }},
    {.id = ZELID_RESULT_MSGTEXT, .kind = ZEL_KIND_RESULTS, .getString = messageString<&MessageView::text>},
    {.id = ZELID_RESULT_LINE2,
     .kind = ZEL_KIND_RESULTS,
     .getString = [](Object& b, int32_t index) { return results(b).lines2.lineNoMove(index); }},
    {.id = ZELID_RESULTTAGCOUNTTAGNAME,
     .kind = ZEL_KIND_RESULTS,
     .getString = [](Object& b, int32_t index) -> const char* {
         const zel::run::TagCountStore* counts = results(b).tagCounts;
         if (!counts)
             return nullptr;
         const char* name = tagCountName(*counts, index);
         if (!name)
             ZELErrorMessage(-6, "ZELGetString2", "bad index for ZELRESULTTAGCOUNTTAGNAME");
         return name;
     }},
    {.id = ZELID_RESULT_MSGTEXT2, .kind = ZEL_KIND_RESULTS, .getString = messageString<&MessageView::text2>},

    {.id = ZELID_RESULT_MSGKIND,
     .kind = ZEL_KIND_RESULTS,
     .getInteger =
         [](Object& b, int32_t index, int32_t& v) {
             MessageView m;
             if (message(b, index, m))
                 v = (m.kind >= 1 && m.kind <= 4) ? m.kind : -2;
             return 0;
         }},
    {.id = ZELID_RESULT_MSGLINE,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::line>,
     .setInteger =
         [](Object& b, int32_t index, int32_t v) {
             if (zel::run::MsgStore* messages = results(b).messages)
                 msgStoreSetMessageLine(*messages, index, v);
             return 0;
         }},
    {.id = ZELID_RESULT_MSGCHARACTER,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::character>},
    {.id = ZELID_RESULT_MSGLENGTH,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::length>},
    {.id = ZELID_RESULT_MSGNUMBER,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::runningNumber>},
    {.id = ZELID_RESULT_MSGLEADING1,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::leadingNumber1>},
    {.id = ZELID_RESULTTAGCOUNTOPEN, .kind = ZEL_KIND_RESULTS, .getInteger = tagCount<1>},
    {.id = ZELID_RESULTTAGCOUNTCLOSE, .kind = ZEL_KIND_RESULTS, .getInteger = tagCount<2>},
    {.id = ZELID_RESULT_SYMBOLVALUECOUNT,
     .kind = ZEL_KIND_RESULTS,
     .getInteger =
         [](Object& b, int32_t index, int32_t& v) {
             const ResultClass& r = results(b);
             if (!r.validation)
                 return ZELErrorMessage(-7, kGetInteger2, "could not get value count");
             v = symbolValueCount(*r.validation, index);
             return 0;
         }},
    {.id = ZELID_RESULTTAGCOUNTTHIRD, .kind = ZEL_KIND_RESULTS, .getInteger = tagCount<3>},
    {.id = ZELID_RESULT_TAGCOUNTFLAG1, .kind = ZEL_KIND_RESULTS, .getInteger = tagCountFlag<1>},
    {.id = ZELID_RESULT_TAGCOUNTFLAG2, .kind = ZEL_KIND_RESULTS, .getInteger = tagCountFlag<2>},
    {.id = ZELID_RESULT_TAGCOUNTFLAG4, .kind = ZEL_KIND_RESULTS, .getInteger = tagCountFlag<4>},
    {.id = ZELID_RESULT_MSGSTYLEFLAGS,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::styleFlags>},
    {.id = ZELID_RESULT_MSGLEADING2,
     .kind = ZEL_KIND_RESULTS,
     .getInteger = messageInteger<&MessageView::leadingNumber2>},
};

// ---- The values read by a symbol of the last validation (ZELGetInteger4 / ZELGetString4) --------

const SymbolRow kSymbolValues[] = {
    {.id = ZELID_RESULT_SYMBOLVALUE,
     .kind = ZEL_KIND_RESULTS,
     .getString = [](Object& b, int32_t symbol, int32_t valueIndex) -> const char* {
         const ResultClass& r = results(b);
         if (!r.validation) {
             ZELErrorMessage(-6, "ZELGetString4", "could not get symbol value");
             return nullptr;
         }
         return symbolValue(*r.validation, symbol, valueIndex);
     }},
    {.id = ZELID_RESULT_SYMBOLINDEX,
     .kind = ZEL_KIND_RESULTS,
     .getInteger =
         [](Object& b, const char* name, int32_t& v) {
             const ResultClass& r = results(b);
             if (!r.validation)
                 return ZELErrorMessage(-6, "ZELGetInteger4", "could not get symbol index");
             v = name ? symbolIndex(*r.validation, name) : -1;
             return 0;
         }},
};

// ---- The flag words (ZELGetFlag / ZELSetFlag) -----------------------------------------------------
// One row per identifier: a word whose bits a mask tests or changes, a word read or stored whole,
// or a value of its own that the mask argument selects.

using WordOf = uint32_t& (*)(Object&);

template <WordOf Word> int32_t getBits(Object& b, int32_t mask) {
    return (Word(b) & static_cast<uint32_t>(mask)) ? 1 : 0;
}
template <WordOf Word> int32_t setBits(Object& b, int32_t mask, int32_t value) {
    applyBits(Word(b), static_cast<uint32_t>(mask), value);
    return 0;
}
template <WordOf Word> int32_t getWhole(Object& b, int32_t) {
    return static_cast<int32_t>(Word(b));
}
template <WordOf Word> int32_t setWhole(Object& b, int32_t, int32_t value) {
    Word(b) = static_cast<uint32_t>(value);
    return 0;
}
template <WordOf Word> constexpr FlagRow bitsRow(int32_t id, int32_t kind) {
    return {.id = id, .kind = kind, .getFlag = getBits<Word>, .setFlag = setBits<Word>};
}
template <WordOf Word> constexpr FlagRow wholeRow(int32_t id) {
    return {.id = id, .kind = ZEL_KIND_OPTIONS, .getFlag = getWhole<Word>, .setFlag = setWhole<Word>};
}

uint32_t& validatorWord(Object& b) {
    return options(b).validator.ValidatorFlags40;
}
uint32_t& outputWord(Object& b) {
    return options(b).validator.OutputFlags40;
}
uint32_t& entityWord(Object& b) {
    return options(b).validator.EntityFlags40;
}
uint32_t& generalWord(Object& b) {
    return options(b).general.Flags40;
}
uint32_t& networkWord(Object& b) {
    return options(b).network.Flags40;
}
uint32_t& toolsWord(Object& b) {
    return options(b).tools.Flags40;
}
uint32_t& loggingWord(Object& b) {
    return options(b).log.Flags40;
}
uint32_t& validatorWord250(Object& b) {
    return options(b).validator.ValidatorFlags250;
}
uint32_t& furtherWord(Object& b) {
    return options(b).validator.FurtherFlags;
}
template <int N> uint32_t& switchWord(Object& b) {
    return options(b).validator.Switches[N];
}
uint32_t& jobWord(Object& b) {
    return job(b).flags;
}
uint32_t& resultsWord(Object& b) {
    return results(b).flags;
}

const FlagRow kFlags[] = {
    bitsRow<validatorWord>(ZELID_OPT_VALIDATORFLAGS, ZEL_KIND_OPTIONS),
    bitsRow<outputWord>(ZELID_OPT_OUTPUTFLAGS, ZEL_KIND_OPTIONS),
    bitsRow<entityWord>(ZELID_OPT_ENTITYFLAGS, ZEL_KIND_OPTIONS),
    bitsRow<generalWord>(ZELID_OPT_GENERALFLAGS, ZEL_KIND_OPTIONS),
    bitsRow<networkWord>(ZELID_OPT_NETWORKFLAGS, ZEL_KIND_OPTIONS),
    bitsRow<toolsWord>(ZELID_OPT_TOOLSFLAGS, ZEL_KIND_OPTIONS),
    bitsRow<loggingWord>(ZELID_OPT_LOGGINGFLAGS, ZEL_KIND_OPTIONS),
    {.id = ZELID_OPT_SWITCH,
     .kind = ZEL_KIND_OPTIONS,
     .getFlag =
         [](Object& b, int32_t number) {
             uint32_t* word;
             uint32_t bit;
             if (!switchBit(options(b), number, word, bit))
                 return ZELError(-8, "ZELGetFlag", kBadFlag);
             return (*word & bit) ? 1 : 0;
         },
     .setFlag =
         [](Object& b, int32_t number, int32_t value) {
             uint32_t* word;
             uint32_t bit;
             if (!switchBit(options(b), number, word, bit))
                 return ZELError(-6, "ZELSetFlag", kBadFlag);
             applyBits(*word, bit, value);
             return 0;
         }},
    wholeRow<validatorWord>(ZELID_OPT_VALIDATORFLAGS_WORD),
    wholeRow<outputWord>(ZELID_OPT_OUTPUTFLAGS_WORD),
    wholeRow<entityWord>(ZELID_OPT_ENTITYFLAGS_WORD),
    wholeRow<generalWord>(ZELID_OPT_GENERALFLAGS_WORD),
    wholeRow<networkWord>(ZELID_OPT_NETWORKFLAGS_WORD),
    wholeRow<toolsWord>(ZELID_OPT_TOOLSFLAGS_WORD),
    wholeRow<loggingWord>(ZELID_OPT_LOGGINGFLAGS_WORD),
    wholeRow<switchWord<0>>(ZELID_OPT_SWITCHWORD1),
    wholeRow<switchWord<1>>(ZELID_OPT_SWITCHWORD2),
    wholeRow<switchWord<2>>(ZELID_OPT_SWITCHWORD3),
    wholeRow<switchWord<3>>(ZELID_OPT_SWITCHWORD4),
    wholeRow<switchWord<4>>(ZELID_OPT_SWITCHWORD5),
    wholeRow<switchWord<5>>(ZELID_OPT_SWITCHWORD6),
    bitsRow<validatorWord250>(ZELID_OPT_VALIDATORFLAGS250, ZEL_KIND_OPTIONS),
    bitsRow<furtherWord>(ZELID_OPT_FURTHERFLAGS, ZEL_KIND_OPTIONS),

    bitsRow<jobWord>(ZELID_JOB_FLAGS, ZEL_KIND_JOB),
    {.id = ZELID_JOB_ISPATHJOB,
     .kind = ZEL_KIND_JOB,
     .getFlag = [](Object& b, int32_t mask) { return mask == 1 ? (job(b).isPathJob() ? 1 : 0) : -6; }},

    bitsRow<resultsWord>(ZELID_RESULT_FLAGS, ZEL_KIND_RESULTS),
    {.id = ZELID_RESULT_STATUS,
     .kind = ZEL_KIND_RESULTS,
     .getFlag =
         [](Object& b, int32_t mask) {
             const ResultClass& r = results(b);
             if (mask == 1)
                 return (messageCount(r, MessageCount::Errors) > 0 ||
                         messageCount(r, MessageCount::Warnings) > 0)
                            ? 1
                            : 0;
             if (mask == 2)
                 return (r.flags & (ZEL_RESULT_STOPPED | ZEL_RESULT_OUTPUTFAILED)) ? 1 : 0;
             return -7;
         }},
};

} // namespace

std::span<const ValueRow> valueRows() {
    return kValues;
}
std::span<const IndexedRow> indexedRows() {
    return kIndexedValues;
}
std::span<const SymbolRow> symbolRows() {
    return kSymbolValues;
}
std::span<const FlagRow> flagRows() {
    return kFlags;
}

} // namespace zel::values
