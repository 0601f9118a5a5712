#include "external/browser_pages_win.h"

#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "external/recitation_rules.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

namespace {

void openWithShell(const char* url) {
    ShellExecuteA(process.mainWindow, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

ShellPageOpener shellOpener = openWithShell;

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

// Steps 5 to 7: "Navigate" with the path (UTF-8 here) as its one positional argument.
void navigate(IDispatch* browser, const char* pagePath) {
    Bstr path(wideFromUtf8(pagePath).c_str());
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

BrowserOutcome showPageInBrowser(const char* pagePath, const char* progId) {
    ComRef<IDispatch> browser;
    if (!findBrowser(progId, browser)) {
        // Every byte of a UTF-8 path may take three characters in the URL.
        char url[3 * kUtf8PathBytes + 16];
        if (!formatFileUrl(url, sizeof url, pagePath)) return BrowserOutcome::NothingShown;
        if (shellOpener) shellOpener(url);
        return BrowserOutcome::ShellOpened;
    }
    if (!makeVisible(browser.get())) return BrowserOutcome::AutomationFailed;
    navigate(browser.get(), pagePath);
    return BrowserOutcome::Navigated;
}

void openCommentaryPage() {
    char path[kUtf8PathBytes];
    if (formatCommentaryPath(path, sizeof path, process.programDirectoryUtf8, currentSurah(),
                             currentAyah()))
        showPageInBrowser(path);
}

void openHelpPage() {
    char path[kUtf8PathBytes];
    if (formatHelpPath(path, sizeof path, process.programDirectoryUtf8)) showPageInBrowser(path);
}

void setShellPageOpener(ShellPageOpener opener) {
    shellOpener = opener;
}

void resetShellPageOpener() {
    shellOpener = openWithShell;
}
