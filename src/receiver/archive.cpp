#include "receiver/archive.h"

#include <cstring>

void CArchive::WriteInt(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void CArchive::WriteBytes(const uint8_t* p, size_t n) { data_.insert(data_.end(), p, p + n); }

bool CArchive::ReadInt(int32_t& v) {
    if (failed_ || Remaining() < 4) {
        failed_ = true;
        return false;
    }
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(data_[pos_ + i]) << (8 * i);
    pos_ += 4;
    v = static_cast<int32_t>(u);
    return true;
}

bool CArchive::ReadBytes(uint8_t* p, size_t n) {
    if (failed_ || Remaining() < n) {
        failed_ = true;
        return false;
    }
    if (n != 0) std::memcpy(p, data_.data() + pos_, n);
    pos_ += n;
    return true;
}
