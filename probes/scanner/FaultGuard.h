// Calls into foreign code (the TWAIN manager and its data sources) that may fault. A hardware fault there
// (access violation, division by zero, illegal instruction, ...) comes back as a HardwareFault exception
// thrown from our own frame: DWARF exceptions cannot unwind through foreign frames.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace scanner {

class HardwareFault : public std::runtime_error {
public:
    HardwareFault(DWORD code, const std::string& message) : std::runtime_error(message), code_(code) {}
    DWORD Code() const { return code_; }

private:
    DWORD code_;
};

// The message for a fault: "Access violation at address 6A3C1234. Read of address 00000000".
// info holds the exception record's parameters (for an access violation: kind, then the address).
std::string FaultText(DWORD code, ULONG_PTR address, const ULONG_PTR* info, DWORD infoCount);

// True for the fault codes that the guard turns into HardwareFault.
bool IsHardwareFault(DWORD code);

// Runs fn(context) with the guard active on this thread. fn must hold no object that needs destruction:
// after a fault, its frames and those below it are left by a long jump.
void RunGuarded(void (*fn)(void*), void* context);

// Runs f() under the guard and returns its result. f should do nothing but the foreign call.
template <class F>
auto CallGuarded(F&& f) -> decltype(f())
{
    using Result = decltype(f());
    struct Call {
        F* f;
        Result result;
        static void Run(void* p)
        {
            auto* call = static_cast<Call*>(p);
            call->result = (*call->f)();
        }
    } call{&f, Result{}};
    RunGuarded(&Call::Run, &call);
    return call.result;
}

}  // namespace scanner
