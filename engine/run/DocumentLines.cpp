#include "engine/run/DocumentLines.h"

#include "engine/utils/FileStore.h"

namespace zel::run {

DocumentLines& DocumentLines::operator=(std::vector<std::string> lines) {
    owned_ = std::move(lines);
    store_ = nullptr;
    storeLines_ = 0;
    return *this;
}

void DocumentLines::refer(FileStore& store) {
    owned_.clear();
    store_ = &store;
    const int32_t count = store.lineCount();
    storeLines_ = static_cast<size_t>(count);
    // The store is left on its last line, as when the run read every line up front.
    if (count > 0)
        store.lineNoMove(count - 1);
}

std::string_view DocumentLines::operator[](size_t i) const {
    if (!store_)
        return owned_[i];
    const char* line = store_->lineAt(static_cast<int32_t>(i));
    return line ? line : "";
}

const std::vector<FileStore::Position>& DocumentLines::nulCharacters() const {
    static const std::vector<FileStore::Position> none;
    return store_ ? store_->nulCharacters() : none;
}

int64_t documentByteSize(const DocumentLines& lines) {
    int64_t size = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        size += static_cast<int64_t>(lines[i].size()) + 1;
    return size;
}

} // namespace zel::run
