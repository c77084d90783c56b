// Owner of one open registry key.
#pragma once

#include <windows.h>

namespace settings {

class RegistryKey {
public:
    RegistryKey() = default;
    explicit RegistryKey(HKEY key) : key_(key) {}
    RegistryKey(RegistryKey&& other) noexcept : key_(other.Release()) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { Reset(); }

    explicit operator bool() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }
    HKEY Release()
    {
        HKEY k = key_;
        key_ = nullptr;
        return k;
    }
    void Reset(HKEY key = nullptr)
    {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace settings
