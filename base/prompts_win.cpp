#include "base/prompts_win.h"

#include "base/wide_text_win.h"

void MessageBoxPrompts::tell(HWND owner, const char* text, const char* caption, UINT icon) {
    showUtf8MessageBox(owner, text, caption, MB_OK | icon);
}

bool MessageBoxPrompts::ask(HWND owner, const char* text, const char* caption, UINT icon) {
    return showUtf8MessageBox(owner, text, caption, MB_YESNO | icon) == IDYES;
}
