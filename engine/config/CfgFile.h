#pragma once
// The binary configuration file: reading versions 1 to 6, writing any of them.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/config/CfgStore.h"

constexpr uint32_t CFG_MAX_STRING = 100000;
// A configuration file larger than this is not one of ours.
constexpr size_t CFG_MAX_FILE = 64u * 1024u * 1024u;

class CfgReader {
public:
    // Reads the bytes into store (which must be empty); on failure returns false with why.
    static bool read(CfgStore& store, const uint8_t* data, size_t size, std::string& why);
};

// Where the parts of a written file begin.
struct CfgLayout {
    size_t counts = 0;  // the six record counts
    size_t headers = 0; // the first header string (if the version has any)
    size_t ownList = 0; // the store's own list
    size_t order[CFG_KINDS] = {};
    size_t records = 0; // the first record
};

class CfgWriter {
public:
    // Serialises the store in the given file version (1 to 6). Older versions drop what they
    // cannot hold. Returns an empty vector for a bad version.
    static std::vector<uint8_t> write(const CfgStore& store, int32_t version, CfgLayout* layout = nullptr);
    static bool writeFile(const CfgStore& store, int32_t version, const char* path);
};

// Deliberately broken files for the loader's tests: writes the store in version 6 and then
// breaks it as named ("truncate:N", "version", "hugecount", "hugelist", "badmarker",
// "badorder", "duporder", "longstring", "recordversion", "badref"). Empty for an unknown name.
std::vector<uint8_t> damagedCfgFile(CfgStore& store, const std::string& how);
