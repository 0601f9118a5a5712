// What the program tells and asks its user in a box: reports, "Not Found", the About box,
// questions. Every room that shows such a box gets a Prompts and calls it, so that a test
// can stand in its own and nothing waits for a click.
#ifndef NORAVEL_BASE_PROMPTS_WIN_H
#define NORAVEL_BASE_PROMPTS_WIN_H

#include <windows.h>

class Prompts {
  public:
    virtual ~Prompts() = default;
    // A box with an OK button over owner. Text and caption are UTF-8; icon is one of the
    // MB_ICON… flags, or 0 for none.
    virtual void tell(HWND owner, const char* text, const char* caption, UINT icon) = 0;
    // A box with Yes and No over owner; true for Yes.
    virtual bool ask(HWND owner, const char* text, const char* caption, UINT icon) = 0;
};

// The system's message boxes.
class MessageBoxPrompts : public Prompts {
  public:
    void tell(HWND owner, const char* text, const char* caption, UINT icon) override;
    bool ask(HWND owner, const char* text, const char* caption, UINT icon) override;
};

#endif
