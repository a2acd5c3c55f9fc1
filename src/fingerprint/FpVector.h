#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

// A growable array of fixed-point values: data is null and datasize 0 when empty.
// resize() to the current size keeps the contents and returns 0; to another positive size
// it frees the old storage, allocates new storage with undefined contents and returns 1;
// to 0 or less it frees and leaves the array empty.
template <typename T> struct FpVector
{
    T* data = nullptr;
    int32_t datasize = 0;

    FpVector() = default;
    FpVector(const FpVector&) = delete;
    FpVector& operator=(const FpVector&) = delete;
    ~FpVector() { release(); }

    void empty()
    {
        data = nullptr;
        datasize = 0;
    }

    int resize(int32_t n)
    {
        if (n <= 0) {
            release();
            return 0;
        }
        if (n == datasize)
            return 0;
        release();
        data = static_cast<T*>(std::malloc(sizeof(T) * size_t(n)));
        datasize = data ? n : 0;
        return 1;
    }

    void release()
    {
        if (data)
            std::free(data);
        empty();
    }

    int32_t size() const { return datasize; }

    void zero()
    {
        if (data)
            std::memset(data, 0, sizeof(T) * size_t(datasize));
    }
};

// A complex value of two signed 16-bit numbers, real part first.
struct complex16
{
    int16_t re;
    int16_t im;
};

using vec16 = FpVector<int16_t>;
using vec32 = FpVector<int32_t>;
using veccomplex16 = FpVector<complex16>;
