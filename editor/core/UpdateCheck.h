#pragma once
// The periodic update check: asks the maker's update script over HTTP whether a newer version
// exists and acts on its answer lines (boxes, and web addresses opened with the shell). The
// request runs on the GUI thread and pumps messages, so the windows stay usable; only one check
// runs at a time, a silent server ends in the client's time-out, and the progress window's
// Cancel button (or CancelUpdateCheck) aborts the request.

#include "editor/core/EngineNetwork.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>
#include <string>

class THttpClient;

class UpdateCheckState {
public:
    UpdateCheckState();
    UpdateCheckState(const UpdateCheckState&) = delete;
    UpdateCheckState& operator=(const UpdateCheckState&) = delete;

    StrStore configVersion = "NA";         // the engine configuration's version text
    NetworkConfigClass* network = nullptr; // not owned; null sends without proxy settings
    int32_t lastCheckDay = 0;
    StrStore tempFolder; // without a trailing backslash
    // Scheme, host and optional port of the update script ("http://host[:port]").
    std::string scriptServer = "http://www.nortavia.com";
    // Milliseconds without progress after which the request fails.
    int32_t timeoutMs = 30000;

    // While a check runs: its client (for cancelling) and whether the user cancelled.
    THttpClient* activeClient = nullptr;
    bool cancelled = false;
    bool answerTooLarge = false; // the answer passed ZelUpdateAnswerLimit and was abandoned
};

// The state record of the running program, owned by the application-state record (prgclass);
// while there is none, a process-wide stand-in.
UpdateCheckState& UpdateCheck();

constexpr const char* ZelRegistryControl = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Control";
constexpr const char* ZelUpdateScriptPath = "/php/updatechecklite.php3";
constexpr const char* ZelUpdateAnswerFile = "\\ZELUpdateCheck.txt";
// An answer is a few lines; one larger than this is not an answer, and is not written to disk.
constexpr int32_t ZelUpdateAnswerLimit = 64 * 1024;

// Flag bits of RunUpdateCheck.
constexpr int32_t UpdateCheckFromMenu = 4;
constexpr int32_t UpdateCheckFromAbout = 8;
constexpr int32_t UpdateCheckAlreadyAsked = 64;
constexpr int32_t UpdateCheckIdleOffer = 96;

// With flag 1: reads "LastUpdateCheck" (today's day written when missing) into lastCheckDay and
// returns it, or -1 when the registry failed. Other flags: 0, nothing read.
int32_t LoadLastUpdateCheck(int32_t flags);
// With flag 16: records today as the last check day and stores it. 1, or 0 when no registry
// object could be had.
int32_t StoreLastUpdateCheck(int32_t flags);
// True when a check is due on the given day: 14 days or more since the last one, or the stored day
// lies in the future.
bool IsUpdateCheckDue(int32_t lastDay, int32_t today);

// The check itself. Returns 1 (also when it was declined, failed, cancelled, or refused because
// another check is running).
int32_t RunUpdateCheck(HWND owner, int32_t flags);
// True while a check waits for its answer.
bool IsUpdateCheckRunning();
// Aborts the running check (no failure box follows); false when none runs.
bool CancelUpdateCheck();

// Copies the agent text and, when bit 0 of the flag word is set, the proxy settings into the client.
int32_t ApplyNetworkConfig(const NetworkConfigClass* network, THttpClient* client);
// The query's encoding: letters and digits stay, a space is "+", anything else "%" and two hex digits.
std::string UpdateCheckURLEncode(const std::string& text);
std::string BuildUpdateCheckURL(const UpdateCheckState& state, int32_t flags);
// True for an address the answer may open: http:// or https:// followed by a host, and no
// blanks or control characters anywhere.
bool IsOpenableWebAddress(const std::string& address);
