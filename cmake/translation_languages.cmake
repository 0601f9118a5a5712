# The codes of the translation resources in the order of their ids (150 and on), as
# text/translation_languages.cpp and resources/noravel.rc list them.
set(NORAVEL_TRANSLATION_CODES id en bn zh fr ru es sv tr ur transliteration)
