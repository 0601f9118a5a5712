#include "text/translations_win.h"

#include "text/text_store.h"

#include <memory>

namespace {

int chosen = 0;
int second = -1;
std::unique_ptr<TranslationText> texts[kTranslationLanguageCount];

} // namespace

const TranslationText* translationTextAt(int index) {
    const TranslationLanguage* language = translationLanguageAt(index);
    if (!language) return nullptr;
    std::unique_ptr<TranslationText>& slot = texts[index];
    if (!slot) {
        slot = std::make_unique<TranslationText>();
        const ResourceBytes bytes = findTextResource(language->resourceId);
        slot->load(bytes.data, bytes.size);
    }
    return slot.get();
}

void chooseTranslation(int index) {
    if (!translationLanguageAt(index)) return;
    chosen = index;
    translationTextAt(index);
}

int chosenTranslation() {
    return chosen;
}

const TranslationLanguage& chosenTranslationLanguage() {
    return *translationLanguageAt(chosen);
}

void chooseSecondTranslation(int index) {
    second = translationLanguageAt(index) ? index : -1;
    if (second >= 0) translationTextAt(second);
}

int secondTranslation() {
    return second;
}

const TranslationText& chosenTranslationText() {
    return *translationTextAt(chosen);
}
