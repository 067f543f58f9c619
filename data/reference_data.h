// The version of the reference data that data.Mdb ships: the tables built from resources/.
#pragma once

namespace quenvil {

// The tables that belong to the user: the imported names and the shortlist (data/shortlist.h).
// Every other table of data.Mdb is
// reference data, filled from resources/ by the builder (fantizi, wuge and sancai for the four
// windows; pinyin, name_reading, surname_reading, compound_surname, bad_sound, name_char,
// name_word, famous_person, given_name and classic_line for the recommendations). A per-user
// copy of data.Mdb takes every reference table of the shipped file anew when the shipped file
// carries a newer version, and keeps these.
inline constexpr const char* kUserTables[] = {"xm", "xm2", "shortlist"};

// Written by the builder as the database's user_version. Raise it by one whenever a source of
// these tables in resources/ (fantizi.tsv, wuge.tsv, sancai.tsv, pinyin.tsv,
// surname_readings.tsv, compound_surnames.txt, bad_sounds.tsv, given_name_chars.txt,
// given_name_exclusions.txt, name_readings.tsv, name_words.tsv, famous_people.tsv,
// given_names.tsv, classics.tsv), or the way the builder writes them, changes:
// per-user copies of an older version then take the new tables. The checksums of the sources of
// this version are recorded in tests/resources/reference_data.sha256, and a test fails when the
// sources no longer match them, as a reminder.
inline constexpr int kReferenceDataVersion = 5;

}  // namespace quenvil
