#!/usr/bin/env python3
"""Writes the ayat each word of a list of common words must be found in, for the
precision and recall test of the tolerant Arabic search (tests/native/arabic_spelling_test.cpp).

The sets are taken from the Uthmani Unicode text of the quran-json package, not from the
program's resources: each word has a pattern written by hand for the Uthmani skeleton (the
text without vowel marks, pause signs and tatweel, but with the dagger alef, the small waw
and ya and the hamza signs kept). An ayah belongs to a word's set when the word, written in
standard spelling, occurs in the ayah as a run of letters, prefixes and endings included;
a hamza written on no letter counts as the hamza on any seat;
after the preposition li- the article counts as written (li-llahi holds الله).

Usage: arabic_spelling_expected.py NODE_MODULES > tests/native/arabic_spelling_expected.txt
Output: one line per word: the word in standard spelling (UTF-8), a tab, its ayat as
"surah:ayah" separated by blanks.
"""
import json
import re
import sys

DROPPED = (set(range(0x064B, 0x0654)) | set(range(0x0656, 0x0660)) | set(range(0x06D6, 0x06DD)) |
           set(range(0x06DF, 0x06E5)) | set(range(0x06E8, 0x06EE)) | {0x06DE, 0x0640, 0x2009})

# The article: ٱل, or after li- (with و or ف before it) the لل that starts the word.
A = r'(?:ٱل|(?:(?<=\s)|^)[وف]?لل)'
# An alef written in full or as a dagger alef.
L = r'[ٰا]'
# A bare hamza, or a hamza sign written on no letter.
H = r'[ءٔ]'
# Alef madda: hamza and alef, or alef with hamza and the madda sign (which the skeleton
# keeps there only).
M = r'(?:[ءٔ]ا|أ\u0653)'

WORDS = [
    ('الله', r'لله'),
    ('الكتاب', A + r'كت' + L + r'ب'),
    ('الصلاة', A + r'صل(?:وٰ|ا)ة'),
    ('الزكاة', A + r'زك(?:وٰ|ا)ة'),
    ('إبراهيم', r'إبر' + L + r'ه[يۧ]م'),
    ('السماوات', A + r'سم' + L + r'و' + L + r'ت'),
    ('القرآن', A + r'قر' + H + r'ان'),
    ('يا أيها', r'ي' + L + r'\s?أيها'),
    ('الناس', A + r'ناس'),
    ('الأرض', A + r'أرض'),
    ('الرحمن', A + r'رحم' + L + r'ن'),
    ('الرحيم', A + r'رحيم'),
    ('الذين', A + r'ذين'),
    ('ذلك', r'ذٰ?لك'),
    ('هذا', r'هٰ?ذ' + L),
    ('آمنوا', M + r'منوا'),
    ('موسى', r'موسى'),
    ('عيسى', r'عيسى'),
    ('مريم', r'مريم'),
    ('نوح', r'نوح'),
    ('فرعون', r'فرعون'),
    ('الحياة', A + r'حي(?:وٰ|ا)ة'),
    ('الدنيا', A + r'دنيا'),
    ('الآخرة', A + M + r'خرة'),
    ('الجنة', A + r'جنة'),
    ('النار', A + r'نار'),
    ('العذاب', A + r'عذاب'),
    ('القيامة', A + r'قي' + L + r'مة'),
    ('الملائكة', A + r'مل' + L + r'?ئكة'),
    ('رسول', r'رسول'),
    ('النبي', A + r'نبي'),
    ('المؤمنين', A + r'مؤمنين'),
    ('الكافرين', A + r'ك' + L + r'فرين'),
    ('الظالمين', A + r'ظ' + L + r'لمين'),
    ('الصالحات', A + r'ص' + L + r'لح' + L + r'ت'),
    ('آيات', M + r'ي' + L + r'ت'),
    ('الحق', A + r'حق'),
    ('الهدى', A + r'هدى'),
    ('التوراة', A + r'تور(?:ىٰ|ا)ة'),
    ('الإنجيل', A + r'إنجيل'),
    ('شيء', r'شي' + H),
    ('سبيل', r'سبيل'),
    ('قال', r'ق' + L + r'ل'),
    ('قالوا', r'ق' + L + r'لوا'),
    ('يعلمون', r'يعلمون'),
    ('السماء', A + r'سما' + H),
    ('الشمس', A + r'شمس'),
    ('القمر', A + r'قمر'),
    ('الليل', r'ٱلل?يل'),
    ('النهار', A + r'نهار'),
    ('الماء', A + r'ما' + H),
    ('الإنسان', A + r'إنس' + L + r'ن'),
    ('عليم', r'عليم'),
    ('حكيم', r'حكيم'),
    ('غفور', r'غفور'),
    ('إله', r'(?:إ|أء)لٰ?ه'),
    ('لكن', r'لٰ?كن'),
    ('أولئك', r'أول' + L + r'?ئك'),
    ('هؤلاء', r'هٰ?ؤلا' + H),
    ('إسرائيل', r'إسر' + L + H + r'يل'),
    ('داود', r'داوۥ?د'),
    ('سليمان', r'سليم' + L + r'ن'),
    ('الشيطان', A + r'شيط' + L + r'ن'),
    ('العالمين', A + r'ع' + L + r'لمين'),
    ('الصراط', A + r'صر' + L + r'ط'),
    ('يسألونك', r'يس[ٔأ]لونك'),
    ('إسماعيل', r'إسم' + L + r'عيل'),
    ('إسحاق', r'إسح' + L + r'ق'),
    ('يعقوب', r'يعقوب'),
    ('جهنم', r'جهنم'),
    ('يؤمنون', r'يؤمنون'),
    ('هارون', r'ه' + L + r'رون'),
    ('رؤوف', r'ر(?:ؤ|' + H + r')وف'),
    ('يا قوم', r'ي' + L + r'\s?قوم'),
]


def skeleton(text):
    text = re.sub('\u0623[\u064B-\u0652]*\u0653', '\u0623\uFFFF', text)
    return ''.join(ch for ch in text if ord(ch) not in DROPPED).replace('\uFFFF', '\u0653')


def main():
    with open(sys.argv[1] + '/quran-json/dist/quran_id.json', encoding='utf-8') as f:
        surahs = json.load(f)
    ayat = [(s['id'], v['id'], skeleton(v['text'])) for s in surahs for v in s['verses']]
    for word, pattern in WORDS:
        found = [f'{s}:{a}' for s, a, text in ayat if re.search(pattern, text)]
        print(word + '\t' + ' '.join(found))


if __name__ == '__main__':
    main()
