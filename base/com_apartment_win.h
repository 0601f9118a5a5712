// COM for the calling thread, entered when a part first needs it (the shell's page opening,
// the browser's automation object) rather than at start-up: the reader's first paint uses
// no COM, and ole32 is bound only at that first call.
#ifndef NORAVEL_BASE_COM_APARTMENT_WIN_H
#define NORAVEL_BASE_COM_APARTMENT_WIN_H

// Enters a single-threaded apartment on this thread once; the thread stays in it for the
// run. True when the thread is in an apartment (also one that another part entered).
bool enterComApartment();

#endif
