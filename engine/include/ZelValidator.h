#pragma once
// The validation engine's exported interface: 42 functions that pass only integers and strings,
// and the value identifiers they take. The engine library exports these by their plain names; the
// editor binds them by name at run time and includes this header for the types and identifiers.
// A string returned by the engine belongs to it and must be copied at once.

#include <windows.h>

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define ZELAPI __stdcall
#else
#define ZELAPI
#endif

// Kind bits of ZELGetNewHandle.
constexpr int32_t ZEL_HANDLE_OPTIONS = 1;
constexpr int32_t ZEL_HANDLE_JOB = 2;
constexpr int32_t ZEL_HANDLE_RESULTS = 4;
constexpr int32_t ZEL_HANDLE_READ_REGISTRY = 8;       // options only
constexpr int32_t ZEL_HANDLE_LOAD_CONFIGURATION = 16; // options, only together with 8

// Flags of ZELFreeHandle and ZELHandle.
constexpr int32_t ZEL_FREE_ALL = 1;
constexpr int32_t ZEL_LOCK = 1;
constexpr int32_t ZEL_UNLOCK = 2;

// Object kinds kept in every handle object.
constexpr int32_t ZEL_KIND_OPTIONS = 0;
constexpr int32_t ZEL_KIND_JOB = 1;
constexpr int32_t ZEL_KIND_RESULTS = 2;

// Engine version as ZELGetInteger3 reports it (version times 10000).
constexpr int32_t ZEL_ENGINE_VERSION = 30000;

// Message kinds (results 15000, global 27000).
constexpr int32_t ZEL_MSG_ERROR = 1;
constexpr int32_t ZEL_MSG_WARNING = 2;
constexpr int32_t ZEL_MSG_COMMENT = 3;
constexpr int32_t ZEL_MSG_MESSAGE = 4;

// Flag words (ZELGetFlag / ZELSetFlag). "BIT" identifiers test or change the bits of a mask,
// "WORD" identifiers read or store the whole word.
constexpr int32_t ZELID_OPT_VALIDATORFLAGS = 1000;
constexpr int32_t ZELID_OPT_OUTPUTFLAGS = 1001;
constexpr int32_t ZELID_OPT_ENTITYFLAGS = 1002;
constexpr int32_t ZELID_OPT_GENERALFLAGS = 1003;
constexpr int32_t ZELID_OPT_NETWORKFLAGS = 1004;
constexpr int32_t ZELID_OPT_TOOLSFLAGS = 1005;
constexpr int32_t ZELID_OPT_LOGGINGFLAGS = 1006;
constexpr int32_t ZELID_OPT_SWITCH = 1007; // the mask argument is the switch number 1-180 or 500-529
constexpr int32_t ZELID_OPT_VALIDATORFLAGS_WORD = 1008;
constexpr int32_t ZELID_OPT_OUTPUTFLAGS_WORD = 1009;
constexpr int32_t ZELID_OPT_ENTITYFLAGS_WORD = 1010;
constexpr int32_t ZELID_OPT_GENERALFLAGS_WORD = 1011;
constexpr int32_t ZELID_OPT_NETWORKFLAGS_WORD = 1012;
constexpr int32_t ZELID_OPT_TOOLSFLAGS_WORD = 1013;
constexpr int32_t ZELID_OPT_LOGGINGFLAGS_WORD = 1014;
constexpr int32_t ZELID_OPT_SWITCHWORD1 = 1015; // through 1020 for switch words 1-6
constexpr int32_t ZELID_OPT_SWITCHWORD2 = 1016;
constexpr int32_t ZELID_OPT_SWITCHWORD3 = 1017;
constexpr int32_t ZELID_OPT_SWITCHWORD4 = 1018;
constexpr int32_t ZELID_OPT_SWITCHWORD5 = 1019;
constexpr int32_t ZELID_OPT_SWITCHWORD6 = 1020;
constexpr int32_t ZELID_OPT_VALIDATORFLAGS250 = 1021;
constexpr int32_t ZELID_OPT_FURTHERFLAGS = 1022;
constexpr int32_t ZELID_JOB_FLAGS = 2000;
constexpr int32_t ZELID_JOB_ISPATHJOB = 2001; // mask 1
constexpr int32_t ZELID_RESULT_FLAGS = 3000;
constexpr int32_t ZELID_RESULT_STATUS = 3001; // mask 1 errors or warnings; mask 2 stopped or output failed
constexpr int32_t ZELID_GLOBAL_FLAGS = 26000; // ZELGetFlag2 / ZELSetFlag2

