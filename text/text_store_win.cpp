// The text store's Windows side: finds the "TXT" resources of the program and hands their
// bytes to the portable loader. The language comes from the caller.
#include "text/text_store.h"

#include "resources/resource_ids.h"

#include <windows.h>

ResourceBytes findTextResource(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"TXT");
    if (!found) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {nullptr, 0};
    return {static_cast<const char*>(data), static_cast<size_t>(SizeofResource(module, found))};
}

namespace {

// One writable copy per translation resource, made the first time that language is
// loaded and kept for the run: the tables point into it, and loading the same language
// again walks the same, already terminated, copy.
WritableCopy& translationCopy(int language) {
    static WritableCopy indonesian;
    static WritableCopy english;
    WritableCopy& copy = language == 0 ? indonesian : english;
    if (copy.empty())
        copy = WritableCopy(findTextResource(language == 0 ? IDT_INDONESIAN : IDT_ENGLISH));
    return copy;
}

} // namespace

void TextStore::load(int language) {
    TextStore::loadFrom(findTextResource(IDT_SURAH_LIST), translationCopy(language).bytes(),
                        findTextResource(IDT_RECITATION_TIMING), language);
}

void TextStore::loadArabic() {
    TextStore::loadArabicFrom(findTextResource(IDT_ARABIC));
}

void TextStore::loadRecitationTiming() {
    TextStore::loadRecitationTimingFrom(findTextResource(IDT_RECITATION_TIMING));
}
