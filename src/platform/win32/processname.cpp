#include "platform/win32/processname.h"

#include <algorithm>
#include <memory>
#include <psapi.h>

namespace dwellmark::platform::win32 {

static_assert(probeProcessAccess == (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ));
static_assert(moduleNameCapacity == MAX_PATH);
static_assert(probeLimitedAccess == PROCESS_QUERY_LIMITED_INFORMATION);

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
        &GetWindowTextLengthW, &GetWindowTextW, &GetWindowThreadProcessId,   &OpenProcess,   &EnumProcessModules,
        &GetModuleBaseNameW,   &CloseHandle,    &QueryFullProcessImageNameW, &FindWindowExW,
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

namespace {

using OpenedProcess = std::unique_ptr<void, ProcessCloser>;

DWORD windowProcess(HWND window, const ProbeApi& api) {
    DWORD processId = 0;
    api.getWindowThreadProcessId(window, &processId);
    return processId;
}

/// The part of the path after its last separator.
std::wstring baseName(std::wstring_view path) {
    const auto separator = path.find_last_of(L"\\/");
    return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

/// From the image path, which the limited rights are enough for.
std::wstring imageName(DWORD processId, const ProbeApi& api) {
    const HANDLE opened = api.openProcess(probeLimitedAccess, FALSE, processId);
    if (opened == nullptr) {
        return {};
    }
    const OpenedProcess process(opened, ProcessCloser(api));
    std::wstring path(imagePathCapacity, L'\0');
    DWORD length = imagePathCapacity;
    if (api.queryFullProcessImageName(process.get(), 0, path.data(), &length) == FALSE) {
        return {};
    }
    path.resize(std::min(length, imagePathCapacity));
    return baseName(trimNull(path));
}

/// From the first module listed, which is the executable; needs more rights.
std::wstring moduleName(DWORD processId, const ProbeApi& api) {
    const HANDLE opened = api.openProcess(probeProcessAccess, FALSE, processId);
    if (opened == nullptr) {
        return {};
    }
    const OpenedProcess process(opened, ProcessCloser(api));

    // Room for exactly one module handle: the first module listed is the executable.
    HMODULE module = nullptr;
    DWORD bytesNeeded = 0;
    api.enumProcessModules(process.get(), &module, static_cast<DWORD>(sizeof(module)), &bytesNeeded);
    if (module == nullptr) {
        return {};
    }
    std::wstring buffer(moduleNameCapacity, L'\0');
    api.getModuleBaseName(process.get(), module, buffer.data(), moduleNameCapacity);
    return trimNull(buffer);
}

std::wstring processName(DWORD processId, const ProbeApi& api) {
    // 0 is what a window that has gone leaves: there is nothing to open.
    if (processId == 0) {
        return {};
    }
    std::wstring name = imageName(processId, api);
    return name.empty() ? moduleName(processId, api) : name;
}

bool isFrameHost(std::wstring_view name) {
    return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), frameHostName.data(),
                                static_cast<int>(frameHostName.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::string getProcessName(WindowHandle handle, const ProbeApi& api) {
    const HWND window = toHwnd(handle);
    const DWORD processId = windowProcess(window, api);
    const std::wstring name = processName(processId, api);
    if (!isFrameHost(name)) {
        return toUtf8(name);
    }
    // The app draws into a child of the frame from a process of its own.
    for (HWND child = api.findWindowEx(window, nullptr, nullptr, nullptr); child != nullptr;
         child = api.findWindowEx(window, child, nullptr, nullptr)) {
        const DWORD childProcess = windowProcess(child, api);
        if (childProcess != 0 && childProcess != processId) {
            const std::wstring app = processName(childProcess, api);
            if (!app.empty()) {
                return toUtf8(app);
            }
        }
    }
    return toUtf8(name);
}

bool namesFrameHost(std::string_view application) {
    // The name is ASCII: a byte of any other character matches none of it.
    return std::equal(application.begin(), application.end(), frameHostName.begin(), frameHostName.end(),
                      [](char byte, wchar_t unit) {
                          const auto lower = [](wchar_t c) -> wchar_t {
                              return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
                          };
                          return lower(static_cast<wchar_t>(static_cast<unsigned char>(byte))) == lower(unit);
                      });
}

} // namespace dwellmark::platform::win32
