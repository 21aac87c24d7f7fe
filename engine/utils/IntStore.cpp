#include "engine/utils/IntStore.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>

IntStore::IntStore() : data_(nullptr), count_(0), errorSlot_(-1), capacity_(0), growStep_(3) {}

IntStore::IntStore(int32_t count, int32_t fill) : IntStore() {
    resize(count, fill);
}

IntStore::IntStore(const IntStore& other) : IntStore() {
    *this = other;
}

IntStore& IntStore::operator=(const IntStore& other) {
    if (this == &other)
        return *this;
    growStep_ = other.growStep_;
    errorSlot_ = other.errorSlot_;
    count_ = 0;
    if (reserve(other.count_)) {
        if (other.count_)
            std::memcpy(data_, other.data_, sizeof(int32_t) * static_cast<size_t>(other.count_));
        count_ = other.count_;
    }
    return *this;
}

IntStore::~IntStore() {
    std::free(data_);
}

int32_t IntStore::reserve(int32_t n) {
    if (n <= capacity_)
        return 1;
    if (n < 0 || n > 0x10000000)
        return 0;
    int64_t cap = capacity_;
    // Fixed steps while small, then by half of itself: a long run of adds stays linear.
    while (cap < n)
        cap += std::max<int64_t>(growStep_, cap / 2);
    auto* fresh = static_cast<int32_t*>(std::malloc(sizeof(int32_t) * static_cast<size_t>(cap)));
    if (!fresh)
        return 0;
    if (count_)
        std::memcpy(fresh, data_, sizeof(int32_t) * static_cast<size_t>(count_));
    std::free(data_);
    data_ = fresh;
    capacity_ = static_cast<int32_t>(cap);
    return 1;
}

int32_t IntStore::resize(int32_t count, int32_t fill) {
    if (count < 0 || !reserve(count))
        return 0;
    for (int32_t i = count_; i < count; ++i)
        data_[i] = fill;
    count_ = count;
    return 1;
}

int32_t IntStore::set(int32_t i, int32_t value, bool grow, int32_t fill) {
    if (i < 0)
        return 0;
    if (i >= count_) {
        if (!grow || !resize(i + 1, fill))
            return 0;
    }
    data_[i] = value;
    return 1;
}

int32_t IntStore::get(int32_t i, int32_t* found) const {
    bool ok = i >= 0 && i < count_;
    if (found)
        *found = ok ? 1 : 0;
    return ok ? data_[i] : -1;
}

int32_t& IntStore::ref(int32_t i) {
    if (i >= 0 && i < count_)
        return data_[i];
    errorSlot_ = -1;
    return errorSlot_;
}

int32_t IntStore::value(int32_t i) const {
    return (i >= 0 && i < count_) ? data_[i] : -1;
}

int32_t IntStore::add(int32_t value, Compare compare) {
    if (!reserve(count_ + 1))
        return -1;
    int32_t at = count_;
    if (compare)
        while (at > 0 && compare(data_[at - 1], value) > 0)
            --at;
    std::memmove(data_ + at + 1, data_ + at, sizeof(int32_t) * static_cast<size_t>(count_ - at));
    data_[at] = value;
    ++count_;
    return at;
}

int32_t IntStore::removeValue(int32_t value, Compare compare) {
    int32_t at = -1;
    if (compare) {
        int32_t lo = 0, hi = count_ - 1;
        while (lo <= hi) {
            int32_t mid = lo + (hi - lo) / 2;
            int c = compare(data_[mid], value);
            if (c == 0) {
                at = mid;
                hi = mid - 1; // the first equal entry
            } else if (c < 0)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
    } else {
        for (int32_t i = 0; i < count_ && at < 0; ++i)
            if (data_[i] == value)
                at = i;
    }
    return at < 0 ? 0 : removeAt(at);
}

int32_t IntStore::removeAt(int32_t i) {
    if (i < 0 || i >= count_)
        return 0;
    std::memmove(data_ + i, data_ + i + 1, sizeof(int32_t) * static_cast<size_t>(count_ - i - 1));
    --count_;
    return 1;
}

bool IntStore::contains(int32_t value) const {
    for (int32_t i = 0; i < count_; ++i)
        if (data_[i] == value)
            return true;
    return false;
}

int32_t IntStore::fillMinusOne(int32_t n, int32_t flags) {
    if (n > count_ && !resize(n, -1))
        return 0;
    for (int32_t i = 0; i < n; ++i) {
        if (!(flags & 1) && data_[i] == -1)
            break;
        data_[i] = -1;
    }
    return 1;
}

int32_t IntStore::read(FILE* stream) {
    clear();
    int32_t head[2];
    if (!stream || std::fread(head, sizeof(int32_t), 2, stream) != 2 || head[0] != 1 || head[1] < 0)
        return 0;
    // Read in bounded chunks so a hostile count cannot make us allocate without a matching file.
    for (int32_t done = 0; done < head[1];) {
        int32_t chunk[256];
        int32_t want = head[1] - done < 256 ? head[1] - done : 256;
        if (std::fread(chunk, sizeof(int32_t), static_cast<size_t>(want), stream) !=
            static_cast<size_t>(want)) {
            clear();
            return 0;
        }
        if (!reserve(count_ + want)) {
            clear();
            return 0;
        }
        std::memcpy(data_ + count_, chunk, sizeof(int32_t) * static_cast<size_t>(want));
        count_ += want;
        done += want;
    }
    return 1;
}
