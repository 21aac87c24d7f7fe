#pragma once
// The lines of the document a run reads. The job runner lets the run read the job's own line
// store in place (a large document is not copied again); tests hand over lines of their own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/utils/FileStore.h"

namespace zel::run {

class DocumentLines {
public:
    DocumentLines() = default;
    DocumentLines(std::vector<std::string> lines) { *this = std::move(lines); } // NOLINT: tests pass lines
    DocumentLines(const DocumentLines&) = delete;
    DocumentLines& operator=(const DocumentLines&) = delete;
    DocumentLines(DocumentLines&&) = default;
    DocumentLines& operator=(DocumentLines&&) = default;

    DocumentLines& operator=(std::vector<std::string> lines);
    // Reads the store's lines where they stand: the store must outlive the run and must not be
    // changed while it runs.
    void refer(FileStore& store);

    size_t size() const { return store_ ? storeLines_ : owned_.size(); }
    // Where the store's file held NUL characters (blanks in the lines); none for lines of one's own.
    const std::vector<FileStore::Position>& nulCharacters() const;
    bool empty() const { return size() == 0; }
    // The lines were read from a file (not handed over one by one).
    bool readFromFile() const { return store_ && store_->property(FileStore::FileSize) >= 0; }
    std::string_view operator[](size_t i) const;

private:
    std::vector<std::string> owned_;
    const FileStore* store_ = nullptr;
    size_t storeLines_ = 0;
};

// Size in bytes of a document given as lines: every line with one line end.
int64_t documentByteSize(const DocumentLines& lines);

} // namespace zel::run
