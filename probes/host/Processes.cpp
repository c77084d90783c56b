#include "probes/host/Processes.h"

namespace host {

namespace {

// Looked up in kernel32 when first needed and kept once found.
struct ToolHelp {
    decltype(&::CreateToolhelp32Snapshot) createSnapshot = nullptr;
    decltype(&::Process32First) first = nullptr;
    decltype(&::Process32Next) next = nullptr;
};

template <class Fn>
Fn Lookup(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const ToolHelp& ToolHelpFunctions()
{
    static ToolHelp functions;
    if (!functions.createSnapshot) {
        if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
            functions.createSnapshot = Lookup<decltype(functions.createSnapshot)>(kernel, "CreateToolhelp32Snapshot");
            functions.first = Lookup<decltype(functions.first)>(kernel, "Process32First");
            functions.next = Lookup<decltype(functions.next)>(kernel, "Process32Next");
        }
    }
    return functions;
}

// Owner of a snapshot handle; both 0 and INVALID_HANDLE_VALUE mean none.
class Snapshot {
public:
    explicit Snapshot(HANDLE handle) : handle_(handle) {}
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::string ProcessEntryName(const PROCESSENTRY32& entry)
{
    std::string name;
    for (size_t i = 0; i < sizeof(entry.szExeFile) && entry.szExeFile[i] != '\0'; ++i) name += entry.szExeFile[i];
    return name;
}

void ListProcessNames(const std::function<void(const std::string&)>& add)
{
    const ToolHelp& th = ToolHelpFunctions();
    Snapshot snapshot(th.createSnapshot ? th.createSnapshot(15, 0) : nullptr);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    auto first = [&] { return th.first && th.first(snapshot.Get(), &entry); };
    auto next = [&] { return th.next && th.next(snapshot.Get(), &entry); };
    for (bool more = first(); more; more = next()) add(ProcessEntryName(entry));
}

}  // namespace host