// Bits of the general option word (1003) and of the job (2000) and results (3000) flag words.
constexpr uint32_t ZEL_GENERAL_USEVALFILES = 0x1;
constexpr uint32_t ZEL_GENERAL_SAVECONFIGYES = 0x20;
constexpr uint32_t ZEL_GENERAL_NOPROGRESSUNLESSFORCED = 0x40;
constexpr uint32_t ZEL_JOB_RECORDMODE = 0x1; // KEY=VALUE records instead of readable output
constexpr uint32_t ZEL_JOB_WRITEOUTPUT = 0x8;
constexpr uint32_t ZEL_JOB_INPUTISFILE = 0x10;
constexpr uint32_t ZEL_JOB_VALCHOICESET = 0x200; // the job chooses ".val" output files itself
constexpr uint32_t ZEL_JOB_VALCHOICE = 0x400;    // ... and this is its choice
constexpr uint32_t ZEL_JOB_TEXTFROMEDITOR = 0x2000;
constexpr uint32_t ZEL_JOB_LISTINGTOSTORE2 = 0x8000; // the structure listing into line store 2
constexpr uint32_t ZEL_JOB_SHOWPROGRESS = 0x20000;
constexpr uint32_t ZEL_JOB_HIDEPROGRESSAFTER = 0x40000;
constexpr uint32_t ZEL_JOB_DEFAULTFLAGS = 0x60000;
constexpr uint32_t ZEL_RESULT_STOPPED = 0x1;
constexpr uint32_t ZEL_RESULT_OUTPUTFAILED = 0x4;

// ZELRunJob's fourth argument is the longest time, in milliseconds, that the run waits for the
// engine's locks while another program holds them (0: as long as that program lives). When that
// time passes the run is not made and ZELRunJob answers ZEL_RUN_BUSY, without a box: the caller
// may try again, keeping its windows alive in between.
constexpr int32_t ZEL_RUN_BUSY = -10;

// Flags of ZELHTMLConfiguration.
constexpr int32_t ZEL_CFG_LOADDEFAULT = 0x1;   // load the default configuration file (7000)
constexpr int32_t ZEL_CFG_EMPTY = 0x2;         // empty the store
constexpr int32_t ZEL_CFG_DEFAULTS = 0x4;      // the built-in default records
constexpr int32_t ZEL_CFG_RESET = 0x8;         // reset before anything else
constexpr int32_t ZEL_CFG_OPENDIALOG = 0x80;   // ask for a file to load
constexpr int32_t ZEL_CFG_REPORT = 0x200;      // report the outcome of a load in a box
constexpr int32_t ZEL_CFG_ERRORBOX = 0x800;    // the box of a failed load
constexpr int32_t ZEL_CFG_SUCCESSBOX = 0x1000; // the box of a successful load
constexpr int32_t ZEL_CFG_LOADSECOND = 0x2000; // load the second configuration name
constexpr int32_t ZEL_CFG_SILENT = 0x4000;     // no box at all
constexpr int32_t ZEL_CFG_REFUSED = 0x10 | 0x20 | 0x40 | 0x100 | 0x400;

// Flags of ZELOpenValidatorOptions.
constexpr int32_t ZEL_OPTIONS_SAVEONOK = 0x1;    // a dialog ended with OK writes the options to the registry
constexpr int32_t ZEL_OPTIONS_FILLFLAG = 0x2;    // passed on to the filling of the dialog
constexpr int32_t ZEL_OPTIONS_OWNERWINDOW = 0x4; // the window owns the dialog while it is built

// Flags of ZELWriteToRegistry.
constexpr int32_t ZEL_WRITE_SUCCESSBOX = 0x1; // a box tells that the options were saved

