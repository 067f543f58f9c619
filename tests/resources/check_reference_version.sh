#!/usr/bin/env bash
# Fails when the sources of the reference tables changed but kReferenceDataVersion did not: the
# checksums of the sources (listed below) are recorded for the version in
# tests/resources/reference_data.sha256. Users' copies of data.Mdb take new reference tables only
# when the version rises.
#   check_reference_version.sh SOURCE_DIR
set -uo pipefail
root=${1:?usage: check_reference_version.sh SOURCE_DIR}
cd "$root" || exit 1
record=tests/resources/reference_data.sha256
sources=(resources/fantizi.tsv resources/wuge.tsv resources/sancai.tsv resources/pinyin.tsv
  resources/surname_readings.tsv resources/compound_surnames.txt resources/bad_sounds.tsv
  resources/given_name_chars.txt resources/given_name_exclusions.txt resources/name_readings.tsv
  resources/name_words.tsv resources/famous_people.tsv resources/given_names.tsv
  resources/classics.tsv)

version=$(sed -n 's/.*kReferenceDataVersion = \([0-9]*\);.*/\1/p' data/reference_data.h)
recorded=$(sed -n 's/^# kReferenceDataVersion \([0-9]*\)$/\1/p' "$record")
if [ -z "$version" ] || [ -z "$recorded" ]; then
  echo "no version found in data/reference_data.h or $record"
  exit 1
fi
listed=$(grep -v '^#' "$record" | awk '{print $2}' | sort | tr '\n' ' ')
wanted=$(printf '%s\n' "${sources[@]}" | sort | tr '\n' ' ')
if [ "$version" != "$recorded" ] || [ "$listed" != "$wanted" ] ||
  ! grep -v '^#' "$record" | sha256sum --check --quiet -; then
  cat <<MSG
The reference sources and kReferenceDataVersion ($version; recorded: $recorded) do not match.
When the sources changed, raise kReferenceDataVersion in data/reference_data.h by one and record
the sources of the new version:
  { echo "# kReferenceDataVersion N"; sha256sum ${sources[*]}; } >$record
MSG
  exit 1
fi
echo "reference data version $version matches its sources"
