#!/usr/bin/env bash
# Fails when the sources of the reference tables changed but kReferenceDataVersion did not: the
# checksums of resources/fantizi.tsv, wuge.tsv and sancai.tsv are recorded for the version in
# tests/resources/reference_data.sha256. Users' copies of data.Mdb take new reference tables only
# when the version rises.
#   check_reference_version.sh SOURCE_DIR
set -uo pipefail
root=${1:?usage: check_reference_version.sh SOURCE_DIR}
cd "$root" || exit 1
record=tests/resources/reference_data.sha256

version=$(sed -n 's/.*kReferenceDataVersion = \([0-9]*\);.*/\1/p' data/reference_data.h)
recorded=$(sed -n 's/^# kReferenceDataVersion \([0-9]*\)$/\1/p' "$record")
if [ -z "$version" ] || [ -z "$recorded" ]; then
  echo "no version found in data/reference_data.h or $record"
  exit 1
fi
if [ "$version" != "$recorded" ] || ! grep -v '^#' "$record" | sha256sum --check --quiet -; then
  cat <<MSG
The reference sources and kReferenceDataVersion ($version; recorded: $recorded) do not match.
When the sources changed, raise kReferenceDataVersion in data/reference_data.h by one and record
the sources of the new version:
  { echo "# kReferenceDataVersion N"; sha256sum resources/{fantizi,wuge,sancai}.tsv; } >$record
MSG
  exit 1
fi
echo "reference data version $version matches its sources"
