// cfgc: compiles configuration text sources into the binary configuration file.
//
//   cfgc [--version N] [--damage HOW] output.cfg source.txt...
//
// The sources are read in order as one text. --version writes an older file version (1-6);
// --damage writes a deliberately broken file for the loader's tests (see damagedCfgFile).

#include "engine/config/CfgFile.h"
#include "engine/config/CfgSource.h"
#include "engine/config/CfgStore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A build tool must never stop on a box.
void printStoreError(const char* function, const char* text) {
    std::fprintf(stderr, "cfgc: store error in %s: %s\n", function, text);
}

int usage() {
    std::fprintf(stderr, "usage: cfgc [--version N] [--damage HOW] output.cfg source.txt...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    setCfgStoreErrorHandler(printStoreError);
    int32_t version = CFG_CURRENT_VERSION;
    std::string damage;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 && i + 1 < argc) {
            version = std::atoi(argv[++i]);
            if (version < 1 || version > CFG_CURRENT_VERSION)
                return usage();
        } else if (std::strcmp(argv[i], "--damage") == 0 && i + 1 < argc) {
            damage = argv[++i];
        } else {
            return usage();
        }
    }
    if (argc - i < 2)
        return usage();
    const char* output = argv[i++];

    std::string text;
    for (; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cfgc: cannot open %s\n", argv[i]);
            return 1;
        }
        std::ostringstream buf;
        buf << in.rdbuf();
        text += buf.str();
        text += '\n';
    }

    CfgStore store;
    std::string error;
    if (!compileCfgSource(text, store, error)) {
        std::fprintf(stderr, "cfgc: %s\n", error.c_str());
        return 1;
    }
    if (!damage.empty()) {
        std::vector<uint8_t> bytes = damagedCfgFile(store, damage);
        FILE* f = bytes.empty() ? nullptr : std::fopen(output, "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
            std::fprintf(stderr, "cfgc: cannot write the damaged file %s\n", output);
            if (f)
                std::fclose(f);
            return 1;
        }
        std::fclose(f);
        return 0;
    }
    if (!CfgWriter::writeFile(store, version, output)) {
        std::fprintf(stderr, "cfgc: cannot write %s\n", output);
        return 1;
    }
    std::printf("cfgc: %s: %d elements, %d attributes, %d values, %d categories, %d entities\n", output,
                store.getCount(CFG_TAGNAME), store.getCount(CFG_ATTRIBUTE), store.getCount(CFG_ATTVALUE),
                store.getCount(CFG_CATEGORY), store.getCount(CFG_ENTITY));
    return 0;
}