// Integers (ZELGetInteger / ZELSetInteger).
constexpr int32_t ZELID_OPT_LINELENGTH = 4000;
constexpr int32_t ZELID_OPT_MAXIMUMERRORS = 4001;
constexpr int32_t ZELID_OPT_MAXIMUMWARNINGS = 4002;
constexpr int32_t ZELID_OPT_NETWORKWORD = 4003;
constexpr int32_t ZELID_OPT_PROGRESSWINDOW = 4004; // set only
constexpr int32_t ZELID_OPT_CONFIGITEMCOUNT = 4005;
constexpr int32_t ZELID_OPT_CONFIGFLAGS = 4006;
constexpr int32_t ZELID_OPT_FURTHERINTEGER = 4007;
constexpr int32_t ZELID_JOB_INPUTMODE = 5000;  // 2 text lines (default), 1 a file
constexpr int32_t ZELID_JOB_TYPE = 5001;       // 1-5 path jobs, 6 validation
constexpr int32_t ZELID_JOB_LINEEND = 5002;    // set only
constexpr int32_t ZELID_JOB_CLEARPATHS = 5003; // set only, value 0
constexpr int32_t ZELID_JOB_INTEGER = 5004;
constexpr int32_t ZELID_RESULT_ERRORS = 6000;
constexpr int32_t ZELID_RESULT_WARNINGS = 6001;
constexpr int32_t ZELID_RESULT_LINES1 = 6002;
constexpr int32_t ZELID_RESULT_RECORDS = 6003;
constexpr int32_t ZELID_RESULT_LINES2 = 6004;
constexpr int32_t ZELID_RESULT_IGNORED = 6005; // set only, ignored
constexpr int32_t ZELID_RESULT_TAGCOUNTROWS = 6006;
constexpr int32_t ZELID_RESULT_MESSAGES = 6007;
constexpr int32_t ZELID_RESULT_COMMENTS = 6008;
constexpr int32_t ZELID_RESULT_RESERVED = 6009;

constexpr int32_t ZEL_JOBTYPE_VALIDATE = 6;
constexpr int32_t ZEL_INPUTMODE_FILE = 1;
constexpr int32_t ZEL_INPUTMODE_TEXT = 2;

// Strings (ZELGetString / ZELSetString).
constexpr int32_t ZELID_OPT_CONFIGFILE = 7000;
constexpr int32_t ZELID_OPT_CONFIGHEADER1 = 7001;
constexpr int32_t ZELID_OPT_NETWORKSTRING1 = 7002;
constexpr int32_t ZELID_OPT_NETWORKSTRING2 = 7003;
constexpr int32_t ZELID_OPT_OUTPUTFILE = 7004;
constexpr int32_t ZELID_OPT_OUTPUTVIEWER = 7005;
constexpr int32_t ZELID_OPT_NETWORKSTRING3 = 7006;
constexpr int32_t ZELID_OPT_NETWORKSTRING4 = 7007;
constexpr int32_t ZELID_OPT_LOGFILE = 7008;
constexpr int32_t ZELID_OPT_NETWORKNUMBER = 7009;
constexpr int32_t ZELID_OPT_SECONDCONFIGFILE = 7010;
constexpr int32_t ZELID_JOB_INPUT = 8000;
constexpr int32_t ZELID_JOB_OUTPUTFILE = 8001;
constexpr int32_t ZELID_JOB_ADDPATH = 8002; // set only: one path or one line of text
constexpr int32_t ZELID_JOB_INPUTEXTENSION = 8003;
constexpr int32_t ZELID_RESULT_ADDLINES1 = 9000;
constexpr int32_t ZELID_RESULT_CONTINUELINES1 = 9001;
constexpr int32_t ZELID_RESULT_ADDLINES2 = 9002;
constexpr int32_t ZELID_RESULT_CONTINUELINES2 = 9003;

// Indexed strings (ZELGetString2). Line and path indexes count from 0, messages from 1.
constexpr int32_t ZELID_JOB_PATH = 10000;
constexpr int32_t ZELID_OPT_CONFIGITEM = 11000;
constexpr int32_t ZELID_RESULT_LINE1 = 12000;
constexpr int32_t ZELID_RESULT_MSGTEXT = 12001;
constexpr int32_t ZELID_RESULT_LINE2 = 12002;
constexpr int32_t ZELID_RESULTTAGCOUNTTAGNAME = 12003;
constexpr int32_t ZELID_RESULT_MSGTEXT2 = 12004;

