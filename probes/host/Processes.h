// The running processes' executable names, from a tool-help snapshot.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <string>

namespace host {

static_assert(sizeof(PROCESSENTRY32) == 296, "the ANSI process entry is 296 bytes");

// The executable-name field up to its terminating NUL, bytes unchanged.
std::string ProcessEntryName(const PROCESSENTRY32& entry);

// Calls add once for every process of a fresh snapshot, in the system's order. Nothing when the tool-help
// functions are missing or the snapshot cannot be taken.
void ListProcessNames(const std::function<void(const std::string&)>& add);

}  // namespace host
