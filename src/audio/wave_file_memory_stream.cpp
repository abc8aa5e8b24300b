#include "audio/wave_file_memory_stream.h"

#include <cstring>

namespace melvora {
namespace {

// Memory files stay below what the 32-bit file fields can address.
constexpr int64_t kMaxMemoryFileBytes = INT32_MAX;

}  // namespace

WaveFileIo WaveFileMemoryStream::Io() {
    // Nothing to flush or release: the bytes live in this object.
    return WaveFileIo{this, Read, Write, Seek, Tell, Length, nullptr, nullptr};
}

size_t WaveFileMemoryStream::Read(void* self, void* buffer, size_t byteCount) {
    auto* s = static_cast<WaveFileMemoryStream*>(self);
    const int64_t size = static_cast<int64_t>(s->bytes_.size());
    if (s->position_ >= size) {
        return 0;
    }
    const size_t available = static_cast<size_t>(size - s->position_);
    const size_t count = byteCount < available ? byteCount : available;
    memcpy(buffer, s->bytes_.data() + s->position_, count);
    s->position_ += static_cast<int64_t>(count);
    return count;
}

size_t WaveFileMemoryStream::Write(void* self, const void* data, size_t byteCount) {
    auto* s = static_cast<WaveFileMemoryStream*>(self);
    size_t count = byteCount;
    if (s->writeBudget_ >= 0 && static_cast<int64_t>(count) > s->writeBudget_) {
        count = static_cast<size_t>(s->writeBudget_);
    }
    if (static_cast<int64_t>(count) > kMaxMemoryFileBytes - s->position_) {
        return 0;
    }
    const size_t end = static_cast<size_t>(s->position_) + count;
    if (end > s->bytes_.size()) {
        s->bytes_.resize(end, 0);
    }
    if (count > 0) {
        memcpy(s->bytes_.data() + s->position_, data, count);
    }
    s->position_ += static_cast<int64_t>(count);
    if (s->writeBudget_ >= 0) {
        s->writeBudget_ -= static_cast<int64_t>(count);
    }
    return count;
}

bool WaveFileMemoryStream::Seek(void* self, int64_t offset, int origin) {
    auto* s = static_cast<WaveFileMemoryStream*>(self);
    int64_t base = 0;
    if (origin == SEEK_CUR) {
        base = s->position_;
    } else if (origin == SEEK_END) {
        base = static_cast<int64_t>(s->bytes_.size());
    } else if (origin != SEEK_SET) {
        return false;
    }
    if (offset > kMaxMemoryFileBytes || offset < -kMaxMemoryFileBytes) {
        return false;
    }
    const int64_t target = base + offset;
    if (target < 0 || target > kMaxMemoryFileBytes) {
        return false;
    }
    s->position_ = target;
    return true;
}

int64_t WaveFileMemoryStream::Tell(void* self) {
    return static_cast<WaveFileMemoryStream*>(self)->position_;
}

int64_t WaveFileMemoryStream::Length(void* self) {
    auto* s = static_cast<WaveFileMemoryStream*>(self);
    return s->reportedLength_ >= 0 ? s->reportedLength_ : static_cast<int64_t>(s->bytes_.size());
}

}  // namespace melvora
