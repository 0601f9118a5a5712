#include "pages/browser_pages_win.h"

#include "base/com_apartment_win.h"
#include "base/guards_win.h"
#include "base/program_directory.h"
#include "base/wide_text_win.h"
#include "pages/browser_command.h"
#include "pages/page_paths.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

bool openWithShell(HWND owner, const wchar_t* target) {
    const HINSTANCE result = ShellExecuteW(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The command the user's default browser registers for http, with its environment
// variables expanded; false when no browser is registered for http.
bool findDefaultBrowser(std::wstring& command) {
    DWORD length = 0;
    // ASSOCF_IS_PROTOCOL (0x1000, Windows 8): the name is a protocol, not a file type. The
    // headers here declare it only for newer _WIN32_IE values.
    const ASSOCF flags = static_cast<ASSOCF>(0x1000 | ASSOCF_NOTRUNCATE);
    if (AssocQueryStringW(flags, ASSOCSTR_COMMAND, L"http", L"open", nullptr, &length) != S_FALSE ||
        length == 0 || length > 32768)
        return false;
    std::vector<wchar_t> text(length + 1, L'\0');
    if (FAILED(AssocQueryStringW(flags, ASSOCSTR_COMMAND, L"http", L"open", text.data(), &length)))
        return false;
    text.back() = L'\0';
    const DWORD expanded = ExpandEnvironmentStringsW(text.data(), nullptr, 0);
    if (expanded == 0 || expanded > 32768) return false;
    std::vector<wchar_t> out(expanded + 1, L'\0');
    if (ExpandEnvironmentStringsW(text.data(), out.data(), expanded + 1) == 0) return false;
    command = out.data();
    return !command.empty();
}

// Starts the default browser on the URL; false when it cannot be started.
bool startDefaultBrowser(const std::wstring& command, const char* url) {
    std::wstring line =
        wideFromUtf8(browserCommandLine(utf8FromWide(command.c_str()), url).c_str());
    if (line.empty() || line.size() >= 32767) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

// Writes a page that redirects to the URL (anchor and all) into the temporary folder and
// has the shell open it: the shell drops the anchor of a file: URL, but not the one a page
// sends the browser on to.
bool openRedirectPage(HWND owner, const char* url, const BrowserShell& shell) {
    wchar_t folder[MAX_PATH + 1] = L"";
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return false;
    const std::wstring path = std::wstring(folder) + L"Noravel-page.html";
    const std::string page = redirectPage(url);
    bool written = false;
    {
        KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        written =
            static_cast<bool>(file) &&
            WriteFile(file.get(), page.data(), static_cast<DWORD>(page.size()), &done, nullptr) &&
            done == page.size();
    }
    return written && shell.open && shell.open(owner, path.c_str());
}

// A BSTR, freed.
class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }

  private:
    BSTR text_;
};

// Steps 1 and 2: the browser's class, then a running instance or a new local server.
bool findBrowser(const char* progId, ComRef<IDispatch>& browser) {
    wchar_t progIdWide[128];
    if (!MultiByteToWideChar(CP_ACP, 0, progId, -1, progIdWide, 128)) return false;
    CLSID browserClass;
    if (FAILED(CLSIDFromProgID(progIdWide, &browserClass))) return false;
    ComRef<IUnknown> running;
    if (SUCCEEDED(GetActiveObject(browserClass, nullptr, running.put())) && running) {
        return SUCCEEDED(running->QueryInterface(IID_IDispatch,
                                                 reinterpret_cast<void**>(browser.put()))) &&
               browser;
    }
    return SUCCEEDED(CoCreateInstance(browserClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(browser.put()))) &&
           browser;
}

DISPID dispatchIdOf(IDispatch* browser, const wchar_t* name, HRESULT* result) {
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    *result = browser->GetIDsOfNames(IID_NULL, names, 1, GetUserDefaultLCID(), &id);
    return id;
}

// Steps 3 and 4: "Visible" = true, as a property put with its one named argument.
bool makeVisible(IDispatch* browser) {
    HRESULT result;
    const DISPID visible = dispatchIdOf(browser, L"Visible", &result);
    if (FAILED(result)) return false;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = 1;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{&value, &named, 1, 1};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    result = browser->Invoke(visible, IID_NULL, GetUserDefaultLCID(), DISPATCH_PROPERTYPUT,
                             &parameters, nullptr, &exception, &argumentError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(result);
}

// Steps 5 to 7: "Navigate" with the page's file: URL (anchor and all) as its one
// positional argument.
void navigate(IDispatch* browser, const char* url) {
    Bstr path(wideFromUtf8(url).c_str());
    HRESULT result;
    const DISPID navigateId = dispatchIdOf(browser, L"Navigate", &result);
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = path.get();
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    browser->Invoke(navigateId, IID_NULL, GetUserDefaultLCID(), DISPATCH_METHOD, &parameters,
                    nullptr, nullptr, nullptr);
}

} // namespace

BrowserShell systemBrowserShell() {
    return {openWithShell, findDefaultBrowser};
}

BrowserOutcome showPageInBrowser(HWND owner, const char* pagePath, const BrowserShell& shell,
                                 const char* progId) {
    // Every byte of a UTF-8 path may take three characters in the URL.
    char url[3 * kUtf8PathBytes + 16];
    if (!pagePath || !formatFileUrl(url, sizeof url, pagePath)) return BrowserOutcome::NothingShown;
    // The association look-up, the shell and the automation object may each use COM.
    enterComApartment();
    std::wstring command;
    if (shell.findBrowser && shell.findBrowser(command) && startDefaultBrowser(command, url))
        return BrowserOutcome::DefaultBrowser;
    if (openRedirectPage(owner, url, shell)) return BrowserOutcome::RedirectOpened;
    if (shell.open && shell.open(owner, wideFromUtf8(withoutAnchor(pagePath).c_str()).c_str()))
        return BrowserOutcome::ShellOpened;
    // No browser could be found at all: the retired browser's automation object, where
    // the system still has it.
    ComRef<IDispatch> browser;
    if (!findBrowser(progId, browser)) return BrowserOutcome::NothingShown;
    if (!makeVisible(browser.get())) return BrowserOutcome::AutomationFailed;
    navigate(browser.get(), url);
    return BrowserOutcome::Navigated;
}

void openCommentaryPage(HWND owner, const char* programDirectoryUtf8, AyahRef ayah,
                        const BrowserShell& shell) {
    char path[kUtf8PathBytes];
    if (formatCommentaryPath(path, sizeof path, programDirectoryUtf8, ayah.surah, ayah.ayah))
        showPageInBrowser(owner, path, shell);
}

void openHelpPage(HWND owner, const char* programDirectoryUtf8, const BrowserShell& shell) {
    char path[kUtf8PathBytes];
    if (formatHelpPath(path, sizeof path, programDirectoryUtf8))
        showPageInBrowser(owner, path, shell);
}
