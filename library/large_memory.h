#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

// Memory for big blocks (a whole library file, a million table slots). On
// Linux such blocks are backed by transparent huge pages where the system
// offers them, which makes filling them many times faster; elsewhere they are
// ordinary heap blocks. Contents are left uninitialised.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

// A standard allocator on top of AllocateLarge, for big vectors.
template <typename T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LargeAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

using LargeString = std::basic_string<char, std::char_traits<char>, LargeAllocator<char>>;

// A block of bytes of fixed size, e.g. a file's contents.
class ByteBuffer {
public:
    explicit ByteBuffer(std::size_t size)
        : data_(static_cast<char*>(AllocateLarge(size))), size_(size) {}
    ~ByteBuffer() { FreeLarge(data_, size_); }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {data_, size_}; }

private:
    char* data_;
    std::size_t size_;
};
