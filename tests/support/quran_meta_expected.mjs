// What the quran-meta package itself answers for every ayah, through its own functions
// (not its raw lists): an independent reckoning for the native tests to set the reader's
// mushaf tables against.
//
// Writes one line per ayah, 6,236 lines in order:
//   surah ayah page quarterStart rubAlHizb hizb juz sajdah
// quarterStart and sajdah are 1 or 0; rubAlHizb (1..240), hizb (1..60) and juz (1..30) are
// those of the quarter the ayah lies in.
//
// Usage: node quran_meta_expected.mjs NODE_MODULES_DIR OUT_FILE
import { writeFileSync } from "node:fs";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const [modules, out] = process.argv.slice(2);
if (!modules || !out) {
  console.error("usage: node quran_meta_expected.mjs NODE_MODULES_DIR OUT_FILE");
  process.exit(2);
}
const meta = await import(pathToFileURL(join(modules, "quran-meta", "dist", "hafs.js")).href);

const lines = [];
for (let id = 1; id <= 6236; ++id) {
  const m = meta.getAyahMeta(id);
  // findPage by surah and ayah as well: both ways of asking must agree.
  const page = meta.findPage(m.surah, m.ayah);
  if (page !== m.page) throw new Error(`quran-meta disagrees on the page of ${m.surah}:${m.ayah}`);
  lines.push(
    [m.surah, m.ayah, page, m.isStartOfQuarter ? 1 : 0, m.rubAlHizbId, m.hizbId, m.juz,
     m.isSajdahAyah ? 1 : 0].join(" "));
}
writeFileSync(out, lines.join("\n") + "\n");
