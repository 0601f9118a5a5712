// A stand-in for the browser's automation object in the tests: a local COM server whose
// object answers "Visible" (property put) and "Navigate" (method) and appends what it was
// told to "test_browser.log" beside this program (paths in UTF-8), one line each:
//   <process id> Visible <value>      <process id> Navigate <path>
// Started by COM with "-Embedding" it serves until its last object is released (at most
// a minute). Started with "-active <milliseconds>" it also registers one object as the
// running instance of its class for that long.
// Started with "-url <URL>", as a browser registered for http is, it logs
//   <process id> Url <URL>    <process id> Flags <STARTUPINFO flags in hex>
//   <process id> Opened <1 when the file the file: URL names can be opened, else 0>
// and ends.
#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

// {D6F1E6A2-3B7C-4C55-9E2A-5A1C7B3E9F01}
const CLSID kTestBrowserClass = {
    0xd6f1e6a2, 0x3b7c, 0x4c55, {0x9e, 0x2a, 0x5a, 0x1c, 0x7b, 0x3e, 0x9f, 0x01}};

namespace {

constexpr DISPID kVisible = 402;
constexpr DISPID kNavigate = 104;

volatile LONG liveObjects = 0;
DWORD mainThread = 0;

void appendToLog(const char* text) {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    wchar_t* slash = std::wcsrchr(path, L'\\');
    if (!slash || static_cast<size_t>(slash - path) + 18 >= MAX_PATH) return;
    std::wcscpy(slash + 1, L"test_browser.log");
    char line[1024];
    const int written = std::snprintf(line, sizeof line, "%lu %s\n", GetCurrentProcessId(), text);
    if (written <= 0 || static_cast<size_t>(written) >= sizeof line) return;
    HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    WriteFile(log, line, static_cast<DWORD>(written), &done, nullptr);
    CloseHandle(log);
}

class Browser : public IDispatch {
  public:
    Browser() { InterlockedIncrement(&liveObjects); }
    virtual ~Browser() {
        if (InterlockedDecrement(&liveObjects) == 0) PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (count != 1 || !names || !ids) return E_INVALIDARG;
        if (_wcsicmp(names[0], L"Visible") == 0) {
            ids[0] = kVisible;
            return S_OK;
        }
        if (_wcsicmp(names[0], L"Navigate") == 0) {
            ids[0] = kNavigate;
            return S_OK;
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        if (!parameters) return E_INVALIDARG;
        char text[900];
        if (id == kVisible) {
            if (flags != DISPATCH_PROPERTYPUT || parameters->cArgs != 1 ||
                parameters->cNamedArgs != 1 ||
                parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT ||
                parameters->rgvarg[0].vt != VT_BOOL)
                return DISP_E_TYPEMISMATCH;
            std::snprintf(text, sizeof text, "Visible %d", parameters->rgvarg[0].boolVal);
            appendToLog(text);
            return S_OK;
        }
        if (id == kNavigate) {
            if (!(flags & DISPATCH_METHOD) || parameters->cArgs < 1 ||
                parameters->rgvarg[parameters->cArgs - 1].vt != VT_BSTR)
                return DISP_E_TYPEMISMATCH;
            char path[800] = "";
            WideCharToMultiByte(CP_UTF8, 0, parameters->rgvarg[parameters->cArgs - 1].bstrVal, -1,
                                path, sizeof path - 1, nullptr, nullptr);
            std::snprintf(text, sizeof text, "Navigate %s", path);
            appendToLog(text);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

  private:
    volatile LONG references_ = 1;
};

class Factory : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        Browser* browser = new (std::nothrow) Browser;
        if (!browser) return E_OUTOFMEMORY;
        const HRESULT result = browser->QueryInterface(iid, object);
        browser->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

// The file a "file:///" URL names: percent-decoded UTF-8, slashes made backslashes, the
// anchor left off.
std::wstring pathOfFileUrl(const char* url) {
    const char* scheme = "file:///";
    if (std::strncmp(url, scheme, 8) != 0) return L"";
    std::string bytes;
    for (const char* p = url + 8; *p && *p != '#' && *p != '"' && *p != ' '; ++p) {
        if (*p == '%' && std::isxdigit(static_cast<unsigned char>(p[1])) &&
            std::isxdigit(static_cast<unsigned char>(p[2]))) {
            const char hex[3] = {p[1], p[2], 0};
            bytes += static_cast<char>(std::strtoul(hex, nullptr, 16));
            p += 2;
        } else {
            bytes += *p == '/' ? '\\' : *p;
        }
    }
    const int units =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.c_str(), -1, nullptr, 0);
    if (units <= 0) return L"";
    std::wstring path(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, &path[0], units);
    path.resize(static_cast<size_t>(units) - 1);
    return path;
}

// The "-url" part: what a browser started by the reader was given.
int logUrl(const char* option) {
    const char* url = option + 4;
    while (*url == ' ' || *url == '"')
        ++url;
    std::string text(url);
    if (!text.empty() && text.back() == '"') text.pop_back();
    appendToLog(("Url " + text).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    char flags[32];
    std::snprintf(flags, sizeof flags, "Flags %lx", static_cast<unsigned long>(startup.dwFlags));
    appendToLog(flags);
    const std::wstring path = pathOfFileUrl(text.c_str());
    HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
    appendToLog(file != INVALID_HANDLE_VALUE ? "Opened 1" : "Opened 0");
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    if (const char* option = std::strstr(commandLine, "-url ")) return logUrl(option);
    mainThread = GetCurrentThreadId();
    CoInitialize(nullptr);
    DWORD classCookie = 0;
    CoRegisterClassObject(kTestBrowserClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                          &classCookie);
    DWORD lifeMs = 60000;
    DWORD activeCookie = 0;
    Browser* active = nullptr;
    if (const char* option = std::strstr(commandLine, "-active")) {
        lifeMs = static_cast<DWORD>(std::strtoul(option + 7, nullptr, 10));
        active = new Browser;
        RegisterActiveObject(active, kTestBrowserClass, ACTIVEOBJECT_STRONG, &activeCookie);
        appendToLog("Active");
    }
    // Serve until the last object is released, or for the life given.
    const UINT_PTR timer = SetTimer(nullptr, 0, lifeMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == timer) break;
        DispatchMessageA(&message);
    }
    if (activeCookie) RevokeActiveObject(activeCookie, nullptr);
    if (active) active->Release();
    CoRevokeClassObject(classCookie);
    CoUninitialize();
    return 0;
}
