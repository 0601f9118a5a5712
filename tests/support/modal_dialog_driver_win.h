// Drives a modal dialog or message box of this thread from inside its modal loop: while the
// driver lives, a thread timer looks for the box (class "#32770", with the given caption or
// any) and, once it is there, hands it to the script, which must close it.
//   ModalDialogDriver driver("Setting", [](HWND dialog) { ...; press(dialog, IDOK); });
//   showSettingsDialog(owner); // returns once the script has closed the dialog
//   EXPECT_TRUE(driver.ran());
// One driver at a time.
#ifndef NORAVEL_TESTS_SUPPORT_MODAL_DIALOG_DRIVER_WIN_H
#define NORAVEL_TESTS_SUPPORT_MODAL_DIALOG_DRIVER_WIN_H

#include <windows.h>

#include <cstring>
#include <functional>
#include <utility>

class ModalDialogDriver {
  public:
    // caption: the box's caption, or null for any box of this thread.
    ModalDialogDriver(const char* caption, std::function<void(HWND)> script)
        : caption_(caption), script_(std::move(script)) {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 20, onTimer);
    }
    ~ModalDialogDriver() {
        if (timer_) KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    ModalDialogDriver(const ModalDialogDriver&) = delete;
    ModalDialogDriver& operator=(const ModalDialogDriver&) = delete;

    // Whether the box was found and handed to the script.
    bool ran() const { return ran_; }

  private:
    static ModalDialogDriver*& current() {
        static ModalDialogDriver* driver = nullptr;
        return driver;
    }

    struct Search {
        const char* caption;
        HWND found;
    };

    static BOOL CALLBACK findDialog(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        char className[16] = "", caption[64] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::strcmp(className, "#32770") != 0) return TRUE;
        if (search->caption) {
            GetWindowTextA(window, caption, sizeof caption);
            if (std::strcmp(caption, search->caption) != 0) return TRUE;
        }
        search->found = window;
        return FALSE;
    }

    static void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD) {
        ModalDialogDriver* driver = current();
        if (!driver) return;
        Search search{driver->caption_, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return;
        KillTimer(nullptr, timer);
        driver->timer_ = 0;
        driver->ran_ = true;
        driver->script_(search.found);
    }

    const char* caption_;
    std::function<void(HWND)> script_;
    UINT_PTR timer_ = 0;
    bool ran_ = false;
};

#endif