// Indexed integers of a results object (ZELGetInteger2 / ZELSetInteger2).
constexpr int32_t ZELID_RESULT_MSGKIND = 15000;
constexpr int32_t ZELID_RESULT_MSGLINE = 15001;
constexpr int32_t ZELID_RESULT_MSGCHARACTER = 15002;
constexpr int32_t ZELID_RESULT_MSGLENGTH = 15003;
constexpr int32_t ZELID_RESULT_MSGNUMBER = 15004;
constexpr int32_t ZELID_RESULT_MSGLEADING1 = 15005;
constexpr int32_t ZELID_RESULTTAGCOUNTOPEN = 15006;
constexpr int32_t ZELID_RESULTTAGCOUNTCLOSE = 15007;
constexpr int32_t ZELID_RESULT_SYMBOLVALUECOUNT = 15008;
constexpr int32_t ZELID_RESULTTAGCOUNTTHIRD = 15009;
constexpr int32_t ZELID_RESULT_TAGCOUNTFLAG1 = 15010;
constexpr int32_t ZELID_RESULT_TAGCOUNTFLAG2 = 15011;
constexpr int32_t ZELID_RESULT_TAGCOUNTFLAG4 = 15012;
constexpr int32_t ZELID_RESULT_MSGSTYLEFLAGS = 15013;
constexpr int32_t ZELID_RESULT_MSGLEADING2 = 15014;

// Global values.
constexpr int32_t ZELID_VERSION = 16000;            // ZELGetInteger3
constexpr int32_t ZELID_HIDEPROGRESS = 16006;       // ZELSetInteger3
constexpr int32_t ZELID_VERSIONTEXT = 17000;        // ZELGetString3: "3.0000"
constexpr int32_t ZELID_VERSIONTEXTSHORT = 17001;   // ZELGetString3: "3.00"
constexpr int32_t ZELID_RESULT_SYMBOLVALUE = 20000; // ZELGetString4
constexpr int32_t ZELID_RESULT_SYMBOLINDEX = 23000; // ZELGetInteger4
constexpr int32_t ZELID_MSGTYPESTRING = 27000;      // ZELGetString6: name of a message kind
constexpr int32_t ZELID_MSGSTYLESTRING = 27001;     // ZELGetString6: "[CSS]" for style bit 1

