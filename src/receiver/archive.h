// A small serialisation layer: objects that know their run-time class and write
// themselves to, or read themselves from, a byte archive (little-endian 32-bit
// integers and raw byte blocks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CRuntimeClass {
    const char* className;
};

class CArchive {
public:
    // An archive that stores into an empty buffer.
    CArchive() : storing_(true) {}
    // An archive that loads from bytes.
    explicit CArchive(std::vector<uint8_t> bytes) : storing_(false), data_(std::move(bytes)) {}

    bool IsStoring() const { return storing_; }
    bool IsLoading() const { return !storing_; }

    void WriteInt(int32_t v);
    void WriteBytes(const uint8_t* p, size_t n);
    // Reads fail once the data is exhausted; a failed read leaves the archive failed
    // and yields nothing.
    bool ReadInt(int32_t& v);
    bool ReadBytes(uint8_t* p, size_t n);
    bool Failed() const { return failed_; }
    size_t Remaining() const { return data_.size() - pos_; }

    const std::vector<uint8_t>& Bytes() const { return data_; }

private:
    bool storing_;
    bool failed_ = false;
    std::vector<uint8_t> data_;
    size_t pos_ = 0;
};

class CObject {
public:
    virtual const CRuntimeClass* GetRuntimeClass() const = 0;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& ar) = 0;
};
