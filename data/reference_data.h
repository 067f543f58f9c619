// The version of the reference data that data.Mdb ships: the tables built from resources/.
#pragma once

namespace quenvil {

// The tables filled from resources/ by the builder. A per-user copy of data.Mdb takes them anew
// from the shipped file when the shipped file carries a newer version; the other tables (the
// imported names in xm and xm2) belong to the user.
inline constexpr const char* kReferenceTables[] = {"fantizi",          "wuge",
                                                   "sancai",  // the four windows
                                                   "pinyin",           "surname_reading",
                                                   "compound_surname", "bad_sound",
                                                   "name_char"};  // recommendations

// Written by the builder as the database's user_version. Raise it by one whenever a source of
// these tables in resources/ (fantizi.tsv, wuge.tsv, sancai.tsv, pinyin.tsv,
// surname_readings.tsv, compound_surnames.txt, bad_sounds.tsv, given_name_chars.txt,
// given_name_exclusions.txt), or the way the builder writes them, changes:
// per-user copies of an older version then take the new tables. The checksums of the sources of
// this version are recorded in tests/resources/reference_data.sha256, and a test fails when the
// sources no longer match them, as a reminder.
inline constexpr int kReferenceDataVersion = 2;

}  // namespace quenvil
