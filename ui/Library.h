// Owner of one loaded DLL.
#pragma once

#include <windows.h>

namespace ui {

class Library {
public:
    Library() = default;
    explicit Library(HMODULE module) : module_(module) {}
    Library(Library&& other) noexcept : module_(other.Release()) {}
    Library& operator=(Library&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { Reset(); }

    explicit operator bool() const { return module_ != nullptr; }
    HMODULE Get() const { return module_; }
    HMODULE Release()
    {
        HMODULE m = module_;
        module_ = nullptr;
        return m;
    }
    // Frees the library now; false when the system refused.
    bool Reset(HMODULE module = nullptr)
    {
        bool freed = true;
        if (module_) freed = FreeLibrary(module_) != FALSE;
        module_ = module;
        return freed;
    }
    template <class Fn>
    Fn* Proc(const char* name) const
    {
        return module_ ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

}  // namespace ui