extern "C" {
int32_t ZELAPI ZELGetNewHandle(int32_t kind);
int32_t ZELAPI ZELFreeHandle(int32_t handle, int32_t flags);
int32_t ZELAPI ZELHandle(int32_t handle, int32_t flags);
int32_t ZELAPI ZELGetNumberOfHandles(void);

int32_t ZELAPI ZELGetFlag(int32_t handle, int32_t identifier, int32_t mask);
int32_t ZELAPI ZELSetFlag(int32_t handle, int32_t identifier, int32_t mask, int32_t value);
int32_t ZELAPI ZELGetFlag2(int32_t identifier, int32_t mask);
int32_t ZELAPI ZELSetFlag2(int32_t identifier, int32_t mask, int32_t value);

int32_t ZELAPI ZELGetInteger(int32_t handle, int32_t identifier, int32_t* value);
int32_t ZELAPI ZELGetIntegerEZ(int32_t handle, int32_t identifier);
int32_t ZELAPI ZELGetInteger2(int32_t handle, int32_t identifier, int32_t index, int32_t* value);
int32_t ZELAPI ZELGetInteger2EZ(int32_t handle, int32_t identifier, int32_t index);
int32_t ZELAPI ZELGetInteger3(int32_t identifier, int32_t* value);
int32_t ZELAPI ZELGetInteger3EZ(int32_t identifier);
int32_t ZELAPI ZELGetInteger4(int32_t handle, int32_t identifier, const char* name, int32_t* value);
int32_t ZELAPI ZELGetInteger4EZ(int32_t handle, int32_t identifier, const char* name);
int32_t ZELAPI ZELGetInteger5(int32_t handle, int32_t identifier, int32_t index1, int32_t index2,
                              int32_t* value);
int32_t ZELAPI ZELGetInteger5EZ(int32_t handle, int32_t identifier, int32_t index1, int32_t index2);
int32_t ZELAPI ZELGetInteger6(int32_t handle, int32_t identifier, const char* name, int32_t index,
                              int32_t* value);
int32_t ZELAPI ZELGetInteger6EZ(int32_t handle, int32_t identifier, const char* name, int32_t index);
int32_t ZELAPI ZELSetInteger(int32_t handle, int32_t identifier, int32_t value);
int32_t ZELAPI ZELSetInteger2(int32_t handle, int32_t identifier, int32_t index, int32_t value);
int32_t ZELAPI ZELSetInteger3(int32_t identifier, int32_t value);
int32_t ZELAPI ZELSetInteger6(int32_t handle, int32_t identifier, const char* name, int32_t index,
                              int32_t value);

const char* ZELAPI ZELGetString(int32_t handle, int32_t identifier);
const char* ZELAPI ZELGetString2(int32_t handle, int32_t identifier, int32_t index);
const char* ZELAPI ZELGetString3(int32_t identifier);
const char* ZELAPI ZELGetString4(int32_t handle, int32_t identifier, int32_t symbolIndex, int32_t valueIndex);
const char* ZELAPI ZELGetString5(int32_t handle, int32_t identifier, int32_t index1, int32_t index2);
const char* ZELAPI ZELGetString6(int32_t identifier, int32_t argument);
int32_t ZELAPI ZELSetString(int32_t handle, int32_t identifier, const char* text);
int32_t ZELAPI ZELSetString3(int32_t handle, int32_t identifier, int32_t index, const char* text);
int32_t ZELAPI ZELSetString7(int32_t handle, int32_t identifier, int32_t index1, int32_t index2,
                             const char* text);
int32_t ZELAPI ZELSetPointer(int32_t handle, int32_t identifier, void* pointer);

int32_t ZELAPI ZELRunJob(HWND window, int32_t optionsHandle, int32_t jobHandle, int32_t reserved);
int32_t ZELAPI ZELHTMLConfiguration(HWND window, int32_t optionsHandle, int32_t flags);
int32_t ZELAPI ZELOpenValidatorOptions(HWND window, int32_t optionsHandle, int32_t flags);
int32_t ZELAPI ZELReadFromRegistry(int32_t optionsHandle, int32_t reserved);
int32_t ZELAPI ZELWriteToRegistry(HWND window, int32_t optionsHandle, int32_t flags);
int32_t ZELAPI ZELOpenConfigurationEditor(HWND window, int32_t optionsHandle, int32_t flags);
int32_t ZELAPI ZELSpellCheck(int32_t argument);
int32_t ZELAPI ZELSpellCheck2(int32_t argument1, int32_t argument2, int32_t argument3);
}

// The 42 export names, in the editor's binding order.
inline constexpr const char* ZEL_EXPORT_NAMES[42] = {"ZELFreeHandle",
                                                     "ZELHandle",
                                                     "ZELGetFlag",
                                                     "ZELGetFlag2",
                                                     "ZELGetInteger",
                                                     "ZELGetIntegerEZ",
                                                     "ZELGetInteger2",
                                                     "ZELGetInteger2EZ",
                                                     "ZELGetInteger3",
                                                     "ZELGetInteger3EZ",
                                                     "ZELGetInteger4",
                                                     "ZELGetInteger4EZ",
                                                     "ZELGetInteger5",
                                                     "ZELGetInteger5EZ",
                                                     "ZELGetInteger6",
                                                     "ZELGetInteger6EZ",
                                                     "ZELGetNewHandle",
                                                     "ZELGetNumberOfHandles",
                                                     "ZELGetString",
                                                     "ZELGetString2",
                                                     "ZELGetString3",
                                                     "ZELGetString4",
                                                     "ZELGetString5",
                                                     "ZELGetString6",
                                                     "ZELHTMLConfiguration",
                                                     "ZELOpenConfigurationEditor",
                                                     "ZELOpenValidatorOptions",
                                                     "ZELReadFromRegistry",
                                                     "ZELRunJob",
                                                     "ZELSetFlag",
                                                     "ZELSetFlag2",
                                                     "ZELSetInteger",
                                                     "ZELSetInteger2",
                                                     "ZELSetInteger3",
                                                     "ZELSetInteger6",
                                                     "ZELSetPointer",
                                                     "ZELSetString",
                                                     "ZELSetString3",
                                                     "ZELSetString7",
                                                     "ZELSpellCheck",
                                                     "ZELSpellCheck2",
                                                     "ZELWriteToRegistry"};
