#include "probes/scanner/FaultGuard.h"

#include <float.h>
#include <setjmp.h>

#include <cstdio>

namespace scanner {

namespace {

struct Guard {
    jmp_buf jump;
    DWORD code;
    ULONG_PTR address;
    ULONG_PTR info[EXCEPTION_MAXIMUM_PARAMETERS];
    DWORD infoCount;
    Guard* previous;
};

// The innermost guard of this thread; null outside every guarded call.
thread_local Guard* tActive = nullptr;

// Entered in place of the faulting instruction, on the faulting thread's stack. msvcrt's longjmp also
// unwinds the SEH frames that the foreign code registered above the guard.
[[noreturn]] void Landing()
{
    longjmp(tActive->jump, 1);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* ep)
{
    Guard* guard = tActive;
    const EXCEPTION_RECORD* record = ep->ExceptionRecord;
    if (!guard || !IsHardwareFault(record->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;

    guard->code = record->ExceptionCode;
    guard->address = reinterpret_cast<ULONG_PTR>(record->ExceptionAddress);
    guard->infoCount = record->NumberParameters < EXCEPTION_MAXIMUM_PARAMETERS ? record->NumberParameters
                                                                               : EXCEPTION_MAXIMUM_PARAMETERS;
    for (DWORD i = 0; i < guard->infoCount; ++i) guard->info[i] = record->ExceptionInformation[i];

    // Resume in Landing as if called: 16-byte aligned before the (unused) return address, direction flag clear.
    CONTEXT* ctx = ep->ContextRecord;
    DWORD sp = ((ctx->Esp - 256) & ~DWORD(15)) - 4;
    *reinterpret_cast<DWORD*>(sp) = 0;
    ctx->Esp = sp;
    ctx->Eip = reinterpret_cast<DWORD>(&Landing);
    ctx->EFlags &= ~DWORD(0x400);
    return EXCEPTION_CONTINUE_EXECUTION;
}

// The handler is registered only while a guarded call runs.
class HandlerRegistration {
public:
    HandlerRegistration() : handle_(AddVectoredExceptionHandler(1, OnException))
    {
        if (!handle_) throw std::runtime_error("Cannot install the fault handler");
    }
    HandlerRegistration(const HandlerRegistration&) = delete;
    HandlerRegistration& operator=(const HandlerRegistration&) = delete;
    ~HandlerRegistration() { RemoveVectoredExceptionHandler(handle_); }

private:
    void* handle_;
};

std::string Hex8(ULONG_PTR value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(value));
    return text;
}

bool IsFloatFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
        return true;
    default:
        return false;
    }
}

const char* FaultName(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "Access violation";
    case EXCEPTION_IN_PAGE_ERROR: return "In-page error";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "Datatype misalignment";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "Array bounds exceeded";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "Division by zero";
    case EXCEPTION_INT_OVERFLOW: return "Integer overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "Illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION: return "Privileged instruction";
    case EXCEPTION_FLT_DENORMAL_OPERAND: return "Floating point denormal operand";
    case EXCEPTION_FLT_DIVIDE_BY_ZERO: return "Floating point division by zero";
    case EXCEPTION_FLT_INEXACT_RESULT: return "Floating point inexact result";
    case EXCEPTION_FLT_INVALID_OPERATION: return "Invalid floating point operation";
    case EXCEPTION_FLT_OVERFLOW: return "Floating point overflow";
    case EXCEPTION_FLT_STACK_CHECK: return "Floating point stack check";
    case EXCEPTION_FLT_UNDERFLOW: return "Floating point underflow";
    default: return nullptr;
    }
}

}  // namespace

bool IsHardwareFault(DWORD code)
{
    return FaultName(code) != nullptr;
}

std::string FaultText(DWORD code, ULONG_PTR address, const ULONG_PTR* info, DWORD infoCount)
{
    const char* name = FaultName(code);
    std::string text = name ? name : "Exception " + Hex8(code);
    text += " at address " + Hex8(address);
    if (code == EXCEPTION_ACCESS_VIOLATION && infoCount >= 2) {
        const char* kind = info[0] == 1 ? "Write" : info[0] == 8 ? "Execute" : "Read";
        text += std::string(". ") + kind + " of address " + Hex8(info[1]);
    }
    return text;
}

void RunGuarded(void (*fn)(void*), void* context)
{
    Guard guard = {};
    guard.previous = tActive;
    HandlerRegistration handler;
    struct Activation {
        Guard* guard;
        explicit Activation(Guard* g) : guard(g) { tActive = g; }
        ~Activation() { tActive = guard->previous; }
    } active(&guard);
    if (setjmp(guard.jump) == 0) {
        fn(context);
        return;
    }
    if (IsFloatFault(guard.code)) _fpreset();
    throw HardwareFault(guard.code, FaultText(guard.code, guard.address, guard.info, guard.infoCount));
}

}  // namespace scanner
