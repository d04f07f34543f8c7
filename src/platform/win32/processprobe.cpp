#include "platform/win32/processprobe.h"

#include <algorithm>
#include <memory>
#include <psapi.h>

namespace dwellmark::platform::win32 {

static_assert(probeProcessAccess == (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ));
static_assert(moduleNameCapacity == MAX_PATH);

namespace {

/// Closes the process handle when the probe leaves, whichever way it leaves.
class ProcessCloser {
public:
    explicit ProcessCloser(const ProbeApi& api) : m_api(&api) {}
    void operator()(HANDLE process) const { m_api->closeHandle(process); }

private:
    const ProbeApi* m_api;
};

} // namespace

const ProbeApi& systemProbeApi() {
    static const ProbeApi api{
        &GetWindowTextLengthW, &GetWindowTextW, &GetWindowThreadProcessId, &OpenProcess, &EnumProcessModules,
        &GetModuleBaseNameW,   &CloseHandle,
    };
    return api;
}

std::wstring trimNull(std::wstring_view text) {
    return std::wstring(text.substr(0, text.find(L'\0')));
}

std::string toUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int units = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), units, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::string getWindowTitle(WindowHandle handle, const ProbeApi& api) {
    const HWND window = toHwnd(handle);
    const int length = std::max(api.getWindowTextLength(window), 0);
    // One unit more than the title for the NUL the system writes after it.
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    api.getWindowText(window, buffer.data(), length + 1);
    // A title that grew since its length was read is cut to that length; one
    // that shrank ends at the NUL written after it.
    buffer.resize(static_cast<std::size_t>(length));
    return toUtf8(trimNull(buffer));
}

std::string getProcessName(WindowHandle handle, const ProbeApi& api) {
    DWORD processId = 0;
    api.getWindowThreadProcessId(toHwnd(handle), &processId);
    // 0 is what a window that has gone leaves: there is nothing to open.
    if (processId == 0) {
        return {};
    }
    const HANDLE opened = api.openProcess(probeProcessAccess, FALSE, processId);
    if (opened == nullptr) {
        return {};
    }
    const std::unique_ptr<void, ProcessCloser> process(opened, ProcessCloser(api));

    // Room for exactly one module handle: the first module listed is the executable.
    HMODULE module = nullptr;
    DWORD bytesNeeded = 0;
    api.enumProcessModules(process.get(), &module, static_cast<DWORD>(sizeof(module)), &bytesNeeded);
    if (module == nullptr) {
        return {};
    }
    std::wstring buffer(moduleNameCapacity, L'\0');
    api.getModuleBaseName(process.get(), module, buffer.data(), moduleNameCapacity);
    return toUtf8(trimNull(buffer));
}

} // namespace dwellmark::platform::win32
