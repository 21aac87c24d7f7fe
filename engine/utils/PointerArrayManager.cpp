#include "engine/utils/PointerArrayManager.h"

#include <cstdlib>
#include <cstring>

PointerArrayManager::PointerArrayManager() : PointerArrayManager(nullptr) {}

PointerArrayManager::PointerArrayManager(Deleter deleter)
    : slots_(nullptr), aux_(nullptr), deleter_(deleter), altDeleter_(nullptr), copier_(nullptr) {
    props_.resize(7, 0);
    props_.set(Limit, 1000000);
    props_.set(GrowStep, 10);
    props_.set(Current, -1);
    props_.set(Sorted, 1);
}

PointerArrayManager::~PointerArrayManager() {
    clear(true);
    std::free(slots_);
    delete aux_;
}

int32_t PointerArrayManager::setGrowStep(int32_t step) {
    if (step < 1)
        return 0;
    props_.set(GrowStep, step);
    return 1;
}

int32_t PointerArrayManager::ensure(int32_t n) {
    int32_t old = capacity();
    if (old >= n)
        return 1;
    int64_t cap = old;
    int32_t step = props_.value(GrowStep);
    while (cap < n)
        cap += step;
    if (old >= 100001)
        cap += 100000;
    else if (old >= 10001)
        cap += 10000;
    else if (old >= 1001)
        cap += 1000;
    else if (old > 100)
        cap += 100;
    if (cap > 0x10000000)
        return 0;
    auto** fresh = static_cast<void**>(std::malloc(sizeof(void*) * static_cast<size_t>(cap)));
    if (!fresh)
        return 0;
    if (old)
        std::memcpy(fresh, slots_, sizeof(void*) * static_cast<size_t>(old));
    for (int64_t i = old; i < cap; ++i)
        fresh[i] = nullptr;
    std::free(slots_);
    slots_ = fresh;
    props_.set(Capacity, static_cast<int32_t>(cap));
    return 1;
}

int PointerArrayManager::deleteElement(void* p) {
    if (!p)
        return 1;
    if (altDeleter_)
        return altDeleter_(p);
    if (deleter_)
        return deleter_(p);
    return 0;
}

void* PointerArrayManager::at(int32_t i) const {
    if (i < 0 || i >= capacity())
        return nullptr;
    if (mode() == ListMode && i >= count())
        return nullptr;
    return slots_[i];
}

int32_t PointerArrayManager::setPointer(int32_t i, void* p, bool deleteOld, bool grow, bool keepMode) {
    if (!keepMode)
        props_.set(Mode, ArrayMode);
    if (i < 0)
        return 0;
    if (i >= capacity() && (!grow || !ensure(i + 1)))
        return 0;
    if (deleteOld && slots_[i] && slots_[i] != p)
        deleteElement(slots_[i]);
    slots_[i] = p;
    props_.set(Sorted, 0);
    return 1;
}

int32_t PointerArrayManager::append(void* p) {
    if (mode() == ArrayMode)
        return -1;
    int32_t n = count();
    if (!ensure(n + 1))
        return -1;
    slots_[n] = p;
    props_.set(Count, n + 1);
    props_.set(Sorted, 0);
    return n;
}

int32_t PointerArrayManager::insertSorted(void* p, Compare compare) {
    if (mode() == ArrayMode || !compare)
        return -1;
    int32_t n = count();
    if (!ensure(n + 1))
        return -1;
    int32_t lo = 0, hi = n;
    while (lo < hi) {
        int32_t mid = lo + (hi - lo) / 2;
        if (compare(slots_[mid], p) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    std::memmove(slots_ + lo + 1, slots_ + lo, sizeof(void*) * static_cast<size_t>(n - lo));
    slots_[lo] = p;
    props_.set(Count, n + 1);
    return lo;
}

int32_t PointerArrayManager::find(const void* p) const {
    int32_t n = usableLength();
    for (int32_t i = 0; i < n; ++i)
        if (slots_[i] == p)
            return i;
    return -1;
}

int32_t PointerArrayManager::afterLastOccupied() const {
    for (int32_t i = usableLength(); i > 0; --i)
        if (slots_[i - 1])
            return i;
    return 0;
}

int32_t PointerArrayManager::occupiedCount() const {
    int32_t n = usableLength(), c = 0;
    for (int32_t i = 0; i < n; ++i)
        if (slots_[i])
            ++c;
    return c;
}

void PointerArrayManager::compact(int32_t flags) {
    int32_t n = usableLength(), j = 0;
    for (int32_t i = 0; i < n; ++i)
        if (slots_[i])
            slots_[j++] = slots_[i];
    for (int32_t i = j; i < n; ++i)
        slots_[i] = nullptr;
    props_.set(Current, -1);
    if (flags & 1) {
        props_.set(Mode, ListMode);
        props_.set(Count, j);
    }
}

void PointerArrayManager::clear(bool useDeleter) {
    int32_t n = capacity();
    for (int32_t i = 0; i < n; ++i) {
        if (useDeleter && slots_[i])
            deleteElement(slots_[i]);
        slots_[i] = nullptr;
    }
    props_.set(Count, 0);
    props_.set(Current, -1);
    props_.set(Sorted, 1);
}

int32_t PointerArrayManager::copyFrom(const PointerArrayManager& other) {
    if (&other == this)
        return 1;
    clear(true);
    int32_t n = other.usableLength();
    if (!ensure(n))
        return 0;
    int32_t ok = 1;
    for (int32_t i = 0; i < n; ++i) {
        void* p = other.slots_[i];
        if (p && copier_) {
            p = copier_(p);
            if (!p)
                ok = 0;
        } else if (p && deleter_) {
            p = nullptr; // sharing an owned element would free it twice
            ok = 0;
        }
        slots_[i] = p;
    }
    props_.set(Mode, other.mode());
    props_.set(Count, other.count());
    props_.set(Sorted, other.property(Sorted));
    if (other.aux_) {
        if (!aux_)
            aux_ = new IntStore();
        *aux_ = *other.aux_;
    }
    return ok;
}

int32_t PointerArrayManager::setAux(int32_t i, int32_t value) {
    if (i < 0)
        return 0;
    if (!aux_)
        aux_ = new IntStore();
    return aux_->set(i, value, true, 0);
}

int32_t PointerArrayManager::getAux(int32_t i) const {
    return aux_ ? aux_->value(i) : -1;
}

int32_t PointerArrayManager::remove(int32_t i, bool deleteIt) {
    int32_t n = usableLength();
    if (i < 0 || i >= n)
        return 0;
    if (deleteIt)
        deleteElement(slots_[i]);
    if (mode() == ListMode) {
        std::memmove(slots_ + i, slots_ + i + 1, sizeof(void*) * static_cast<size_t>(n - i - 1));
        slots_[n - 1] = nullptr;
        props_.set(Count, n - 1);
    } else {
        slots_[i] = nullptr;
    }
    return 1;
}
