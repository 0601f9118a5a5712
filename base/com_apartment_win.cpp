#include "base/com_apartment_win.h"

#include <objbase.h>

bool enterComApartment() {
    thread_local HRESULT entered = E_PENDING; // not tried yet on this thread
    if (entered == E_PENDING)
        entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // S_FALSE: already in a single-threaded apartment; RPC_E_CHANGED_MODE: in another kind,
    // which serves the calls all the same.
    return SUCCEEDED(entered) || entered == RPC_E_CHANGED_MODE;
}
